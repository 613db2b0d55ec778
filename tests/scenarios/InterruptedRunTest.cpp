// A run cut short (kill -9, power loss) leaves its marker; the next start offers to finish it, and
// finishing reaches the state of a run that was never interrupted. A busy run is never joined.
#include "RunMarker.h"
#include "SeamScope.h"
#include "ScenarioFixture.h"
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

namespace {
const char* const kMarker = "log/Kelvor.lauf";
const char* const kBusy = "Halt: Ein Löschvorgang läuft gerade (gestartet am <start>).\nKelvor wird beendet. -> 1";

// "<start>" stands for the marker's start as the messages show it.
std::string FinishQuestion(const std::string& summary, int answer)
{
    return "SollIch: Der Löschvorgang vom <start> wurde nicht beendet:\n" + summary +
           "\n\nSoll er jetzt zu Ende geführt werden? -> " + std::to_string(answer);
}

// The messages with "<start>" for "05.12.2026 14:03", from the marker's "Beginn=2026-12-05 14:03:27".
std::vector<std::string> WithStart(std::vector<std::string> messages, const std::string& marker)
{
    std::smatch begin;
    std::regex_search(marker, begin, std::regex("Beginn=(....)-(..)-(..) (..:..)"));
    for (std::string& message : messages)
        message = std::regex_replace(message, std::regex("<start>"), begin.format("$3.$2.$1 $4"));
    return messages;
}

// Whether the process waits for a lock that another holds ("1: -> FLOCK  ADVISORY  WRITE <pid> ...").
bool WaitsForLock(qint64 pid)
{
    std::ifstream locks("/proc/locks");
    const std::string text{std::istreambuf_iterator<char>(locks), {}};
    return std::regex_search(text, std::regex("-> FLOCK +ADVISORY +WRITE +" + std::to_string(pid) + " "));
}

using InterruptedRunTest = ScenarioFixture;

// Owner 04 goes to 01, the only owner left: finishing needs neither the removed owner
// nor a second one in the list.
TEST_F(InterruptedRunTest, KilledRunsAreFinishedToTheStateOfAnUninterruptedRun)
{
    const std::string others = "DELETE FROM MANDANT WHERE MDID IN ('02','03')";
    m_storage.emplace(1, 200).Exec(others);
    Run(OwnerRun());
    const auto tables = m_practice.DumpAll();
    const auto files = FilesOf(m_practice);
    ASSERT_EQ(Memo().back(), "FERTIG!");
    // The kill offset statements after the first that begins with text.
    const auto after = [statements = Statements()](const std::string& text, int offset) {
        const auto at = std::ranges::find_if(statements, [&text](const std::string& s) { return s.starts_with(text); });
        EXPECT_NE(at, statements.end()) << text;
        return R"("statement": )" + std::to_string(at - statements.begin() + offset);
    };
    // Where the run is killed, and a table the kill leaves different from the finished run.
    const std::pair<std::string, std::string> kills[] = {
        {after("DELETE FROM ADR ", 3), "PAT"},  // a patient's rows gone, its ADR and PAT not
        {after("UPDATE WORKSTATION SET QAMDID='' WHERE QAMDID='04'", 1), "WORKSTATION"},
        {after("DELETE FROM KONTO WHERE MDID='04'", 1), "KONTO"},
        {after("DELETE FROM MANDANT WHERE MDID='04'", 2), "NUMBERPOOL"},
        {R"("point": "MakeBillsForAllPat")", "BILL"},
    };
    for (const auto& [kill, changed] : kills) {
        SCOPED_TRACE(kill);
        m_storage.emplace(1, 200).Exec(others);
        QProcess child;
        StartChild(child, OwnerRun(kill));
        ASSERT_TRUE(child.waitForFinished(300000) && child.exitStatus() == QProcess::CrashExit);
        EXPECT_NE(m_practice.Dump(changed), tables.at(changed));

        const std::string marker = m_practice.Read(kMarker);
        Run(R"js({"answers": [10, 7]})js");
        EXPECT_EQ(Messages(), WithStart({FinishQuestion("Praxisinhaber 04, Ersatz 01", 10), "MessageBox: Nochmal? -> 7"}, marker));
        EXPECT_FALSE(m_practice.Exists(kMarker));
        EXPECT_EQ(m_practice.DumpAll(), tables);
        EXPECT_EQ(FilesOf(m_practice), files);
    }
}

// Treaters 002 and 004 handed to 001, services by line treater and patients without services.
const char* const kTreaterMarker =
    "Modus=Behandler\nEntfernt=002\nEntfernt=004\nErsatz=001\nLeistungen=2\nStammbehandler=0\nOhneLeistungen=1\n"
    "RechnungenZahlungen=0\nFiBuKassenbuch=0\nLaborrechnungen=0\nDTA=0\nBeginn=2026-12-05 14:03:27\n";

using UnfinishedRunTest = ScenarioFixture;

std::string Replaced(const std::string& line, const std::string& by)
{
    std::string marker = kTreaterMarker;
    return marker.replace(marker.find(line), line.size(), by);
}

// Another Kelvor's run: none, one holding its marker from before the start, or one
// between its look for a busy run and its marker just when this Kelvor presses start.
enum class Other { None, Holds, StartsAtTheSameMoment };

struct StartCase {
    std::string marker;  // found at the start; another Kelvor's when there is one
    Other other;
    std::string scenario;
    std::vector<std::string> messages;
    std::string trace;   // what the marker is traced as, if anything
};

// The notice for a marker whose replacement the dialog would refuse.
std::string Unfinishable(const std::string& summary, const std::string& why)
{
    return "Halt: Der Löschvorgang vom <start> wurde nicht beendet:\n" + summary +
           "\n\nEr kann nicht zu Ende geführt werden, weil der Ersatz " + why + " -> 1";
}

// Nothing is done before the password, nor when the user does not finish the run, nor
// while another Kelvor runs one. A marker that is not whole is no run to finish: a box
// it lacks is not an unchecked box, and one with a replacement the dialog would refuse
// (gone, or itself to be removed) is said and not offered.
TEST_F(UnfinishedRunTest, AMarkerIsOnlyFinishedWhenAskedAndABusyRunIsNeverJoined)
{
    AddOwnersAndTreaters();
    const std::string no = R"js({"answers": [11, 11]})js";
    const std::string ownerMode = "SollIch: Behandlermodus? -> 11";
    const std::string unreadable = "CRunMarker::Read: " + m_practice.LogPath() + "Kelvor.lauf cannot be read; taken as no interrupted run";
    const std::string refused = "CKelvorApp: Kelvor.lauf kann nicht zu Ende geführt werden: ";
    const StartCase cases[] = {
        {kTreaterMarker, Other::None, no, {FinishQuestion("Behandler 002, 004, Ersatz 001", 11), ownerMode}, ""},
        {kTreaterMarker, Other::None, R"js({"password": false, "answers": [10, 10]})js", {}, ""},
        {Replaced("Leistungen=2\n", "Leistungen=3\n"), Other::None, no, {ownerMode}, unreadable},
        {Replaced("DTA=0\n", ""), Other::None, no, {ownerMode}, unreadable},
        {Replaced("Ersatz=001\n", "Ersatz=001\nErsatz=002\n"), Other::None, no, {ownerMode}, unreadable},
        {Replaced("Modus=Behandler", "Modus=Praxisinhaber"), Other::None, no, {ownerMode}, unreadable},
        {Replaced("Beginn=2026-12-05 14:03:27", "Beginn=gestern"), Other::None, no, {ownerMode}, unreadable},
        {Replaced("Ersatz=001\n", "Ersatz=009\n"), Other::None, no,
         {Unfinishable("Behandler 002, 004, Ersatz 009", "009 nicht in der Datenbank ist."), ownerMode},
         refused + "Behandler 002, 004, Ersatz 009"},
        {Replaced("Ersatz=001\n", "Ersatz=004\n"), Other::None, no,
         {Unfinishable("Behandler 002, 004, Ersatz 004", "004 selbst gelöscht werden soll."), ownerMode},
         refused + "Behandler 002, 004, Ersatz 004"},
        {Replaced("Modus=Behandler\nEntfernt=002\nEntfernt=004\nErsatz=001", "Modus=Praxisinhaber\nEntfernt=02\nErsatz=001"),
         Other::None, no, {Unfinishable("Praxisinhaber 02, Ersatz 001", "001 nicht in der Datenbank ist."), ownerMode},
         refused + "Praxisinhaber 02, Ersatz 001"},
        {"", Other::Holds, R"js({"answers": [10, 10]})js", {kBusy}, ""},
        {"", Other::StartsAtTheSameMoment, R"js({"answers": [11, 10], "actions": [{"select": 1001, "text": "02"},
            {"select": 1002, "text": "01"}, {"click": 1003}]})js",
         {ownerMode, "SollIch: Soll der Löschvorgang jetzt gestartet werden? -> 10", kBusy}, ""},
    };
    const auto tables = m_practice.DumpAll();
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.marker + c.scenario);
        std::filesystem::remove(m_practice.Folder() + "/" + kMarker);
        if (!c.marker.empty())
            m_practice.WriteFile(kMarker, c.marker);
        std::optional<CRunMarker> other;
        std::string marker = c.marker;   // as it must stay
        const auto begin = [&] {
            EXPECT_FALSE(other.emplace(m_practice.LogPath()).Begin(RunChoices{.deleteIds = {"02"}, .replacementId = "01"}, 0));
            marker = m_practice.Read(kMarker);
        };
        QProcess child;
        bool waited = false;
        if (c.other == Other::Holds)
            begin();
        if (c.other == Other::StartsAtTheSameMoment) {
            // This Kelvor must wait for the other's marker, never run beside it.
            {
                const CSeamScope<seam::RunPoint> atMarker([&](std::string_view) {
                    StartChild(child, c.scenario);
                    while (!(waited = WaitsForLock(child.processId())) && child.state() != QProcess::NotRunning)
                        child.waitForFinished(20);
                });
                begin();
            }
            ASSERT_TRUE(FinishChild(child));
            EXPECT_TRUE(waited);
        } else {
            Run(c.scenario);
        }
        EXPECT_EQ(m_practice.Read(kMarker), marker);
        EXPECT_EQ(Messages(), WithStart(c.messages, marker));
        EXPECT_EQ(Trace(), c.trace.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.trace});
        EXPECT_EQ(Statements(), std::vector<std::string>{});
        EXPECT_EQ(m_practice.DumpAll(), tables);
    }
}

TEST_F(UnfinishedRunTest, FinishedRunIsTheRunOfItsChoicesWithoutChecksAndConfirmation)
{
    AddOwnersAndTreaters();
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
    EXPECT_EQ(Messages(), WithStart({FinishQuestion("Behandler 002, 004, Ersatz 001", 10), "MessageBox: Nochmal? -> 7"}, kTreaterMarker));
    for (const char* part : {"statements", "memo", "trace"})
        EXPECT_EQ(m_report.value(QString::fromLatin1(part)), started.value(QString::fromLatin1(part))) << part;
    // The started run was begun by a click on the start button, the finished one by no
    // click at all: where the focus lands depends on when the window was last served.
    const QJsonObject controls = started.value(QStringLiteral("controls")).toObject();
    for (const QString& id : controls.keys())
        for (const QString& property : controls.value(id).toObject().keys())
            EXPECT_TRUE(property == u"focus" || Control(id.toInt()).value(property) == controls.value(id)[property])
                << id.toStdString() << " " << property.toStdString();
    EXPECT_EQ(LogBytes(), log);
    EXPECT_EQ(m_practice.DumpAll(), tables);
}
}  // namespace
