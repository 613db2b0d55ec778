#pragma once
#include "TestPractice.h"
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <set>

std::vector<std::string> Strings(const QJsonArray& array);
// The practice's files and folders without the log folder, which every run writes to.
std::vector<std::string> FilesOf(const TestPractice& practice);
// Every file and folder below a folder ("name/" for a folder) with its bytes; the database's
// shared-memory index and an empty write-ahead log, the working files any start makes, left out.
std::map<std::string, std::string> BytesBelow(const std::string& folder);
// Every table's rows, one text each (a table without rows too).
using Rows = std::map<std::string, std::set<std::string>>;
Rows RowsOf(const TestPractice& practice);
// The memo's last two lines and the messages but the questions every run asks, each
// after " / ", the database's own text of an error left out ("<text>").
std::string Ending(const QJsonObject& report);
// Owner 04 goes to 01 with every data group; killed as kill says ("" for no kill).
std::string OwnerRun(const std::string& kill = "");

// Runs the whole program on a scenario against a fresh practice and reads its report.
class ScenarioFixture : public ::testing::Test {
protected:
    // An empty practice, or with a seed the generated practice of that size.
    explicit ScenarioFixture(unsigned seed = 0, long patients = 0)
        : m_practice(seed == 0 ? m_storage.emplace() : m_storage.emplace(seed, patients)) {}

    // Owners 01, 02, 03; treaters 001 (01/01, Dr. Anna Berger), 002 (02/02, Jonas Keller),
    // 003 (cash 02, private 01), 004 (03/03, no staff address); the number pool.
    void AddOwnersAndTreaters() const;

    QJsonObject Run(const std::string& scenarioJson) { return Run(m_practice, scenarioJson); }
    QJsonObject Run(const TestPractice& practice, const std::string& scenarioJson);
    // The scenario in a child process of the runner. Unprivileged, when this test runs as
    // root (who may write whatever the modes say), it runs as the user 65534, who is
    // given the practice's files.
    void StartChild(QProcess& child, const std::string& scenarioJson, bool unprivileged = false) const;
    // Waits for the child; true when it ended on its own, its report then the one read.
    bool FinishChild(QProcess& child);
    // The scenario in a child process that is to end on its own.
    void RunChild(const std::string& scenarioJson, bool unprivileged);

    // "Kind: text -> answer" for each message of the report.
    std::vector<std::string> Messages() const;
    std::vector<std::string> Memo() const { return Strings(m_report.value(QStringLiteral("memo")).toArray()); }
    std::vector<std::string> Statements() const { return Strings(m_report.value(QStringLiteral("statements")).toArray()); }
    std::vector<std::string> Trace() const { return Strings(m_report.value(QStringLiteral("trace")).toArray()); }
    QJsonObject Control(int id) const { return m_report[u"controls"][QString::number(id)].toObject(); }
    // One digit a control, "1" where the property is true, a blank after every fourth.
    std::string Flags(const char* property, const std::vector<int>& ids) const;
    std::string LogBytes() const { return m_practice.Read("log/Kelvor.log"); }

    std::optional<TestPractice> m_storage;
    TestPractice& m_practice;
    QJsonObject m_report;
};
