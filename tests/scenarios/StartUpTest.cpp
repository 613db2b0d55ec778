// From start to close: password, mode question, and the practices that cannot be worked on.
#include "Database.h"
#include "KelvorDlg.h"
#include "ScenarioFixture.h"
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {
class StartUpTest : public ScenarioFixture {
protected:
    std::string PromptLog() const { return m_practice.Folder() + "/prompts.txt"; }
    void SetUp() override { ::setenv("VQ_STANDIN_LOG", PromptLog().c_str(), 1); }
    void TearDown() override { ::unsetenv("VQ_STANDIN_LOG"); }

    std::string Prompts() const
    {
        std::ifstream file(PromptLog(), std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }
};

TEST_F(StartUpTest, RefusedPasswordOrMissingLibraryEndsBeforeTheModeQuestion)
{
    AddOwnersAndTreaters();
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
        EXPECT_EQ(Prompts(), prompts);
        EXPECT_FALSE(dbDatabase.IsOpen());
    }
    // Even a start that ends at once has given Qt's own buttons their German texts.
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ((box.button(QMessageBox::Yes)->text() + u'|' + box.button(QMessageBox::No)->text() + u'|'
                  + box.button(QMessageBox::Cancel)->text()).toStdString(),
              "&Ja|&Nein|Abbrechen");
}

TEST_F(StartUpTest, AnyAnswerButYesOpensOwnerMode)
{
    AddOwnersAndTreaters();
    Run(R"js({"answers": [7]})js");
    EXPECT_EQ(Messages(), (std::vector<std::string>{"SollIch: Behandlermodus? -> 7"}));
    EXPECT_TRUE(Control(IDC_OWNER).value(QStringLiteral("visible")).toBool());
    EXPECT_FALSE(Control(IDC_TREATER_LIST).value(QStringLiteral("visible")).toBool());
    EXPECT_EQ(Strings(Control(IDC_OWNER).value(QStringLiteral("items")).toArray()),
              (std::vector<std::string>{"01", "02", "03"}));
    EXPECT_EQ(Control(IDC_OWNER).value(QStringLiteral("text")).toString(), QString());
}

TEST_F(StartUpTest, PracticeWithOneTreaterCannotBeWorkedOnInTreaterMode)
{
    m_practice.Insert("MANDANT", {{"MDID", "01"}});
    m_practice.Insert("LEB", {{"LEBID", "001"}, {"MDIDK", "01"}, {"MDIDP", "01"}, {"PERSONALID", "11"}});
    m_practice.Insert("PERSONALADR", {{"PERSONALID", "11"}, {"TITEL", "Dr."}, {"VORNAME", "Anna"}, {"NAME", "Berger"}});
    Run(R"js({"answers": [10, 10], "actions": [{"checkItem": 1018, "index": 0, "value": true}, {"click": 1003}]})js");
    EXPECT_EQ(Messages(), (std::vector<std::string>{"SollIch: Behandlermodus? -> 10",
                                                    "HaltE: Diese Praxis hat nur einen Behandler! -> 1"}));
    EXPECT_EQ(Control(IDC_REPLACEMENT).value(QStringLiteral("text")).toString().toStdString(), "001 - 11 (Dr. Anna Berger)");
    for (const int id : {IDC_REPLACEMENT, IDC_START, IDC_TREATER_LIST, IDC_PATIENTS_BY_MAIN_TREATER})
        EXPECT_FALSE(Control(id).value(QStringLiteral("enabled")).toBool()) << id;
    EXPECT_TRUE(Statements().empty());
}

TEST_F(StartUpTest, PracticeWithOneOwnerCannotBeWorkedOnInOwnerMode)
{
    m_practice.Insert("MANDANT", {{"MDID", "01"}});
    m_practice.Insert("LEB", {{"LEBID", "001"}, {"MDIDK", "01"}, {"MDIDP", "01"}});
    m_practice.Insert("LEB", {{"LEBID", "002"}, {"MDIDK", "01"}, {"MDIDP", "01"}});
    Run(R"js({"answers": [11]})js");
    EXPECT_EQ(Messages(), (std::vector<std::string>{"SollIch: Behandlermodus? -> 11",
                                                    "HaltE: Diese Praxis hat nur einen Praxisinhaber! -> 1"}));
    EXPECT_EQ(Control(IDC_REPLACEMENT).value(QStringLiteral("text")).toString().toStdString(), "01");
    EXPECT_FALSE(Control(IDC_OWNER).value(QStringLiteral("enabled")).toBool());
    EXPECT_FALSE(Control(IDC_START).value(QStringLiteral("enabled")).toBool());
}
}  // namespace
