// vk6gen: writes the generated test programs, to compare what two builds
// make of the same programs.
//   vk6gen [--varied] seed               the program of one seed, to stdout
//   vk6gen [--varied] first last folder  seeds first..last as folder/gen<seed>.vk6
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "program_generator.h"

namespace {

bool readSeed(const char* text, std::uint32_t& seed) {
  char* end = nullptr;
  const unsigned long value = std::strtoul(text, &end, 10);
  seed = static_cast<std::uint32_t>(value);
  return end != text && *end == '\0' && value <= 0xFFFFFFFFul;
}

int usage() {
  std::fputs("usage: vk6gen [--varied] seed\n"
             "       vk6gen [--varied] first last folder\n",
             stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int next = 1;
  auto spelling = vk6::test::Spelling::kPlain;
  if (next < argc && std::string(argv[next]) == "--varied") {
    spelling = vk6::test::Spelling::kVaried;
    ++next;
  }
  std::uint32_t first = 0;
  std::uint32_t last = 0;
  if (argc - next == 1 && readSeed(argv[next], first)) {
    const std::string program = vk6::test::generateProgram(first, spelling);
    std::fwrite(program.data(), 1, program.size(), stdout);
    return 0;
  }
  if (argc - next != 3 || !readSeed(argv[next], first) || !readSeed(argv[next + 1], last) ||
      first > last)
    return usage();
  const std::string folder = argv[next + 2];
  for (std::uint32_t seed = first;; ++seed) {
    const std::string name = folder + "/gen" + std::to_string(seed) + ".vk6";
    std::ofstream out(name, std::ios::binary);
    out << vk6::test::generateProgram(seed, spelling);
    if (!out.flush()) {
      std::fprintf(stderr, "vk6gen: cannot write %s\n", name.c_str());
      return 1;
    }
    if (seed == last) break;
  }
  return 0;
}
