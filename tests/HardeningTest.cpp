#include "launcher/Hardening.h"

#include <cstdlib>
#include <filesystem>

#include "support/Machine.h"
#include "support/TestFiles.h"

using namespace testfiles;

namespace {

// What a child found loadable by bare name, as its exit code.
constexpr int kBesideExe = 1;     // PlantedDll.dll, built beside the test program
constexpr int kInCurrentDir = 2;  // a copy of it in the current directory
constexpr int kSystemDll = 4;     // version.dll, from the system directory

const wchar_t kCurrentDir[] = L"E:\\UnzipLauncher-tests\\planted here";

[[noreturn]] void LoadAndExit()
{
    int loaded = 0;
    if (LoadLibraryW(L"PlantedDll.dll") != nullptr) loaded |= kBesideExe;
    if (LoadLibraryW(L"CwdPlantedDll.dll") != nullptr) loaded |= kInCurrentDir;
    if (LoadLibraryW(L"version.dll") != nullptr) loaded |= kSystemDll;
    std::exit(loaded);
}

// The search order is process-wide, so every case runs in a child process.
class HardeningDeathTest : public SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        REQUIRE_DRIVES(L"e");
        MakeDirs(kCurrentDir);
        // The child repeats this set-up over what the parent made.
        std::filesystem::copy_file(OwnDir() + L"PlantedDll.dll",
                                   std::wstring(kCurrentDir) + L"\\CwdPlantedDll.dll",
                                   std::filesystem::copy_options::overwrite_existing);
        ASSERT_TRUE(SetCurrentDirectoryW(kCurrentDir));
    }
    void TearDown() override
    {
        SetCurrentDirectoryW(OwnDir().c_str());
        SandboxTest::TearDown();
    }
};

TEST_F(HardeningDeathTest, WithoutRestrictionPlantedDllsWouldLoad)
{
    EXPECT_EXIT(LoadAndExit(), ::testing::ExitedWithCode(kBesideExe | kInCurrentDir | kSystemDll),
                "");
}

TEST_F(HardeningDeathTest, SystemDirectoryOnlyWhereTheLoaderCanDoIt)
{
    // Wine and every Windows from 8 on have it.
    ASSERT_NE(FindSetDefaultDllDirectories(), nullptr);
    EXPECT_EXIT(
        {
            if (!RestrictDllSearch(FindSetDefaultDllDirectories())) std::exit(100);
            LoadAndExit();
        },
        ::testing::ExitedWithCode(kSystemDll), "");
}

TEST_F(HardeningDeathTest, FallbackKeepsTheCurrentDirectoryOut)
{
    // Windows: the current directory leaves the search; the exe's own folder
    // stays, which only SetDefaultDllDirectories can take out. Wine 8 still
    // searches the current directory afterwards: a known difference.
    const int expected =
        machine::IsWine() ? kBesideExe | kInCurrentDir | kSystemDll : kBesideExe | kSystemDll;
    EXPECT_EXIT(
        {
            if (!RestrictDllSearch(nullptr)) std::exit(100);
            LoadAndExit();
        },
        ::testing::ExitedWithCode(expected), "");
}

TEST_F(HardeningDeathTest, HardenedProcessLoadsFromTheSystemDirectoryOnly)
{
    // What the shipped exe's entry calls before the runtime starts.
    EXPECT_EXIT(
        {
            HardenProcess();
            LoadAndExit();
        },
        ::testing::ExitedWithCode(kSystemDll), "");
}

}  // namespace
