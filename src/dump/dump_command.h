// The inspector's command line:
//   vk6dump [--json] [--all] [--model MODEL] [--source PROG] image.bin
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vk6 {

constexpr int kDumpUsageError = 2;

// `args` are the command-line words, the program name first. Returns the
// exit code: 0 sound image (or --help, --version), 1 faulty image, an
// image of another model than --model asks for, or a source that is not
// the image's; 2 no image (or bad usage).
int runDump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vk6
