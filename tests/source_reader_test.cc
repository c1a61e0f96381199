#include "image/checksum.h"
#include "parse/source_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "parse/instruction_table.h"
#include "test_support.h"

namespace vk6 {
namespace {

using test::compileText;

std::uint16_t signatureOf(const std::string& text) {
  return computeSignature(kSignatureSeed,
                          reinterpret_cast<const std::uint8_t*>(text.data()),
                          text.size());
}

TEST(Signature, PinnedValuesAndOneChangedByteMovesIt) {
  EXPECT_EQ(0xAAAA, signatureOf(""));
  EXPECT_EQ(0xCC5C, signatureOf("abc"));
  EXPECT_NE(signatureOf("abc"), signatureOf("abd"));
  EXPECT_NE(signatureOf("abc"), signatureOf("bac"));
}

TEST(StatementEnd, ColonInsideFirstQuotedStringDoesNotCut) {
  const struct {
    const char* text;
    std::size_t end;
  } cases[] = {
      {"A=1", std::string::npos},
      {"A=1:B=2", 3},
      {"Print(\"a:b\"):X=1", 12},
      {"Print(\"a:b\")", std::string::npos},
      {"X=1:Print(\"a:b\")", 3},
      {"Print(\"a:b\",\"c:d\"):X", 14},  // only the first string is looked at
      {"Print(\"open:", 11},                // no closing quote
  };
  for (const auto& t : cases)
    EXPECT_EQ(t.end, findStatementEnd(t.text)) << t.text;
}

TEST(SourceReader, ReaderErrors) {
  const std::string line510 = std::string(508, ' ') + "\r\n";
  const std::string line511 = std::string(509, ' ') + "\r\n";
  const struct {
    std::string source;
    std::string errors;
  } cases[] = {
      // Without an error from reading, the end-of-program checks speak.
      {"", "No BeginProg in Program.\r\nProgram must have a Scan ... NextScan."},
      {"\r\n   \r\n' only a comment\r\n",
       "line 3: No BeginProg in Program.\r\n"
       "line 3: Program must have a Scan ... NextScan."},
      {"Frobnicate(1)\r\n", "line 1: Unknown instruction Frobnicate(1)."},
      {"\r\n  Foo : Bar\r\n",
       "line 2: Unknown instruction   Foo .\r\nline 2: Unknown instruction  Bar."},
      {"Foo 'the comment goes\n", "line 1: Unknown instruction Foo ."},
      {line510 + "Foo\r\n", "line 2: Unknown instruction Foo."},
      {"\r\n" + line511 + "Foo\r\n", "line 2: Line exceeds max characters of 512."},
      {line511, "line 1: Line exceeds max characters of 512."},
      {"EndProg\r\nFoo\r\n",
       "line 1: No BeginProg in Program.\r\n"
       "line 1: Program must have a Scan ... NextScan."},
      {"Foo : ENDPROG : Bar\r\n", "line 1: Unknown instruction Foo ."},
      {"Print(\"a:b\")\r\nFoo\r\n", "line 2: Unknown instruction Foo."},
  };
  for (const auto& t : cases) {
    EXPECT_EQ(t.errors, compileText(t.source).errors) << t.source;
  }
}

TEST(SourceReader, NoProgramFileAndUnopenedSource) {
  Compilation c;
  runPass1(c);
  EXPECT_EQ("No Program File.", c.diag.errorText);
  Compilation d;
  d.pass1.source.path = "missing.cr";
  runPass1(d);
  EXPECT_EQ("Could not open missing.cr.", d.diag.errorText);
  EXPECT_EQ(0, d.statements.recordCount());
}

TEST(SourceReader, KeepsTrueLineNumbersPastTheHeaderField) {
  std::string source;
  for (int i = 0; i < 4096; ++i) source += "\r\n";
  source += "Foo\r\n";  // line 4097
  EXPECT_EQ("line 4097: Unknown instruction Foo.", compileText(source).errors);
}

TEST(SourceReader, HostileBytesDoNotCrash) {
  const std::string nul("Foo\0Bar\r\nBaz\n", 13);
  EXPECT_EQ("line 1: Unknown instruction Foo.\r\nline 2: Unknown instruction Baz.",
            compileText(nul).errors);
  std::string high = "\xC3\xA9t\xE9\xFF\x80\n";
  EXPECT_EQ("line 1: Unknown instruction \xC3\xA9t\xE9\xFF\x80.",
            compileText(high).errors);
  EXPECT_EQ("line 3: No BeginProg in Program.\r\n"
            "line 3: Program must have a Scan ... NextScan.",
            compileText("\n\n\n").errors);
}

// A byte-order mark opens the file only; anywhere else it is text.
TEST(SourceReader, ByteOrderMarkAtTheStartIsSkippedButSigned) {
  const struct {
    std::string source;
    std::string errors;
  } cases[] = {
      {"\xEF\xBB\xBF" "Foo\r\n", "line 1: Unknown instruction Foo."},
      {"Foo\r\n", "line 1: Unknown instruction Foo."},
      {"\r\n\xEF\xBB\xBF" "Foo\r\n", "line 2: Unknown instruction \xEF\xBB\xBF" "Foo."},
      {"\xEF\xBB" "Foo\r\n", "line 1: Unknown instruction \xEF\xBB" "Foo."},
  };
  for (const auto& t : cases) EXPECT_EQ(t.errors, compileText(t.source).errors);

  const std::string program =
      "Public AirT, RH, Batt\r\nBeginProg\r\nScan(1, sec)\r\nBattery(Batt)\r\n"
      "NextScan\r\nEndProg\r\n";
  const std::string marked = "\xEF\xBB\xBF" + program;
  EXPECT_EQ("", compileText(marked).errors);
  Compilation c;
  test::loadText(c, marked);
  runPass1(c);
  EXPECT_EQ(computeSignature(kSignatureSeed,
                             reinterpret_cast<const std::uint8_t*>(marked.data()),
                             marked.size()),
            textSignature(c.pass1.source.bytes));
  EXPECT_NE(computeSignature(kSignatureSeed,
                             reinterpret_cast<const std::uint8_t*>(program.data()),
                             program.size()),
            textSignature(c.pass1.source.bytes));
}

// Every line end gives the same message, which holds no line end of its own.
TEST(SourceReader, MessagesQuoteStatementsWithoutTheirLineEnd) {
  const struct {
    std::string source;
    std::string errors;
  } cases[] = {
      {"    Batery(Batt)\r\n", "line 1: Unknown instruction     Batery(Batt)."},
      {"    Batery(Batt)\n", "line 1: Unknown instruction     Batery(Batt)."},
      {"    Batery(Batt)", "line 1: Unknown instruction     Batery(Batt)."},
      {"    Batery(Batt):\r\n", "line 1: Unknown instruction     Batery(Batt)."},
      {"Alias X\r\n", "line 1: Need '=' in alias definition:  X."},
      {"Units T Deg\n", "line 1: Need '=' in units definition: T Deg."},
      {"Units T =\r\n", "line 1: Nothing after '=' in units definition: T =."},
      {"Public Y(2)\r\nAlias Y = Z(2 +\r\n",
       "line 2: Invalid, or out of place expression: (2 +."},
  };
  for (const auto& t : cases) EXPECT_EQ(t.errors, compileText(t.source).errors) << t.source;
}

TEST(SourceReader, RecordsOfOneLineShareItsNumberAndEndRecordCloses) {
  Compilation c;
  test::loadText(c, "\r\nBeginProg : NextScan\r\n");
  runPass1(c);
  ASSERT_EQ(3, c.statements.recordCount());
  EXPECT_EQ(makeHeader(kBeginProg, 1, 2), c.statements.wordAt(0));
  EXPECT_EQ(makeHeader(kNextScan, 1, 2), c.statements.wordAt(1));
  EXPECT_EQ(makeHeader(kEndOfProgram, 1, 2), c.statements.wordAt(2));
  EXPECT_EQ(0, c.diag.currentLine);
  EXPECT_EQ(0xE770, textSignature(c.pass1.source.bytes));
}

}  // namespace
}  // namespace vk6
