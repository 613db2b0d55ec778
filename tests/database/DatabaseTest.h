#pragma once
#include "Database.h"
#include "HbTrace.h"
#include "ScriptedMessageService.h"
#include "TestPractice.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

// A fresh empty practice with the shared connections open; messages and trace
// entries are captured.
class DatabaseTest : public ::testing::Test {
protected:
    DatabaseTest()
    {
        m_previousService = SetMessageService(&m_messages);
        SetTraceSink([this](const std::string& text) { m_traces.push_back(text); });
    }

    ~DatabaseTest() override
    {
        CloseDatabase();
        SetTraceSink({});
        SetMessageService(m_previousService);
    }

    void SetUp() override { ASSERT_TRUE(OpenDatabase(2)); }

    // Rows of one table made from a list of column values.
    void InsertRows(const std::string& table, const std::vector<std::string>& columns,
                    const std::vector<std::vector<std::string>>& rows) const
    {
        for (const auto& row : rows) {
            std::map<std::string, std::string> values;
            for (std::size_t i = 0; i < columns.size(); ++i)
                values[columns[i]] = row[i];
            practice.Insert(table, values);
        }
    }

    // PAT rows with the patient numbers first ... first + count - 1, six digits.
    void InsertPatients(int first, int count) const
    {
        practice.Exec("BEGIN");
        for (int i = first; i < first + count; ++i)
            practice.Insert("PAT", {{"PATNR", PatNr(i)}});
        practice.Exec("COMMIT");
    }

    static std::string PatNr(int number)
    {
        const std::string digits = std::to_string(number);
        return std::string(6 - digits.size(), '0') + digits;
    }

    TestPractice practice;
    CScriptedMessageService m_messages;
    std::vector<std::string> m_traces;

private:
    IMessageService* m_previousService = nullptr;
};
