// The compile driver and the program's run: results file, banner, outcome
// and exit code.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "core/options.h"

namespace vk6 {

struct Compilation;

// Loads the source named by the options into `c` (no error when it cannot
// be opened: pass 1 reports that).
void loadSource(Compilation& c);

// The whole program: `args` are the command-line words, the program name
// first. Everything the user is told goes to `out`; the memory trace of -m
// and complaints about the command line itself go to `err`. Returns the
// exit code.
int runProgram(const std::vector<std::string>& args, const BuildInfo& build,
               std::ostream& out, std::ostream& err);

}  // namespace vk6
