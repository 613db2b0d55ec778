#include "HostPractice.h"
#include "VqParams.h"
#include <QDir>
#include <gtest/gtest.h>

TEST(Settings, FoldersAreAbsoluteAndEndInASeparator)
{
    const HostPractice practice;
    practice.Set("Pfade/Daten", "daten");
    practice.Set("Pfade/Log", "log\\heute");
    practice.Set("Pfade/QA", "/srv/qa");

    EXPECT_EQ(practice.Folder(), GetVqPraxisPath());
    EXPECT_EQ(practice.Folder() + "daten/", GetVqDataPath(0));
    EXPECT_EQ(practice.Folder() + "log/heute/", GetVqLogPath());
    EXPECT_EQ("/srv/qa/", GetVqQAPath());
    EXPECT_EQ("", GetVqDataPath(1));
}

TEST(Settings, TextsAreReturnedAsWritten)
{
    const HostPractice practice;
    const std::string connect = "odbc:DRIVER={PostgreSQL Unicode};SERVER=127.0.0.1;DATABASE=praxis;UID=praxis;PWD=a,b";
    const std::string hash = "$argon2id$v=19$m=8,t=1,p=1$c2FsdA$aGFzaA";
    practice.Set("Datenbank/Verbindung", connect);
    practice.Set("Kennwort/Hash", hash);

    EXPECT_EQ(connect, GetVqConnect());
    EXPECT_EQ(hash, GetVqPasswordHash());
}

TEST(Settings, UnquotedCommasWrittenByHandStayOneText)
{
    const HostPractice practice;
    practice.WriteFile("vqparams.ini", "[Kennwort]\nHash=$argon2id$v=19$m=8,t=1,p=1$c2FsdA$aGFzaA\n");
    EXPECT_EQ("$argon2id$v=19$m=8,t=1,p=1$c2FsdA$aGFzaA", GetVqPasswordHash());
}

TEST(Settings, APracticeWithoutSettingsHasNoFoldersAndNoHash)
{
    const HostPractice practice;
    EXPECT_EQ("", GetVqDataPath(0));
    EXPECT_EQ("", GetVqLogPath());
    EXPECT_EQ("", GetVqConnect());
    EXPECT_EQ("", GetVqPasswordHash());
    EXPECT_EQ("", GetVqMandantFotoPath("02", true));
}

TEST(Settings, WithoutVqPraxisThePracticeIsTheCurrentDirectory)
{
    const HostPractice practice;
    practice.Set("Pfade/Daten", "daten");
    const ScopedEnv noPraxis("VQ_PRAXIS", std::nullopt);
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(practice.Folder())));

    const std::string data = GetVqDataPath(0);
    const std::string praxis = GetVqPraxisPath();
    QDir::setCurrent(previous);

    EXPECT_EQ(practice.Folder(), praxis);
    EXPECT_EQ(practice.Folder() + "daten/", data);
}

TEST(Settings, OwnerPhotoOnlyWhenItExists)
{
    const HostPractice practice;
    practice.Set("Pfade/Daten", "daten");
    practice.WriteFile("daten/fotos/mandant02.jpg");
    practice.MakeFolder("daten/fotos/mandant04.jpg");

    EXPECT_EQ(practice.Folder() + "daten/fotos/mandant02.jpg", GetVqMandantFotoPath("02", true));
    EXPECT_EQ("", GetVqMandantFotoPath("03", true));
    EXPECT_EQ("", GetVqMandantFotoPath("04", true));
    EXPECT_EQ(practice.Folder() + "daten/fotos/mandant03.jpg", GetVqMandantFotoPath("03", false));
}
