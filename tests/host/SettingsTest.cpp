#include "TestPractice.h"
#include "IniFile.h"
#include "VqParams.h"
#include <gtest/gtest.h>
#include <filesystem>
#include <functional>
#include <tuple>

// Each file as a technician or an older version writes it, and what the practice reads.
TEST(Settings, FilesAsWrittenByHandReadAsThePracticeSystemReadsThem)
{
    const TestPractice practice;
    const std::string folder = practice.Folder() + "/";
    const auto connect = [] { return GetVqConnect(); };
    const auto data = [] { return GetVqDataPath(0); };
    const auto log = [] { return GetVqLogPath(); };
    const auto hash = [] { return GetVqPasswordHash(); };
    const std::string odbc = "odbc:DRIVER={PostgreSQL Unicode};SERVER=db1;DATABASE=praxis;UID=vq;PWD=a;b,c\\d";
    const std::string example = "[Datenbank]\nVerbindung=sqlite:praxis.db\n"
        "; Verbindung=odbc:DRIVER={PostgreSQL Unicode};SERVER=127.0.0.1;DATABASE=praxis;UID=praxis;PWD=...\n"
        "[Pfade]\nDaten=daten\nLog=log\nQA=qa\n[Kennwort]\nHash=$argon2id$v=19$m=...\n";
    const std::tuple<std::string, std::function<std::string()>, std::string> cases[] = {
        {"[Datenbank]\r\nVerbindung=" + odbc + "\r\n", connect, odbc},
        {example, connect, "sqlite:praxis.db"},
        {example, data, folder + "daten/"},
        {example, hash, "$argon2id$v=19$m=..."},
        {"[Pfade]\nLog=log\\tage\n", log, folder + "log/tage/"},
        {"[Pfade]\r\nDaten=\\\\server\\vq\\daten\\\r\n", data, "/server/vq/daten/"},
        {"[Pfade]\nDaten=Daten M\xfc" "ller\n", data, folder + "Daten Müller/"},
        {"[Pfade]\nDaten=Daten Müller\n", data, folder + "Daten Müller/"},
        {"\xEF\xBB\xBF[Datenbank]\nVerbindung=x\n", connect, "x"},
        {"[Datenbank]\nVerbindung=\"sqlite:alt.db\"\n", connect, "sqlite:alt.db"},
        {"[Datenbank]\nVerbindung=\"sqlite:alt.db\n", connect, "\"sqlite:alt.db"},
        {"[Datenbank]\n;Verbindung=a\n  # Verbindung=b\nVerbindung=c ; d # e\n", connect, "c ; d # e"},
        {"  [ DATENBANK ] alt\n\tverbindung =  x y \t\n", connect, "x y"},
        {"[Datenbank]\nVerbindung=a\n[datenbank]\nVerbindung=b", connect, "a"},
        {"Verbindung=a\n[Pfade]\nVerbindung=b\n[Datenbank]\nVerbindung\n", connect, ""},
        {"[Kennwort]\nHash=\n  $argon2id$v=19\n", hash, ""},
    };
    for (const auto& [file, get, expected] : cases) {
        CIniFile(file).Save(folder + "vqparams.ini");  // replaced, so seen as changed
        EXPECT_EQ(expected, get()) << file;
    }
    std::filesystem::remove(folder + "vqparams.ini");
    EXPECT_EQ("", GetVqConnect());
}

// Only the value's own bytes change; a line or section that is missing is added
// with the file's own line ends.
TEST(Settings, ChangingAValueLeavesEveryOtherByte)
{
    const std::string hash = "$argon2id$v=19$m=65536,t=2,p=1$c2FsdA$aGFzaA";
    const std::string head = "; Praxis Berger\r\n[Datenbank]\r\nVerbindung=odbc:DRIVER={X};SERVER=s;PWD=a;b\r\n"
                             "[Pfade]\r\nDaten=\\\\server\\vq\\daten\r\n";
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {head + "[Kennwort]\r\n Hash = \"alt\" \r\n#\r\n", hash, head + "[Kennwort]\r\n Hash = " + hash + " \r\n#\r\n"},
        {head + "[kennwort]\r\nHash=alt", hash, head + "[kennwort]\r\nHash=" + hash},
        {head + "[Kennwort]\r\nAlt=1\r\n; Ende\r\n", hash, head + "[Kennwort]\r\nAlt=1\r\nHash=" + hash + "\r\n; Ende\r\n"},
        {head, hash, head + "[Kennwort]\r\nHash=" + hash + "\r\n"},
        {"[Pfade]\nLog=log", hash, "[Pfade]\nLog=log\n[Kennwort]\nHash=" + hash + "\n"},
        {"", hash, "[Kennwort]\nHash=" + hash + "\n"},
        {"[Pfade]\nDaten=M\xfcller\n[Kennwort]\nHash=\n", "Grüße", "[Pfade]\nDaten=M\xfcller\n[Kennwort]\nHash=Gr\xfc\xdf" "e\n"},
        {"[Kennwort]\nHash=x\n", " a ", "[Kennwort]\nHash=\" a \"\n"},
        {"[Kennwort]\nHash=x\n", "\"a\"", "[Kennwort]\nHash=\"\"a\"\"\n"},
    };
    for (const auto& [before, value, after] : cases) {
        CIniFile file(before);
        file.SetValue("Kennwort", "Hash", value);
        EXPECT_EQ(after, file.Bytes()) << before;
        EXPECT_EQ(value, file.Value("KENNWORT", "hash")) << before;
    }
    CIniFile file;
    EXPECT_THROW(file.SetValue("Kennwort", "Hash", "a\nb"), std::invalid_argument);
}
