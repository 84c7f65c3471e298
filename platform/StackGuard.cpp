// The guard and the failure routine of code built with
// -fstack-protector-strong, ours rather than GCC's libssp: libssp seeds its
// guard through ADVAPI32, which would be loaded before the DLL search is
// restricted. The guard is seeded by the program's entry (UlStart), before
// the runtime's start-up runs any of our code.
#include "platform/StackGuard.h"

#include <windows.h>

#include <cstdint>

namespace {
// The MSVC runtime's default cookie: what a guard that was never seeded holds.
constexpr uintptr_t kUnseededGuard = 0xBB40E64E;

// From the sources the MSVC runtime mixes into its cookie (the time, the
// process and thread ids, the performance counter), and the stack's
// address, which address-space layout randomisation moves on every start.
__attribute__((no_stack_protector)) uintptr_t GetStackGuardSeed()
{
    FILETIME ft = {};
    GetSystemTimeAsFileTime(&ft);
    LARGE_INTEGER counter = {};
    QueryPerformanceCounter(&counter);
    uintptr_t nSeed = ft.dwLowDateTime ^ ft.dwHighDateTime;
    nSeed ^= GetCurrentProcessId() ^ (GetCurrentThreadId() << 16);
    nSeed ^= counter.LowPart ^ counter.HighPart;
    nSeed ^= reinterpret_cast<uintptr_t>(&ft);
    // Never the unseeded value, and never zero.
    return nSeed == kUnseededGuard || nSeed == 0 ? kUnseededGuard + 1 : nSeed;
}
}  // namespace

extern "C" {

uintptr_t __stack_chk_guard = kUnseededGuard;

// An overrun was detected: end at once, as the MSVC runtime does. Nothing
// may run that the overrun could have steered, so no handler, no output and
// no dialog: fail-fast where Windows has it (8 and later), else terminate
// with the same code.
__attribute__((noreturn, no_stack_protector)) void __stack_chk_fail()
{
    if (IsProcessorFeaturePresent(PF_FASTFAIL_AVAILABLE)) {
        __asm__ volatile("int $0x29" : : "c"(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE));
    }
    TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    __builtin_unreachable();
}

// Called first by the program's entry, before any protected function runs.
__attribute__((no_stack_protector)) void UlSeedStackGuard()
{
    __stack_chk_guard = GetStackGuardSeed();
}

}  // extern "C"
