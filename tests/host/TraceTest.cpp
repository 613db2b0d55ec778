#include "HbTrace.h"
#include "SeamScope.h"
#include "TestPractice.h"
#include <gtest/gtest.h>
#include <regex>
#include <vector>

TEST(Trace, EntriesGoToTheLogFolderWhenItExistsAndToTheSinkUncut)
{
    const TestPractice practice;
    practice.Set("Pfade", "Log", "spuren");
    HbTrace(1, 0, "a.cpp", 1, "no folder yet");
    EXPECT_FALSE(practice.Exists("spuren"));
    practice.WriteFile("spuren/");
    std::vector<std::string> texts;
    const std::string statement(5000, 'x');
    {
        const CSeamScope<seam::Trace> sink([&texts](const std::string& text) { texts.push_back(text); });
        HbTrace(1, 0, "KelvorToolkit.cpp", 64, "CKelvorDlg::ExecuteSQL: %s\n%s", "DELETE FROM LEB", "no such table");
        HbTrace(2, 7, "Other.cpp", 5, "%s", statement.c_str());
    }
    HbTrace(1, 0, "a.cpp", 1, "not captured");

    const std::regex stamp(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3} L)");
    EXPECT_EQ("<time>1 C0 KelvorToolkit.cpp:64 CKelvorDlg::ExecuteSQL: DELETE FROM LEB\nno such table\n"
              "<time>2 C7 Other.cpp:5 " + statement + "\n<time>1 C0 a.cpp:1 not captured\n",
              std::regex_replace(practice.Read("spuren/Trace.log"), stamp, "<time>"));
    EXPECT_EQ((std::vector<std::string>{"CKelvorDlg::ExecuteSQL: DELETE FROM LEB\nno such table", statement}), texts);
}
