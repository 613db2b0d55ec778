// From start to close: password, mode question, the practices that cannot be worked on,
// and the start button's checks.
#include "Database.h"
#include "KelvorDlg.h"
#include "ScenarioFixture.h"
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>

namespace {
class StartUpTest : public ScenarioFixture {
protected:
    std::string PromptLog() const { return m_practice.Folder() + "/prompts.txt"; }
    void SetUp() override
    {
        ::setenv("VQ_STANDIN_LOG", PromptLog().c_str(), 1);
        AddOwnersAndTreaters();
    }
    void TearDown() override { ::unsetenv("VQ_STANDIN_LOG"); }

    // Four to a group: 1001, 1002, 1003, 1018, the choices 1009, 1010, 1011, 1017, then
    // the owner's own groups 1013, 1014, 1015, 1012.
    std::string States(const char* property) const
    {
        return Flags(property, {IDC_OWNER, IDC_REPLACEMENT, IDC_START, IDC_TREATER_LIST, IDC_SERVICES_BY_BILLING_CASE,
                                IDC_SERVICES_BY_LINE_TREATER, IDC_PATIENTS_BY_MAIN_TREATER, IDC_PATIENTS_WITHOUT_SERVICES,
                                IDC_JOURNAL_ENTRIES, IDC_TRANSFER_RECORDS, IDC_LAB_INVOICES, IDC_INVOICES_AND_PAYMENTS});
    }
};

TEST_F(StartUpTest, RefusedPasswordOrMissingLibraryEndsBeforeTheModeQuestion)
{
    const std::pair<const char*, std::string> cases[] = {
        {R"js({"password": false, "answers": [10]})js",
         "Für das Löschen von Praxisinhabern/Behandlern wird ein Passwort benötigt.\n\n"},
        {R"js({"password": "missing", "answers": [10]})js", ""},
    };
    for (const auto& [scenario, prompts] : cases) {
        std::remove(PromptLog().c_str());
        Run(scenario);
        EXPECT_TRUE(Messages().empty());
        EXPECT_TRUE(m_report.value(QStringLiteral("controls")).toObject().isEmpty());
        EXPECT_EQ(m_practice.Read("prompts.txt"), prompts);
        EXPECT_FALSE(dbDatabase.IsOpen());
    }
    // Even a start that ends at once has given Qt's own buttons their German texts.
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ((box.button(QMessageBox::Yes)->text() + u'|' + box.button(QMessageBox::No)->text() + u'|'
                  + box.button(QMessageBox::Cancel)->text()).toStdString(),
              "&Ja|&Nein|Abbrechen");
}

// Any answer but yes opens owner mode. Services go by billing case or by line treater;
// in treater mode a treater's services by line treater and its patients by main
// treater exclude each other. Unchecking checks nothing else.
TEST_F(StartUpTest, EachModeShowsItsChoicesAndTheChoicesExcludeEachOther)
{
    const std::vector<std::string> owners{"01", "02", "03"}, treaters{"001 - 11 (Dr. Anna Berger)", "002 - 12 (Jonas Keller)", "003", "004"};
    const struct { int answer; std::string clicks, checked; } cases[] = {
        {7, "", "0000 0000 1111"}, {7, "1009,1010", "0000 0100 1111"}, {7, "1009,1010,1011", "0000 0110 1111"},
        {7, "1009,1010,1011,1009", "0000 1010 1111"}, {7, "1009,1010,1011,1009,1011,1009", "0000 0000 1111"},
        {10, "", "0000 0010 0000"}, {10, "1010", "0000 0100 0000"}, {10, "1010,1011", "0000 0010 0000"},
        {10, "1010,1011,1011", "0000 0000 0000"},
    };
    for (const auto& c : cases) {
        std::string actions;
        for (std::size_t at = 0; at < c.clicks.size(); at += 5)
            actions += (at == 0 ? "{\"click\": " : ", {\"click\": ") + c.clicks.substr(at, 4) + "}";
        Run("{\"answers\": [" + std::to_string(c.answer) + "], \"actions\": [" + actions + "]}");
        const bool treaterMode = c.answer == 10;
        EXPECT_EQ(States("checked"), c.checked) << c.clicks;
        EXPECT_EQ(States("visible"), treaterMode ? "0111 0111 0000" : "1110 1111 1111");
        EXPECT_EQ(States("enabled"), "1111 1111 0000");
        EXPECT_EQ(Flags("visible", {IDC_MEMO}), treaterMode ? "0" : "1");
        EXPECT_EQ(Strings(Control(treaterMode ? IDC_TREATER_LIST : IDC_OWNER).value(QStringLiteral("items")).toArray()),
                  treaterMode ? treaters : owners);
        EXPECT_EQ(Strings(Control(IDC_REPLACEMENT).value(QStringLiteral("items")).toArray()), treaterMode ? treaters : owners);
    }
}

// Each refusal of the start button names the problem and focuses the control to
// correct; with one owner and one treater (the last two rows) neither mode can be
// worked on: the replacement shows the only one, nothing can be chosen or started.
TEST_F(StartUpTest, EachRefusalNamesTheProblemAndNothingIsDone)
{
    const struct { const char* scenario; std::string message, replacement; std::vector<int> focused, disabled; } cases[] = {
        {R"js({"answers": [11], "actions": [{"select": 1002, "text": "01"}, {"click": 1003}]})js",
         "Halt: Sie müssen einen zu löschenden Praxisinhaber auswählen!", "01", {IDC_OWNER}, {}},
        {R"js({"answers": [11], "actions": [{"select": 1001, "text": "02"}, {"click": 1003}]})js",
         "Halt: Sie müssen einen Ersatz-Praxisinhaber auswählen!", "", {IDC_REPLACEMENT}, {}},
        {R"js({"answers": [11], "actions": [{"select": 1001, "text": "02"}, {"select": 1002, "text": "02"}, {"click": 1003}]})js",
         "Halt: Zu löschender und Ersatz-Praxisinhaber müssen verschieden sein!", "02", {IDC_OWNER}, {}},
        // In treater mode the missing choice wins even when a replacement is chosen.
        {R"js({"answers": [10], "actions": [{"select": 1002, "text": "004"}, {"click": 1003}]})js",
         "Halt: Sie müssen einen zu löschenden Behandler auswählen!", "004", {IDC_TREATER_LIST}, {}},
        {R"js({"answers": [10], "actions": [{"checkItem": 1018, "index": 1, "value": true},
              {"checkItem": 1018, "index": 3, "value": true}, {"select": 1002, "text": "004"}, {"click": 1003}]})js",
         "Halt: Zu löschender und Ersatz-Behandler müssen verschieden sein!", "004", {IDC_TREATER_LIST}, {}},
        // 003 works for owner 02 in the cash practice and for owner 01 privately.
        {R"js({"answers": [11], "actions": [{"select": 1001, "text": "02"}, {"select": 1002, "text": "01"},
              {"check": 1011, "value": true}, {"click": 1003}]})js",
         "Halt: Behandler 003 arbeitet für verschiedene Praxisinhaber:\nKasse: 02, privat: 01\n\n"
         "Das Löschen von Patienten gemäß Stammbehandler ist daher nicht eindeutig möglich!",
         "01", {IDC_PATIENTS_BY_MAIN_TREATER}, {}},
        {R"js({"answers": [10, 10], "actions": [{"checkItem": 1018, "index": 0, "value": true}, {"click": 1003}]})js",
         "HaltE: Diese Praxis hat nur einen Behandler!", "001 - 11 (Dr. Anna Berger)", {},
         {IDC_REPLACEMENT, IDC_START, IDC_TREATER_LIST, IDC_PATIENTS_BY_MAIN_TREATER}},
        {R"js({"answers": [11], "actions": [{"click": 1003}]})js", "HaltE: Diese Praxis hat nur einen Praxisinhaber!", "01",
         {}, {IDC_OWNER, IDC_START}},
    };
    for (const auto& [scenario, message, replacement, focused, disabled] : cases) {
        if (!disabled.empty()) {
            m_practice.Exec("DELETE FROM MANDANT WHERE MDID<>'01'");
            m_practice.Exec("DELETE FROM LEB WHERE LEBID<>'001'");
        }
        Run(scenario);
        const std::string mode = std::string(scenario).substr(std::string_view(R"js({"answers": [)js").size(), 2);
        EXPECT_EQ(Messages(), (std::vector<std::string>{"SollIch: Behandlermodus? -> " + mode, message + " -> 1"}));
        EXPECT_EQ(Control(IDC_REPLACEMENT).value(QStringLiteral("text")).toString().toStdString(), replacement) << message;
        EXPECT_EQ(Flags("focus", focused), std::string(focused.size(), '1')) << message;
        EXPECT_EQ(Flags("enabled", disabled), std::string(disabled.size(), '0')) << message;
        EXPECT_TRUE(Statements().empty());
    }
}

}  // namespace
