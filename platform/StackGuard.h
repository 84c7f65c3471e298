// The stack guard's seeding, for the entry (platform/ProgramStart.cpp).
#pragma once

extern "C" {

// Seeds the guard of -fstack-protector-strong. Only the entry calls it,
// before any protected function runs: a protected function that is running
// while the guard changes fails its check.
void UlSeedStackGuard();
}
