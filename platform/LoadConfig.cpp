// The image's load configuration, which Windows reads for Control Flow
// Guard. The MinGW-w64 runtime has none (and its structure lacks the guard
// fields), so the program brings its own; lld fills the guard table's
// symbols (__guard_*) and points the directory at it. Linked into each
// program directly: lld takes it only from an object the link includes.
#include <windows.h>

#include <cstdint>

namespace {

// IMAGE_LOAD_CONFIG_DIRECTORY32 up to the long-jump table, as Windows 10
// reads it; addresses as pointers, so that the whole is constant data.
struct CLoadConfig32 {
    DWORD dwSize;
    DWORD dwTimeDateStamp;
    WORD wMajorVersion;
    WORD wMinorVersion;
    DWORD dwGlobalFlagsClear;
    DWORD dwGlobalFlagsSet;
    DWORD dwCriticalSectionDefaultTimeout;
    DWORD dwDeCommitFreeBlockThreshold;
    DWORD dwDeCommitTotalFreeThreshold;
    const void* pLockPrefixTable;
    DWORD dwMaximumAllocationSize;
    DWORD dwVirtualMemoryThreshold;
    DWORD dwProcessHeapFlags;
    DWORD dwProcessAffinityMask;
    WORD wCSDVersion;
    WORD wDependentLoadFlags;
    const void* pEditList;
    const void* pSecurityCookie;
    const void* pSEHandlerTable;
    const void* pSEHandlerCount;
    const void* pGuardCFCheckFunctionPointer;
    const void* pGuardCFDispatchFunctionPointer;
    const void* pGuardCFFunctionTable;
    const void* pGuardCFFunctionCount;
    const void* pGuardFlags;
    WORD wCodeIntegrityFlags;
    WORD wCodeIntegrityCatalog;
    DWORD dwCodeIntegrityCatalogOffset;
    DWORD dwCodeIntegrityReserved;
    const void* pGuardAddressTakenIatEntryTable;
    const void* pGuardAddressTakenIatEntryCount;
    const void* pGuardLongJumpTargetTable;
    const void* pGuardLongJumpTargetCount;
};
static_assert(sizeof(CLoadConfig32) == 0x78,
              "the 32-bit load configuration up to GuardFlags' tables");

// What an indirect call checks its target with until the loader puts
// Windows' own check in its place (Windows 8.1 and later); elsewhere, and
// under Wine, every target passes. The target comes in ECX.
void __fastcall GuardCheckNothing(uintptr_t) {}

}  // namespace

extern "C" {

// lld's symbols: their addresses are the values (the counts and the flags too).
extern const char __guard_fids_table[];
extern const char __guard_fids_count[];
extern const char __guard_flags[];
extern const char __guard_iat_table[];
extern const char __guard_iat_count[];
extern const char __guard_longjmp_table[];
extern const char __guard_longjmp_count[];

// Read-only once loaded: the loader alone may replace it.
__attribute__((section(".00cfg"), used)) void(__fastcall* const volatile __guard_check_icall_fptr)(
    uintptr_t) = GuardCheckNothing;

__attribute__((used)) extern const CLoadConfig32 _load_config_used = {
    sizeof(CLoadConfig32), 0, 0, 0, 0, 0, 0, 0, 0, nullptr, 0, 0, 0, 0, 0, 0, nullptr,
    // No security cookie of the MSVC runtime's, no SafeSEH table (NO_SEH).
    nullptr, nullptr, nullptr,
    // GuardCFCheckFunctionPointer; no dispatch function on x86.
    const_cast<void(__fastcall**)(uintptr_t)>(&__guard_check_icall_fptr), nullptr,
    __guard_fids_table, __guard_fids_count, __guard_flags, 0, 0, 0, 0, __guard_iat_table,
    __guard_iat_count, __guard_longjmp_table, __guard_longjmp_count};

}  // extern "C"
