// The inspector's command line: vk6dump [--json] image.bin
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vk6 {

constexpr int kDumpUsageError = 2;

// `args` are the command-line words, the program name first. Returns the
// exit code: 0 sound image (or --help, --version), 1 faulty image, 2 no
// image (or bad usage).
int runDump(const std::vector<std::string>& args, const std::string& buildModel,
            std::ostream& out, std::ostream& err);

}  // namespace vk6
