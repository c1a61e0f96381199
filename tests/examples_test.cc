// Compiles every program in examples/ with the built vk6comp of both models
// and checks each image with vk6dump.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"

namespace vk6 {
namespace {

namespace fs = std::filesystem;

struct Model {
  const char* name;
  const char* compiler;
};

const Model kModels[] = {{"VK617Q", VK6_VK617Q_BINARY}, {"VK610Q", VK6_VK610Q_BINARY}};

// Examples that the VK610Q build refuses, with its whole results text.
// Every other example must compile on both models.
const struct {
  const char* file;
  const char* results;
} kVK610QRefusals[] = {
    {"goes_station.vk6",
     "goes_station.vk6 -- Compile Failed!\r\n\n"
     "line 29: GOESSetup is not accepted, requires different OS version\r\n"
     "line 43: GOESData is not accepted, requires different OS version\r\n"
     "line 44: GOESStatus is not accepted, requires different OS version\r\n"
     "line 45: GOESgpsData is not accepted, requires different OS version"},
};

std::vector<std::string> exampleFiles() {
  std::vector<std::string> files;
  for (const fs::directory_entry& e : fs::directory_iterator(VK6_EXAMPLES_DIR)) {
    if (e.is_regular_file() && e.path().extension() == ".vk6")
      files.push_back(e.path().filename().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The results text expected from `model` for `file`.
std::string expectedResults(const Model& model, const std::string& file) {
  if (std::string(model.name) == "VK610Q") {
    for (const auto& r : kVK610QRefusals)
      if (file == r.file) return r.results;
  }
  return file + " -- Compiled OK.\r\n";
}

// Compiles `file` from a scratch copy of the examples folder entry with
// `model`'s compiler and checks the outcome and the image.
void checkExample(const Model& model, const std::string& file) {
  SCOPED_TRACE(file + " on " + model.name);
  const fs::path folder = test::scratchFolder(std::string("example_") + model.name);
  fs::copy_file(fs::path(VK6_EXAMPLES_DIR) / file, folder / file);
  const std::string image = fs::path(file).replace_extension(".bin").string();
  const std::string expected = expectedResults(model, file);
  const bool refused = expected.find(" -- Compiled OK.\r\n") == std::string::npos;

  const test::ProgramRun run = test::runIn(folder, model.compiler, file);
  EXPECT_EQ(refused ? 1 : 0, run.exitCode);
  EXPECT_EQ(expected, run.out);
  EXPECT_EQ(expected, test::readFile(folder / "vk6cmple.xxx"));
  if (refused) {
    EXPECT_FALSE(fs::exists(folder / image));
    return;
  }
  ASSERT_TRUE(fs::exists(folder / image));
  const test::ProgramRun dump =
      test::runIn(folder, VK6_DUMP, "--model " + std::string(model.name) + " " + image);
  EXPECT_EQ(0, dump.exitCode) << dump.out;
  EXPECT_NE(std::string::npos, dump.out.find(std::string(" for ") + model.name + ": sound\n"));
}

// The examples are listed when the test runs, so a new one is covered
// without touching this file.
TEST(Examples, EveryExampleOnVK617Q) {
  for (const std::string& file : exampleFiles()) checkExample(kModels[0], file);
}

TEST(Examples, EveryExampleOnVK610Q) {
  for (const std::string& file : exampleFiles()) checkExample(kModels[1], file);
}

TEST(Examples, GalleryHoldsEveryRefusedExample) {
  const std::vector<std::string> files = exampleFiles();
  EXPECT_LE(7u, files.size());
  EXPECT_NE(files.end(), std::find(files.begin(), files.end(), "first_scan.vk6"));
  for (const auto& r : kVK610QRefusals)
    EXPECT_NE(files.end(), std::find(files.begin(), files.end(), r.file)) << r.file;
}

}  // namespace
}  // namespace vk6
