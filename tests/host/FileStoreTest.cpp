#include "FileStore.h"
#include "HostPractice.h"
#include <gtest/gtest.h>
#include <set>

namespace {

using Entries = std::set<std::string>;

// Walks a folder the way the program does, removing the files whose name starts
// with "weg"; an entry is listed as "name", "name/" for a folder, "name/." for dots.
Entries Walk(const std::string& folder)
{
    Entries seen;
    CDBFileFind finder;
    int more = finder.FindFile(folder + "*", 0);
    while (more) {
        more = finder.FindNextFileA();
        const std::string name = finder.GetFileName();
        seen.insert(name + (finder.IsDirectory() ? (finder.IsDots() ? "/." : "/") : ""));
        if (!finder.IsDirectory() && name.starts_with("weg")) {
            EXPECT_TRUE(DeleteFileDB(folder + name));
        }
    }
    return seen;
}

} // namespace

TEST(FileStore, WalksAndDeletesTakeLinksAsFilesAndFollowNone)
{
    const HostPractice practice;
    for (const char* path : {"rz/.versteckt", "rz/3/a/tief", "rz/weg1", "rz/weg2", "aussen/ziel"})
        practice.Write(path);
    for (const auto& [target, link] :
         {std::pair{"aussen", "rz/verweis"}, {"nirgends", "rz/kaputt"}, {"aussen", "rz/3/a/verweis"}, {"aussen", "rz/4"}})
        std::filesystem::create_symlink(practice.Folder() + target, practice.Folder() + link);
    const std::string rz = practice.Folder() + "rz\\";
    const Entries all{"./.", "../.", ".versteckt", "3/", "4", "kaputt", "verweis"};
    Entries first = all;
    first.insert({"weg1", "weg2"});
    EXPECT_EQ(first, Walk(rz));
    EXPECT_EQ(all, Walk(rz));

    EXPECT_TRUE(DeleteFileDB(rz + "verweis"));
    EXPECT_FALSE(DeleteFileDB(rz + "3"));
    EXPECT_FALSE(DeleteFileDB(rz + "fehlt"));
    EXPECT_TRUE(DeleteTreeDB(rz + "3\\"));
    EXPECT_TRUE(DeleteTreeDB(rz + "4\\"));
    EXPECT_FALSE(DeleteTreeDB(rz + "3\\"));
    EXPECT_FALSE(DeleteTreeDB(rz + ".versteckt\\"));
    EXPECT_EQ((Entries{"./.", "../.", ".versteckt", "kaputt"}), Walk(rz));
    EXPECT_EQ((Entries{"./.", "../.", "ziel"}), Walk(practice.Folder() + "aussen\\"));
    EXPECT_EQ(Entries{}, Walk(rz + "fehlt\\"));
    EXPECT_EQ(Entries{}, Walk(rz + ".versteckt\\"));
}
