// vk6comp: compiles one datalogger program into its program image.
#include <cstdio>
#include <string>
#include <vector>

#include "driver/compile.h"

int main(int argc, char** argv) {
  const vk6::BuildInfo build{VK6_MODEL_STRING, VK6_BUILD_DATE};
  const std::vector<std::string> args(argv, argv + argc);
  vk6::TextOut out(stdout);
  vk6::TextOut err(stderr);
  return vk6::runProgram(args, build, out, err);
}
