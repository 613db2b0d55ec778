// A connect text's password never reaches a trace, a log, a message or the output:
// a whole run with failing statements and an open that the server refuses.
#include "IniFile.h"
#include "ScenarioRunner.h"
#include "TestPractice.h"
#include <QJsonDocument>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <unistd.h>
#include <utility>

namespace {

const char* const kOwnerRun = R"js({"answers": [7, 10, 7], "actions": [
    {"select": 1001, "text": "02"}, {"select": 1002, "text": "01"}, {"check": 1013, "value": true},
    {"check": 1014, "value": true}, {"click": 1003}]})js";

class PasswordLeakTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (TestPractice::ServerConnect().empty())
            GTEST_SKIP() << "no test server (KELVOR_TEST_SERVER)";
        m_practice.emplace(1, 20);
        m_role = "kelvor_leak_" + std::to_string(::getpid());
        m_password = "Geheim-" + std::to_string(std::random_device{}()) + "-Wort";
        TestPractice::ExecOnServer(DropLogin());
        if (TestPractice::ServerDialect() == SqlDialect::MariaDb) {
            TestPractice::ExecOnServer("CREATE USER " + m_role + " IDENTIFIED BY '" + m_password + "'");
            TestPractice::ExecOnServer("GRANT ALL ON " + m_practice->ServerDatabase() + ".* TO " + m_role);
        } else {
            TestPractice::ExecOnServer("CREATE ROLE " + m_role + " LOGIN PASSWORD '" + m_password + "'");
            m_practice->Exec("GRANT ALL ON ALL TABLES IN SCHEMA public TO " + m_role);
        }
    }

    void TearDown() override
    {
        if (m_practice) {
            m_practice.reset();
            TestPractice::ExecOnServer(DropLogin());
        }
    }

    std::string DropLogin() const
    {
        return (TestPractice::ServerDialect() == SqlDialect::MariaDb ? "DROP USER IF EXISTS " : "DROP ROLE IF EXISTS ")
            + m_role;
    }

    // The practice's connect text with this test's login and the given password.
    void UseLogin(const std::string& password) const
    {
        const std::string server = TestPractice::ServerConnect();
        const std::string connect = "odbc:" + server.substr(0, server.find(";UID=")) + ";DATABASE="
            + m_practice->ServerDatabase() + ";UID=" + m_role + ";PWD=" + password;
        CIniFile::Change(m_practice->Folder() + "/vqparams.ini", "Datenbank", "Verbindung", connect);
    }

    std::optional<TestPractice> m_practice;
    std::string m_role;
    std::string m_password;
};

// A wrong password first (it holds the right one), then a run whose statements fail.
TEST_F(PasswordLeakTest, NeitherARefusedLoginNorARunWithFailingStatementsNamesThePassword)
{
    m_practice->Exec("DROP TABLE ZEHIT");
    const std::pair<std::string, std::string> cases[] = {
        {m_password + "-falsch", "Die Praxisdatenbank kann nicht geöffnet werden:\\nDer Datenbankserver 127.0.0.1 (Datenbank "
                                     + m_practice->ServerDatabase() + ") ist nicht erreichbar: "},
        {m_password, "CKelvorDlg::ExecuteSQL: DELETE FROM ZEHIT WHERE MDID='02'"}};
    for (const auto& [password, expected] : cases) {
        UseLogin(password);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        std::string seen = RunScenario(m_practice->Folder(), kOwnerRun);
        seen += testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr();
        EXPECT_NE(seen.find(expected), std::string::npos) << seen;
        EXPECT_EQ(seen.find(m_password), std::string::npos) << seen;
        EXPECT_EQ((m_practice->Read("log/Trace.log") + m_practice->Read("log/Kelvor.log")).find(m_password), std::string::npos);
    }
    EXPECT_NE(m_practice->Read("log/Trace.log").find("DELETE FROM ZEHIT WHERE MDID='02'"), std::string::npos);
    EXPECT_EQ(m_practice->Count("FBUCHUNG", "MDID='02'"), 0);
}

}  // namespace
