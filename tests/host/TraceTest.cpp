#include "HbTrace.h"
#include "HostPractice.h"
#include <gtest/gtest.h>
#include <regex>
#include <sstream>

TEST(Trace, EntriesGoToTheLogFolderWhenItExistsAndToTheSinkUncut)
{
    const HostPractice practice;
    practice.Set("Pfade", "Log", "log");
    HbTrace(1, 0, "a.cpp", 1, "no folder yet");
    EXPECT_FALSE(std::filesystem::exists(practice.Folder() + "log"));
    practice.Write("log/");
    std::vector<std::string> texts;
    SetTraceSink([&texts](const std::string& text) { texts.push_back(text); });
    const std::string statement(5000, 'x');
    HbTrace(1, 0, "KelvorToolkit.cpp", 64, "CKelvorDlg::ExecuteSQL: %s\n%s", "DELETE FROM LEB", "no such table");
    HbTrace(2, 7, "Other.cpp", 5, "%s", statement.c_str());
    SetTraceSink({});
    HbTrace(1, 0, "a.cpp", 1, "not captured");

    std::ostringstream log;
    log << std::ifstream(practice.Folder() + "log/Trace.log").rdbuf();
    const std::regex stamp(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3} L)");
    EXPECT_EQ("<time>1 C0 KelvorToolkit.cpp:64 CKelvorDlg::ExecuteSQL: DELETE FROM LEB\nno such table\n"
              "<time>2 C7 Other.cpp:5 " + statement + "\n<time>1 C0 a.cpp:1 not captured\n",
              std::regex_replace(log.str(), stamp, "<time>"));
    EXPECT_EQ((std::vector<std::string>{"CKelvorDlg::ExecuteSQL: DELETE FROM LEB\nno such table", statement}), texts);
}
