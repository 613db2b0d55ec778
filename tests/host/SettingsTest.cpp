#include "HostPractice.h"
#include "VqParams.h"
#include <gtest/gtest.h>

TEST(Settings, FoldersTextsHashAndPhotosOfAPractice)
{
    const HostPractice practice;
    EXPECT_EQ("", GetVqPasswordHash());
    // Commas in a value written by hand stay: it is no list.
    practice.Write("vqparams.ini", "[Kennwort]\nHash=$argon2id$v=19$m=8,t=1,p=1$c2FsdA$aGFzaA\n");
    EXPECT_EQ("$argon2id$v=19$m=8,t=1,p=1$c2FsdA$aGFzaA", GetVqPasswordHash());
    EXPECT_EQ("", GetVqDataPath(0));

    const std::string connect = "odbc:DRIVER={PostgreSQL Unicode};SERVER=127.0.0.1;UID=praxis;PWD=a,b";
    practice.Set("Datenbank/Verbindung", connect);
    practice.Set("Pfade/Daten", "daten");
    practice.Set("Pfade/Log", "log\\heute");
    practice.Set("Pfade/QA", "/srv/qa");
    EXPECT_EQ(connect, GetVqConnect());
    EXPECT_EQ(practice.Folder() + "daten/", GetVqDataPath(0));
    EXPECT_EQ(practice.Folder() + "log/heute/", GetVqLogPath());
    EXPECT_EQ("/srv/qa/", GetVqQAPath());
    practice.Write("daten/fotos/mandant02.jpg");
    practice.Write("daten/fotos/mandant04.jpg/");
    EXPECT_EQ(practice.Folder() + "daten/fotos/mandant02.jpg", GetVqMandantFotoPath("02", true));
    EXPECT_EQ("", GetVqMandantFotoPath("04", true));
}
