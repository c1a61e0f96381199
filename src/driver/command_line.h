// The command line: option letters, then at most two file arguments.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "core/options.h"

namespace vk6 {

enum class CommandLineStatus {
  kOk,
  kTooManyFiles,  // more than two file arguments: nothing is written
  kMissingName,   // -l or -z as the last word
};

// Fills `options` from the words after the program name. "illegal option!"
// and the missing-name message go to `out`. The words "--help" and
// "--version" among the options set `help` and `versionInfo`.
CommandLineStatus parseCommandLine(const std::vector<std::string>& words,
                                   Options& options, std::ostream& out);

// Puts `name` in the directory of `sourcePath` unless it is absolute:
// beginning with '/' or '\\', or holding a ':' (a drive).
std::string placeBesideSource(const std::string& sourcePath,
                              const std::string& name);

}  // namespace vk6
