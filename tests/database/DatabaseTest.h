#pragma once
#include "Database.h"
#include "HbRSet.h"
#include "HbTrace.h"
#include "ScriptedMessageService.h"
#include "TestPractice.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

using Texts = std::vector<std::string>;

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

    void InsertRows(const std::string& table, const Texts& columns, const std::vector<Texts>& rows) const
    {
        practice.Exec("BEGIN");
        for (const Texts& row : rows) {
            std::map<std::string, std::string> values;
            for (std::size_t i = 0; i < columns.size(); ++i)
                values[columns[i]] = row[i];
            practice.Insert(table, values);
        }
        practice.Exec("COMMIT");
    }

    static std::string Number(int number)
    {
        const std::string digits = std::to_string(number);
        return std::string(6 - digits.size(), '0') + digits;
    }

    // Rows whose last column counts first ... last, six digits.
    void InsertNumbered(const std::string& table, const Texts& columns, Texts values, int first, int last) const
    {
        std::vector<Texts> rows;
        for (int i = first; i <= last; ++i) {
            rows.push_back(values);
            rows.back().back() = Number(i);
        }
        InsertRows(table, columns, rows);
    }

    // One column of the current row and every row after it, walking with Next.
    static Texts Walk(CHbRSet& rows, const std::string& column)
    {
        Texts values;
        do
            values.push_back(rows.GetField(column));
        while (rows.Next() == 0);
        return values;
    }

    TestPractice practice;
    CScriptedMessageService m_messages;
    Texts m_traces;

private:
    IMessageService* m_previousService = nullptr;
};
