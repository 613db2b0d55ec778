#include "FileStore.h"
#include "HostPractice.h"
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

// Walks a folder the way the program does and lists each entry as
// "name" for a file, "name/" for a folder, "name/." for a dots entry.
std::set<std::string> Walk(const std::string& folder)
{
    std::set<std::string> seen;
    CDBFileFind finder;
    if (!finder.FindFile(folder + "*", 0))
        return seen;
    int more = 0;
    do {
        more = finder.FindNextFileA();
        std::string entry = finder.GetFileName();
        if (finder.IsDirectory())
            entry += finder.IsDots() ? "/." : "/";
        seen.insert(entry);
    } while (more);
    return seen;
}

} // namespace

TEST(FileStore, BackslashesBecomeNativeSeparators)
{
    EXPECT_EQ("/praxis/daten/apps/", NativePath("/praxis/daten\\apps\\"));
}

TEST(FileStore, WalkListsDotsFilesAndFoldersByBareName)
{
    const HostPractice practice;
    practice.WriteFile("rz/konto.3");
    practice.WriteFile("rz/.versteckt");
    practice.WriteFile("rz/3 alt/inhalt");
    practice.MakeFolder("rz/leer");

    EXPECT_EQ((std::set<std::string>{"./.", "../.", ".versteckt", "3 alt/", "konto.3", "leer/"}),
              Walk(practice.Folder() + "rz\\"));
}

TEST(FileStore, TheLastEntryStaysCurrentWhenNoMoreFollow)
{
    const HostPractice practice;
    practice.MakeFolder("leer");
    CDBFileFind finder;
    ASSERT_NE(0, finder.FindFile(practice.Folder() + "leer\\*", 0));
    EXPECT_EQ(1, finder.FindNextFileA());
    const std::string first = finder.GetFileName();
    EXPECT_EQ(0, finder.FindNextFileA());
    const std::string last = finder.GetFileName();
    EXPECT_EQ(0, finder.FindNextFileA());
    EXPECT_EQ(last, finder.GetFileName());
    EXPECT_EQ((std::set<std::string>{".", ".."}), (std::set<std::string>{first, last}));
    EXPECT_NE(0, finder.IsDots());
}

TEST(FileStore, AMissingFolderFindsNothing)
{
    const HostPractice practice;
    practice.WriteFile("datei");
    EXPECT_EQ(std::set<std::string>{}, Walk(practice.Folder() + "fehlt\\"));
    EXPECT_EQ(std::set<std::string>{}, Walk(practice.Folder() + "datei\\"));
}

TEST(FileStore, LinksAreWalkedAsFiles)
{
    const HostPractice practice;
    practice.WriteFile("aussen/bleibt");
    practice.MakeFolder("rz");
    practice.Link(practice.Folder() + "aussen", "rz/3");
    practice.Link(practice.Folder() + "nirgends", "rz/4");

    EXPECT_EQ((std::set<std::string>{"./.", "../.", "3", "4"}), Walk(practice.Folder() + "rz\\"));
}

TEST(FileStore, RemovingTheCurrentEntryLeavesTheRestOfTheWalk)
{
    const HostPractice practice;
    for (const char* name : {"a", "b", "c"})
        practice.WriteFile(std::string("bank/") + name);
    std::set<std::string> seen;
    CDBFileFind finder;
    ASSERT_NE(0, finder.FindFile(practice.Folder() + "bank\\*", 0));
    int more = 0;
    do {
        more = finder.FindNextFileA();
        if (!finder.IsDirectory()) {
            seen.insert(finder.GetFileName());
            EXPECT_TRUE(DeleteFileDB(practice.Folder() + "bank\\" + finder.GetFileName()));
        }
    } while (more);

    EXPECT_EQ((std::set<std::string>{"a", "b", "c"}), seen);
    EXPECT_EQ((std::set<std::string>{"./.", "../."}), Walk(practice.Folder() + "bank\\"));
}

TEST(FileStore, DeleteFileRemovesFilesAndLinksButNoFolder)
{
    const HostPractice practice;
    practice.WriteFile("apps/Logo3_x.bmp");
    practice.WriteFile("aussen/ziel");
    practice.MakeFolder("apps/Logo3_alt");
    practice.Link(practice.Folder() + "aussen/ziel", "apps/Logo3_link.bmp");

    EXPECT_TRUE(DeleteFileDB(practice.Folder() + "apps\\Logo3_x.bmp"));
    EXPECT_TRUE(DeleteFileDB(practice.Folder() + "apps\\Logo3_link.bmp"));
    EXPECT_FALSE(DeleteFileDB(practice.Folder() + "apps\\Logo3_alt"));
    EXPECT_FALSE(DeleteFileDB(practice.Folder() + "apps\\fehlt.bmp"));

    EXPECT_EQ((std::set<std::string>{"./.", "../.", "Logo3_alt/"}), Walk(practice.Folder() + "apps\\"));
    EXPECT_EQ("x", practice.ReadFile("aussen/ziel"));
}

TEST(FileStore, DeleteTreeRemovesEverythingInside)
{
    const HostPractice practice;
    practice.WriteFile("rz/3/a/b/tief");
    practice.WriteFile("rz/3/datei");
    practice.WriteFile("rz/13/bleibt");

    EXPECT_TRUE(DeleteTreeDB(practice.Folder() + "rz\\3\\"));
    EXPECT_EQ((std::set<std::string>{"./.", "../.", "13/"}), Walk(practice.Folder() + "rz\\"));
    EXPECT_FALSE(DeleteTreeDB(practice.Folder() + "rz\\3\\"));
    EXPECT_FALSE(DeleteTreeDB(practice.Folder() + "rz\\13\\bleibt\\"));
    EXPECT_TRUE(practice.Exists("rz/13/bleibt"));
}

TEST(FileStore, DeleteTreeDoesNotFollowLinks)
{
    const HostPractice practice;
    practice.WriteFile("aussen/bleibt", "inhalt");
    practice.WriteFile("rz/3/datei");
    practice.Link(practice.Folder() + "aussen", "rz/3/verweis");
    practice.Link(practice.Folder() + "aussen", "rz/4");

    EXPECT_TRUE(DeleteTreeDB(practice.Folder() + "rz\\3\\"));
    EXPECT_TRUE(DeleteTreeDB(practice.Folder() + "rz\\4\\"));

    EXPECT_EQ((std::set<std::string>{"./.", "../."}), Walk(practice.Folder() + "rz\\"));
    EXPECT_EQ("inhalt", practice.ReadFile("aussen/bleibt"));
}
