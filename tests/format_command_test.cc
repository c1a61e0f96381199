// Runs the built vk6fmt in scratch folders holding a tidy and a messy
// program: what it prints, what it leaves in the folder, its exit code.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "test_support.h"

namespace vk6 {
namespace {

namespace fs = std::filesystem;

const char kMessy[] = "public x\r\nbeginprog\r\nscan(1, sec)  \r\nnextscan\r\nendprog";
const char kTidy[] = "Public x\r\nBeginProg\r\n  Scan(1, sec)\r\n  NextScan\r\nEndProg";
const char kUsage[] = "usage: vk6fmt [--check | -i] [--tab-size N] [--tabs] file...\n";

// Every file of `folder` but the captured output, as "name=text;" in
// the order of the names.
std::string folderContents(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const fs::directory_entry& e : fs::directory_iterator(folder))
    files[e.path().filename().string()] = test::readFile(e.path());
  std::string out;
  for (const auto& [name, text] : files) {
    if (name != "stdout.txt" && name != "stderr.txt") out += name + "=" + text + ";";
  }
  return out;
}

TEST(FormatCommand, RunsAsAUserExpects) {
  const std::string messy = std::string("messy.vk6=") + kMessy + ";";
  const std::string tidy = std::string("tidy.vk6=") + kTidy + ";";
  const struct {
    const char* args;
    int exitCode;
    std::string out;
    std::string err;
    std::string folder;  // afterwards
  } kCases[] = {
      {"messy.vk6 tidy.vk6", 0, std::string(kTidy) + kTidy, "", messy + tidy},
      {"--tabs messy.vk6", 0,
       "Public x\r\nBeginProg\r\n\tScan(1, sec)\r\n\tNextScan\r\nEndProg", "", messy + tidy},
      {"--tab-size=4 messy.vk6", 0,
       "Public x\r\nBeginProg\r\n    Scan(1, sec)\r\n    NextScan\r\nEndProg", "", messy + tidy},
      {"--check tidy.vk6 messy.vk6", 1, "messy.vk6\n", "", messy + tidy},
      {"--check tidy.vk6", 0, "", "", messy + tidy},
      {"-i tidy.vk6 messy.vk6", 0, "", "", std::string("messy.vk6=") + kTidy + ";" + tidy},
      {"--in-place missing.vk6 messy.vk6", 2, "", "vk6fmt: cannot read missing.vk6\n",
       std::string("messy.vk6=") + kTidy + ";" + tidy},
      {"--check . tidy.vk6", 2, "", "vk6fmt: cannot read .\n", messy + tidy},
      {"--check -i tidy.vk6", 2, "",
       std::string("vk6fmt: --check and --in-place exclude each other\n") + kUsage,
       messy + tidy},
      {"--tab-size 17 tidy.vk6", 2, "",
       std::string("vk6fmt: --tab-size needs a whole number from 1 to 16\n") + kUsage,
       messy + tidy},
      {"--tab-size", 2, "",
       std::string("vk6fmt: --tab-size needs a whole number from 1 to 16\n") + kUsage,
       messy + tidy},
      {"-x tidy.vk6", 2, "", std::string("vk6fmt: unknown option -x\n") + kUsage, messy + tidy},
      {"", 2, "", std::string("vk6fmt: no file named\n") + kUsage, messy + tidy},
      {"-i -", 2, "",
       std::string("vk6fmt: standard input cannot be rewritten in place\n") + kUsage,
       messy + tidy},
      {"- < messy.vk6", 0, kTidy, "", messy + tidy},
      {"--version", 0, "vk6fmt (vk6comp) " VK6_VERSION "\n", "", messy + tidy},
  };
  for (const auto& c : kCases) {
    const fs::path folder = test::scratchFolder("vk6fmt");
    test::writeFile(folder / "messy.vk6", kMessy);
    test::writeFile(folder / "tidy.vk6", kTidy);
    const test::ProgramRun run = test::runIn(folder, VK6_FMT_BINARY, c.args);
    EXPECT_EQ(c.exitCode, run.exitCode) << c.args;
    EXPECT_EQ(c.out, run.out) << c.args;
    EXPECT_EQ(c.err, test::readFile(folder / "stderr.txt")) << c.args;
    EXPECT_EQ(c.folder, folderContents(folder)) << c.args;
  }
}

TEST(FormatCommand, InPlaceLeavesAWriteProtectedFileAlone) {
  const fs::path folder = test::scratchFolder("vk6fmt_protected");
  test::writeFile(folder / "messy.vk6", kMessy);
  fs::permissions(folder / "messy.vk6", fs::perms::owner_read);
  const test::ProgramRun run = test::runIn(folder, VK6_FMT_BINARY, "-i messy.vk6");
  EXPECT_EQ(2, run.exitCode);
  EXPECT_EQ("vk6fmt: cannot rewrite messy.vk6: the file is write-protected\n",
            test::readFile(folder / "stderr.txt"));
  EXPECT_EQ(std::string("messy.vk6=") + kMessy + ";", folderContents(folder));
  EXPECT_EQ(fs::perms::owner_read, fs::status(folder / "messy.vk6").permissions());
}

}  // namespace
}  // namespace vk6
