#include "BinFolder.h"
#include "HbLibrary.h"
#include "HostPractice.h"
#include <gtest/gtest.h>

TEST(Library, TheFirstFolderOnTheLibraryPathThatHoldsItWins)
{
    const HostPractice practice;
    const std::string bin = BinFolder();
    const ScopedEnv path("VQ_LIBPATH", practice.Folder() + ":" + bin + "/standin:" + bin);
    const ScopedEnv log("VQ_STANDIN_LOG", practice.Folder() + "prompts.txt");
    const ScopedEnv noAnswer("VQ_STANDIN_ANSWER", std::nullopt);
    const CHbLibrary library("vqstddia");
    const auto ask = reinterpret_cast<int (*)(const char*)>(library.GetProcAddress("VqKennwort"));
    ASSERT_NE(nullptr, ask);
    {
        const ScopedEnv answer("VQ_STANDIN_ANSWER", "1");
        EXPECT_EQ(1, ask("Passwort?\n"));
    }
    EXPECT_EQ(0, ask("Noch einmal?"));
    EXPECT_EQ("Passwort?\n\nNoch einmal?\n", practice.Read("prompts.txt"));
    EXPECT_EQ(nullptr, library.GetProcAddress("VqKennwortFehlt"));
}

TEST(Library, OnlyTheLibraryPathIsSearchedWhenItIsSet)
{
    const HostPractice practice;   // an empty folder
    {
        const ScopedEnv path("VQ_LIBPATH", practice.Folder());
        EXPECT_FALSE(CHbLibrary("vqstddia").IsLoaded());
        EXPECT_EQ(nullptr, CHbLibrary("vqstddia").GetProcAddress("VqKennwort"));
    }
    const ScopedEnv noPath("VQ_LIBPATH", std::nullopt);
    EXPECT_NE(nullptr, CHbLibrary("vqstddia").GetProcAddress("VqKennwort"));   // the one beside the program
}
