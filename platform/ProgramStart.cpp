// The entry of the test program and of the other helper programs: the
// stack guard seeded, then the runtime's start-up. The shipped exe has its
// own (launcher/Start.cpp).
#include "platform/StackGuard.h"

extern "C" __attribute__((no_stack_protector)) int UlStart()
{
    UlSeedStackGuard();
    return mainCRTStartup();
}
