#include "discovery/PackPath.h"

#include "log/DiagLog.h"
#include "support/LogTexts.h"
#include "support/TestFiles.h"

using namespace logtexts;
using namespace testfiles;

namespace {

class PackPathTest : public SandboxTest {};

TEST_F(PackPathTest, ModulePathThatFillsTheBufferIsAFailure)
{
    wchar_t full[MAX_PATH] = {};
    const DWORD cch = GetModuleFileNameW(nullptr, full, MAX_PATH);
    ASSERT_TRUE(cch > 0 && cch < MAX_PATH);

    EXPECT_EQ(GetUnzipPackPath(cch + 1), OwnDir());
    EXPECT_FALSE(Exists(kLogFile));

    // A cut path names another place: never a directory to act on.
    SetLastError(0xDEADBEEF);
    EXPECT_EQ(GetUnzipPackPath(cch), L"");
    EXPECT_EQ(GetUnzipPackPath(cch - 1), L"");
    EXPECT_EQ(ReadBytes(kLogFile), LogBytes({kNoModulePath + L"122", kNoModulePath + L"122"}));
}

TEST_F(PackPathTest, DirectoryIsEverythingUpToTheLastBackslash)
{
    EXPECT_EQ(DirectoryOfPackPath(L"C:\\pkg\\setup.exe"), L"C:\\pkg\\");
    EXPECT_EQ(DirectoryOfPackPath(L"\\\\srv\\share\\a b\\setup.exe"), L"\\\\srv\\share\\a b\\");
    EXPECT_FALSE(Exists(kLogFile));

    EXPECT_EQ(DirectoryOfPackPath(L"setup.exe"), L"setup.exe");
    EXPECT_EQ(ReadBytes(kLogFile), LogBytes({kNoOwnFolder + L"setup.exe"}));
}

}  // namespace
