// The entry of every program of ours, UlStart: the stack guard seeded, then
// the program's own first step where it defines one (the shipped exe's, in
// launcher/Start.cpp), then the runtime's start-up (crt2.o), which runs the
// constructors and wmain.
#include "platform/StackGuard.h"

extern "C" {
int mainCRTStartup();
void UlFirstStep() __attribute__((weak));

__attribute__((no_stack_protector)) int UlStart()
{
    UlSeedStackGuard();
    if (UlFirstStep != nullptr) {
        UlFirstStep();
    }
    return mainCRTStartup();
}
}
