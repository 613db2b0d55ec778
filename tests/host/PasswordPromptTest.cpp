#include "BinFolder.h"
#include "HbLibrary.h"
#include "HostPractice.h"
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <sodium.h>
#include <vector>

namespace {

const std::string kShown = "Für das Löschen von Praxisinhabern/Behandlern wird ein Passwort benötigt.";
const std::string kWrong = kShown + "|Das Passwort ist falsch.";
const char* const kCancel = nullptr;

// Runs the real prompt library on a practice whose password is "geheim". Each showing
// of its dialog is answered with the next entry (kCancel, or none left: Cancel) and
// noted as its visible label texts joined by "|".
class PasswordPrompt : public ::testing::Test {
protected:
    void SetPassword(const std::string& password) const
    {
        char hash[crypto_pwhash_STRBYTES] = {};
        ASSERT_LE(0, sodium_init());
        ASSERT_EQ(0, crypto_pwhash_str(hash, password.c_str(), password.size(), crypto_pwhash_OPSLIMIT_MIN,
                                       crypto_pwhash_MEMLIMIT_MIN));
        m_practice.Set("Kennwort/Hash", password.empty() ? "" : hash);
    }

    int Ask(const std::vector<const char*>& answers)
    {
        const ScopedEnv path("VQ_LIBPATH", BinFolder());
        const CHbLibrary library("vqstddia");
        const auto ask = reinterpret_cast<int (*)(const char*)>(library.GetProcAddress("VqKennwort"));
        if (!ask)
            return -1;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, &timer, [&] { Answer(answers); });
        timer.start(10);
        return ask("Für das Löschen von Praxisinhabern/Behandlern wird ein Passwort benötigt.\n");
    }

    void Answer(const std::vector<const char*>& answers)
    {
        QWidget* const dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        std::string labels;
        for (const QLabel* label : dialog->findChildren<QLabel*>())
            if (label->isVisible())
                labels += (labels.empty() ? "" : "|") + label->text().toStdString();
        m_shown.push_back(labels);
        auto* const entry = dialog->findChild<QLineEdit*>();
        auto* const buttons = dialog->findChild<QDialogButtonBox*>();
        const char* const answer = m_shown.size() <= answers.size() ? answers[m_shown.size() - 1] : kCancel;
        if (!answer || !entry || !buttons || entry->echoMode() != QLineEdit::Password) {
            dialog->close();
            return;
        }
        entry->setText(QString::fromUtf8(answer));
        buttons->button(QDialogButtonBox::Ok)->click();
    }

    HostPractice m_practice;
    std::vector<std::string> m_shown;
};

} // namespace

TEST_F(PasswordPrompt, TheRightPasswordIsAcceptedAfterAWrongOne)
{
    SetPassword("geheim");
    EXPECT_EQ(1, Ask({"falsch", "geheim"}));
    EXPECT_EQ((std::vector<std::string>{kShown, kWrong}), m_shown);
}

TEST_F(PasswordPrompt, ThreeWrongPasswordsAreRefused)
{
    SetPassword("geheim");
    EXPECT_EQ(0, Ask({"eins", "zwei", "drei", "geheim"}));
    EXPECT_EQ((std::vector<std::string>{kShown, kWrong, kWrong}), m_shown);
}

TEST_F(PasswordPrompt, WithoutAHashNothingIsAcceptedAndCancelEnds)
{
    SetPassword("");
    EXPECT_EQ(0, Ask({"", kCancel, "geheim"}));
    EXPECT_EQ((std::vector<std::string>{kShown, kWrong}), m_shown);
}
