// The start button's checks: each refusal with its message and focus, and that a
// refused or unconfirmed start changes nothing.
#include "KelvorDlg.h"
#include "ScenarioFixture.h"

namespace {
class StartChecksTest : public ScenarioFixture {
protected:
    void SetUp() override { AddOwnersAndTreaters(); }
};

struct Refusal {
    const char* scenario;
    std::string message;
    int focus;
};

TEST_F(StartChecksTest, EachRefusalNamesTheProblemAndFocusesTheControlToCorrect)
{
    const Refusal refusals[] = {
        {R"js({"answers": [11], "actions": [{"select": 1002, "text": "01"}, {"click": 1003}]})js",
         "Sie müssen einen zu löschenden Praxisinhaber auswählen!", IDC_OWNER},
        {R"js({"answers": [11], "actions": [{"select": 1001, "text": "02"}, {"click": 1003}]})js",
         "Sie müssen einen Ersatz-Praxisinhaber auswählen!", IDC_REPLACEMENT},
        {R"js({"answers": [11], "actions": [{"select": 1001, "text": "02"}, {"select": 1002, "text": "02"}, {"click": 1003}]})js",
         "Zu löschender und Ersatz-Praxisinhaber müssen verschieden sein!", IDC_OWNER},
        // In treater mode the missing choice wins even when a replacement is chosen.
        {R"js({"answers": [10], "actions": [{"select": 1002, "text": "004"}, {"click": 1003}]})js",
         "Sie müssen einen zu löschenden Behandler auswählen!", IDC_TREATER_LIST},
        {R"js({"answers": [10], "actions": [{"checkItem": 1018, "index": 1, "value": true},
              {"checkItem": 1018, "index": 3, "value": true}, {"select": 1002, "text": "004"}, {"click": 1003}]})js",
         "Zu löschender und Ersatz-Behandler müssen verschieden sein!", IDC_TREATER_LIST},
        // 003 works for owner 02 in the cash practice and for owner 01 privately.
        {R"js({"answers": [11], "actions": [{"select": 1001, "text": "02"}, {"select": 1002, "text": "01"},
              {"check": 1011, "value": true}, {"click": 1003}]})js",
         "Behandler 003 arbeitet für verschiedene Praxisinhaber:\nKasse: 02, privat: 01\n\n"
         "Das Löschen von Patienten gemäß Stammbehandler ist daher nicht eindeutig möglich!",
         IDC_PATIENTS_BY_MAIN_TREATER},
    };
    for (const Refusal& refusal : refusals) {
        Run(refusal.scenario);
        ASSERT_EQ(Messages().size(), 2u);
        EXPECT_EQ(Messages().front().rfind("SollIch: Behandlermodus? -> ", 0), 0u);
        EXPECT_EQ(Messages().back(), "Halt: " + refusal.message + " -> 1");
        EXPECT_TRUE(Control(refusal.focus).value(QStringLiteral("focus")).toBool()) << refusal.message;
        EXPECT_TRUE(Statements().empty());
    }
}

// An unconfirmed start changes nothing. Without patients by main treater the same
// owner is no conflict; treater mode has no owner conflict check at all.
TEST_F(StartChecksTest, RefusedConfirmationChangesNothing)
{
    const auto before = m_practice.DumpAll();
    const std::pair<std::string, const char*> cases[] = {
        {"11", R"js([{"select": 1001, "text": "02"}, {"select": 1002, "text": "01"}, {"click": 1003}])js"},
        {"10", R"js([{"checkItem": 1018, "index": 2, "value": true}, {"select": 1002, "text": "004"}, {"click": 1003}])js"},
    };
    for (const auto& [mode, actions] : cases) {
        Run("{\"answers\": [" + mode + ", 11], \"actions\": " + actions + "}");
        EXPECT_EQ(Messages(), (std::vector<std::string>{"SollIch: Behandlermodus? -> " + mode,
                                                        "SollIch: Soll der Löschvorgang jetzt gestartet werden? -> 11"}));
        EXPECT_EQ(m_practice.DumpAll(), before);
        EXPECT_TRUE(Statements().empty());
        EXPECT_TRUE(Memo().empty());
        EXPECT_EQ(Control(IDC_PATIENTS_BY_MAIN_TREATER).value(QStringLiteral("checked")).toBool(), mode == "10");
        for (const int id : {IDC_OWNER, IDC_REPLACEMENT, IDC_START, IDC_SERVICES_BY_BILLING_CASE, IDC_SERVICES_BY_LINE_TREATER,
                             IDC_PATIENTS_BY_MAIN_TREATER, IDC_PATIENTS_WITHOUT_SERVICES})
            EXPECT_TRUE(Control(id).value(QStringLiteral("enabled")).toBool()) << id;
    }
}
}  // namespace
