// Fuzz target: the whole program, source bytes in, results, image and
// listings written to a scratch folder of this process.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fuzz_cases.h"

namespace {
std::filesystem::path scratch;

void removeScratch() {
  std::error_code error;
  std::filesystem::remove_all(scratch, error);
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Each worker process has a folder of its own.
  scratch = std::filesystem::temp_directory_path() /
            ("vk6comp_fuzz_" + std::to_string(getpid()));
  std::filesystem::create_directories(scratch);
  std::atexit(removeScratch);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string problem = vk6::fuzz::checkWholeCompile(
      std::string_view(reinterpret_cast<const char*>(data), size), scratch);
  if (!problem.empty()) {
    std::fprintf(stderr, "vk6comp fuzz: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
