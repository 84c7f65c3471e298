#include "launcher/Entry.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "framework/WinApp.h"
#include "log/DiagLog.h"
#include "support/LogTexts.h"
#include "support/TestFiles.h"

using namespace logtexts;
using namespace testfiles;

namespace {

class EntryTest : public SandboxTest {};

BOOL FailingInit(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    return FALSE;
}

// Standard output goes to a file while fn runs; returns the bytes written.
template <typename Fn>
std::string CaptureStdout(Fn fn)
{
    const std::wstring path = OwnDir() + L"stdout.bin";
    fflush(stdout);
    const int saved = _dup(_fileno(stdout));
    const int file = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0600);
    EXPECT_GE(file, 0);
    _dup2(file, _fileno(stdout));
    _close(file);

    fn();

    fflush(stdout);
    _dup2(saved, _fileno(stdout));
    _close(saved);
    _setmode(_fileno(stdout), _O_TEXT);  // the report changes the mode
    const std::string bytes = ReadBytes(path);
    DeleteFileW(path.c_str());
    return bytes;
}

TEST_F(EntryTest, FrameworkFailurePrintsEveryCharacterAndExitsWithOne)
{
    int exitCode = -1;
    const std::string out = CaptureStdout([&] { exitCode = RunLauncher(&FailingInit); });

    EXPECT_EQ(exitCode, 1);
    // "错误: MFC 初始化失败" as UTF-8, then the newline.
    EXPECT_EQ(out,
              "\xE9\x94\x99\xE8\xAF\xAF: MFC "
              "\xE5\x88\x9D\xE5\xA7\x8B\xE5\x8C\x96\xE5\xA4\xB1\xE8\xB4\xA5\r\n");
    EXPECT_FALSE(Exists(kLogFile));
}

TEST(WinAppTest, InitialisationSetsTheErrorModeAndSucceedsOnce)
{
    // The error mode is the whole process's: put back afterwards.
    const UINT uPreviousMode = SetErrorMode(SEM_NOGPFAULTERRORBOX);
    wchar_t cmdLine[] = L"UnzipLauncher.exe";

    // No application object yet: failure, but the error mode is set anyway.
    EXPECT_EQ(AfxGetApp(), nullptr);
    EXPECT_FALSE(AfxWinInit(GetModuleHandleW(nullptr), nullptr, cmdLine, 0));
    EXPECT_EQ(GetErrorMode(), static_cast<UINT>(SEM_NOGPFAULTERRORBOX | SEM_FAILCRITICALERRORS |
                                                SEM_NOOPENFILEERRORBOX));

    CWinApp app;
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_TRUE(AfxWinInit(GetModuleHandleW(nullptr), nullptr, cmdLine, 0));
    EXPECT_FALSE(AfxWinInit(GetModuleHandleW(nullptr), nullptr, cmdLine, 0));
    SetErrorMode(uPreviousMode);
}

}  // namespace
