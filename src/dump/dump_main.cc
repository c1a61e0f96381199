// vk6dump: prints and checks a program image. The model string is a
// build-time value, as for the compiler.
#include <iostream>
#include <string>
#include <vector>

#include "dump/dump_command.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv, argv + argc);
  return vk6::runDump(args, VK6_MODEL_STRING, std::cout, std::cerr);
}
