// The unit tests' clean-up and guard: they share the places the launcher
// uses with an installed product.
#include <filesystem>

#include "log/DiagLog.h"
#include "support/LogTexts.h"
#include "support/TestFiles.h"

namespace fs = std::filesystem;

namespace testfiles {

void SandboxTest::SetUp()
{
    Clean();
    ResetLogNumbering();
}

void SandboxTest::TearDown()
{
    Clean();
}

std::vector<std::wstring> SharedPaths()
{
    std::vector<std::wstring> paths = {logtexts::kLogFile, SetupFile(), L"C:\\Zof",
                                       OwnDir() + L"log.ini", OwnDir() + L"update.zip"};
    for (const wchar_t letter : EmptyDrives()) {
        paths.push_back(std::wstring(1, letter) + L":\\Zof");
    }
    return paths;
}

std::wstring GuardProblem(bool bTestMachine)
{
    if (!bTestMachine) {
        return L"these tests write and remove the system directory's IxaSetup.ini, "
               L"c:\\log.ini and C:\\Zof: run them only on a test machine, with --test-machine";
    }
    for (const std::wstring& path : SharedPaths()) {
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
            return path + L" exists, and these tests would remove it (is the product installed?)";
        }
    }
    return std::wstring();
}

void SandboxTest::RequireDrives(const std::wstring& csLetters)
{
    const std::wstring csLacking = LackingDrives(csLetters);
    if (!csLacking.empty()) {
        GTEST_SKIP() << "needs the empty drives " << Utf8(csLacking) << " of a test machine";
    }
}

void SandboxTest::Clean()
{
    std::vector<std::wstring> paths = SharedPaths();
    paths.insert(paths.end(), m_owned.begin(), m_owned.end());
    for (const std::wstring& path : paths) {
        std::error_code ec;
        fs::remove_all(fs::path(path), ec);
    }
}

}  // namespace testfiles
