#include "discovery/Existence.h"

#include "support/TestFiles.h"

using namespace testfiles;

namespace {

class ExistenceTest : public SandboxTest {
protected:
    void SetUp() override
    {
        // As the framework sets it at start: no "no disk" dialog.
        m_uPreviousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
        SandboxTest::SetUp();
        REQUIRE_DRIVES(L"e");
    }
    void TearDown() override
    {
        SetErrorMode(m_uPreviousMode);
        SandboxTest::TearDown();
    }

private:
    UINT m_uPreviousMode = 0;
};

TEST_F(ExistenceTest, FilesAndDirectoriesExistOnlyFilesAreFiles)
{
    const std::wstring dir = L"E:\\Zof\\R&D ^100% (1) [2]\\";
    Touch(dir + L"Quentabrix.exe");
    MakeDirs(dir + L"Folder.exe");

    EXPECT_TRUE(IsExistingPath(dir + L"Quentabrix.exe"));
    EXPECT_TRUE(IsExistingFile(dir + L"Quentabrix.exe"));
    EXPECT_TRUE(IsExistingPath(dir + L"Folder.exe"));
    EXPECT_FALSE(IsExistingFile(dir + L"Folder.exe"));
    // The product directory is tested with its trailing backslash.
    EXPECT_TRUE(IsExistingPath(dir));
    EXPECT_FALSE(IsExistingFile(dir));

    for (const std::wstring& missing :
         {dir + L"Missing.exe", std::wstring(L"E:\\Nowhere\\x"), std::wstring(L"")}) {
        EXPECT_FALSE(IsExistingPath(missing)) << Utf8(missing);
        EXPECT_FALSE(IsExistingFile(missing)) << Utf8(missing);
    }
}

TEST_F(ExistenceTest, ForwardSlashesAndSharesAreFound)
{
    Touch(L"E:\\Zof\\Mgr\\Quentabrix.exe");
    EXPECT_TRUE(IsExistingFile(L"E:/Zof/Mgr\\Quentabrix.exe"));
    EXPECT_TRUE(IsExistingFile(L"\\\\?\\E:\\Zof\\Mgr\\Quentabrix.exe"));

    // The fixture's share, as a UNC path with either slash.
    const std::wstring share = FixtureShare();
    if (share.empty()) {
        GTEST_SKIP() << "needs a writable share, named by UL_SHARE_SERVER and UL_SHARE_NAME";
    }
    Touch(share + L"\\Zof\\Mgr\\Quentabrix.exe");
    EXPECT_TRUE(IsExistingFile(share + L"\\Zof\\Mgr\\Quentabrix.exe"));
    std::wstring slashed = share + L"/Zof/Mgr\\Quentabrix.exe";
    slashed[0] = slashed[1] = L'/';
    EXPECT_TRUE(IsExistingFile(slashed)) << Utf8(slashed);
    EXPECT_TRUE(IsExistingPath(share + L"\\Zof\\"));
    EXPECT_FALSE(IsExistingPath(share + L"\\Missing\\"));
}

TEST_F(ExistenceTest, ADriveWithoutAMediumAnswersPromptlyAndQuietly)
{
    // No dialog may wait for a medium. Under Wine the drive fails at once;
    // an empty reader on Windows may take a moment, so the bound is wide.
    const std::wstring drive = NoMediumDrive();
    if (drive.empty()) {
        GTEST_SKIP() << "needs a drive without a medium, named by UL_NO_MEDIUM_DRIVE";
    }
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(IsExistingPath(drive + L"\\"));
    EXPECT_FALSE(IsExistingPath(drive + L"\\Zof\\ZOFIXA\\"));
    EXPECT_FALSE(IsExistingFile(drive + L"\\Zof\\Mgr\\Quentabrix.exe"));
    EXPECT_FALSE(IsExistingPath(L"\\\\nosuchserver\\share\\update.zip"));
    EXPECT_LT(GetTickCount64() - start, 5000u);
}

}  // namespace
