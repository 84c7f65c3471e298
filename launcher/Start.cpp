// The shipped exe's first step at its entry (platform/ProgramStart.cpp): the
// process defences come before the runtime's start-up, so that no code of
// the runtime or of a static constructor runs without them.
#include "launcher/Hardening.h"

extern "C" void UlFirstStep()
{
    HardenProcess();
}
