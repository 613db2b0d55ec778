#include "HostPractice.h"
#include "VqParams.h"
#include <gtest/gtest.h>

TEST(Settings, FoldersTextsAndPhotosOfAPractice)
{
    const HostPractice practice;
    const std::string connect = "odbc:DRIVER={PostgreSQL Unicode};SERVER=127.0.0.1;UID=praxis;PWD=a,b";
    practice.Set("Pfade/Log", "log\\heute");
    practice.Set("Pfade/QA", "/srv/qa");
    practice.Set("Datenbank/Verbindung", connect);
    EXPECT_EQ("", GetVqDataPath(0));
    EXPECT_EQ("", GetVqPasswordHash());
    practice.Set("Pfade/Daten", "daten");
    EXPECT_EQ(practice.Folder() + "log/heute/", GetVqLogPath());
    EXPECT_EQ("/srv/qa/", GetVqQAPath());
    EXPECT_EQ(connect, GetVqConnect());
    practice.Write("daten/fotos/mandant02.jpg");
    practice.Write("daten/fotos/mandant04.jpg/");
    EXPECT_EQ(practice.Folder() + "daten/fotos/mandant02.jpg", GetVqMandantFotoPath("02", true));
    EXPECT_EQ("", GetVqMandantFotoPath("03", true));
    EXPECT_EQ("", GetVqMandantFotoPath("04", true));
}

TEST(Settings, AHashWrittenByHandKeepsItsCommas)
{
    const HostPractice practice;
    practice.Write("vqparams.ini", "[Kennwort]\nHash=$argon2id$v=19$m=8,t=1,p=1$c2FsdA$aGFzaA\n");
    EXPECT_EQ("$argon2id$v=19$m=8,t=1,p=1$c2FsdA$aGFzaA", GetVqPasswordHash());
}
