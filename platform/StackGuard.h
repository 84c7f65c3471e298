// The stack guard's seeding and the runtime's start-up, for the entry
// (UlStart) that each program of ours defines once.
#pragma once

extern "C" {

// Seeds the guard of -fstack-protector-strong. Only the entry calls it,
// before any protected function runs: a protected function that is running
// while the guard changes fails its check.
void UlSeedStackGuard();

// The runtime's own entry (crt2.o), which runs the constructors and wmain.
int mainCRTStartup();
}
