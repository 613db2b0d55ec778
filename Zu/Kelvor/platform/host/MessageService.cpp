#include "MessageService.h"
#include "Seams.h"
#include <utility>

namespace {

constexpr const char* kCaption = "Kelvor";

int Ask(const SMessage& message)
{
    IMessageService* const service = seam::MessageService::Slot();
    return service ? service->Show(message) : NoAnswer(message.kind, message.style);
}

} // namespace

bool IsQuestion(MessageKind kind, unsigned style)
{
    constexpr unsigned buttonMask = 0xF;
    return kind == MessageKind::SollIch || (kind == MessageKind::MessageBox && (style & buttonMask) == MB_YESNO);
}

int NoAnswer(MessageKind kind, unsigned style)
{
    if (!IsQuestion(kind, style))
        return IDOK;
    return kind == MessageKind::SollIch ? SOLLICH_NO : IDNO;
}

IMessageService* SetMessageService(IMessageService* service)
{
    return std::exchange(seam::MessageService::Slot(), service);
}

void Halt(int /*kind*/, const std::string& text, int /*flags*/)
{
    Ask({MessageKind::Halt, kCaption, text, MB_OK, {}, {}});
}

void HaltE(int /*kind*/, const std::string& text, int /*flags*/)
{
    Ask({MessageKind::HaltE, kCaption, text, MB_OK, {}, {}});
}

int SollIch(int /*kind*/, const std::string& question, int /*flags*/)
{
    return SollIch(kCaption, question);
}

int SollIch(const std::string& caption, const std::string& question)
{
    return Ask({MessageKind::SollIch, caption, question, MB_YESNO, {}, {}});
}

int AfxMessageBox(const std::string& text, unsigned style, unsigned /*helpContext*/)
{
    return Ask({MessageKind::MessageBox, kCaption, text, style, {}, {}});
}

int SollIch(int /*kind*/, const std::string& question, const std::string& informative, const std::string& detailed)
{
    return Ask({MessageKind::SollIch, kCaption, question, MB_YESNO, informative, detailed});
}
