#include "HbTrace.h"
#include "HostPractice.h"
#include <gtest/gtest.h>
#include <regex>
#include <vector>

namespace {

class Trace : public ::testing::Test {
protected:
    Trace()
    {
        SetTraceSink([this](const std::string& text) { m_texts.push_back(text); });
    }
    ~Trace() override { SetTraceSink({}); }

    // Entries of Trace.log with their time stamps replaced by "<time>".
    std::string LogWithoutTimes() const
    {
        static const std::regex stamp(R"(^\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3} )", std::regex::multiline);
        return std::regex_replace(m_practice.ReadFile("log/Trace.log"), stamp, "<time> ");
    }

    HostPractice m_practice;
    std::vector<std::string> m_texts;
};

} // namespace

TEST_F(Trace, EntriesAreAppendedToTheLogFolderAndHandedToTheSink)
{
    m_practice.Set("Pfade/Log", "log");
    m_practice.MakeFolder("log");

    HbTrace(1, 0, "KelvorToolkit.cpp", 64, "CKelvorDlg::ExecuteSQL: %s\n%s", "DELETE FROM LEB", "no such table");
    HbTrace(2, 7, "Other.cpp", 5, "%d rows", 12);

    EXPECT_EQ("<time> L1 C0 KelvorToolkit.cpp:64 CKelvorDlg::ExecuteSQL: DELETE FROM LEB\nno such table\n"
              "<time> L2 C7 Other.cpp:5 12 rows\n",
              LogWithoutTimes());
    EXPECT_EQ((std::vector<std::string>{"CKelvorDlg::ExecuteSQL: DELETE FROM LEB\nno such table", "12 rows"}), m_texts);
}

TEST_F(Trace, LongTextsAreNotCut)
{
    const std::string statement(5000, 'x');
    HbTrace(1, 0, "a.cpp", 1, "CKelvorDlg::ExecuteSQL: OpenVqDB: %s", statement.c_str());
    EXPECT_EQ(std::vector<std::string>{"CKelvorDlg::ExecuteSQL: OpenVqDB: " + statement}, m_texts);
}

TEST_F(Trace, AMissingLogFolderSkipsTheFileOnly)
{
    m_practice.Set("Pfade/Log", "fehlt");
    HbTrace(1, 0, "a.cpp", 1, "text");
    EXPECT_FALSE(m_practice.Exists("fehlt"));
    EXPECT_EQ(std::vector<std::string>{"text"}, m_texts);
}

TEST_F(Trace, AnEmptySinkStopsCapturing)
{
    SetTraceSink({});
    HbTrace(1, 0, "a.cpp", 1, "text");
    EXPECT_TRUE(m_texts.empty());
}
