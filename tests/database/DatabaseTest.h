#pragma once
#include "DBException.h"
#include "Database.h"
#include "HbRSet.h"
#include "HbTrace.h"
#include "DialogFixture.h"
#include <gtest/gtest.h>
#include <QString>
#include <string>
#include <vector>

using Texts = std::vector<std::string>;

// A fresh empty practice with the shared connections open; messages and trace
// entries are captured.
class DatabaseTest : public DialogFixture {
protected:
    void SetUp() override { ASSERT_TRUE(OpenDatabase(2)); }

    // Rows given as their fields joined by '|'.
    void InsertRows(const std::string& table, const std::string& columns, const Texts& rows) const
    {
        const auto joined = [](const std::string& fields, const char* separator) {
            return QString::fromStdString(fields).replace(u'|', QString::fromUtf8(separator)).toStdString();
        };
        std::string values;
        for (const std::string& row : rows)
            values += ",('" + joined(CHbRSet::DoQuotes(row), "','") + "')";
        practice.Exec("INSERT INTO " + table + " (" + joined(columns, ",") + ") VALUES " + values.substr(1));
    }

    // prefix + "000001" up to prefix + count in six digits.
    static Texts Numbered(const std::string& prefix, int count)
    {
        Texts texts;
        for (int i = 1; i <= count; ++i)
            texts.push_back(prefix + std::to_string(1000000 + i).substr(1));
        return texts;
    }

    // The current row's columns joined by '|'; of it and every row after it, walking with Next.
    static std::string Row(const CHbRSet& rows, const Texts& columns)
    {
        std::string row;
        for (const std::string& column : columns)
            row += "|" + rows.GetField(column);
        return row.substr(1);
    }

    // "table|operation|text" of the CDBException the call throws.
    template <class Call> static std::string Thrown(Call call)
    {
        try {
            call();
        } catch (const CDBException& error) {
            return error.Table() + "|" + error.Operation() + "|" + error.ErrorText();
        }
        return "no exception";
    }

    static Texts Walk(CHbRSet& rows, const Texts& columns)
    {
        Texts walked;
        do
            walked.push_back(Row(rows, columns));
        while (rows.Next() == 0);
        return walked;
    }

    TestPractice& practice = Practice();
};
