// Runs the built vk6comp programs of both models in scratch folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "driver/compile.h"
#include "test_support.h"

namespace vk6 {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;
using test::ProgramRun;
using test::runIn;

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

TEST(Driver, HelpAndVersionPrintAndWriteNothing) {
  for (int m = 0; m < 2; ++m) {
    const fs::path folder = test::scratchFolder("help");
    ProgramRun run = runIn(folder, kBinaries[m], "--version");
    EXPECT_EQ(0, run.exitCode);
    EXPECT_EQ(std::string("vk6comp (vk6comp) " VK6_VERSION "\nVERSION:") + kModels[m] +
                  "  DATE:131104\n",
              run.out);
    // Help wins over the rest of the command line.
    run = runIn(folder, kBinaries[m], "-x -v --help p.cr r.txt extra");
    EXPECT_EQ(0, run.exitCode);
    const std::string start =
        std::string("illegal option!\nUsage: vk6comp [options] program [results]\n"
                    "Compiles a measurement program for the ") +
        std::string(kModels[m], 6) + " datalogger into the program\n";
    EXPECT_TRUE(run.out.starts_with(start)) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("\n  -z <file>      After a successful compile"));
    EXPECT_EQ('\n', run.out.back());
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder))
      left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ((std::vector<std::string>{"stderr.txt", "stdout.txt"}), left);
    EXPECT_EQ("", readFile(folder / "stderr.txt"));
  }
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
  EXPECT_EQ("prog.cr -- Compile Failed!\r\n\nline 1: Unknown instruction Foo.",
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
  TextOut out, err;
  const fs::path folder = test::scratchFolder("trace");
  writeFile(folder / "prog.cr", "Public X\r\nBeginProg\r\nScan(1, sec)\r\nNextScan\r\nEndProg\r\n");
  const std::string source = (folder / "prog.cr").string();
  const std::string results = (folder / "res.txt").string();
  const int code = runProgram({"vk6comp", "-m", source, results},
                              test::modelVK617Q(), out, err);
  EXPECT_EQ(0, code);
  EXPECT_EQ(source + " -- Compiled OK.\r\n", readFile(results));
  EXPECT_EQ("line 0: 10000\r\n", err.text());
}

}  // namespace
}  // namespace vk6

namespace vk6 {
namespace {

const char kTableProgram[] =
    "Public PTemp\r\n"
    "Units PTemp = Deg C\r\n"
    "DataTable(Hourly, True, 10)\r\n"
    "  DataInterval(0, 60, Min)\r\n"
    "  Average(1, PTemp, False)\r\n"
    "EndTable\r\n"
    "BeginProg\r\n"
    "  Scan(10, Sec)\r\n"
    "    PTemp = 21.5\r\n"
    "    CallTable Hourly\r\n"
    "  NextScan\r\n"
    "EndProg\r\n";

TEST(Driver, ListingDefinitionFileAndImageBesideTheSource) {
  const fs::path folder = test::scratchFolder("outputs");
  fs::create_directories(folder / "src");
  writeFile(folder / "src" / "prog.vk6", kTableProgram);
  const ProgramRun run =
      runIn(folder, VK6_VK617Q_BINARY, "-l list.txt -zdefs.bin src/prog.vk6");
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ("src/prog.vk6 -- Compiled OK.\r\n", run.out);
  const std::string hyphens(52, '-');
  EXPECT_EQ(hyphens + "\r\nTable: Hourly\r\nInterval: 3600 Seconds\r\nFields:\r\n"
                      " PTemp_Avg\tUnits: Deg C\r\n\r\n" +
                hyphens + "\r\nTable: Public\r\nInterval: Event\r\nFields:\r\n"
                          " PTemp\tUnits: Deg C\r\n\r\n",
            readFile(folder / "src" / "list.txt"));
  const std::string image = readFile(folder / "src" / "prog.bin");
  ASSERT_GT(image.size(), 46u);
  const std::string defs = readFile(folder / "src" / "defs.bin");
  ASSERT_GT(defs.size(), 2u);
  EXPECT_EQ(std::string("\x01\x01", 2), defs.substr(0, 2));
  // The definition file is the image's last section behind one extra byte.
  EXPECT_EQ(image.substr(image.size() - (defs.size() - 1)), defs.substr(1));
  EXPECT_FALSE(fs::exists(folder / "src" / "prog.bin.tmp"));
}

// An absolute listing name is used as given; a dot in a folder's name is
// no extension of the program's.
TEST(Driver, AbsoluteListingNamesAndDottedFolders) {
  const fs::path folder = test::scratchFolder("absolute");
  fs::create_directories(folder / "my.dir");
  fs::create_directories(folder / "lists");
  writeFile(folder / "my.dir" / "prog", kTableProgram);
  const std::string lists = (folder / "lists").string();
  const ProgramRun run = runIn(folder, VK6_VK617Q_BINARY,
                               "-l " + lists + "/list.txt -z" + lists + "/defs.bin my.dir/prog");
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ("my.dir/prog -- Compiled OK.\r\n", run.out);
  EXPECT_TRUE(fs::exists(folder / "lists" / "list.txt"));
  EXPECT_TRUE(fs::exists(folder / "lists" / "defs.bin"));
  EXPECT_TRUE(fs::exists(folder / "my.dir" / "prog.bin"));
  EXPECT_FALSE(fs::exists(folder / "my.bin"));
}

TEST(Driver, NoImageOptionStillWritesTheDefinitionFile) {
  const fs::path folder = test::scratchFolder("noimage");
  writeFile(folder / "prog.vk6", kTableProgram);
  const ProgramRun run = runIn(folder, VK6_VK610Q_BINARY, "-nz defs.bin prog.vk6");
  EXPECT_EQ(0, run.exitCode);
  EXPECT_FALSE(fs::exists(folder / "prog.bin"));
  const std::string defs = readFile(folder / "defs.bin");
  // Markers are in place: the status entry's length field holds 00 00 00 01.
  const std::size_t statusName = defs.find(std::string("Status\0", 7));
  ASSERT_NE(std::string::npos, statusName);
  EXPECT_EQ(std::string("\0\0\0\x01", 4), defs.substr(statusName + 7, 4));
}

TEST(Driver, OutputsNeverReplaceTheProgram) {
  const fs::path folder = test::scratchFolder("replace");
  writeFile(folder / "prog.bin", kTableProgram);
  ProgramRun run = runIn(folder, VK6_VK617Q_BINARY, "prog.bin");
  EXPECT_EQ(1, run.exitCode);
  EXPECT_EQ("prog.bin -- Compile Failed!\r\n\n"
            "Binary image file prog.bin would overwrite the program file.",
            run.out);
  EXPECT_EQ(kTableProgram, readFile(folder / "prog.bin"));

  writeFile(folder / "prog.vk6", kTableProgram);
  run = runIn(folder, VK6_VK617Q_BINARY, "-l prog.vk6 -z prog.bin prog.vk6");
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ("Unable to create listtdf file: prog.vk6\r\n"
            "Unable to create list file: prog.bin\r\n"
            "prog.vk6 -- Compiled OK.\r\n",
            run.out);
  EXPECT_EQ(kTableProgram, readFile(folder / "prog.vk6"));
}

TEST(Driver, FailedCompileLeavesAnEarlierImage) {
  const fs::path folder = test::scratchFolder("keepimage");
  writeFile(folder / "prog.vk6", kTableProgram);
  ASSERT_EQ(0, runIn(folder, VK6_VK617Q_BINARY, "prog.vk6").exitCode);
  const std::string image = readFile(folder / "prog.bin");
  writeFile(folder / "prog.vk6", std::string(kTableProgram) + "Frobnicate\r\n");
  writeFile(folder / "prog.vk6", "Frobnicate\r\n");
  EXPECT_EQ(1, runIn(folder, VK6_VK617Q_BINARY, "prog.vk6").exitCode);
  EXPECT_EQ(image, readFile(folder / "prog.bin"));
}

}  // namespace
}  // namespace vk6
