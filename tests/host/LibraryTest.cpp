#include "HbLibrary.h"
#include "HostPractice.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Kennwort = int (*)(const char*);

std::string BinFolder()
{
    const char* bin = std::getenv("KELVOR_BIN_DIR");
    return bin ? bin : "";
}

} // namespace

TEST(Library, TheFirstFolderOnTheLibraryPathThatHoldsItWins)
{
    ASSERT_NE("", BinFolder());
    const HostPractice practice;
    const QTemporaryDir empty;
    const ScopedEnv path("VQ_LIBPATH", empty.path().toStdString() + ":" + BinFolder() + "/standin:" + BinFolder());
    const ScopedEnv log("VQ_STANDIN_LOG", practice.Folder() + "prompts.txt");

    CHbLibrary library("vqstddia");
    ASSERT_TRUE(library.IsLoaded());
    const auto ask = reinterpret_cast<Kennwort>(library.GetProcAddress("VqKennwort"));
    ASSERT_NE(nullptr, ask);
    {
        const ScopedEnv answer("VQ_STANDIN_ANSWER", "1");
        EXPECT_EQ(1, ask("Passwort?\n"));
    }
    {
        const ScopedEnv answer("VQ_STANDIN_ANSWER", "0");
        EXPECT_EQ(0, ask("Noch einmal?"));
    }
    EXPECT_EQ("Passwort?\n\nNoch einmal?\n", practice.ReadFile("prompts.txt"));
}

TEST(Library, OnlyTheFoldersOnTheLibraryPathAreSearched)
{
    const QTemporaryDir empty;
    const ScopedEnv path("VQ_LIBPATH", empty.path().toStdString());
    const CHbLibrary library("vqstddia");   // the real one lies beside this test, but not on the path
    EXPECT_FALSE(library.IsLoaded());
    EXPECT_EQ(nullptr, library.GetProcAddress("VqKennwort"));
}

TEST(Library, AnUnknownLibraryOrSymbolIsMissing)
{
    const ScopedEnv path("VQ_LIBPATH", BinFolder() + "/standin");
    EXPECT_FALSE(CHbLibrary("gibtesnicht").IsLoaded());
    const CHbLibrary library("vqstddia");
    ASSERT_TRUE(library.IsLoaded());
    EXPECT_EQ(nullptr, library.GetProcAddress("VqKennwortFehlt"));
}
