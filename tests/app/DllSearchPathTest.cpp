// A DLL planted beside the program is not loaded once the search path is
// restricted (the launcher does this before anything else).
#include <gtest/gtest.h>

#include <windows.h>

#include "DllSearchPath.h"

TEST(DllSearchPath, PlantedLibraryBesideTheProgramIsNotLoaded) {
    // Found beside the program while the default search order holds...
    HMODULE before = LoadLibraryW(L"quorplanted.dll");
    ASSERT_NE(nullptr, before) << "the planted library is missing beside the test program";
    FreeLibrary(before);
    ASSERT_EQ(nullptr, GetModuleHandleW(L"quorplanted.dll"));

    ASSERT_TRUE(RestrictDllSearchPath());
    EXPECT_EQ(nullptr, LoadLibraryW(L"quorplanted.dll"));
    // ...while system libraries still load.
    HMODULE system = LoadLibraryW(L"version.dll");
    EXPECT_NE(nullptr, system);
    if (system) FreeLibrary(system);
}

TEST(DllSearchPath, SystemLibraryLoaderNeverLooksBesideTheProgram) {
    // The delay-loaded DLLs come through this loader: a name found only
    // beside the program is not loaded, a system DLL is.
    EXPECT_EQ(nullptr, LoadSystemLibrary("quorplanted.dll"));
    HMODULE system = LoadSystemLibrary("comctl32.dll");
    EXPECT_NE(nullptr, system);
    if (system) FreeLibrary(system);
}
