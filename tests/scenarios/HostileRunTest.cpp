// Runs on practices a careless technician or a hostile environment left behind: each
// row is the generated practice plus one change. Whatever the change, the run removes
// nothing that a run on the practice without it keeps, and nothing outside the practice.
#include "KelvorDlg.h"
#include "ScenarioFixture.h"
#include <algorithm>
#include <filesystem>
#include <functional>
#include <iterator>
#include <regex>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using Change = std::function<void(const TestPractice&)>;

struct HostileCase {
    const char* what;
    Change change;                     // the one change, on the run's practice only
    std::string ending = {};            // see Ending(); "<praxis>" stands for the practice folder
    std::vector<std::string> traces = {};   // the same
    // "-entry" also goes, "+entry" also comes, "=entry" must stay (practice files).
    std::vector<std::string> files = {};
    std::string scenario = OwnerRun();
    Change base = {};                  // on both practices, before the change
    bool runs = true;                  // false: the run does not start, nothing changes
    bool sqliteOnly = false;           // a NUL in a key
};

const std::string kFinished = "Lösche Praxisinhaber... / FERTIG!";
const std::string kNoHoldingFolder = " / Im Datenordner <praxis>/daten/ ist Kelvor.geloescht kein Ordner.\n\n"
                                     "Der Löschvorgang wird nicht gestartet.";

std::string RemoveOwner(const std::string& key)
{
    return R"js({"answers": [11, 10, 7], "actions": [{"select": 1001, "text": ")js" + key +
           R"js("}, {"select": 1002, "text": "01"}, {"click": 1003}]})js";
}

Change Sql(const std::string& statement)
{
    return [statement](const TestPractice& p) { p.Exec(statement); };
}

Change Owners(std::vector<std::string> keys)
{
    return [keys](const TestPractice& p) {
        for (const std::string& key : keys)
            p.Insert("MANDANT", {{"MDID", key}});
    };
}

Change Documents(std::vector<std::pair<std::string, std::string>> kindsAndKeys, int first)
{
    return [kindsAndKeys, first](const TestPractice& p) {
        int number = first;
        for (const auto& [kind, key] : kindsAndKeys)
            p.Insert("DOKUMENT", {{"LFDDOKUMENT", std::to_string(number++)}, {"DOKUMENTART", kind}, {"DOKUMENTKEY", key}});
    };
}

Change Files(std::vector<std::string> entries)
{
    return [entries](const TestPractice& p) {
        for (const std::string& entry : entries)
            p.WriteFile(entry);
    };
}

Change LinkTo(const std::string& entry, const std::string& target)
{
    return [entry, target](const TestPractice& p) { fs::create_directory_symlink(target, p.Folder() + "/" + entry); };
}

Change Both(Change first, Change second)
{
    return [first, second](const TestPractice& p) { first(p); second(p); };
}

// The owner number 4 is also another owner's: owner 04's files stay.
const std::vector<std::string> kNumberFour = {"=daten/apps/Logo4_Praxis.bmp", "=daten/bank/konto.4", "=daten/rz/4/",
                                              "=qa/QS04.xml", "=qa/4/QS04.xml"};
std::string SharedNumber(const std::string& other)
{
    return "Dateien der Nummer 4 nicht gelöscht: sie gehören auch zu Praxisinhaber " + other + ". / FERTIG!";
}

// Outside the practice, beside it: what a run that leaves the practice would hit.
const char* const kOutside = "../aussen";
const std::vector<std::string> kOutsideFiles = {"apps/Logo4_Praxis.bmp", "bank/konto.4", "rz/4/Abrechnung.dat",
    "QS04.xml", "4/QS04.xml", "geloescht/000009/Akte.pdf", "Papierkorb 2019/Brief.pdf", "secret.jpg"};
// Patient 000009 is removed by owner 04's run, 000001 and 000003 stay.
const std::string kHolding = "daten/Kelvor.geloescht/";

// A new row: what the practice has, the change, and how the run must end.
const HostileCase kHostileCases[] = {
    {.what = "a patient number of two dots and a NUL",
     .change = Sql("INSERT INTO PAT (PATNR, STAMMLEBID) SELECT CAST(X'2E2E00' AS TEXT), MIN(LEBID) FROM LEB WHERE MDIDK='04'"),
     .ending = "Lösche Patienten gemäß Stammbehandler... / FEHLER!!! / Fehler beim Löschen des Patienten ..\\x00!\nBreche ab.",
     .sqliteOnly = true},
    {.what = "a patient number that is a NUL",
     .change = Sql("INSERT INTO PAT (PATNR, STAMMLEBID) SELECT CAST(X'00' AS TEXT), MIN(LEBID) FROM LEB WHERE MDIDK='04'"),
     .ending = "Lösche Patienten gemäß Stammbehandler... / FEHLER!!! / Fehler beim Löschen des Patienten \\x00!\nBreche ab.",
     .sqliteOnly = true},
    {.what = "an empty patient number beside documents without a patient",
     .change = Both(Sql("INSERT INTO PAT (PATNR, STAMMLEBID) SELECT '', MIN(LEBID) FROM LEB WHERE MDIDK='04'"),
                    Documents({{"v", "01"}, {"m", "02"}}, 900001)),
     .ending = "Lösche Patienten gemäß Stammbehandler... / FEHLER!!! / Fehler beim Löschen des Patienten !\nBreche ab."},
    {.what = "no QA folder",
     .change = [](const TestPractice& p) { p.Set("Pfade", "QA", ""); },
     .ending = kFinished,
     .traces = {"CKelvorDlg: [Pfade] QA names no folder, nothing is removed there"}},
    {.what = "no data folder",
     .change = [](const TestPractice& p) { p.Set("Pfade", "Daten", ""); },
     .ending = kFinished,
     .traces = {"CKelvorDlg: [Pfade] Daten names no folder, nothing is removed there"}},
    {.what = "the practice's geloescht/ a link to a folder outside",
     .change = LinkTo("daten/geloescht", "../../aussen"),
     .ending = kFinished},
    {.what = "the practice's own geloescht/",
     .change = Files({"daten/geloescht/Papierkorb 2019/Brief.pdf", "daten/geloescht/000001/alt.txt"}),
     .ending = kFinished},
    {.what = "Kelvor.geloescht a link to a folder outside",
     .change = LinkTo("daten/Kelvor.geloescht", "../../aussen"),
     .ending = kNoHoldingFolder,
     .runs = false},
    {.what = "Kelvor.geloescht a file", .change = Files({"daten/Kelvor.geloescht"}), .ending = kNoHoldingFolder, .runs = false},
    {.what = "what an earlier run left in Kelvor.geloescht",
     .change = Both(Files({kHolding + "000099/alt.txt", kHolding + "000003/alt.txt", kHolding + "000001/alt.txt",
                           kHolding + "notiz.txt"}),
                    LinkTo(kHolding + "verweis", "../../../aussen/geloescht")),
     .ending = kFinished,
     .traces = {"CLoeschkonzept: leaves <praxis>/" + kHolding + "000001",
                "CLoeschkonzept: leaves <praxis>/" + kHolding + "notiz.txt",
                "CLoeschkonzept: leaves <praxis>/" + kHolding + "verweis"},
     .files = {"-" + kHolding + "000099/", "-" + kHolding + "000099/alt.txt", "-" + kHolding + "000003/",
               "-" + kHolding + "000003/alt.txt", "+daten/pat/000003/", "+daten/pat/000003/alt.txt",
               "=" + kHolding + "000001/alt.txt"}},
    {.what = "an owner key that climbs out of the photo folder",
     .change = Files({"daten/fotos/mandant_alt/"}),
     .ending = kFinished,
     .scenario = RemoveOwner("_alt/../../../../aussen/secret"),
     .base = Owners({"_alt/../../../../aussen/secret"})},
    {.what = "owners 04 and 04 with a blank", .change = Owners({"04 "}), .ending = SharedNumber("04 "), .files = kNumberFour},
    {.what = "owners 04, 4 and +4", .change = Owners({"4", "+4"}), .ending = SharedNumber("+4"), .files = kNumberFour},
    {.what = "owners 04 and 4x", .change = Owners({"4x"}), .ending = SharedNumber("4x"), .files = kNumberFour},
    {.what = "an owner whose key begins with the removed key",
     .change = Both(Owners({"041"}), Documents({{"m", "041"}, {"p", "0410001"}}, 900001)),
     .ending = kFinished},
    {.what = "owners whose keys differ in letter case",
     .change = Documents({{"m", "AB"}, {"p", "AB000001"}}, 900002),
     .ending = kFinished,
     .scenario = RemoveOwner("ab"),
     .base = Both(Owners({"ab", "AB"}), Documents({{"m", "ab"}}, 900001))},
};

// The rows ("TABLE: row") and the files of a practice, the database's working files
// among them once the rows are read. The number pool takes the highest owner left,
// which the added owners change: it is left out.
std::set<std::string> StateOf(const TestPractice& practice)
{
    std::set<std::string> state;
    for (const auto& [table, rows] : RowsOf(practice))
        for (const std::string& row : rows)
            if (table != "NUMBERPOOL")
                state.insert(table + ": " + row);
    for (const std::string& file : FilesOf(practice))
        state.insert(file);
    return state;
}

// What a run changed: "-" lost and "+" new rows and files.
std::set<std::string> Changes(const std::set<std::string>& before, const std::set<std::string>& after)
{
    std::set<std::string> changes;
    for (const auto& [sign, from, without] : {std::tuple("-", &before, &after), std::tuple("+", &after, &before)})
        for (const std::string& entry : *from)
            if (!without->contains(entry))
                changes.insert(sign + entry);
    return changes;
}

std::string InPractice(const std::string& text, const TestPractice& practice)
{
    return std::regex_replace(text, std::regex("<praxis>"), practice.Folder());
}

class HostileRunTest : public ScenarioFixture {
protected:
    // A generated practice with the row's base and two patient folders, one of a
    // patient the run removes.
    static void Prepare(const TestPractice& practice, const HostileCase& c)
    {
        Files({"daten/pat/000009/Akte.pdf", "daten/pat/000001/Akte.pdf"})(practice);
        if (c.base)
            c.base(practice);
    }

    // What the row's run changes on its practice without the change; made once for
    // the rows without a base of their own.
    std::set<std::string> ReferenceChanges(const HostileCase& c)
    {
        if (const auto known = m_shared.find(c.scenario); !c.base && known != m_shared.end())
            return known->second;
        const TestPractice reference(1, 60);
        Prepare(reference, c);
        const std::set<std::string> before = StateOf(reference);
        EXPECT_EQ(Ending(Run(reference, c.scenario)), kFinished);
        EXPECT_FALSE(reference.Exists(kHolding));   // a normal run leaves no holding folder behind
        const std::set<std::string> changes = Changes(before, StateOf(reference));
        if (!c.base)
            m_shared[c.scenario] = changes;
        return changes;
    }

    std::map<std::string, std::set<std::string>> m_shared;
};

// Every row: the run's ending, messages and trace exactly; of the rows and files of the
// practice only what the same run on the practice without the change changes, and what
// the row names; outside the practice nothing. The run starts in the outside folder,
// which a folder setting that names none must not turn into the current one.
TEST_F(HostileRunTest, NothingGoesButWhatBelongsToTheRemovedOwner)
{
    for (const HostileCase& c : kHostileCases) {
        SCOPED_TRACE(c.what);
        if (c.sqliteOnly && m_practice.OnServer())
            continue;
        std::set<std::string> allowed = c.runs ? ReferenceChanges(c) : std::set<std::string>{};
        TestPractice& practice = m_storage.emplace(1, 60);
        Prepare(practice, c);
        const fs::path outside = fs::weakly_canonical(practice.Folder() + "/" + kOutside);
        for (const std::string& file : kOutsideFiles)
            practice.WriteFile(std::string(kOutside) + "/" + file, file);
        const auto outsideBefore = BytesBelow(outside);
        c.change(practice);
        const std::set<std::string> before = StateOf(practice);
        const fs::path previous = fs::current_path();
        fs::current_path(outside);
        Run(c.scenario);
        fs::current_path(previous);

        EXPECT_EQ(Ending(m_report), InPractice(c.ending, practice));
        std::vector<std::string> traces;
        for (const std::string& trace : c.traces)
            traces.push_back(InPractice(trace, practice));
        EXPECT_EQ(Trace(), traces);
        EXPECT_EQ(BytesBelow(outside), outsideBefore);
        const std::set<std::string> changes = Changes(before, StateOf(practice));
        for (const std::string& file : c.files) {
            if (file.front() == '=')
                EXPECT_TRUE(practice.Exists(file.substr(1))) << file;
            else
                EXPECT_TRUE(changes.contains(file)) << file;
            allowed.insert(file);
        }
        std::vector<std::string> unexpected;
        std::ranges::set_difference(changes, allowed, std::back_inserter(unexpected));
        EXPECT_EQ(unexpected, std::vector<std::string>{});
        if (!c.runs) {   // no statement, no marker, and the dialog stays ready for another start
            EXPECT_EQ(Statements(), std::vector<std::string>{});
            EXPECT_FALSE(practice.Exists("log/Kelvor.lauf"));
            EXPECT_EQ(Flags("enabled", {IDC_OWNER, IDC_REPLACEMENT, IDC_START}), "111");
        }
    }
}

}  // namespace
