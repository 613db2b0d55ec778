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
#include <sstream>
#include <tuple>
#include <vector>

using Texts = std::vector<std::string>;

namespace {

// The texts of the trace file's entries, without time, level and source location.
Texts TraceTexts(const TestPractice& practice)
{
    std::istringstream file(practice.Read("log/Trace.log"));
    const std::regex prefix(R"(^.*?\.cpp:\d+ )");
    Texts texts;
    for (std::string line; std::getline(file, line);)
        texts.push_back(std::regex_replace(line, prefix, ""));
    return texts;
}

} // namespace

// The real prompt library, loaded from the program's own library folder, on a practice
// whose password is "geheim", or without any.
TEST(PasswordPrompt, TheRightPasswordWithinThreeTriesIsAcceptedEachRefusalTracedAndPaused)
{
    // Polled every 10 ms; each try is noted as its visible label texts joined by "|",
    // with " (at once)" when it came less than 2 s after the one before or the dialog
    // was not served meanwhile. Answers come in order (nullptr, or none left: Cancel).
    struct Answering {
        const std::vector<const char*>& answers;
        Texts shown;
        QElapsedTimer sinceTry;
        int servedSinceTry = 0;

        void Poll()
        {
            QWidget* const dialog = QApplication::activeModalWidget();
            QPushButton* const ok = dialog ? dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok) : nullptr;
            if (!ok || !ok->isEnabled()) {
                servedSinceTry += dialog && dialog->isVisible();
                return;
            }
            std::string labels;
            for (const QLabel* label : dialog->findChildren<QLabel*>())
                if (label->isVisible())
                    labels += (labels.empty() ? "" : "|") + label->text().toStdString();
            const bool paused = shown.empty() || (sinceTry.elapsed() >= 2000 && servedSinceTry >= 10);
            shown.push_back(labels + (paused ? "" : " (at once)"));
            sinceTry.start();
            servedSinceTry = 0;
            auto* const entry = dialog->findChild<QLineEdit*>();
            const char* const next = shown.size() <= answers.size() ? answers[shown.size() - 1] : nullptr;
            if (next && entry && entry->echoMode() == QLineEdit::Password) {
                entry->setText(QString::fromUtf8(next));
                ok->click();
            } else {
                dialog->close();
            }
        }
    };
    const std::string shown = "Für das Löschen von Praxisinhabern/Behandlern wird ein Passwort benötigt.";
    const std::string wrong = shown + "|Das Passwort ist falsch.";
    const auto refused = [](int attempt) { return "VqKennwort: Passwort abgelehnt (Versuch " + std::to_string(attempt) + " von 3)"; };
    const std::tuple<bool, std::vector<const char*>, int, Texts, Texts> cases[] = {
        {true, {"falsch", "geheim"}, 1, {shown, wrong}, {refused(1)}},
        {true, {"eins", "zwei", "drei", "geheim"}, 0, {shown, wrong, wrong}, {refused(1), refused(2), refused(3)}},
        {false, {"geheim"}, 0, {"Für diese Praxis ist kein Passwort gesetzt.\n"
                                "Es wird mit 'kelvor-praxis password <Praxisordner>' gesetzt."}, {}}};
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
        Answering answering{answers, {}, {}, 0};
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, &timer, [&answering] { answering.Poll(); });
        timer.start(10);
        EXPECT_EQ(result, ask((shown + "\n").c_str()));
        EXPECT_EQ(expected, answering.shown);
        EXPECT_EQ(traced, TraceTexts(practice));
    }
}
