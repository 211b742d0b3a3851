#pragma once
// The probe process that the start-up and memory benchmarks run.

namespace bench {

// True in a probe process (this executable started by those benchmarks).
bool IsProbe();
// Starts the program as its main() does, waits for the first complete
// paint of the preview and prints what it measured.
int RunProbe(int argc, char** argv);

} // namespace bench
