// Replays every input the fuzz targets once failed on, kept in
// tests/regressions/ under the name of its target ("compile-...",
// "pass1-...", "expression-...").
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz_cases.h"
#include "test_support.h"

namespace vk6 {
namespace {

namespace fs = std::filesystem;

TEST(FuzzRegressions, EveryKeptInputPassesItsCheck) {
  int replayed = 0;
  for (const fs::directory_entry& entry :
       fs::directory_iterator(VK6_REGRESSIONS_DIR)) {
    if (!entry.is_regular_file()) continue;
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    EXPECT_EQ("", fuzz::checkRegression(name, test::readFile(entry.path())));
    ++replayed;
  }
  EXPECT_GT(replayed, 0);
}

}  // namespace
}  // namespace vk6
