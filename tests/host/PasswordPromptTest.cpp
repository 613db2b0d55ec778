#include "HbLibrary.h"
#include "HostPractice.h"
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <optional>
#include <sodium.h>
#include <vector>

namespace {

using Kennwort = int (*)(const char*);

const char* const kPrompt = "Für das Löschen von Praxisinhabern/Behandlern wird ein Passwort benötigt.\n";
const char* const kPromptShown = "Für das Löschen von Praxisinhabern/Behandlern wird ein Passwort benötigt.";

std::string FastHash(const std::string& password)
{
    char hash[crypto_pwhash_STRBYTES];
    if (sodium_init() < 0
        || crypto_pwhash_str_alg(hash, password.c_str(), password.size(), crypto_pwhash_OPSLIMIT_MIN,
                                 crypto_pwhash_MEMLIMIT_MIN, crypto_pwhash_ALG_ARGON2ID13) != 0)
        return {};
    return hash;
}

// Answers each showing of the password dialog with the next entry (nullopt: Cancel)
// and notes the texts of its visible labels at that moment. When no entry is left
// it cancels, so that a dialog shown too often ends the test instead of hanging it.
class DialogAnswerer {
public:
    explicit DialogAnswerer(std::vector<std::optional<std::string>> answers) : m_answers(std::move(answers))
    {
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { AnswerOpenDialog(); });
        m_timer.start(10);
    }

    // Per showing, its visible label texts joined by "|".
    const std::vector<std::string>& Shown() const { return m_shown; }

private:
    void AnswerOpenDialog()
    {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        std::string labels;
        for (const QLabel* label : dialog->findChildren<QLabel*>())
            if (label->isVisible())
                labels += (labels.empty() ? "" : "|") + label->text().toStdString();
        m_shown.push_back(labels);

        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        auto* entry = dialog->findChild<QLineEdit*>();
        if (!buttons || !entry || m_shown.size() > m_answers.size() || !m_answers[m_shown.size() - 1]) {
            dialog->close();
            return;
        }
        EXPECT_EQ(QLineEdit::Password, entry->echoMode());
        entry->setText(QString::fromStdString(*m_answers[m_shown.size() - 1]));
        buttons->button(QDialogButtonBox::Ok)->click();
    }

    std::vector<std::optional<std::string>> m_answers;
    std::vector<std::string> m_shown;
    QTimer m_timer;
};

class PasswordPrompt : public ::testing::Test {
protected:
    // Loads the real prompt library from the build's program folder.
    int Ask(std::vector<std::optional<std::string>> answers)
    {
        const char* bin = std::getenv("KELVOR_BIN_DIR");
        const ScopedEnv path("VQ_LIBPATH", bin ? bin : "");
        const CHbLibrary library("vqstddia");
        const auto ask = reinterpret_cast<Kennwort>(library.GetProcAddress("VqKennwort"));
        if (!ask) {
            ADD_FAILURE() << "VqKennwort not found";
            return -1;
        }
        m_answerer.emplace(std::move(answers));
        return ask(kPrompt);
    }
    std::vector<std::string> Shown() const { return m_answerer->Shown(); }

    HostPractice m_practice;
    std::optional<DialogAnswerer> m_answerer;
};

const std::string kWrong = std::string(kPromptShown) + "|Das Passwort ist falsch.";

} // namespace

TEST_F(PasswordPrompt, TheRightPasswordIsAccepted)
{
    m_practice.Set("Kennwort/Hash", FastHash("geheim"));
    EXPECT_NE(0, Ask({"geheim"}));
    EXPECT_EQ(std::vector<std::string>{kPromptShown}, Shown());
}

TEST_F(PasswordPrompt, AWrongPasswordIsReportedBeforeTheNextAttempt)
{
    m_practice.Set("Kennwort/Hash", FastHash("geheim"));
    EXPECT_NE(0, Ask({"falsch", "geheim"}));
    EXPECT_EQ((std::vector<std::string>{kPromptShown, kWrong}), Shown());
}

TEST_F(PasswordPrompt, ThreeWrongPasswordsAreRefused)
{
    m_practice.Set("Kennwort/Hash", FastHash("geheim"));
    EXPECT_EQ(0, Ask({"eins", "zwei", "drei", "geheim"}));
    EXPECT_EQ((std::vector<std::string>{kPromptShown, kWrong, kWrong}), Shown());
}

TEST_F(PasswordPrompt, CancelRefuses)
{
    m_practice.Set("Kennwort/Hash", FastHash("geheim"));
    EXPECT_EQ(0, Ask({std::nullopt, "geheim"}));
    EXPECT_EQ(std::vector<std::string>{kPromptShown}, Shown());
}

TEST_F(PasswordPrompt, WithoutAHashEveryPasswordIsRefused)
{
    m_practice.Set("Kennwort/Hash", "");
    EXPECT_EQ(0, Ask({"", "geheim", "kelvor"}));
    EXPECT_EQ((std::vector<std::string>{kPromptShown, kWrong, kWrong}), Shown());
}
