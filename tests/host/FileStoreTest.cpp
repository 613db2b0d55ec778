#include "FileStore.h"
#include "HostPractice.h"
#include <gtest/gtest.h>
#include <set>

namespace {

// Walks a folder the way the program does, removing the files whose name starts
// with "weg"; an entry is listed as "name", "name/" for a folder, "name/." for dots.
std::set<std::string> Walk(const std::string& folder)
{
    std::set<std::string> seen;
    CDBFileFind finder;
    if (!finder.FindFile(folder + "*", 0))
        return seen;
    int more = 0;
    do {
        more = finder.FindNextFileA();
        const std::string name = finder.GetFileName();
        seen.insert(name + (finder.IsDirectory() ? (finder.IsDots() ? "/." : "/") : ""));
        if (!finder.IsDirectory() && name.starts_with("weg")) {
            EXPECT_TRUE(DeleteFileDB(folder + name));
        }
    } while (more);
    return seen;
}

} // namespace

TEST(FileStore, WalkSeesEveryEntryOnceAndLinksAsFiles)
{
    const HostPractice practice;
    for (const char* path : {"rz/konto.3", "rz/.versteckt", "rz/3 alt/inhalt", "rz/leer/", "rz/weg1", "rz/weg2", "aussen/"})
        practice.Write(path);
    practice.Link("aussen", "rz/verweis");
    practice.Link("nirgends", "rz/kaputt");

    const std::set<std::string> all{"./.", "../.", ".versteckt", "3 alt/", "kaputt", "konto.3", "leer/", "verweis"};
    std::set<std::string> first = all;
    first.insert({"weg1", "weg2"});
    EXPECT_EQ(first, Walk(practice.Folder() + "rz\\"));
    EXPECT_EQ(all, Walk(practice.Folder() + "rz\\"));
}

TEST(FileStore, LastEntryStaysCurrentAndMissingFoldersFindNothing)
{
    const HostPractice practice;
    practice.Write("leer/");
    CDBFileFind finder;
    ASSERT_NE(0, finder.FindFile(practice.Folder() + "leer\\*", 0));
    EXPECT_EQ(1, finder.FindNextFileA());
    EXPECT_EQ(0, finder.FindNextFileA());
    const std::string last = finder.GetFileName();
    EXPECT_EQ(0, finder.FindNextFileA());
    EXPECT_EQ(last, finder.GetFileName());
    EXPECT_NE(0, finder.IsDots());

    practice.Write("datei");
    EXPECT_EQ(0, finder.FindFile(practice.Folder() + "fehlt\\*", 0));
    EXPECT_EQ(0, finder.FindFile(practice.Folder() + "datei\\*", 0));
    EXPECT_EQ("", finder.GetFileName());
}

TEST(FileStore, DeleteFileRemovesALinkButNotItsTargetNorAFolder)
{
    const HostPractice practice;
    practice.Write("aussen/ziel", "inhalt");
    practice.Write("apps/Logo3_alt/");
    practice.Link("aussen/ziel", "apps/Logo3_link.bmp");

    EXPECT_TRUE(DeleteFileDB(practice.Folder() + "apps\\Logo3_link.bmp"));
    EXPECT_FALSE(DeleteFileDB(practice.Folder() + "apps\\Logo3_alt"));
    EXPECT_FALSE(DeleteFileDB(practice.Folder() + "apps\\fehlt.bmp"));
    EXPECT_EQ((std::set<std::string>{"./.", "../.", "Logo3_alt/"}), Walk(practice.Folder() + "apps\\"));
    EXPECT_EQ("inhalt", practice.Read("aussen/ziel"));
}

TEST(FileStore, DeleteTreeRemovesAllInsideButFollowsNoLink)
{
    const HostPractice practice;
    for (const char* path : {"aussen/bleibt", "rz/3/a/b/tief", "rz/13/bleibt"})
        practice.Write(path);
    practice.Link("aussen", "rz/3/a/verweis");
    practice.Link("aussen", "rz/4");

    EXPECT_TRUE(DeleteTreeDB(practice.Folder() + "rz\\3\\"));
    EXPECT_TRUE(DeleteTreeDB(practice.Folder() + "rz\\4\\"));
    EXPECT_FALSE(DeleteTreeDB(practice.Folder() + "rz\\3\\"));
    EXPECT_FALSE(DeleteTreeDB(practice.Folder() + "rz\\13\\bleibt\\"));
    EXPECT_EQ((std::set<std::string>{"./.", "../.", "13/"}), Walk(practice.Folder() + "rz\\"));
    EXPECT_EQ((std::set<std::string>{"./.", "../.", "bleibt"}), Walk(practice.Folder() + "aussen\\"));
}
