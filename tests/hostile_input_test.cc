// Sources and file arrangements meant to break the compiler: each run must
// end with one outcome line that agrees with the exit code, leave the
// program file as it was and finish in a few seconds.
#include <gtest/gtest.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <random>

#include "driver/compile.h"
#include "test_support.h"

namespace vk6 {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

// A bound against hangs, not a speed test: the slowest case takes about
// 4 s in the unoptimised sanitizer build.
constexpr double kCaseSeconds = 20.0;

constexpr const char* kSoundProgram =
    "Public X\r\n"
    "BeginProg\r\n"
    "  Scan(1, Sec)\r\n"
    "  NextScan\r\n"
    "EndProg\r\n";

std::string repeat(const std::string& text, int count) {
  std::string out;
  out.reserve(text.size() * static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) out += text;
  return out;
}

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Lines of `text` that begin with `part`. Messages may echo source text,
// outcome words included, but never at the start of a line.
std::size_t linesStartingWith(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos;
       at = text.find(part, at + part.size()))
    if (at == 0 || text[at - 1] == '\n') ++count;
  return count;
}

// vk6comp on `source` saved as prog.cr in `folder`, with -l and -z
// outputs: what went wrong, or an empty text when one outcome line agrees
// with the exit code, the program file is untouched and an image exists
// only after a successful compile.
std::string wholeProgramProblem(const std::string& source, const fs::path& folder) {
  const fs::path program = folder / "prog.cr";
  const fs::path results = folder / "res.txt";
  const fs::path image = folder / "prog.bin";
  std::error_code error;
  for (const char* output : {"res.txt", "prog.bin", "prog.bin.tmp", "list.txt", "defs.tdf"})
    fs::remove(folder / output, error);
  writeFile(program, source);

  TextOut out, err;
  const int code = runProgram({"vk6comp", "-l", "list.txt", "-z", "defs.tdf",
                               program.string(), results.string()},
                              test::modelVK617Q(), out, err);
  if (code != 0 && code != 1) return "exit code " + std::to_string(code);
  if (!fs::exists(results)) return "no results file";
  const std::string text = readFile(results);
  const std::string outcome =
      program.string() +
      (code == 0 ? " -- Compiled OK.\r\n" : " -- Compile Failed!\r\n\n");
  if (text.compare(0, outcome.size(), outcome) != 0)
    return "results do not begin with the outcome of exit code " +
           std::to_string(code) + ": " + text.substr(0, 200);
  if (linesStartingWith(text, program.string() + " -- Comp") != 1)
    return "more than one outcome line";
  if (!endsWith(out.text(), text)) return "standard output lacks the results";
  if (!err.text().empty()) return "unexpected standard error: " + err.text();
  if (readFile(program) != source) return "the program file was changed";
  if (fs::exists(folder / "prog.bin.tmp")) return "temporary image left behind";
  if (code == 0 && !fs::exists(image)) return "no image after a successful compile";
  if (code == 0 && !fs::exists(folder / "list.txt")) return "no listing written";
  if (code == 1 && fs::exists(image)) return "image written by a failed compile";
  return std::string();
}

std::string randomBytes(std::size_t count) {
  std::mt19937 generator(617);
  std::string out(count, '\0');
  for (char& ch : out) ch = static_cast<char>(generator() & 0xFFu);
  return out;
}

std::string numbered(const char* format, int count) {
  std::string out;
  char line[64];
  for (int i = 0; i < count; ++i) {
    std::snprintf(line, sizeof line, format, i, i);
    out += line;
  }
  return out;
}

// 1,000 constants and 1,000 aliases: 250 elements, each aliased under four
// spellings of its index.
std::string thousandAliasesAndConstants() {
  std::string out = numbered("Const K%d = %d\r\n", 1000);
  out += "Public P\r\nDim Arr(250)\r\n";
  const char* const spellings[] = {"%d", "0%d", "00%d", "000%d"};
  char line[64], index[16];
  for (int i = 0; i < 1000; ++i) {
    std::snprintf(index, sizeof index, spellings[i / 250], i % 250 + 1);
    std::snprintf(line, sizeof line, "Alias Arr(%s) = A%d\r\n", index, i);
    out += line;
  }
  return out + "BeginProg\r\n  Scan(1, Sec)\r\n    A999 = K999 + A0\r\n"
               "  NextScan\r\nEndProg\r\n";
}

// Each alias's text names the next alias six times.
std::string aliasChain(int levels) {
  std::string out = "Public V\r\n";
  for (int i = 0; i < levels; ++i) {
    const std::string next = "Q" + std::string(1, static_cast<char>('A' + i + 1));
    out += "Alias V" + repeat(" " + next, 6) + " = Q" +
           std::string(1, static_cast<char>('A' + i)) + "\r\n";
  }
  return out + "BeginProg\r\n  V = QA\r\nEndProg\r\n";
}

struct HostileCase {
  const char* name;
  std::string source;
  // What the results file holds after the program's path; null when any
  // sound outcome will do.
  const char* expected;
  bool whole;  // `expected` is the whole text, not only its start
};

TEST(HostileInput, EndsWithOneOutcomeAndLeavesTheSource) {
  const HostileCase cases[] = {
      {"empty", "", nullptr, false},
      {"nul bytes", std::string(4096, '\0'),
       " -- Compile Failed!\r\n\nline 1: Line exceeds max characters of 512.",
       true},
      {"nul bytes end each line's text",
       repeat(std::string(100, '\0') + "Foo\r\n", 1000) + "Foo\r\n",
       " -- Compile Failed!\r\n\nline 1001: Unknown instruction Foo.", true},
      {"random binary", randomBytes(64 * 1024), nullptr, false},
      {"one 1 MB line", std::string(1 << 20, 'A') + "\r\n",
       " -- Compile Failed!\r\n\nline 1: Line exceeds max characters of 512.",
       true},
      {"100,000 lines", repeat("' note\r\n\r\n : \r\n  \r\n", 25000) + "Foo\r\n",
       " -- Compile Failed!\r\n\nline 100001: Unknown instruction Foo.",
       true},
      {"100,000 statements", "Public X\r\n" + repeat("X = X + 1\r\n", 100000),
       nullptr, false},
      {"5,000 nested If blocks",
       "Public X\r\nBeginProg\r\n  Scan(1, Sec)\r\n" +
           repeat("If X > 1 Then\r\n", 5000) + repeat("EndIf\r\n", 5000) +
           "  NextScan\r\nEndProg\r\n",
       nullptr, false},
      {"2,000 errors", repeat("Foo\r\n", 2000),
       " -- Compile Failed!\r\n\nline 1: Unknown instruction Foo.\r\n"
       "line 2: Unknown instruction Foo.\r\n",
       false},
      {"1,000 aliases and 1,000 constants", thousandAliasesAndConstants(),
       " -- Compiled OK.\r\n", false},
      {"alias texts that multiply", aliasChain(20),
       " -- Compile Failed!\r\n\nline 23: Line exceeds max characters of 512.",
       false},
  };
  const fs::path folder = test::scratchFolder("hostile");
  for (const HostileCase& hostile : cases) {
    SCOPED_TRACE(hostile.name);
    // Processor time, not wall time: other work on a busy machine must not
    // fail a case.
    const std::clock_t start = std::clock();
    EXPECT_EQ("", wholeProgramProblem(hostile.source, folder));
    EXPECT_LT(static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC, kCaseSeconds);
    if (hostile.expected == nullptr) continue;
    const std::string results = readFile(folder / "res.txt");
    const std::string expected = (folder / "prog.cr").string() + hostile.expected;
    if (hostile.whole)
      EXPECT_EQ(expected, results);
    else
      EXPECT_EQ(expected, results.substr(0, expected.size()));
  }
}

TEST(HostileInput, EveryErrorIsCountedThoughNotAllFitTheText) {
  const test::Reported r = test::compileText(repeat("Foo\r\n", 2000));
  EXPECT_EQ(2000, r.errorCount);
  EXPECT_GT(r.errors.size(), 400u);
  EXPECT_LT(r.errors.size(), 512u);
}

struct CompilerRun {
  int code;
  std::string out;
};

CompilerRun runCompiler(const std::vector<std::string>& files) {
  std::vector<std::string> args = {"vk6comp"};
  args.insert(args.end(), files.begin(), files.end());
  TextOut out, err;
  const int code = runProgram(args, test::modelVK617Q(), out, err);
  return {code, out.text()};
}

TEST(HostileInput, FolderGivenAsTheSource) {
  const fs::path folder = test::scratchFolder("folder_source");
  fs::create_directory(folder / "prog.cr");
  const std::string source = (folder / "prog.cr").string();
  const std::string results = (folder / "res.txt").string();
  const CompilerRun run = runCompiler({source, results});
  EXPECT_EQ(1, run.code);
  const std::string expected =
      source + " -- Compile Failed!\r\n\nCould not open " + source + ".";
  EXPECT_EQ(expected, readFile(results));
  EXPECT_EQ(expected, run.out);
  EXPECT_TRUE(fs::is_directory(source));
}

TEST(HostileInput, UnreadableSource) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads any file";
  const fs::path folder = test::scratchFolder("unreadable");
  const std::string source = (folder / "prog.cr").string();
  const std::string results = (folder / "res.txt").string();
  writeFile(source, kSoundProgram);
  fs::permissions(source, fs::perms::none);
  const CompilerRun run = runCompiler({source, results});
  fs::permissions(source, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(1, run.code);
  EXPECT_EQ(source + " -- Compile Failed!\r\n\nCould not open " + source + ".",
            readFile(results));
  EXPECT_EQ(kSoundProgram, readFile(source));
  EXPECT_FALSE(fs::exists(folder / "prog.bin"));
}

// A file that opens but cannot be read, even by root: the reading process's
// own memory at offset 0 fails with an I/O error.
TEST(HostileInput, SourceWhoseReadFails) {
  if (!fs::exists("/proc/self/mem")) GTEST_SKIP() << "no /proc/self/mem here";
  const fs::path folder = test::scratchFolder("read_fails");
  const std::string source = (folder / "prog.cr").string();
  const std::string results = (folder / "res.txt").string();
  fs::create_symlink("/proc/self/mem", source);
  const CompilerRun run = runCompiler({source, results});
  EXPECT_EQ(1, run.code);
  EXPECT_EQ(source + " -- Compile Failed!\r\n\nCould not open " + source + ".",
            readFile(results));
  EXPECT_TRUE(fs::is_symlink(source));
  EXPECT_FALSE(fs::exists(folder / "prog.bin"));
}

TEST(HostileInput, ResultsFileInAMissingFolder) {
  const fs::path folder = test::scratchFolder("missing_folder");
  const std::string source = (folder / "prog.cr").string();
  const std::string results = (folder / "no" / "res.txt").string();
  writeFile(source, kSoundProgram);
  const CompilerRun run = runCompiler({source, results});
  EXPECT_EQ(1, run.code);
  EXPECT_EQ("Unable to open file " + results + ".", run.out);
  EXPECT_FALSE(fs::exists(folder / "no"));
  EXPECT_FALSE(fs::exists(folder / "prog.bin"));
  EXPECT_EQ(kSoundProgram, readFile(source));
}

TEST(HostileInput, WriteProtectedImageIsKept) {
  const fs::path folder = test::scratchFolder("protected_image");
  const std::string source = (folder / "prog.cr").string();
  const std::string image = (folder / "prog.bin").string();
  const std::string results = (folder / "res.txt").string();
  writeFile(source, kSoundProgram);
  writeFile(image, "old image");
  fs::permissions(image, fs::perms::owner_read | fs::perms::group_read |
                             fs::perms::others_read);
  const CompilerRun run = runCompiler({source, results});
  EXPECT_EQ(1, run.code);
  EXPECT_EQ(source +
                " -- Compile Failed!\r\n\nUnable to create binary image file: " +
                image,
            readFile(results));
  EXPECT_EQ("old image", readFile(image));
  EXPECT_FALSE(fs::exists(image + ".tmp"));
  EXPECT_EQ(kSoundProgram, readFile(source));
  fs::permissions(image, fs::perms::owner_write, fs::perm_options::add);
}

TEST(HostileInput, SourceNamedLikeItsImage) {
  const fs::path folder = test::scratchFolder("source_is_image");
  const std::string source = (folder / "prog.bin").string();
  const std::string results = (folder / "res.txt").string();
  writeFile(source, kSoundProgram);
  const CompilerRun run = runCompiler({source, results});
  EXPECT_EQ(1, run.code);
  EXPECT_EQ(source + " -- Compile Failed!\r\n\nBinary image file " + source +
                " would overwrite the program file.",
            readFile(results));
  EXPECT_EQ(kSoundProgram, readFile(source));
}

TEST(HostileInput, ResultsFileNamedLikeTheSource) {
  const fs::path folder = test::scratchFolder("results_is_source");
  const std::string source = (folder / "prog.cr").string();
  writeFile(source, kSoundProgram);
  const CompilerRun run = runCompiler({source, (folder / "." / "prog.cr").string()});
  EXPECT_EQ(1, run.code);
  EXPECT_EQ("Results file " + (folder / "." / "prog.cr").string() +
                " is the program file; nothing was written.\n",
            run.out);
  EXPECT_EQ(kSoundProgram, readFile(source));
  EXPECT_FALSE(fs::exists(folder / "prog.bin"));
}

}  // namespace
}  // namespace vk6
