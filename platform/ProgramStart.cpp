// The entry of every program of ours, UlStart: the stack guard seeded, then
// the program's own first step (the shipped exe's in launcher/Start.cpp; an
// empty one in platform/NoFirstStep.cpp for the others), then the runtime's
// start-up (crt2u.o), which runs the constructors and wmain.
#include "platform/StackGuard.h"

extern "C" {
int mainCRTStartup();
void UlFirstStep();

__attribute__((no_stack_protector)) int UlStart()
{
    UlSeedStackGuard();
    UlFirstStep();
    return mainCRTStartup();
}
}
