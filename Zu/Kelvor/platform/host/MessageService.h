#pragma once
#include <string>

enum class MessageKind { Halt, HaltE, SollIch, MessageBox };

// Answers of the message boxes.
constexpr int IDOK = 1;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
constexpr int SOLLICH_YES = 10;
constexpr int SOLLICH_NO = 11;
// Styles of the framework's message box.
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_DEFBUTTON2 = 0x100;

// One message box. A question's buttons come from its style. The informative text
// stands below the text, always visible; the detailed text waits behind the box's
// details button. Either may be empty.
struct SMessage {
    MessageKind kind;
    std::string caption;
    std::string text;
    unsigned style = MB_OK;
    std::string informative;
    std::string detailed;
};

// Every message box of the practice system goes through one replaceable service:
// Qt message boxes in the program, a scripted service in tests.
class IMessageService {
public:
    virtual ~IMessageService() = default;
    virtual int Show(const SMessage& message) = 0;
};

// A question is a SollIch or a message box with yes and no; everything else is a notice.
bool IsQuestion(MessageKind kind, unsigned style);
// The answer when nobody answers: no to a question, IDOK to a notice.
int NoAnswer(MessageKind kind, unsigned style);

// The service in use; the program installs its own at start-up. Returns the
// previous one. Without one, every question is answered no and nothing is shown.
IMessageService* SetMessageService(IMessageService* service);

void Halt(int kind, const std::string& text, int flags);              // refused input
void HaltE(int kind, const std::string& text, int flags);             // notice
int SollIch(int kind, const std::string& question, int flags);        // SOLLICH_YES for yes
int SollIch(const std::string& caption, const std::string& question); // SOLLICH_YES for yes
// A question with what the user should know before answering it.
int SollIch(int kind, const std::string& question, const std::string& informative, const std::string& detailed);
int AfxMessageBox(const std::string& text, unsigned style = MB_OK, unsigned helpContext = 0);
