#include "launcher/LaunchAndWait.h"

#include "discovery/Discovery.h"
#include "launcher/UnzipLauncher.h"
#include "log/DiagLog.h"
#include "platform/ScopedHandle.h"
#include "support/LogTexts.h"
#include "support/TestFiles.h"

using namespace logtexts;
using namespace testfiles;

// What the exe's run shows as a whole (each way it stops, the typical run,
// no updater from a relative place) is asserted by the end-to-end suite;
// these tests hold what one run of the exe cannot show.
namespace {

const wchar_t kRecord[] = L"E:\\Zof\\record.txt";

// Runs the updater stand-in; it writes how it was started into kRecord.
class LaunchTest : public SandboxTest {
protected:
    void SetUp() override
    {
        SandboxTest::SetUp();
        REQUIRE_DRIVES(L"e");
        m_env.Set(L"FAKE_UPDATER_RECORD", kRecord);
        m_env.Set(L"FAKE_UPDATER_SLEEP_MS", nullptr);
        MakeDirs(L"E:\\Zof");
    }

    ScopedEnv m_env;

    // The folder the tests run in, as the stand-in records it.
    static std::wstring CurrentDir() { return RemoveTrailingBackslashes(OwnDir()); }

    static ULONGLONG LastWrite(const std::wstring& path)
    {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        EXPECT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
        return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
               data.ftLastWriteTime.dwLowDateTime;
    }
};

TEST_F(LaunchTest, StartsHiddenWithTheExactParametersAndWaitsUntilTheUpdaterEnds)
{
    m_env.Set(L"FAKE_UPDATER_SLEEP_MS", L"1500");
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(
        LaunchAndWait(OwnDir() + L"FakeUpdater.exe",
                      L"\"E:\\Zof\\My Product\\download\\sorvane\" \"C:\\pkg dir\\update.zip\""),
        L"");
    EXPECT_GE(GetTickCount64() - start, 1400u);
    EXPECT_EQ(ReadUpdaterRecord(kRecord),
              ExpectedUpdaterRecord(OwnDir() + L"FakeUpdater.exe",
                                    L"E:\\Zof\\My Product\\download\\sorvane",
                                    L"C:\\pkg dir\\update.zip", CurrentDir()));
}

TEST_F(LaunchTest, UpdaterThatCannotStartFailsQuietly)
{
    // Not a program: the shell must neither hang nor show a dialog.
    WriteBytes(L"E:\\Zof\\Mgr\\Quentabrix.exe", "not a program\r\n");
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(LaunchAndWait(L"E:\\Zof\\Mgr\\Quentabrix.exe", L"\"a\" \"b\""),
              kShellFailed + L"193");  // ERROR_BAD_EXE_FORMAT
    EXPECT_EQ(LaunchAndWait(L"E:\\Zof\\Mgr\\Missing.exe", L"\"a\" \"b\""),
              kShellFailed + L"2");  // ERROR_FILE_NOT_FOUND
    EXPECT_LT(GetTickCount64() - start, 10000u);
}

TEST_F(LaunchTest, AWaitThatDoesNotSeeTheUpdaterEndSaysWhy)
{
    m_env.Set(L"FAKE_UPDATER_SLEEP_MS", L"3000");
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::wstring commandLine = L"\"" + OwnDir() + L"FakeUpdater.exe\"";
    ASSERT_TRUE(CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &si, &pi));
    const ScopedHandle thread(pi.hThread);
    const ScopedHandle process(pi.hProcess);
    EXPECT_EQ(WaitForUpdater(process.Get(), 200), L"WaitForSingleObject timeout;ms=200");
    EXPECT_EQ(WaitForUpdater(process.Get(), 10000), L"");

    // No handle at all: the wait itself fails.
    EXPECT_EQ(WaitForUpdater(nullptr, 200), kWaitFailed + L"6");
}

// What a replaced shell call was handed, and what it answers.
SHELLEXECUTEINFOW g_seiSeen = {};
BOOL WINAPI StartsNoProcess(SHELLEXECUTEINFOW* pSei)
{
    g_seiSeen = *pSei;
    pSei->hProcess = nullptr;  // handed to a process that was already running
    return TRUE;
}

TEST_F(LaunchTest, AStartWithoutAProcessIsNoStartAndTheRecordIsAsTheShellNeedsIt)
{
    const std::wstring file = L"C:\\Ixa Manage\\Quentabrix.exe";
    const std::wstring parameters = L"\"C:\\Zof\\download\\sorvane\" \"C:\\pkg\\update.zip\"";
    memset(&g_seiSeen, 0xA5, sizeof(g_seiSeen));
    EXPECT_EQ(StartAndWait(&StartsNoProcess, file, parameters, 200), kNoProcess);

    EXPECT_EQ(g_seiSeen.cbSize, 60u);    // the record's size on 32-bit Windows
    EXPECT_EQ(g_seiSeen.fMask, 0x440u);  // SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI
    EXPECT_EQ(g_seiSeen.hwnd, nullptr);
    EXPECT_EQ(g_seiSeen.lpVerb, nullptr);
    EXPECT_EQ(g_seiSeen.lpFile, file);
    EXPECT_EQ(g_seiSeen.lpParameters, parameters);
    EXPECT_EQ(g_seiSeen.lpDirectory, nullptr);  // the updater inherits ours
    EXPECT_EQ(g_seiSeen.nShow, SW_HIDE);
    EXPECT_EQ(g_seiSeen.lpIDList, nullptr);
    EXPECT_EQ(g_seiSeen.lpClass, nullptr);
    EXPECT_EQ(g_seiSeen.hkeyClass, nullptr);
}

TEST_F(LaunchTest, ConstructionRemovesTheStaleLogBesideTheProgram)
{
    WriteBytes(OwnDir() + L"log.ini", "[LOG]\r\n0=old\r\n");
    WriteBytes(kLogFile, "[LOG]\r\n0=old\r\n");
    CUnzipLauncher launcher;
    EXPECT_FALSE(Exists(OwnDir() + L"log.ini"));
    EXPECT_TRUE(Exists(kLogFile));  // the diagnostic log lies elsewhere
    EXPECT_EQ(launcher.ZofixaPath(), L"");
}

TEST_F(LaunchTest, SuccessfulRunRecordsTheProductAndLogsAfterTheUpdatersLastWrite)
{
    MakeDirs(L"E:\\Zof\\Mgr");
    ASSERT_TRUE(
        CopyFileW((OwnDir() + L"FakeUpdater.exe").c_str(), L"E:\\Zof\\Mgr\\Quentabrix.exe", FALSE));
    MakeProduct(L"E:\\Zof\\My Product\\");
    WriteSetupFile("[MANAGE]\r\nPATH=E:\\Zof\\Mgr\\\\\r\n[ZOFIXA]\r\nPATH=E:\\Zof\\My Product\r\n");
    Touch(OwnDir() + L"update.zip");
    m_env.Set(L"FAKE_UPDATER_SLEEP_MS", L"500");

    CUnzipLauncher launcher;
    EXPECT_EQ(launcher.UnzipPack(), 1);

    const std::wstring destination = L"E:\\Zof\\My Product\\download\\sorvane";
    const std::wstring package = OwnDir() + L"update.zip";
    EXPECT_EQ(ReadBytes(kLogFile), LogBytes({kSucc1, Parameters(destination, package)}));
    EXPECT_EQ(launcher.ZofixaPath(), L"E:\\Zof\\My Product\\");
    EXPECT_EQ(
        ReadUpdaterRecord(kRecord),
        ExpectedUpdaterRecord(L"E:\\Zof\\Mgr\\Quentabrix.exe", destination, package, CurrentDir()));
    // The updater's last write came before the parameter entry.
    EXPECT_LE(LastWrite(kRecord), LastWrite(kLogFile));
}

}  // namespace
