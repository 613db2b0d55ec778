#include "HbLibrary.h"
#include "TestPractice.h"
#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <gtest/gtest.h>
#include <sodium.h>
#include <regex>
#include <tuple>
#include <vector>

using Texts = std::vector<std::string>;

// The real prompt library, loaded from the program's own library folder, on a practice
// whose password is "geheim", or without any.
TEST(PasswordPrompt, TheRightPasswordWithinThreeTriesIsAcceptedEachRefusalTracedAndPaused)
{
    const std::string shown = "Für das Löschen von Praxisinhabern/Behandlern wird ein Passwort benötigt.";
    const std::string wrong = shown + "|Das Passwort ist falsch.";
    const std::string refused = "VqKennwort: Passwort abgelehnt (Versuch ";
    const std::tuple<bool, std::vector<const char*>, int, Texts, std::string> cases[] = {
        {true, {"falsch", "geheim"}, 1, {shown, wrong}, refused + "1 von 3)\n"},
        {true, {"eins", "zwei", "drei", "geheim"}, 0, {shown, wrong, wrong},
         refused + "1 von 3)\n" + refused + "2 von 3)\n" + refused + "3 von 3)\n"},
        {false, {"geheim"}, 0, {"Für diese Praxis ist kein Passwort gesetzt.\n"
                                "Es wird mit 'kelvor-praxis password <Praxisordner>' gesetzt."}, ""}};
    char hash[crypto_pwhash_STRBYTES] = {};
    ASSERT_LE(0, sodium_init());
    ASSERT_EQ(0, crypto_pwhash_str(hash, "geheim", 6, crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN));
    // Nothing in the environment leads the loader elsewhere, such as to a stand-in that says yes.
    qputenv("VQ_LIBPATH", (QCoreApplication::applicationDirPath() + QStringLiteral("/standin")).toLocal8Bit());
    qputenv("VQ_STANDIN_ANSWER", "1");
    const auto unset = qScopeGuard([] {
        qunsetenv("VQ_LIBPATH");
        qunsetenv("VQ_STANDIN_ANSWER");
    });
    for (const auto& [withHash, answers, result, expected, traced] : cases) {
        const TestPractice practice;
        practice.Set("Kennwort", "Hash", withHash ? hash : "");
        const CHbLibrary library("vqstddia");
        const auto ask = reinterpret_cast<int (*)(const char*)>(library.GetProcAddress("VqKennwort"));
        ASSERT_NE(nullptr, ask);
        // Polled every 10 ms: each try is noted as its visible label texts joined by "|",
        // with " (at once)" when it came less than 2 s after the one before or the dialog
        // was not served meanwhile; then answered with the next entry (none left: Cancel).
        Texts seen;
        QElapsedTimer sinceTry;
        int served = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, &timer, [&, &answers = answers] {
            QWidget* const dialog = QApplication::activeModalWidget();
            QPushButton* const ok = dialog ? dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok) : nullptr;
            if (!ok || !ok->isEnabled()) {
                served += dialog && dialog->isVisible();
                return;
            }
            std::string labels;
            for (const QLabel* label : dialog->findChildren<QLabel*>())
                if (label->isVisible())
                    labels += (labels.empty() ? "" : "|") + label->text().toStdString();
            const bool paused = seen.empty() || (sinceTry.elapsed() >= 2000 && served >= 10);
            seen.push_back(labels + (paused ? "" : " (at once)"));
            sinceTry.start();
            served = 0;
            auto* const entry = dialog->findChild<QLineEdit*>();
            if (seen.size() <= answers.size() && entry && entry->echoMode() == QLineEdit::Password) {
                entry->setText(QString::fromUtf8(answers[seen.size() - 1]));
                ok->click();
            } else {
                dialog->close();
            }
        });
        timer.start(10);
        EXPECT_EQ(result, ask((shown + "\n").c_str()));
        EXPECT_EQ(expected, seen);
        EXPECT_EQ(traced, std::regex_replace(practice.Read("log/Trace.log"), std::regex(R"(.*\.cpp:\d+ )"), ""));
    }
}
