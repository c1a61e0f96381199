// vk6comp: compiles one datalogger program into its program image.
#include <cstdio>
#include <string>
#include <vector>

#include "driver/compile.h"

// CMake names the model this program is built for.
constexpr const char* kModel = vk6::modelString(VK6_MODEL);
static_assert(kModel != nullptr, "VK6_MODEL names no known model");

int main(int argc, char** argv) {
  const vk6::BuildInfo build{kModel, VK6_BUILD_DATE};
  const std::vector<std::string> args(argv, argv + argc);
  vk6::TextOut out(stdout);
  vk6::TextOut err(stderr);
  return vk6::runProgram(args, build, out, err);
}
