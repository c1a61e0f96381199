// Settings of one compile that the passes read: the model the program is
// compiled for and the test hook's memory budget.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vk6 {

// The model strings images carry, one per model this compiler builds for.
inline constexpr const char* kModelStrings[] = {"VK617Q.Std.03", "VK610Q.Std.03"};

// The model string of the model `name` ("VK610Q"), or nullptr.
constexpr const char* modelString(std::string_view name) {
  for (const char* model : kModelStrings)
    if (std::string_view(model).substr(0, std::string_view(model).find('.')) == name)
      return model;
  return nullptr;
}

struct BuildInfo {
  std::string model;      // e.g. "VK617Q.Std.03"
  std::string buildDate;  // e.g. "131104"
};

struct Options {
  BuildInfo build;
  // Test hook: tracked allocations fail once this many bytes have been
  // handed out in total (0 = no limit).
  std::size_t memoryLimit = 0;

  // The VK610Q has no satellite transmitter.
  bool hasGoes() const { return build.model.rfind("VK610Q", 0) != 0; }
};

}  // namespace vk6
