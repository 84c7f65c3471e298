// The first step of the programs that take none before the runtime starts.
extern "C" void UlFirstStep() {}
