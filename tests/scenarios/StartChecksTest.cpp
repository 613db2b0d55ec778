// The start button's checks: each refusal with its message and focus, and that a
// refused or unconfirmed start changes nothing.
#include "KelvorDlg.h"
#include "ScenarioFixture.h"

namespace {
class StartChecksTest : public ScenarioFixture {
protected:
    void SetUp() override { AddOwnersAndTreaters(); }

    bool Focused(int id) const { return Control(id).value(QStringLiteral("focus")).toBool(); }
};

TEST_F(StartChecksTest, OwnerToRemoveMustBeChosen)
{
    Run(R"js({"answers": [11], "actions": [{"select": 1002, "text": "01"}, {"click": 1003}]})js");
    EXPECT_EQ(Messages(), (std::vector<std::string>{"SollIch: Behandlermodus? -> 11",
                                                    "Halt: Sie müssen einen zu löschenden Praxisinhaber auswählen! -> 1"}));
    EXPECT_TRUE(Focused(IDC_OWNER));
    EXPECT_TRUE(Statements().empty());
}

TEST_F(StartChecksTest, ReplacementOwnerMustBeChosen)
{
    Run(R"js({"answers": [11], "actions": [{"select": 1001, "text": "02"}, {"click": 1003}]})js");
    EXPECT_EQ(Messages(), (std::vector<std::string>{"SollIch: Behandlermodus? -> 11",
                                                    "Halt: Sie müssen einen Ersatz-Praxisinhaber auswählen! -> 1"}));
    EXPECT_TRUE(Focused(IDC_REPLACEMENT));
}

TEST_F(StartChecksTest, OwnerAndReplacementMustDiffer)
{
    Run(R"js({"answers": [11], "actions": [{"select": 1001, "text": "02"}, {"select": 1002, "text": "02"}, {"click": 1003}]})js");
    EXPECT_EQ(Messages(), (std::vector<std::string>{"SollIch: Behandlermodus? -> 11",
                                                    "Halt: Zu löschender und Ersatz-Praxisinhaber müssen verschieden sein! -> 1"}));
    EXPECT_TRUE(Focused(IDC_OWNER));
}

TEST_F(StartChecksTest, TreaterToRemoveIsCheckedFirstEvenWithAReplacement)
{
    Run(R"js({"answers": [10], "actions": [{"select": 1002, "text": "004"}, {"click": 1003}]})js");
    EXPECT_EQ(Messages(), (std::vector<std::string>{"SollIch: Behandlermodus? -> 10",
                                                    "Halt: Sie müssen einen zu löschenden Behandler auswählen! -> 1"}));
    EXPECT_TRUE(Focused(IDC_TREATER_LIST));
}

TEST_F(StartChecksTest, ReplacementTreaterMustNotBeAmongThoseRemoved)
{
    Run(R"js({"answers": [10], "actions": [{"checkItem": 1018, "index": 1, "value": true},
            {"checkItem": 1018, "index": 3, "value": true}, {"select": 1002, "text": "004"}, {"click": 1003}]})js");
    EXPECT_EQ(Messages(), (std::vector<std::string>{"SollIch: Behandlermodus? -> 10",
                                                    "Halt: Zu löschender und Ersatz-Behandler müssen verschieden sein! -> 1"}));
    EXPECT_TRUE(Focused(IDC_TREATER_LIST));
}

TEST_F(StartChecksTest, TreaterWithTwoOwnersStopsPatientsByMainTreater)
{
    Run(R"js({"answers": [11], "actions": [{"select": 1001, "text": "02"}, {"select": 1002, "text": "01"},
            {"check": 1011, "value": true}, {"click": 1003}]})js");
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"SollIch: Behandlermodus? -> 11",
                                        "Halt: Behandler 003 arbeitet für verschiedene Praxisinhaber:\nKasse: 02, privat: 01\n\n"
                                        "Das Löschen von Patienten gemäß Stammbehandler ist daher nicht eindeutig möglich! -> 1"}));
    EXPECT_TRUE(Focused(IDC_PATIENTS_BY_MAIN_TREATER));
}

TEST_F(StartChecksTest, WithoutPatientsByMainTreaterTheSameOwnerIsAskedFor)
{
    const auto before = m_practice.DumpAll();
    Run(R"js({"answers": [11, 11], "actions": [{"select": 1001, "text": "02"}, {"select": 1002, "text": "01"}, {"click": 1003}]})js");
    EXPECT_EQ(Messages(), (std::vector<std::string>{"SollIch: Behandlermodus? -> 11",
                                                    "SollIch: Soll der Löschvorgang jetzt gestartet werden? -> 11"}));
    // Refused confirmation: nothing changed, the dialog stays ready.
    EXPECT_EQ(m_practice.DumpAll(), before);
    EXPECT_TRUE(Statements().empty());
    EXPECT_TRUE(Memo().empty());
    for (const int id : {IDC_OWNER, IDC_REPLACEMENT, IDC_START, IDC_SERVICES_BY_BILLING_CASE, IDC_SERVICES_BY_LINE_TREATER,
                         IDC_PATIENTS_BY_MAIN_TREATER, IDC_PATIENTS_WITHOUT_SERVICES})
        EXPECT_TRUE(Control(id).value(QStringLiteral("enabled")).toBool()) << id;
}

TEST_F(StartChecksTest, TreaterModeHasNoOwnerConflictCheck)
{
    // 003 works for two owners; in treater mode only the confirmation follows.
    Run(R"js({"answers": [10, 11], "actions": [{"checkItem": 1018, "index": 2, "value": true},
            {"select": 1002, "text": "004"}, {"click": 1003}]})js");
    EXPECT_TRUE(Control(IDC_PATIENTS_BY_MAIN_TREATER).value(QStringLiteral("checked")).toBool());
    EXPECT_EQ(Messages(), (std::vector<std::string>{"SollIch: Behandlermodus? -> 10",
                                                    "SollIch: Soll der Löschvorgang jetzt gestartet werden? -> 11"}));
}
}  // namespace
