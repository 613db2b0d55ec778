// A run cut short (kill -9, power loss) leaves its marker; the next start offers to
// finish it, and finishing reaches the state of a run that was never interrupted.
#include "KelvorDlg.h"
#include "RunMarker.h"
#include "ScenarioFixture.h"
#include <QProcess>
#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <tuple>

namespace {
const char* const kMarker = "log/Kelvor.lauf";

std::string OwnerRun(const std::string& kill)
{
    return R"js({"answers": [11, 10, 7], "kill": {)js" + kill + R"js(}, "actions": [{"select": 1001, "text": "04"},
        {"select": 1002, "text": "01"}, {"check": 1009, "value": true}, {"check": 1011, "value": true},
        {"check": 1017, "value": true}, {"click": 1003}]})js";
}

std::string FinishQuestion(const std::string& started, const std::string& summary, int answer)
{
    return "SollIch: Der Löschvorgang vom " + started + " wurde nicht beendet:\n" + summary +
           "\n\nSoll er jetzt zu Ende geführt werden? -> " + std::to_string(answer);
}

class InterruptedRunTest : public ScenarioFixture {
protected:
    InterruptedRunTest() : ScenarioFixture(1, 200) {}

    // The files of the data and QA folders.
    std::vector<std::string> Files() const
    {
        std::vector<std::string> files = m_practice.ListTree();
        std::erase_if(files, [](const std::string& entry) { return entry.rfind("daten/", 0) != 0 && entry.rfind("qa/", 0) != 0; });
        return files;
    }

    // The scenario in a child process of the runner, which kills itself at the scenario's point.
    bool RunKilled(const std::string& scenario) const
    {
        QProcess child;
        StartChild(child, scenario);
        return child.waitForFinished(300000) && child.exitStatus() == QProcess::CrashExit;
    }

    // "05.12.2026 14:03" from the marker's start line "Beginn=2026-12-05 14:03:27".
    std::string MarkerStart() const
    {
        const std::string marker = m_practice.Read(kMarker);
        const std::string start = marker.substr(marker.find("Beginn=") + 7);
        return start.substr(8, 2) + "." + start.substr(5, 2) + "." + start.substr(0, 4) + " " + start.substr(11, 5);
    }
};

TEST_F(InterruptedRunTest, KilledRunsAreFinishedToTheStateOfAnUninterruptedRun)
{
    Run(OwnerRun(""));
    const std::vector<std::string> statements = Statements();
    const auto tables = m_practice.DumpAll();
    const auto files = Files();
    ASSERT_EQ(Memo().back(), "FERTIG!");
    EXPECT_FALSE(m_practice.Exists(kMarker));
    const auto after = [&statements](const std::string& statement, int offset) {
        const auto at = std::find(statements.begin(), statements.end(), statement);
        EXPECT_NE(at, statements.end()) << statement;
        return std::to_string(at - statements.begin() + offset);
    };
    const auto adr = std::find_if(statements.begin(), statements.end(),
                                  [](const std::string& s) { return s.rfind("DELETE FROM ADR ", 0) == 0; });
    // Where the run is killed, and a table the kill leaves different from the finished run.
    const std::pair<std::string, std::string> kills[] = {
        {R"("statement": )" + after(*std::next(adr, 2), 1), "PAT"},  // a patient's rows gone, its ADR and PAT not
        {R"("statement": )" + after("UPDATE WORKSTATION SET QAMDID='' WHERE QAMDID='04'", 1), "WORKSTATION"},
        {R"("statement": )" + after("DELETE FROM KONTO WHERE MDID='04'", 1), "KONTO"},
        {R"("statement": )" + after("DELETE FROM MANDANT WHERE MDID='04'", 2), "NUMBERPOOL"},
        {R"("point": "MakeBillsForAllPat")", "BILL"},
    };
    for (const auto& [kill, changed] : kills) {
        SCOPED_TRACE(kill);
        m_storage.emplace(1, 200);
        ASSERT_TRUE(RunKilled(OwnerRun(kill)));
        ASSERT_TRUE(m_practice.Exists(kMarker));
        EXPECT_NE(m_practice.Dump(changed), tables.at(changed));

        const std::string started = MarkerStart();
        Run(R"js({"answers": [10, 7]})js");
        EXPECT_EQ(Messages(), (std::vector<std::string>{FinishQuestion(started, "Praxisinhaber 04, Ersatz 01", 10),
                                                        "MessageBox: Nochmal? -> 7"}));
        EXPECT_EQ(m_report.value(QStringLiteral("messages"))[0][QStringLiteral("caption")].toString().toStdString(),
                  "Praxisinhaber/Behandler löschen");
        EXPECT_EQ(Memo().front(), "Lösche Praxisinhaber 04");
        EXPECT_EQ(Memo().back(), "FERTIG!");
        EXPECT_FALSE(m_practice.Exists(kMarker));
        for (const auto& [table, dump] : tables)
            EXPECT_EQ(m_practice.Dump(table), dump) << table;
        EXPECT_EQ(Files(), files);
    }
}

// A run busy in another Kelvor is neither offered for finishing at start-up nor run a
// second time by a start press: this Kelvor says so and ends without a statement.
TEST_F(InterruptedRunTest, RunBusyInAnotherKelvorIsNotJoined)
{
    const auto tables = m_practice.DumpAll();
    // Whether this test holds the run from before the start, the scenario, the messages before the refusal.
    const std::tuple<bool, std::string, std::vector<std::string>> cases[] = {
        {true, R"js({"answers": [10, 10]})js", {}},
        {false, R"js({"answers": [11, 10], "actions": [{"select": 1001, "text": "04"}, {"select": 1002, "text": "01"},
            {"otherRun": true}, {"click": 1003}]})js",
         {"SollIch: Behandlermodus? -> 11", "SollIch: Soll der Löschvorgang jetzt gestartet werden? -> 10"}},
    };
    for (const auto& [held, scenario, before] : cases) {
        SCOPED_TRACE(scenario);
        std::optional<CRunMarker> other;
        if (held)
            static_cast<void>(other.emplace(m_practice.LogPath()).Begin(RunChoices{.deleteIds = {"02"}, .replacementId = "01"}, std::time(nullptr)));
        Run(scenario);
        const auto marker = CRunMarker(m_practice.LogPath()).Read();
        ASSERT_TRUE(marker);
        EXPECT_EQ(marker->choices.deleteIds, std::vector<std::string>{"02"});
        std::vector<std::string> messages = before;
        messages.push_back("Halt: Ein Löschvorgang läuft gerade (gestartet am " + MarkerStart() + ").\nKelvor wird beendet. -> 1");
        EXPECT_EQ(Messages(), messages);
        EXPECT_EQ(Statements(), std::vector<std::string>{});
        EXPECT_EQ(Memo(), std::vector<std::string>{});
        EXPECT_EQ(m_practice.DumpAll(), tables);
        std::filesystem::remove(m_practice.Folder() + "/" + kMarker);
    }
}

// Treaters 002 and 004 handed to 001, services by line treater and patients without services.
const char* const kTreaterMarker =
    "Modus=Behandler\nEntfernt=002\nEntfernt=004\nErsatz=001\nLeistungen=2\nStammbehandler=0\nOhneLeistungen=1\n"
    "RechnungenZahlungen=0\nFiBuKassenbuch=0\nLaborrechnungen=0\nDTA=0\nBeginn=2026-12-05 14:03:27\n";

class UnfinishedRunTest : public ScenarioFixture {
protected:
    void SetUp() override { AddOwnersAndTreaters(); }
};

TEST_F(UnfinishedRunTest, MarkerNotFinishedStaysAndTheModeQuestionFollows)
{
    const auto replaced = [](const std::string& line, const std::string& by) {
        std::string marker = kTreaterMarker;
        const std::size_t at = marker.find(line);
        return marker.replace(at, line.size(), by);
    };
    const std::string asked = FinishQuestion("05.12.2026 14:03", "Behandler 002, 004, Ersatz 001", 11);
    const std::string unreadable = "CRunMarker::Read: " + m_practice.Folder() + "/log/Kelvor.lauf cannot be read; taken as no interrupted run";
    const std::string no = R"js({"answers": [11, 11]})js";
    const std::vector<std::string> ownerMode = {"SollIch: Behandlermodus? -> 11"};
    // Nothing is asked before the password. A marker that is not whole is no run to
    // finish: a box it lacks is not an unchecked box.
    const std::tuple<std::string, std::string, std::vector<std::string>, std::vector<std::string>> cases[] = {
        {kTreaterMarker, no, {asked, ownerMode[0]}, {}},
        {kTreaterMarker, R"js({"password": false, "answers": [10, 10]})js", {}, {}},
        {replaced("Leistungen=2\n", "Leistungen=3\n"), no, ownerMode, {unreadable}},
        {replaced("DTA=0\n", ""), no, ownerMode, {unreadable}},
        {replaced("Ersatz=001\n", "Ersatz=001\nErsatz=002\n"), no, ownerMode, {unreadable}},
        {replaced("Modus=Behandler", "Modus=Praxisinhaber"), no, ownerMode, {unreadable}},
        {replaced("Beginn=2026-12-05 14:03:27", "Beginn=gestern"), no, ownerMode, {unreadable}},
    };
    for (const auto& [marker, scenario, messages, trace] : cases) {
        m_practice.WriteFile(kMarker, marker);
        Run(scenario);
        EXPECT_EQ(Messages(), messages) << marker;
        EXPECT_EQ(Trace(), trace);
        EXPECT_EQ(m_practice.Read(kMarker), marker);
        EXPECT_TRUE(Statements().empty());
    }
}

TEST_F(UnfinishedRunTest, FinishedRunIsTheRunOfItsChoicesWithoutChecksAndConfirmation)
{
    Run(R"js({"answers": [10, 10, 7], "actions": [{"checkItem": 1018, "index": 1, "value": true},
        {"checkItem": 1018, "index": 3, "value": true}, {"select": 1002, "text": "001 - 11 (Dr. Anna Berger)"},
        {"check": 1010, "value": true}, {"check": 1017, "value": true}, {"click": 1003}]})js");
    const QJsonObject started = m_report;
    const std::string log = LogBytes();
    const auto tables = m_practice.DumpAll();

    m_storage.emplace();
    AddOwnersAndTreaters();
    m_practice.WriteFile(kMarker, kTreaterMarker);
    Run(R"js({"answers": [10, 7]})js");
    EXPECT_EQ(Messages(), (std::vector<std::string>{FinishQuestion("05.12.2026 14:03", "Behandler 002, 004, Ersatz 001", 10),
                                                    "MessageBox: Nochmal? -> 7"}));
    for (const char* part : {"statements", "memo", "trace"})
        EXPECT_EQ(m_report.value(QString::fromLatin1(part)), started.value(QString::fromLatin1(part))) << part;
    // The started run was begun by a click on the start button, the finished one by no
    // click at all: where the focus lands depends on when the window was last served.
    const auto withoutFocus = [](QJsonObject controls) {
        for (const QString& id : controls.keys()) {
            QJsonObject control = controls.value(id).toObject();
            control.remove(QStringLiteral("focus"));
            controls.insert(id, control);
        }
        return controls;
    };
    EXPECT_EQ(withoutFocus(m_report.value(QStringLiteral("controls")).toObject()),
              withoutFocus(started.value(QStringLiteral("controls")).toObject()));
    EXPECT_EQ(LogBytes(), log);
    EXPECT_EQ(m_practice.DumpAll(), tables);
    EXPECT_FALSE(m_practice.Exists(kMarker));
}

// The removed owner is gone and one owner is left: the run still has its choice to finish.
TEST_F(UnfinishedRunTest, FinishedOwnerRunNeedsNeitherTheRemovedOwnerNorASecondOneInTheList)
{
    m_practice.Exec("DELETE FROM MANDANT WHERE MDID<>'01'");
    m_practice.WriteFile(kMarker, "Modus=Praxisinhaber\nEntfernt=02\nErsatz=01\nLeistungen=0\nStammbehandler=0\n"
                                  "OhneLeistungen=0\nRechnungenZahlungen=1\nFiBuKassenbuch=1\nLaborrechnungen=1\nDTA=1\n"
                                  "Beginn=2026-01-31 09:05:00\n");
    Run(R"js({"answers": [10, 7]})js");
    EXPECT_EQ(Messages(), (std::vector<std::string>{FinishQuestion("31.01.2026 09:05", "Praxisinhaber 02, Ersatz 01", 10),
                                                    "MessageBox: Nochmal? -> 7"}));
    EXPECT_EQ(Memo().front(), "Lösche Praxisinhaber 02");
    EXPECT_EQ(Memo().back(), "FERTIG!");
    EXPECT_EQ(Control(IDC_OWNER).value(QStringLiteral("text")).toString(), QString());
    EXPECT_EQ(Control(IDC_REPLACEMENT).value(QStringLiteral("text")).toString(), QStringLiteral("01"));
    EXPECT_EQ(m_practice.Count("LEB", "MDIDK='02' OR MDIDP='02'"), 0);
    EXPECT_FALSE(m_practice.Exists(kMarker));
}
}  // namespace
