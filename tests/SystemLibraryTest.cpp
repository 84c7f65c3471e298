#include "platform/SystemLibrary.h"

#include "support/TestFiles.h"

using namespace testfiles;

namespace {

// Loading from the system directory, and taking the function, are what every
// run that starts the updater does (the end-to-end DLL load cases); the
// failures are what no such run can show.
TEST(SystemLibraryTest, WhatCannotBeHadIsNamedWithItsError)
{
    // PlantedDll.dll lies beside this program, where a plain load would find it.
    const CSystemFunction planted = GetSystemFunction(L"PlantedDll.dll", "DllMain");
    EXPECT_EQ(planted.pfnProc, nullptr);
    EXPECT_EQ(planted.failedStep, SystemStep::kLoad);
    EXPECT_EQ(planted.dwError, 126u);  // ERROR_MOD_NOT_FOUND
    EXPECT_EQ(GetModuleHandleW(L"PlantedDll.dll"), nullptr);

    const CSystemFunction missing = GetSystemFunction(L"shell32.dll", "NoSuchFunction");
    EXPECT_EQ(missing.pfnProc, nullptr);
    EXPECT_EQ(missing.failedStep, SystemStep::kLookup);
    EXPECT_EQ(missing.dwError, 127u);  // ERROR_PROC_NOT_FOUND
}

}  // namespace
