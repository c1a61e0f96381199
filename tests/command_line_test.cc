#include "driver/command_line.h"

#include <gtest/gtest.h>


namespace vk6 {
namespace {

struct OptionCase {
  std::vector<std::string> words;
  CommandLineStatus status;
  std::string printed;
  std::string expected;  // summary of the options, see summarize()
};

std::string summarize(const CommandLine& o) {
  std::string s;
  if (o.version) s += "v";
  if (o.versionOnly) s += "d";
  if (o.compile.memoryTrace) s += "m";
  if (o.compile.noImage) s += "n";
  if (o.help) s += " help";
  if (o.versionInfo) s += " version";
  if (o.compile.listing) s += " l=" + o.listingName;
  if (o.compile.definitionFile) s += " z=" + o.definitionFileName;
  s += " src=" + o.sourcePath + " res=" + o.resultsPath;
  return s;
}

TEST(CommandLine, OptionsAndFileArguments) {
  const OptionCase cases[] = {
      {{}, CommandLineStatus::kOk, "", " src= res=vk6cmple.xxx"},
      {{"-d"}, CommandLineStatus::kOk, "", "vd src= res=vk6cmple.xxx"},
      {{"-vn", "p.cr"}, CommandLineStatus::kOk, "", "vn src=p.cr res=vk6cmple.xxx"},
      {{"-lout.txt", "p.cr"}, CommandLineStatus::kOk, "", " l=out.txt src=p.cr res=vk6cmple.xxx"},
      {{"-l", "out.txt", "p.cr"}, CommandLineStatus::kOk, "", " l=out.txt src=p.cr res=vk6cmple.xxx"},
      {{"-lv", "p.cr"}, CommandLineStatus::kOk, "", " l=v src=p.cr res=vk6cmple.xxx"},
      {{"-l", "-v", "p.cr"}, CommandLineStatus::kOk, "", " l=-v src=p.cr res=vk6cmple.xxx"},
      {{"-mzdef.bin", "p.cr", "r.txt"}, CommandLineStatus::kOk, "", "m z=def.bin src=p.cr res=r.txt"},
      {{"-x", "p.cr"}, CommandLineStatus::kOk, "illegal option!\n", " src=p.cr res=vk6cmple.xxx"},
      {{"-VxN", "p.cr"}, CommandLineStatus::kOk, "illegal option!\nillegal option!\nillegal option!\n", " src=p.cr res=vk6cmple.xxx"},
      {{"-", "-v", "p.cr"}, CommandLineStatus::kOk, "", "v src=p.cr res=vk6cmple.xxx"},
      {{"p.cr", "-v"}, CommandLineStatus::kOk, "", " src=p.cr res=-v"},
      {{"p.cr", "r.txt", "extra"}, CommandLineStatus::kTooManyFiles, "", ""},
      {{"-vl"}, CommandLineStatus::kMissingName, "Option -l needs a file name.\n", ""},
      {{"-z"}, CommandLineStatus::kMissingName, "Option -z needs a file name.\n", ""},
      // --help and --version only as whole option words.
      {{"--help"}, CommandLineStatus::kOk, "", " help src= res=vk6cmple.xxx"},
      {{"-n", "--version", "p.cr"}, CommandLineStatus::kOk, "", "n version src=p.cr res=vk6cmple.xxx"},
      {{"--hel", "p.cr"}, CommandLineStatus::kOk, "illegal option!\nillegal option!\nillegal option!\n", " l=p.cr src= res=vk6cmple.xxx"},
      {{"--Help", "p.cr"}, CommandLineStatus::kOk, "illegal option!\nillegal option!\nillegal option!\n", " l=p src=p.cr res=vk6cmple.xxx"},
      {{"--versions"}, CommandLineStatus::kOk, "illegal option!\nillegal option!\nillegal option!\nillegal option!\nillegal option!\nillegal option!\nillegal option!\n", "vn src= res=vk6cmple.xxx"},
      {{"-l", "--help", "p.cr"}, CommandLineStatus::kOk, "", " l=--help src=p.cr res=vk6cmple.xxx"},
      {{"p.cr", "--help"}, CommandLineStatus::kOk, "", " src=p.cr res=--help"},
  };
  for (const OptionCase& t : cases) {
    CommandLine line;
    TextOut out;
    const CommandLineStatus status = parseCommandLine(t.words, line, out);
    const std::string label = t.words.empty() ? "(none)" : t.words[0];
    EXPECT_EQ(t.status, status) << label;
    EXPECT_EQ(t.printed, out.text()) << label;
    if (status == CommandLineStatus::kOk) {
      EXPECT_EQ(t.expected, summarize(line)) << label;
    }
  }
}

TEST(CommandLine, ListingNamesGoBesideTheSource) {
  const struct {
    const char* source;
    const char* name;
    const char* placed;
  } cases[] = {
      {"dir/sub/p.cr", "list.txt", "dir/sub/list.txt"},
      {"dir\\p.cr", "list.txt", "dir\\list.txt"},
      {"a/b\\p.cr", "list.txt", "a/b\\list.txt"},
      {"c:p.cr", "list.txt", "c:list.txt"},
      {"p.cr", "list.txt", "list.txt"},
      {"dir/p.cr", "d:list.txt", "d:list.txt"},
      {"dir/p.cr", "/data/lists/list.txt", "/data/lists/list.txt"},
      {"dir\\p.cr", "\\\\server\\list.txt", "\\\\server\\list.txt"},
      {"dir/p.cr", "lists/list.txt", "dir/lists/list.txt"},
      {"dir/p.cr", "./list.txt", "dir/./list.txt"},
  };
  for (const auto& t : cases)
    EXPECT_EQ(t.placed, placeBesideSource(t.source, t.name)) << t.source;
}

}  // namespace
}  // namespace vk6
