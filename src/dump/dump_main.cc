// vk6dump: prints and checks a program image of any model.
#include <iostream>
#include <string>
#include <vector>

#include "dump/dump_command.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv, argv + argc);
  return vk6::runDump(args, std::cout, std::cerr);
}
