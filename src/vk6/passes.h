// The steps of one compile over a Compilation, for the library API and for
// tests that look into the state a compile leaves.
#pragma once

namespace vk6 {

struct Compilation;
struct ProgramSource;

// Puts the program into `c` for pass 1.
void loadProgram(Compilation& c, const ProgramSource& source);

// Pass 1, pass-2 preparation, pass 2, the final table allocation and the
// program image (into c.image), each only while no error was reported.
void runCompile(Compilation& c);

}  // namespace vk6
