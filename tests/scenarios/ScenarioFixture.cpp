#include "ScenarioFixture.h"
#include "ScenarioRunner.h"
#include <QJsonDocument>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ranges>
#include <regex>
#include <unistd.h>

std::vector<std::string> Strings(const QJsonArray& array)
{
    std::vector<std::string> texts;
    for (const QJsonValue value : array)
        texts.push_back(value.toString().toStdString());
    return texts;
}

std::vector<std::string> FilesOf(const TestPractice& practice)
{
    std::vector<std::string> files = practice.ListTree();
    std::erase_if(files, [](const std::string& file) { return file.starts_with("log"); });
    return files;
}

std::map<std::string, std::string> BytesBelow(const std::string& folder)
{
    std::map<std::string, std::string> bytes;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string name = std::filesystem::relative(entry.path(), folder).string();
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string content = entry.is_directory() ? "" : std::string(std::istreambuf_iterator<char>(file), {});
        if (!name.ends_with("-shm") && !(name.ends_with("-wal") && content.empty()))
            bytes[name + (entry.is_directory() ? "/" : "")] = content;
    }
    return bytes;
}

Rows RowsOf(const TestPractice& practice)
{
    Rows rows;
    for (const auto& [table, dump] : practice.DumpAll()) {
        std::set<std::string>& lines = rows[table];
        for (const auto line : std::views::split(dump, '\n'))
            lines.emplace(line.begin(), line.end());
        lines.erase("");   // what follows the last line's end
    }
    return rows;
}

std::string Ending(const QJsonObject& report)
{
    const std::vector<std::string> memo = Strings(report.value(QStringLiteral("memo")).toArray());
    std::string ending = memo.size() < 2 ? "" : memo[memo.size() - 2] + " / " + memo.back();
    for (const QJsonValue value : report[u"messages"].toArray())
        if (const std::string text = value[u"text"].toString().toStdString(); !text.ends_with("?"))
            ending += " / " + std::regex_replace(text, std::regex("^(Datenbankfehler[^:]*:\n)[\\s\\S]*\n\n"), "$1<text>\n\n");
    return ending;
}

std::string OwnerRun(const std::string& kill)
{
    return R"js({"answers": [11, 10, 7], "kill": {)js" + kill + R"js(}, "actions": [{"select": 1001, "text": "04"},
        {"select": 1002, "text": "01"}, {"check": 1009, "value": true}, {"check": 1011, "value": true},
        {"check": 1017, "value": true}, {"click": 1003}]})js";
}

void ScenarioFixture::AddOwnersAndTreaters() const
{
    m_practice.Insert("MANDANT", {{"MDID", "02"}, {"NAME", "Praxis Keller"}, {"ORT", "Bonn"}});
    m_practice.Insert("MANDANT", {{"MDID", "01"}, {"NAME", "Praxis Berger"}, {"ORT", "Köln"}});
    m_practice.Insert("MANDANT", {{"MDID", "03"}, {"NAME", "Praxis Özdemir"}, {"ORT", "Aachen"}});
    m_practice.Insert("LEB", {{"LEBID", "001"}, {"MDIDK", "01"}, {"MDIDP", "01"}, {"PERSONALID", "11"}});
    m_practice.Insert("LEB", {{"LEBID", "002"}, {"MDIDK", "02"}, {"MDIDP", "02"}, {"PERSONALID", "12"}});
    m_practice.Insert("LEB", {{"LEBID", "003"}, {"MDIDK", "02"}, {"MDIDP", "01"}});
    m_practice.Insert("LEB", {{"LEBID", "004"}, {"MDIDK", "03"}, {"MDIDP", "03"}, {"PERSONALID", "14"}});
    m_practice.Insert("PERSONALADR", {{"PERSONALID", "11"}, {"TITEL", "Dr."}, {"VORNAME", "Anna"}, {"NAME", "Berger"}});
    m_practice.Insert("PERSONALADR", {{"PERSONALID", "12"}, {"VORNAME", "Jonas"}, {"NAME", "Keller"}});
    m_practice.Insert("NUMBERPOOL", {{"ID", "1"}, {"MDID", "03"}, {"LEBID", "004"}, {"PATNR", "000000"}});
}

QJsonObject ScenarioFixture::Run(const TestPractice& practice, const std::string& scenarioJson)
{
    const std::string report = RunScenario(practice.Folder(), scenarioJson);
    m_report = QJsonDocument::fromJson(QByteArray::fromStdString(report)).object();
    EXPECT_FALSE(m_report.contains(QStringLiteral("error"))) << report;
    return m_report;
}

std::string ScenarioFixture::Flags(const char* property, const std::vector<int>& ids) const
{
    std::string digits;
    for (const int id : ids)
        digits += std::string(digits.size() % 5 == 4 ? " " : "") + (Control(id).value(QString::fromUtf8(property)).toBool() ? "1" : "0");
    return digits;
}

std::vector<std::string> ScenarioFixture::Messages() const
{
    std::vector<std::string> messages;
    for (const QJsonValue value : m_report.value(QStringLiteral("messages")).toArray())
        messages.push_back((value[u"kind"].toString() + QStringLiteral(": ") + value[u"text"].toString()
                            + QStringLiteral(" -> ") + QString::number(value[u"answer"].toInt())).toStdString());
    return messages;
}

void ScenarioFixture::StartChild(QProcess& child, const std::string& scenarioJson, bool unprivileged) const
{
    // Beside the practice: its own files stay as the runs leave them.
    const std::string file = m_practice.Folder() + "/../scenario.json";
    std::ofstream(file) << scenarioJson;
    const std::filesystem::path bin = qEnvironmentVariable("KELVOR_BIN_DIR").toStdString();
    const QStringList arguments{QString::fromStdString(m_practice.Folder()), QString::fromStdString(file)};
    constexpr uid_t kUnprivileged = 65534;
    if (!unprivileged || ::geteuid() != 0)
        return child.start(QString::fromStdString((bin / "kelvor-scenario").string()), arguments);
    // The user may not enter the build, nor the folders of a private checkout above it:
    // the runner and its stand-in library are copied beside the practice, where the
    // child also works. The practice, the scenario and the folder holding them become
    // the user's.
    const std::filesystem::path top = std::filesystem::path(m_practice.Folder()).parent_path();
    const std::filesystem::path runner = top / "bin/kelvor-scenario";
    for (const char* file : {"kelvor-scenario", "standin/libvqstddia.so"}) {
        std::filesystem::create_directories((top / "bin" / file).parent_path());
        std::filesystem::copy_file(bin / file, top / "bin" / file, std::filesystem::copy_options::skip_existing);
    }
    ASSERT_EQ(::lchown(top.c_str(), kUnprivileged, kUnprivileged), 0);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(top))
        ASSERT_EQ(::lchown(entry.path().c_str(), kUnprivileged, kUnprivileged), 0) << entry.path();
    child.setWorkingDirectory(QString::fromStdString(top.string()));
    child.start(QStringLiteral("setpriv"), QStringList{QStringLiteral("--reuid=%1").arg(kUnprivileged),
                                                       QStringLiteral("--regid=%1").arg(kUnprivileged),
                                                       QStringLiteral("--clear-groups"),
                                                       QString::fromStdString(runner.string())} + arguments);
}

bool ScenarioFixture::FinishChild(QProcess& child)
{
    if ((child.state() != QProcess::NotRunning && !child.waitForFinished(300000)) || child.exitStatus() != QProcess::NormalExit)
        return false;
    m_report = QJsonDocument::fromJson(child.readAllStandardOutput()).object();
    return true;
}

void ScenarioFixture::RunChild(const std::string& scenarioJson, bool unprivileged)
{
    QProcess child;
    StartChild(child, scenarioJson, unprivileged);
    ASSERT_TRUE(FinishChild(child));
}
