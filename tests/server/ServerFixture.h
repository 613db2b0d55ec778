#pragma once
#include "DialogFixture.h"
#include <gtest/gtest.h>
#include <string>

// A dialog fixture whose practice lives on the test server; skipped without one.
class ServerFixture : public DialogFixture {
protected:
    void SetUp() override
    {
        if (TestPractice::ServerConnect().empty())
            GTEST_SKIP() << "no test server (KELVOR_TEST_SERVER)";
    }

    // What the program sees of a server that stops: every connection to the
    // practice database is cut and no new one is accepted. Other tests' databases
    // on the same server go on.
    void TakeServerAway()
    {
        const std::string name = Practice().ServerDatabase();
        if (TestPractice::ServerDialect() == SqlDialect::MariaDb) {
            // MariaDB cannot refuse the logins of one database: its connections are cut.
            Practice().CutServerConnections();
            return;
        }
        TestPractice::ExecOnServer("ALTER DATABASE " + name + " ALLOW_CONNECTIONS false");
        TestPractice::ExecOnServer("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname='" + name + "'");
    }
};
