// The texts of --help and --version. Both go to standard output only: a
// user asking for them has not asked for a results file.
#pragma once

#include <string>

#include "core/options.h"

namespace vk6 {

// The usage text; `invocationName` is the program as typed, of which only
// the file name is shown.
std::string usageText(const std::string& invocationName, const BuildInfo& build);

// The program's name, project version, and the banner's model and date.
std::string versionText(const std::string& invocationName, const BuildInfo& build);

}  // namespace vk6
