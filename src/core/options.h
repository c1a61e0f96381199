// Settings of one run: what the command line asked for and which model the
// program was built for. Filled by the command-line parser and by main.
#pragma once

#include <cstddef>
#include <string>

namespace vk6 {

struct BuildInfo {
  std::string model;      // e.g. "VK617Q.Std.03"
  std::string buildDate;  // e.g. "131104"
};

constexpr const char* kDefaultResultsPath = "vk6cmple.xxx";

struct Options {
  BuildInfo build;
  std::string invocationName;  // first word of the command line, as typed
  std::string sourcePath;      // empty when no file argument was given
  std::string resultsPath = kDefaultResultsPath;
  bool version = false;
  bool versionOnly = false;
  bool memoryTrace = false;
  bool noImage = false;
  bool help = false;            // --help: usage text only
  bool versionInfo = false;     // --version: version text only
  bool listing = false;
  std::string listingName;
  bool definitionFile = false;
  std::string definitionFileName;
  // Test hook: tracked allocations fail once this many bytes have been
  // handed out in total (0 = no limit).
  std::size_t memoryLimit = 0;

  // The VK610Q has no satellite transmitter.
  bool hasGoes() const { return build.model.rfind("VK610Q", 0) != 0; }
};

}  // namespace vk6
