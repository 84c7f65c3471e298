// IMAGE_LOAD_CONFIG_DIRECTORY32 up to the long-jump table, as Windows 10
// reads it: the MinGW-w64 runtime brings no load configuration, and its own
// structure lacks the later fields. Addresses as pointers, so that a
// configuration is constant data the linker relocates.
#pragma once

#include <windows.h>

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
