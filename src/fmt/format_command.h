// The formatter's command line:
//   vk6fmt [--check | -i] [--tab-size N] [--tabs] file...
// It prints formatted programs, lists the files that formatting would
// change, or rewrites them in place; "-" reads standard input.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace vk6 {

constexpr int kFormatChanges = 1;      // --check: some file would change
constexpr int kFormatUsageError = 2;   // bad usage, or a file not read or written

// `args` are the command-line words, the program name first. Returns the
// exit code: 0 done, kFormatChanges, or kFormatUsageError.
int runFormatter(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                 std::ostream& err);

}  // namespace vk6
