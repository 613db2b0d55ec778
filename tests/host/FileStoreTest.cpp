#include "FileStore.h"
#include "TestPractice.h"
#include <gtest/gtest.h>
#include <filesystem>
#include <set>

namespace {

using Entries = std::set<std::string>;

// A folder's entries as the program's walk meets them: "name", "name/" for a
// folder, "name/." for the dots.
Entries Walk(const std::string& folder)
{
    Entries seen;
    CDBFileFind finder;
    for (int more = finder.FindFile(folder + "*", 0); more;) {
        more = finder.FindNextFileA();
        seen.insert(finder.GetFileName() + (finder.IsDirectory() ? (finder.IsDots() ? "/." : "/") : ""));
    }
    return seen;
}

} // namespace

TEST(FileStore, WalksAndDeletesTakeLinksAsFilesAndFollowNone)
{
    const TestPractice practice;
    const std::string folder = practice.Folder() + "/";
    for (const char* path : {"rz/.versteckt", "rz/3/a/tief", "aussen/ziel"})
        practice.WriteFile(path);
    for (const auto& [target, link] :
         {std::pair{"aussen", "rz/verweis"}, {"nirgends", "rz/kaputt"}, {"aussen", "rz/3/a/verweis"}, {"aussen", "rz/4"}})
        std::filesystem::create_symlink(folder + target, folder + link);
    const std::string rz = folder + "rz\\";
    EXPECT_EQ((Entries{"./.", "../.", ".versteckt", "3/", "4", "kaputt", "verweis"}), Walk(rz));

    EXPECT_TRUE(DeleteFileDB(rz + "verweis"));
    EXPECT_FALSE(DeleteFileDB(rz + "3"));
    EXPECT_FALSE(DeleteFileDB(rz + "fehlt"));
    EXPECT_TRUE(DeleteTreeDB(rz + "3\\"));
    EXPECT_TRUE(DeleteTreeDB(rz + "4\\"));
    EXPECT_FALSE(DeleteTreeDB(rz + "3\\"));
    EXPECT_FALSE(DeleteTreeDB(rz + ".versteckt\\"));
    EXPECT_EQ((Entries{"./.", "../.", ".versteckt", "kaputt"}), Walk(rz));
    EXPECT_EQ((Entries{"./.", "../.", "ziel"}), Walk(folder + "aussen\\"));
    EXPECT_EQ(Entries{}, Walk(rz + "fehlt\\"));
    EXPECT_EQ(Entries{}, Walk(rz + ".versteckt\\"));
}
