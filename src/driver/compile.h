// vk6comp's run: the command line, the program read from disk, the
// compile through the library, then the results file, the image written
// beside the program and the listing files; the outcome as exit code.
#pragma once

#include <string>
#include <vector>

#include "core/options.h"
#include "driver/text_out.h"

namespace vk6 {

// The whole program: `args` are the command-line words, the program name
// first. Everything the user is told goes to `out`; the memory trace of -m
// and complaints about the command line itself go to `err`. Returns the
// exit code.
int runProgram(const std::vector<std::string>& args, const BuildInfo& build,
               TextOut& out, TextOut& err);

}  // namespace vk6
