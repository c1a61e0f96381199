// vk6fmt: lays measurement programs out in the house style.
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "fmt/format_command.h"

int main(int argc, char** argv) {
#ifdef _WIN32
  // Programs keep their own line ends; text mode would add a carriage
  // return before every line feed written and drop those read.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
#endif
  const std::vector<std::string> args(argv, argv + argc);
  const int code = vk6::runFormatter(args, std::cin, std::cout, std::cerr);
  std::cout.flush();
  return code;
}
