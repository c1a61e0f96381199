// vk6comp: compiles one datalogger program into its program image.
#include <iostream>
#include <string>
#include <vector>

#include "driver/compile.h"

int main(int argc, char** argv) {
  const vk6::BuildInfo build{VK6_MODEL_STRING, VK6_BUILD_DATE};
  const std::vector<std::string> args(argv, argv + argc);
  const int code = vk6::runProgram(args, build, std::cout, std::cerr);
  std::cout.flush();
  return code;
}
