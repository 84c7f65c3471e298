#include "platform/SystemLibrary.h"

#include "support/TestFiles.h"

using namespace testfiles;

namespace {

// Loading from the system directory, and taking the function, are what every
// run that starts the updater does (the end-to-end DLL load cases); the
// failures' entries are what no such run can show.
TEST(SystemLibraryTest, WhatCannotBeHadIsNamedInTheEntry)
{
    // PlantedDll.dll lies beside this program, where a plain load would find it.
    std::wstring csFailure;
    EXPECT_EQ(GetSystemFunction(L"PlantedDll.dll", "DllMain", csFailure), nullptr);
    EXPECT_EQ(csFailure, L"LoadLibraryEx(PlantedDll.dll) failed;errcode=126");
    EXPECT_EQ(GetModuleHandleW(L"PlantedDll.dll"), nullptr);

    EXPECT_EQ(GetSystemFunction(L"shell32.dll", "NoSuchFunction", csFailure), nullptr);
    EXPECT_EQ(csFailure, L"GetProcAddress(NoSuchFunction) failed;errcode=127");
}

}  // namespace
