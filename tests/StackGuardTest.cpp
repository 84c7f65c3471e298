// The guard of the code built with stack protection: seeded at the entry,
// and an overrun ends the process at once, quietly, with fail-fast's code.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

#include "pack/E2eTest.h"
#include "pack/ProgramRun.h"
#include "support/Machine.h"
#include "support/TestFiles.h"

extern "C" uintptr_t __stack_chk_guard;

namespace {

TEST(StackGuardTest, IsSeededAtTheEntry)
{
    // The MSVC runtime's default cookie, which the guard holds until seeded;
    // this program's entry seeds it as the launcher's does.
    EXPECT_NE(__stack_chk_guard, 0xBB40E64Eu);
}

TEST(StackGuardTest, AnOverrunEndsTheProcessAtOnceAndQuietly)
{
    if (machine::IsEmulated()) {
        // Measured with Wine 8 under QEMU's software emulation: int 0x29
        // reaches Wine as an access violation at the instruction, not as
        // fail-fast, and Wine's debugger then crashes. Windows and Wine on a
        // real processor end the process with 0xC0000409.
        GTEST_SKIP() << "the emulated machine does not deliver fail-fast (int 0x29) as such";
    }
    // This program again, told to overrun a protected buffer.
    CProgramRun run(testfiles::OwnDir() + L"UnzipLauncherTests.exe", testfiles::OwnDir(),
                    {{L"UL_TEST_OVERRUN", L"1"}});
    ASSERT_EQ(run.GetStartError(), 0u);
    const ProgramOutcome outcome = run.Finish(e2e::kRunLimitMs);
    EXPECT_EQ(outcome.dwExitCode, static_cast<DWORD>(STATUS_STACK_BUFFER_OVERRUN));
    EXPECT_EQ(outcome.csStdout, "");
    EXPECT_EQ(outcome.csWindow, L"");
    EXPECT_FALSE(outcome.bTimedOut);
}

}  // namespace
