// The shipped exe's entry. The process defences come before the runtime's
// start-up, so that no code of the runtime or of a static constructor runs
// without them.
#include "launcher/Hardening.h"

#ifdef _MSC_VER
// MSVC's runtime entry seeds its own stack cookie.
extern "C" int wmainCRTStartup();

extern "C" __declspec(safebuffers) int UlStart()
{
    HardenProcess();
    return wmainCRTStartup();
}
#else
#include "platform/StackGuard.h"

extern "C" __attribute__((no_stack_protector)) int UlStart()
{
    UlSeedStackGuard();
    HardenProcess();
    return mainCRTStartup();
}
#endif
