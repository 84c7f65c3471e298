#include "launcher/UnzipLauncher.h"

#include "discovery/Discovery.h"
#include "launcher/LaunchAndWait.h"
#include "log/DiagLog.h"
#include "support/TestFiles.h"

using namespace testfiles;

namespace {

const wchar_t kRecord[] = L"E:\\Zof\\record.txt";

// Runs the updater stand-in; it writes how it was started into kRecord.
class LaunchTest : public SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        SetEnvironmentVariableW(L"FAKE_UPDATER_RECORD", kRecord);
        SetEnvironmentVariableW(L"FAKE_UPDATER_SLEEP_MS", nullptr);
        MakeDirs(L"E:\\Zof");
    }

    // Puts the stand-in in place as the product's updater.
    static void InstallUpdater(const std::wstring& dir)
    {
        MakeDirs(dir);
        ASSERT_TRUE(CopyFileW((OwnDir() + L"FakeUpdater.exe").c_str(),
                              (dir + L"Quentabrix.exe").c_str(), FALSE));
    }

    static std::string Record() { return ReadBytes(kRecord); }

    static ULONGLONG LastWrite(const std::wstring& path)
    {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        EXPECT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
        return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
               data.ftLastWriteTime.dwLowDateTime;
    }
};

TEST_F(LaunchTest, StartsHiddenWithTheExactParameters)
{
    const std::wstring params =
        L"\"E:\\Zof\\My Product\\download\\sorvane\" \"C:\\pkg dir\\update.zip\"";
    EXPECT_EQ(LaunchAndWait(OwnDir() + L"FakeUpdater.exe", params), L"");

    const std::string record = Record();
    EXPECT_NE(
        record.find("commandline=\"" + Utf8(OwnDir()) + "FakeUpdater.exe\" " + Utf8(params) + "\n"),
        std::string::npos)
        << record;
    EXPECT_NE(record.find("argc=3\n"
                          "argv[1]=E:\\Zof\\My Product\\download\\sorvane\n"
                          "argv[2]=C:\\pkg dir\\update.zip\n"),
              std::string::npos)
        << record;
    EXPECT_NE(record.find("useshowwindow=1\nshowwindow=0\n"), std::string::npos) << record;
}

TEST_F(LaunchTest, WaitsUntilTheUpdaterEnds)
{
    SetEnvironmentVariableW(L"FAKE_UPDATER_SLEEP_MS", L"1500");
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(LaunchAndWait(OwnDir() + L"FakeUpdater.exe", L"\"a\" \"b\""), L"");
    EXPECT_GE(GetTickCount64() - start, 1400u);
    EXPECT_NE(Record().find("finished=1\n"), std::string::npos);
}

TEST_F(LaunchTest, UpdaterThatCannotStartFailsQuietly)
{
    // Not a program: the shell must neither hang nor show a dialog.
    WriteBytes(L"E:\\Zof\\Mgr\\Quentabrix.exe", "not a program\r\n");
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(LaunchAndWait(L"E:\\Zof\\Mgr\\Quentabrix.exe", L"\"a\" \"b\""),
              L"ShellExecuteEx failed;errcode=193");  // ERROR_BAD_EXE_FORMAT
    EXPECT_EQ(LaunchAndWait(L"E:\\Zof\\Mgr\\Missing.exe", L"\"a\" \"b\""),
              L"ShellExecuteEx failed;errcode=2");  // ERROR_FILE_NOT_FOUND
    EXPECT_LT(GetTickCount64() - start, 10000u);
}

TEST_F(LaunchTest, AWaitThatDoesNotSeeTheUpdaterEndSaysWhy)
{
    SetEnvironmentVariableW(L"FAKE_UPDATER_SLEEP_MS", L"3000");
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::wstring commandLine = L"\"" + OwnDir() + L"FakeUpdater.exe\"";
    ASSERT_TRUE(CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &si, &pi));
    CloseHandle(pi.hThread);
    EXPECT_EQ(WaitForUpdater(pi.hProcess, 200), L"WaitForSingleObject timeout;ms=200");
    EXPECT_EQ(WaitForUpdater(pi.hProcess, 10000), L"");
    CloseHandle(pi.hProcess);

    // No handle at all: the wait itself fails.
    EXPECT_EQ(WaitForUpdater(nullptr, 200), L"WaitForSingleObject failed;errcode=6");
}

TEST_F(LaunchTest, ConstructionRemovesTheStaleLogBesideTheProgram)
{
    WriteBytes(OwnDir() + L"log.ini", "[LOG]\r\n0=old\r\n");
    WriteBytes(kLogFilePath, "[LOG]\r\n0=old\r\n");
    CUnzipLauncher launcher;
    EXPECT_FALSE(Exists(OwnDir() + L"log.ini"));
    EXPECT_TRUE(Exists(kLogFilePath));  // the diagnostic log lies elsewhere
    EXPECT_EQ(launcher.ZofixaPath(), L"");
}

TEST_F(LaunchTest, SuccessfulRunStartsTheUpdaterAndLogsItsParametersAfterTheWait)
{
    InstallUpdater(L"E:\\Zof\\Mgr\\");
    MakeProduct(L"E:\\Zof\\My Product\\");
    WriteSetupFile("[MANAGE]\r\nPATH=E:\\Zof\\Mgr\\\\\r\n[ZOFIXA]\r\nPATH=E:\\Zof\\My Product\r\n");
    Touch(OwnDir() + L"update.zip");
    SetEnvironmentVariableW(L"FAKE_UPDATER_SLEEP_MS", L"500");

    CUnzipLauncher launcher;
    EXPECT_EQ(launcher.UnzipPack(), 1);

    const std::string params =
        "\"E:\\Zof\\My Product\\download\\sorvane\" \"" + Utf8(OwnDir()) + "update.zip\"";
    EXPECT_EQ(ReadBytes(kLogFilePath), "[LOG]\r\n0=IsZofixaPath succ[1]!\r\n1=" + params + "\r\n");
    EXPECT_EQ(launcher.ZofixaPath(), L"E:\\Zof\\My Product\\");
    const std::string record = Record();
    EXPECT_NE(record.find("commandline=\"E:\\Zof\\Mgr\\Quentabrix.exe\" " + params + "\n"),
              std::string::npos)
        << record;
    EXPECT_NE(record.find("finished=1\n"), std::string::npos) << record;
    // The updater's last write came before the parameter entry.
    EXPECT_LE(LastWrite(kRecord), LastWrite(kLogFilePath));
}

TEST_F(LaunchTest, MissingUpdaterStopsBeforeTheProductIsLookedUp)
{
    MakeDirs(L"E:\\Zof\\Mgr");
    MakeProduct(kDefaultZofixaPath);
    Touch(OwnDir() + L"update.zip");
    WriteSetupFile("[MANAGE]\r\nPATH=E:\\Zof\\Mgr\r\n");

    CUnzipLauncher launcher;
    EXPECT_EQ(launcher.UnzipPack(), 0);
    EXPECT_EQ(ReadBytes(kLogFilePath),
              "[LOG]\r\n0=GetRegManPath no exists, path=E:\\Zof\\Mgr\\Quentabrix.exe\r\n");
    EXPECT_EQ(launcher.ZofixaPath(), L"");
}

TEST_F(LaunchTest, UpdaterIsNeverStartedFromARelativePlace)
{
    // Planted where a relative management directory would resolve: the root
    // of the current drive and the current directory.
    const std::wstring currentDir = OwnDir();
    InstallUpdater(L"C:\\");
    InstallUpdater(currentDir + L"Mgr\\");
    Own(L"C:\\Quentabrix.exe");
    Own(currentDir + L"Mgr");
    MakeProduct(kDefaultZofixaPath);
    Touch(OwnDir() + L"update.zip");

    {
        CUnzipLauncher launcher;  // no setup file: the setting is missing
        EXPECT_EQ(launcher.UnzipPack(), 0);
    }
    WriteSetupFile("[MANAGE]\r\nPATH=Mgr\r\n");
    {
        CUnzipLauncher launcher;
        EXPECT_EQ(launcher.UnzipPack(), 0);
    }
    WriteSetupFile("[MANAGE]\r\nPATH=\\\r\n");
    {
        CUnzipLauncher launcher;
        EXPECT_EQ(launcher.UnzipPack(), 0);
    }
    EXPECT_EQ(ReadBytes(kLogFilePath),
              "[LOG]\r\n0=GetRegManPath no exists, path=\\Quentabrix.exe\r\n"
              "1=GetRegManPath no exists, path=Mgr\\Quentabrix.exe\r\n"
              "2=GetRegManPath no exists, path=\\Quentabrix.exe\r\n");
    EXPECT_FALSE(Exists(kRecord));
}

TEST_F(LaunchTest, MissingProductDirectoryIsLoggedAfterTheSearch)
{
    InstallUpdater(L"E:\\Zof\\Mgr\\");
    Touch(OwnDir() + L"update.zip");
    WriteSetupFile("[MANAGE]\r\nPATH=E:\\Zof\\Mgr\r\n");

    CUnzipLauncher launcher;
    EXPECT_EQ(launcher.UnzipPack(), 0);
    EXPECT_EQ(ReadBytes(kLogFilePath),
              "[LOG]\r\n0=GetZofixaPath com!\r\n"
              "1=GetZofixaPath no exists, path=C:\\Zof\\ZOFIXA\\\r\n");
    EXPECT_EQ(launcher.ZofixaPath(), L"C:\\Zof\\ZOFIXA\\");
    EXPECT_FALSE(Exists(kRecord));
}

TEST_F(LaunchTest, MissingPackageStopsBeforeTheLaunch)
{
    InstallUpdater(L"E:\\Zof\\Mgr\\");
    MakeProduct(L"F:\\Zof\\ZOFIXA\\");
    WriteSetupFile("[MANAGE]\r\nPATH=E:\\Zof\\Mgr\r\n");

    CUnzipLauncher launcher;
    EXPECT_EQ(launcher.UnzipPack(), 0);
    EXPECT_EQ(ReadBytes(kLogFilePath),
              "[LOG]\r\n0=IsZofixaPath succ[2]!\r\n"
              "1=GetUnzipPackPath no exists, path=" +
                  Utf8(OwnDir()) + "update.zip\r\n");
    EXPECT_FALSE(Exists(kRecord));
}

}  // namespace
