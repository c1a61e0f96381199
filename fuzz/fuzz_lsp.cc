// Fuzz target: the language server on arbitrary message streams.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_cases.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string problem =
      vk6::fuzz::checkLsp(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!problem.empty()) {
    std::fprintf(stderr, "vk6lsp fuzz: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
