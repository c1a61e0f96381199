// Runs the built vk6comp programs of both models in scratch folders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "driver/compile.h"
#include "test_support.h"

namespace vk6 {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

struct ProgramRun {
  int exitCode;
  std::string out;
};

// Runs `binary` with `arguments` in `folder`, capturing standard output.
ProgramRun runIn(const fs::path& folder, const std::string& binary,
          const std::string& arguments) {
  const std::string command = "cd '" + folder.string() + "' && '" + binary +
                              "' " + arguments + " >stdout.txt 2>stderr.txt";
  const int status = std::system(command.c_str());
  return {WEXITSTATUS(status), readFile(folder / "stdout.txt")};
}

const char* const kBinaries[] = {VK6_VK617Q_BINARY, VK6_VK610Q_BINARY};
const char* const kModels[] = {"VK617Q.Std.03", "VK610Q.Std.03"};

TEST(Driver, NoArgumentsFailsWithNoProgramFile) {
  for (const char* binary : kBinaries) {
    const fs::path folder = test::scratchFolder("noargs");
    const ProgramRun run = runIn(folder, binary, "");
    EXPECT_EQ(1, run.exitCode);
    EXPECT_EQ(" -- Compile Failed!\r\n\nNo Program File.",
              readFile(folder / "vk6cmple.xxx"));
    EXPECT_EQ(" -- Compile Failed!\r\n\nNo Program File.", run.out);
  }
}

TEST(Driver, VersionOnlyWritesTheBannerOfEachModel) {
  for (int m = 0; m < 2; ++m) {
    const fs::path folder = test::scratchFolder("version");
    const ProgramRun run = runIn(folder, kBinaries[m], "-d");
    EXPECT_EQ(0, run.exitCode);
    const std::string banner = std::string("\r\n") + kBinaries[m] +
                               " VERSION:" + kModels[m] + "  DATE:131104\r\n";
    EXPECT_EQ("[Version]" + banner, readFile(folder / "vk6cmple.xxx"));
    EXPECT_EQ(banner, run.out);
  }
}

TEST(Driver, BannerComesBeforeTheOutcome) {
  const fs::path folder = test::scratchFolder("banner");
  writeFile(folder / "prog.cr", "Public X\r\nBeginProg\r\nScan(1, sec)\r\nNextScan\r\nEndProg\r\n");
  const ProgramRun run = runIn(folder, VK6_VK617Q_BINARY, "-xv prog.cr res.txt");
  EXPECT_EQ(0, run.exitCode);
  const std::string banner = std::string("\r\n") + VK6_VK617Q_BINARY +
                             " VERSION:VK617Q.Std.03  DATE:131104\r\n";
  EXPECT_EQ("[Version]" + banner + "prog.cr -- Compiled OK.\r\n",
            readFile(folder / "res.txt"));
  EXPECT_EQ("illegal option!\n" + banner + "prog.cr -- Compiled OK.\r\n",
            run.out);
}

TEST(Driver, RefusalsLeaveEverythingUntouched) {
  const fs::path folder = test::scratchFolder("refusals");
  const std::string program = "BeginProg\r\nEndProg\r\n";
  writeFile(folder / "prog.cr", program);

  ProgramRun run = runIn(folder, VK6_VK617Q_BINARY, "prog.cr res.txt extra");
  EXPECT_EQ(1, run.exitCode);
  EXPECT_EQ("", run.out);
  EXPECT_FALSE(fs::exists(folder / "res.txt"));
  EXPECT_FALSE(fs::exists(folder / "vk6cmple.xxx"));

  run = runIn(folder, VK6_VK617Q_BINARY, "prog.cr ./prog.cr");
  EXPECT_EQ(1, run.exitCode);
  EXPECT_EQ("Results file ./prog.cr is the program file; nothing was written.\n",
            run.out);
  EXPECT_EQ(program, readFile(folder / "prog.cr"));

  run = runIn(folder, VK6_VK617Q_BINARY, "-l");
  EXPECT_EQ(1, run.exitCode);
  EXPECT_EQ("Option -l needs a file name.\n", run.out);
  EXPECT_FALSE(fs::exists(folder / "vk6cmple.xxx"));

  run = runIn(folder, VK6_VK617Q_BINARY, "prog.cr no/such/folder/res.txt");
  EXPECT_EQ(1, run.exitCode);
  EXPECT_EQ("Unable to open file no/such/folder/res.txt.", run.out);
}

TEST(Driver, FailedCompileShowsErrorsNotWarnings) {
  const fs::path folder = test::scratchFolder("failed");
  writeFile(folder / "prog.cr", "Foo\r\n");
  const ProgramRun run = runIn(folder, VK6_VK610Q_BINARY, "prog.cr");
  EXPECT_EQ(1, run.exitCode);
  EXPECT_EQ("prog.cr -- Compile Failed!\r\n\nline 1: Unknown instruction Foo\r\n.",
            readFile(folder / "vk6cmple.xxx"));
}

TEST(Driver, FullDiskGivesExitCodeOne) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const fs::path folder = test::scratchFolder("full");
  const ProgramRun run = runIn(folder, VK6_VK617Q_BINARY, "-d prog.cr /dev/full");
  EXPECT_EQ(1, run.exitCode);
  EXPECT_NE(std::string::npos, run.out.find("Unable to write file /dev/full."));
}

TEST(Driver, MemoryTraceGoesToStandardErrorOnly) {
  std::ostringstream out, err;
  const fs::path folder = test::scratchFolder("trace");
  writeFile(folder / "prog.cr", "Public X\r\nBeginProg\r\nScan(1, sec)\r\nNextScan\r\nEndProg\r\n");
  const std::string source = (folder / "prog.cr").string();
  const std::string results = (folder / "res.txt").string();
  const int code = runProgram({"vk6comp", "-m", source, results},
                              test::modelVK617Q(), out, err);
  EXPECT_EQ(0, code);
  EXPECT_EQ(source + " -- Compiled OK.\r\n", readFile(results));
  EXPECT_EQ("line 0: 10000\r\n", err.str());
}

}  // namespace
}  // namespace vk6
