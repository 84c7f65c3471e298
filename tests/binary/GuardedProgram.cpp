// A program linked with Control Flow Guard against the same runtime as the
// shipped exe, which is not built for it: the binary check must name the
// runtime's functions that Windows calls and the guard table lacks.
#include <cstdint>

#include "platform/LoadConfig.h"

namespace {
void __fastcall GuardCheckNothing(uintptr_t) {}
}  // namespace

extern "C" {

// lld's symbols: their addresses are the values.
extern const char __guard_fids_table[];
extern const char __guard_fids_count[];
extern const char __guard_flags[];

__attribute__((section(".00cfg"), used)) void(__fastcall* const volatile __guard_check_icall_fptr)(
    uintptr_t) = GuardCheckNothing;

__attribute__((used)) extern const CLoadConfig32 _load_config_used = {
    sizeof(CLoadConfig32), 0, 0, 0, 0, 0, 0, 0, 0, nullptr, 0, 0, 0, 0, 0,
    // DependentLoadFlags, as the shipped exe's.
    LOAD_LIBRARY_SEARCH_SYSTEM32, nullptr, nullptr, nullptr, nullptr,
    // The guard's fields, which lld fills.
    const_cast<void(__fastcall**)(uintptr_t)>(&__guard_check_icall_fptr),
    // No dispatch function on x86.
    nullptr, __guard_fids_table, __guard_fids_count, __guard_flags, 0, 0, 0, 0, nullptr, nullptr,
    nullptr, nullptr};
}

int wmain()
{
    return 0;
}
