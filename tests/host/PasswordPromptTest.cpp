#include "HbLibrary.h"
#include "TestPractice.h"
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <gtest/gtest.h>
#include <sodium.h>
#include <tuple>
#include <vector>

using Texts = std::vector<std::string>;

// The real prompt library on a practice whose password is "geheim", or without any.
TEST(PasswordPrompt, TheRightPasswordWithinThreeTriesIsAcceptedNothingWithoutAHash)
{
    // Each showing of the dialog is answered with the next entry (nullptr, or none
    // left: Cancel) and noted as its visible label texts joined by "|".
    const auto answer = [](const std::vector<const char*>& answers, Texts& shown) {
        QWidget* const dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        std::string labels;
        for (const QLabel* label : dialog->findChildren<QLabel*>())
            if (label->isVisible())
                labels += (labels.empty() ? "" : "|") + label->text().toStdString();
        shown.push_back(labels);
        auto* const entry = dialog->findChild<QLineEdit*>();
        const char* const next = shown.size() <= answers.size() ? answers[shown.size() - 1] : nullptr;
        if (next && entry && entry->echoMode() == QLineEdit::Password) {
            entry->setText(QString::fromUtf8(next));
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        } else {
            dialog->close();
        }
    };
    const std::string shown = "Für das Löschen von Praxisinhabern/Behandlern wird ein Passwort benötigt.";
    const std::string wrong = shown + "|Das Passwort ist falsch.";
    const std::tuple<bool, std::vector<const char*>, int, Texts> cases[] = {{true, {"falsch", "geheim"}, 1, {shown, wrong}},
                 {true, {"eins", "zwei", "drei", "geheim"}, 0, {shown, wrong, wrong}},
                 {false, {"geheim"}, 0, {"Für diese Praxis ist kein Passwort gesetzt.\n"
                                          "Es wird mit 'kelvor-praxis password <Praxisordner>' gesetzt."}}};
    char hash[crypto_pwhash_STRBYTES] = {};
    ASSERT_LE(0, sodium_init());
    ASSERT_EQ(0, crypto_pwhash_str(hash, "geheim", 6, crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN));
    // The build's program folder: KELVOR_BIN_DIR, else the folder of this test program.
    const QString bin = qEnvironmentVariable("KELVOR_BIN_DIR", QCoreApplication::applicationDirPath());
    qputenv("VQ_LIBPATH", bin.toLocal8Bit());
    const auto unset = qScopeGuard([] { qunsetenv("VQ_LIBPATH"); });
    for (const auto& [withHash, answers, result, expected] : cases) {
        const TestPractice practice;
        practice.Set("Kennwort", "Hash", withHash ? hash : "");
        const CHbLibrary library("vqstddia");
        const auto ask = reinterpret_cast<int (*)(const char*)>(library.GetProcAddress("VqKennwort"));
        ASSERT_NE(nullptr, ask);
        Texts seen;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, &timer, [&] { answer(answers, seen); });
        timer.start(10);
        EXPECT_EQ(result, ask((shown + "\n").c_str()));
        EXPECT_EQ(expected, seen);
    }
}
