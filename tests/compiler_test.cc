// The library API: every message kept whole beside the capped texts, the
// program's symbols, and no file touched.
#include "vk6/compiler.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "test_support.h"

namespace vk6 {
namespace {

std::string describe(const Diagnostic& d) {
  return std::string(d.severity == Severity::kError ? "E " : "W ") +
         std::to_string(d.line) + " " + d.keyword + ": " + d.message + "\n";
}

TEST(CompileProgram, EveryMessageIsKeptWholeBesideTheCappedTexts) {
  std::string source =
      "Public T\r\nBeginProg\r\nScan(1, Sec)\r\nIf T > 1 Then\r\n"
      "PulseCount(T, 1, 0, 0, 1, 0)\r\nEndIf\r\n";
  for (int i = 0; i < 12; ++i) source += "PortSet(9, 1)\r\n";
  source += "NextScan\r\nEndProg\r\n";
  CompileResult r = compileProgram({source, "prog.cr"}, test::modelVK617Q());
  EXPECT_EQ(Outcome::kFailed, r.outcome());
  EXPECT_EQ(12, r.errorCount);
  EXPECT_EQ(1, r.warningCount);
  // The first error follows the warning's separator; nine fit in 510
  // characters, and no separator fits after them.
  std::string text;
  for (int line = 7; line <= 15; ++line)
    text += "\r\nline " + std::to_string(line) +
            ": Incorrect Control Port Channel in SetPort() 9.";
  EXPECT_EQ(text, r.errorText);
  EXPECT_EQ("Warning: PulseCount will not work within WHILE or FOR loop.",
            r.warningText);
  std::string records =
      "W 5 Pulsecount: PulseCount will not work within WHILE or FOR loop.\n";
  for (int line = 7; line <= 18; ++line)
    records += "E " + std::to_string(line) +
               " PortSet: Incorrect Control Port Channel in SetPort() 9.\n";
  std::string described;
  for (const Diagnostic& d : r.diagnostics) described += describe(d);
  EXPECT_EQ(records, described);

  // A front end's own error joins them as the compiler's would.
  r.addError("Unable to create binary image file: prog.bin");
  EXPECT_EQ(13, r.errorCount);
  EXPECT_EQ(text, r.errorText);
  EXPECT_EQ("E 0 : Unable to create binary image file: prog.bin\n",
            describe(r.diagnostics.back()));
  CompileResult sound = compileProgram(
      {"Public T\r\nBeginProg\r\nScan(1, Sec)\r\nIf T > 1 Then\r\n"
       "PulseCount(T, 1, 0, 0, 1, 0)\r\nEndIf\r\nNextScan\r\nEndProg\r\n",
       "prog.cr"},
      test::modelVK617Q());
  EXPECT_EQ(Outcome::kCompiled, sound.outcome());
  sound.addError("Unable to create binary image file: prog.bin");
  EXPECT_EQ(Outcome::kFailed, sound.outcome());
  EXPECT_EQ("\r\nUnable to create binary image file: prog.bin", sound.errorText);
}

// Each repeat of a declaration reports every earlier one again (an alias
// twice: by name and by text); past the first 10,000 the messages are only
// counted, in one go, and every one must still be counted.
TEST(CompileProgram, MessagesPastTheRecordLimitAreOnlyCounted) {
  const struct {
    const char* declaration;
    int repeats;
    int errors;
    const char* lastKept;
    std::size_t textSize;  // short of 511: no room for a separator
  } cases[] = {
      {"Alias A(1) = Foo", 200, 39800, "A(1) already aliased.", 510},
      {"Const K = 1", 200, 19900, "K is already in use as a declared CONST.", 510},
      {"Const TRUE = 1", 150, 11325, "TRUE is already in use as a declared CONST.", 509},
  };
  for (const auto& t : cases) {
    std::string source = "Dim A(2)\r\n";
    for (int i = 0; i < t.repeats; ++i) source += std::string(t.declaration) + "\r\n";
    source += "BeginProg\r\nScan(1, Sec)\r\nNextScan\r\nEndProg\r\n";
    const CompileResult r = compileProgram({source, "prog.cr"}, test::modelVK617Q());
    EXPECT_EQ(t.errors, r.errorCount) << t.declaration;
    EXPECT_EQ(0, r.warningCount) << t.declaration;
    ASSERT_EQ(kMaxDiagnosticRecords, r.diagnostics.size()) << t.declaration;
    EXPECT_EQ(static_cast<std::size_t>(t.errors) - kMaxDiagnosticRecords,
              r.omittedDiagnostics) << t.declaration;
    EXPECT_EQ(t.lastKept, r.diagnostics.back().message) << t.declaration;
    EXPECT_EQ(t.textSize, r.errorText.size()) << t.declaration;
    // Without records the counts and the text stay the same.
    CompileOptions textsOnly;
    textsOnly.diagnosticRecords = false;
    const CompileResult bare = compileProgram({source, "prog.cr"}, test::modelVK617Q(), textsOnly);
    EXPECT_EQ(t.errors, bare.errorCount) << t.declaration;
    EXPECT_TRUE(bare.diagnostics.empty()) << t.declaration;
    EXPECT_EQ(static_cast<std::size_t>(t.errors), bare.omittedDiagnostics) << t.declaration;
    EXPECT_EQ(r.errorText, bare.errorText) << t.declaration;
  }
}

TEST(CompileProgram, ErrorCountStopsAtTheLargestInt) {
  // 66,000 repeats draw 2,177,967,000 messages.
  std::string source = "Dim A(2)\r\n";
  for (int i = 0; i < 66000; ++i) source += "Const K = 1\r\n";
  source += "BeginProg\r\nScan(1, Sec)\r\nNextScan\r\nEndProg\r\n";
  CompileOptions textsOnly;
  textsOnly.diagnosticRecords = false;
  const CompileResult r = compileProgram({source, "prog.cr"}, test::modelVK617Q(), textsOnly);
  EXPECT_EQ(std::numeric_limits<int>::max(), r.errorCount);
  EXPECT_EQ(Outcome::kFailed, r.outcome());
  EXPECT_EQ(2177967000u, r.omittedDiagnostics);
}

TEST(CompileProgram, SymbolsOfASmallProgram) {
  const CompileResult r = compileProgram(
      {"Public T, X(3)\r\n"
       "Dim N\r\n"
       "Const K = 3\r\n"
       "Alias X(2) = Mid\r\n"
       "Units T = Deg C\r\n"
       "Units Mid = m/s\r\n"
       "DataTable(Hourly, True, -1)\r\n"
       "  DataInterval(0, 60, Min)\r\n"
       "  Average(1, T, False)\r\n"
       "  Sample(3, X)\r\n"
       "EndTable\r\n"
       "Sub Twice\r\n"
       "  N = N * K\r\n"
       "EndSub\r\n"
       "BeginProg\r\n"
       "  Scan(1, Sec)\r\n"
       "    Call Twice\r\n"
       "    CallTable Hourly\r\n"
       "  NextScan\r\n"
       "EndProg\r\n",
       "prog.cr"},
      test::modelVK617Q());
  ASSERT_EQ("", r.errorText);
  const ProgramSymbols& s = r.symbols;
  std::string seen;
  for (const VariableSymbol& v : s.variables)
    seen += (v.kind == VariableKind::kPublic ? "Public " : "Dim ") + v.name + "(" +
            std::to_string(v.size) + ") line " + std::to_string(v.line) + " [" +
            v.units + "]\n";
  for (const ConstantSymbol& k : s.constants)
    seen += "Const " + k.name + " = " + std::to_string(k.value) + " line " +
            std::to_string(k.line) + "\n";
  for (const AliasSymbol& a : s.aliases)
    seen += "Alias " + a.name + " = " + a.aliasedText + " at " +
            std::to_string(a.location) + " line " + std::to_string(a.line) + "\n";
  for (const UnitsSymbol& u : s.units)
    seen += "Units " + u.name + " = " + u.units + " line " + std::to_string(u.line) + "\n";
  for (const SubroutineSymbol& sub : s.subroutines)
    seen += "Sub " + sub.name + " line " + std::to_string(sub.line) + "\n";
  for (const TableSymbol& t : s.tables) {
    seen += "Table " + t.name + " every " + std::to_string(t.interval) + " s line " +
            std::to_string(t.line) + ":";
    for (const FieldSymbol& f : t.fields)
      seen += " " + f.name + "(" + std::to_string(f.firstIndex) + ".." +
              std::to_string(f.firstIndex + f.count - 1) + ") " + f.processing +
              " [" + f.units + "]";
    seen += "\n";
  }
  EXPECT_EQ(
      "Public T(1) line 1 [Deg C]\n"
      "Public X(3) line 1 []\n"
      "Dim N(1) line 2 []\n"
      "Const K = 3.000000 line 3\n"
      "Alias Mid = X(2) at 2 line 4\n"
      "Units T = Deg C line 5\n"
      "Units Mid = m/s line 6\n"
      "Sub Twice line 12\n"
      "Table Hourly every 3600 s line 7: T_Avg(1..1) Avg [Deg C]"
      " X(1..1) Smp [] Mid(1..1) Smp [m/s] X(3..3) Smp []\n",
      seen);
}

TEST(CompileProgram, TouchesNoFile) {
  const std::filesystem::path folder = test::scratchFolder("api_no_file");
  const std::string name = (folder / "prog.cr").string();
  CompileOptions options;
  options.listing = options.definitionFile = options.memoryTrace = true;
  const CompileResult r = compileProgram(
      {"Public T\r\nDataTable(Hourly, True, 10)\r\n  Sample(1, T)\r\nEndTable\r\n"
       "BeginProg\r\n  Scan(1, Sec)\r\n    CallTable Hourly\r\n  NextScan\r\nEndProg\r\n",
       name},
      test::modelVK617Q(), options);
  EXPECT_EQ("", r.errorText);
  EXPECT_FALSE(r.image.empty());
  EXPECT_FALSE(r.listing.empty());
  EXPECT_FALSE(r.definitionFile.empty());
  EXPECT_EQ("line 0: 10000\r\n", r.memoryTrace);
  EXPECT_TRUE(std::filesystem::is_empty(folder));
}

}  // namespace
}  // namespace vk6
