// The command line: option letters, then at most two file arguments.
#pragma once

#include <string>
#include <vector>

#include "driver/text_out.h"
#include "vk6/compiler.h"

namespace vk6 {

constexpr const char* kDefaultResultsPath = "vk6cmple.xxx";

// What the command line asks for.
struct CommandLine {
  std::string invocationName;  // first word of the command line, as typed
  std::string sourcePath;      // empty when no file argument was given
  std::string resultsPath = kDefaultResultsPath;
  bool version = false;
  bool versionOnly = false;
  bool help = false;         // --help: usage text only
  bool versionInfo = false;  // --version: version text only
  std::string listingName;         // with compile.listing
  std::string definitionFileName;  // with compile.definitionFile
  CompileOptions compile;
};

enum class CommandLineStatus {
  kOk,
  kTooManyFiles,  // more than two file arguments: nothing is written
  kMissingName,   // -l or -z as the last word
};

// Fills `line` from the words after the program name. "illegal option!"
// and the missing-name message go to `out`. The words "--help" and
// "--version" among the options set `help` and `versionInfo`.
CommandLineStatus parseCommandLine(const std::vector<std::string>& words,
                                   CommandLine& line, TextOut& out);

// Puts `name` in the directory of `sourcePath` unless it is absolute:
// beginning with '/' or '\\', or holding a ':' (a drive).
std::string placeBesideSource(const std::string& sourcePath,
                              const std::string& name);

}  // namespace vk6
