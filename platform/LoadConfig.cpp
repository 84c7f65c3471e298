// The image's load configuration: how the loader resolves the image's own
// imports. Linked into each program directly: lld takes it only from an
// object the link includes.
//
// No Control Flow Guard: the MinGW-w64 runtime and GCC's libraries are not
// built for it, so lld's table of valid call targets would miss functions
// that Windows' own code calls (the TLS callbacks, the runtime's
// initialisers), and Windows would end the process on the first such call.
// The guard fields stay zero.
#include "platform/LoadConfig.h"

extern "C" {

__attribute__((used)) extern const CLoadConfig32 _load_config_used = {
    sizeof(CLoadConfig32), 0, 0, 0, 0, 0, 0, 0, 0, nullptr, 0, 0, 0, 0, 0,
    // DependentLoadFlags: the static imports from the system directory only
    // (Windows 10 1607 and later; earlier ones ignore the field).
    LOAD_LIBRARY_SEARCH_SYSTEM32,
    // No edit list, no security cookie of the MSVC runtime's, no SafeSEH
    // table (NO_SEH), and no guard fields.
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0, 0, 0,
    nullptr, nullptr, nullptr, nullptr};

}  // extern "C"
