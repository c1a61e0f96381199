#include "parse/parameter_parser.h"

#include <gtest/gtest.h>

#include "parse/instruction_table.h"
#include "parse/source_reader.h"
#include "symbols/variables.h"
#include "test_support.h"

namespace vk6 {
namespace {

using Words = std::vector<std::uint32_t>;

struct Pass1 {
  Words words;  // all statement records, end record included
  std::string errors;
};

Pass1 readProgram(const std::string& source) {
  Compilation c;
  test::loadText(c, source);
  runPass1(c);
  Pass1 result;
  for (std::size_t i = 0; i < c.statements.size(); ++i)
    result.words.push_back(c.statements.wordAt(i));
  result.errors = c.diag.errorText;
  return result;
}

// The records after the first `skip` records.
Words recordsAfter(const Words& words, int skip) {
  std::size_t pos = 0;
  for (int i = 0; i < skip; ++i) pos += (words[pos] >> 10) & 0x3FF;
  return Words(words.begin() + static_cast<long>(pos), words.end());
}

constexpr std::uint32_t kAbsent = 0x80000000u;
// The end record that follows a last statement on line 2.
constexpr std::uint32_t kEndOfLine2 = makeHeader(kEndOfProgram, 1, 2);

TEST(ParameterParser, RecordLayouts) {
  const struct {
    const char* source;  // line 1 declares; the record of line 2 is checked
    Words record;
  } cases[] = {
      {"Public T\nPanelTemp(T)\n", {makeHeader(kPanelTemp, 2, 2), 0, kEndOfLine2}},
      {"Public T\nPanelTemp (T)\n", {makeHeader(kPanelTemp, 2, 2), 0, kEndOfLine2}},
      {"Public T\nDo\n", {makeHeader(kDo, 3, 2), kAbsent, kAbsent, kEndOfLine2}},
      {"Public X\nDo While X > 1\n", {makeHeader(kDo, 3, 2), 1, 0, kEndOfLine2}},
      {"Public T\nLoop Until T\n", {makeHeader(kLoop, 3, 2), 0, 0, kEndOfLine2}},
      {"Public T\nEnd\n", {makeHeader(kEnd, 2, 2), 4, kEndOfLine2}},
      {"Public T\nEnd Sub\n", {makeHeader(kEnd, 2, 2), 3, kEndOfLine2}},
      {"Public T\nEnd Select\n", {makeHeader(kEnd, 2, 2), 0, kEndOfLine2}},
      {"Public T\nNEXT\n", {makeHeader(kNext, 2, 2), 10, kEndOfLine2}},
      {"Public T\nNEXT T\n", {makeHeader(kNext, 2, 2), 10, kEndOfLine2}},
      {"Public T\nNext Scan\n", {makeHeader(kNext, 2, 2), 6, kEndOfLine2}},
      {"Public T\nDelay(1, &H10)\n", {makeHeader(kDelay, 3, 2), 1, 16, kEndOfLine2}},
      {"Public T\nDelay(1, &B101)\n", {makeHeader(kDelay, 3, 2), 1, 5, kEndOfLine2}},
      {"Public T\nScan(5, min)\n", {makeHeader(kScan, 3, 2), 5, 3, kEndOfLine2}},
      // Literals keep all their bits; 16777217 is no 4-byte float.
      {"Public T\nDelay(1, &H3A51C2F4)\n", {makeHeader(kDelay, 3, 2), 1, 0x3A51C2F4, kEndOfLine2}},
      {"Public T\nDelay(1, 16777217)\n", {makeHeader(kDelay, 3, 2), 1, 16777217, kEndOfLine2}},
      {"Public T\nDelay(1, -2147483648)\n", {makeHeader(kDelay, 3, 2), 1, 0x80000000u, kEndOfLine2}},
      // Only a parameter that is one literal is read as one; the rest is
      // evaluated as the expression it is.
      {"Public T\nDelay(&H10 + 1, msec)\n", {makeHeader(kDelay, 3, 2), 17, 1, kEndOfLine2}},
      {"Public T\nDelay(&B101 + 1, msec)\n", {makeHeader(kDelay, 3, 2), 6, 1, kEndOfLine2}},
      {"Public T\nDelay(1 + &H10, msec)\n", {makeHeader(kDelay, 3, 2), 17, 1, kEndOfLine2}},
      {"Public T\nDelay( &H10 , msec)\n", {makeHeader(kDelay, 3, 2), 16, 1, kEndOfLine2}},
      {"Public T\nScan(&H1 + 1, sec)\n", {makeHeader(kScan, 3, 2), 2, 2, kEndOfLine2}},
      {"Public T\nEnd &H4\n", {makeHeader(kEnd, 2, 2), 4, kEndOfLine2}},
      // A word that is no whole literal is a loop variable's name.
      {"Public T\nNEXT &H0+6\n", {makeHeader(kNext, 2, 2), 10, kEndOfLine2}},
      {"Public T\nElse\n", {makeHeader(kElse, 3, 2), kAbsent, kAbsent, kEndOfLine2}},
      // "Tab1" takes 4/4 + 1 words and one spare: slots at words 4 and 5.
      {"Public T\nDataTable(Tab1, 1, 100)\n",
       {makeHeader(kDataTable, 6, 2), 0x31626154, 0, 0, 0, 100, kEndOfLine2}},
      {"Public T\nCallTable \"\"\n", {makeHeader(kCallTable, 3, 2), 0, 0, kEndOfLine2}},
      {"Public T\nSub Go\n", {makeHeader(kSub, 2, 2), 0, kEndOfLine2}},
  };
  for (const auto& t : cases) {
    const Pass1 p = readProgram(t.source);
    EXPECT_EQ("", p.errors) << t.source;
    EXPECT_EQ(t.record, recordsAfter(p.words, 1)) << t.source;
  }
}

TEST(ParameterParser, TextParameterKeepsBracketsAndCommas) {
  const Pass1 p = readProgram("Public X(3)\nSample(1, X(3,2))\n");
  const Words record = recordsAfter(p.words, 1);
  // "X(3,2)" is 6 characters: 6/4 + 1 = 2 words, then a spare word.
  ASSERT_EQ(makeHeader(kSample, 5, 2), record[0]);
  EXPECT_EQ(1u, record[1]);
  EXPECT_EQ(std::string("X(3,2)"),
            std::string(reinterpret_cast<const char*>(&record[2])));
}

TEST(ParameterParser, ForClauseTakesFourWords) {
  const Pass1 p = readProgram("Public I\nFor I = 1 To 10 Step 2\nFor I = 1 To 3\n");
  EXPECT_EQ("", p.errors);
  const Words record = recordsAfter(p.words, 1);
  EXPECT_EQ(makeHeader(kFor, 5, 2), record[0]);
  EXPECT_EQ(makeHeader(kFor, 5, 3), record[5]);
  EXPECT_EQ(0u, record[9]);  // no STEP
  EXPECT_NE(0u, record[4]);
}

TEST(ParameterParser, Messages) {
  const struct {
    const char* source;
    const char* errors;
  } cases[] = {
      {"Public T, U\nPanelTemp(T, U)\n", "line 2: Too many parameters:  U."},
      {"Public T\nVoltSe(T, 1)\n", "line 2: Invalid or missing parameter."},
      {"Public T\nDelay(1, 2.5)\n",
       "line 2: Illegal parameter 2.5 = 2.5; integer evaluation expected."},
      {"Public T\nDelay(1, T)\n", "line 2: Variable illegal in Parameter: T."},
      {"Dim A(2,3)\n", "line 1: Variable A dimension exceeds max of 1."},
      {"Public A = 3\n", "line 1: '=' not allowed in variable declaration."},
      {"Public\n", "line 1: Variable not named."},
      {"Public A\nDim A\n", "line 2: A already declared as a variable."},
      {"Public T\nEnd While\n", "line 2: Illegal END or EXIT While."},
      {"Public T\nExit Case\n", "line 2: Illegal END or EXIT Case."},
      {"Public T\nNEXT 5\n", "line 2: Illegal NEXT 5."},
      {"Public T\nDo Whilst T\n",
       "line 2: Illegal parameter Whilst, expecting constant integer."},
      {"Public T\nSub Go(x)\n",
       "line 2: Parameters cannot be passed in Subroutines.\r\n"
       "line 2: Too many parameters:  x."},
      {"Sub ABCDEFGHIJKLMNOPQ\n",
       "line 1: Subroutine name ABCDEFGHIJKLMNOPQ is too large, limit is 16 characters."},
      {"Public T\nCallTable\n", "line 2: Too few parameters in instruction."},
      {"Public T\nIf\n", "line 2: Invalid or missing expression."},
      {"Public T\nSelect T\n", "line 2: Use Select Case."},
      {"Public T\nPanelTemp(3)\n", "line 2: Invalid Variable or Array: 3."},
      {"Public I\nFor I = 1\n", "line 2: Invalid or missing parameter."},
      {"Public I\nFor I\n", "line 2: Invalid or missing parameter."},
      {"Public X(300)\n", "line 1: Variable X dimension 300 out of range 1 to 254."},
      {"Public RH\nElse If RH < 0 Then\n",
       "line 2: Else If is not accepted: write ElseIf, or the condition after it is ignored."},
      {"Public RH\nelse if RH < 0 then RH = 0\n",
       "line 2: Else If is not accepted: write ElseIf, or the condition after it is ignored."},
      {"Public T\nEnd &H0+4\n", "line 2: Illegal END or EXIT &H0+4."},
  };
  for (const auto& t : cases)
    EXPECT_EQ(t.errors, readProgram(t.source).errors) << t.source;
}

TEST(ParameterParser, ArraySizeIsOneLiteralOrAnExpression) {
  const struct {
    const char* source;
    int elements;
  } cases[] = {
      {"Public A(&H2 + 1)\n", 3}, {"Public A(&H21)\n", 33},
      {"Dim A(&B11 - 1)\n", 2},   {"Dim A(1 + &H2)\n", 3},
  };
  for (const auto& t : cases) {
    Compilation c;
    test::loadText(c, t.source);
    runPass1(c);
    EXPECT_EQ("", c.diag.errorText) << t.source;
    EXPECT_EQ(t.elements, findVariableLocation(c, "A") >> 8) << t.source;
  }
}

// The text after the parameter before it, found from where the earlier
// parameters end: an earlier parameter of the same text is passed over.
TEST(ParameterParser, RawTextFollowsItsOwnParameter) {
  const char* const kTimes = ", \"00_01_00_00\", \"00_07_30\", \"00_15_00\")";
  const struct {
    const char* source;  // line 1 declares; line 2 holds the statement
    std::size_t slot;    // word of the text in the record of line 2
    std::string text;
  } cases[] = {
      {"Public G\nGOESSetup(G, &H3A4C61F2, 10, 151, 300, 31, 300, \"00_01_00_00\", "
       "\"00_07_30\", \"00_15_00\")\n", 8, kTimes},
      {"Public G\nGOESSetup(G, &H3A4C61F2, 10, 151, 300, 31, 100, \"00_01_00_00\", "
       "\"00_07_30\", \"00_15_00\")\n", 8, kTimes},
      // The alias lengthens the text the parameters are taken from.
      {"Public G(2)\nAlias G(2) = S\nGOESSetup(S, 2, 10, 151, 300, 2, 300, \"00_01_00_00\", "
       "\"00_07_30\", \"00_15_00\")\n", 8, kTimes},
      {"Public X\nPrint(1, 9600, \"Print\", X)\n", 1, "(1, 9600, \"Print\", X)"},
  };
  for (const auto& t : cases) {
    const Pass1 p = readProgram(t.source);
    EXPECT_EQ("", p.errors) << t.source;
    const Words record = recordsAfter(p.words, 1);
    ASSERT_LT(t.slot, record.size()) << t.source;
    EXPECT_EQ(t.text, std::string(reinterpret_cast<const char*>(&record[t.slot])))
        << t.source;
  }
}

TEST(ParameterParser, SingleLineIfUnfoldsWithImplicitEndIf) {
  const Pass1 p = readProgram(
      "Public X, Y\n"
      "If X > 1 THEN Y = 1 : Y = 2\n"
      "If X > 1 THEN Y = 1 ELSE Y = 3\n"
      "If X > 1 Then\n");
  EXPECT_EQ("", p.errors);
  std::vector<int> indices;
  for (std::size_t pos = 0; pos < p.words.size(); pos += (p.words[pos] >> 10) & 0x3FF)
    indices.push_back(static_cast<int>(p.words[pos] & 0x3FF));
  EXPECT_EQ((std::vector<int>{kPublic, kIf, kExpression, kEnd, kExpression, kIf, kExpression,
                              kElse, kExpression, kEnd, kIf, kEndOfProgram}),
            indices);
}

TEST(ParameterParser, BareSubroutineNameBecomesCall) {
  const Pass1 p = readProgram("Sub Go\nEndSub\nGo\ngo : Go\n");
  EXPECT_EQ("", p.errors);
  const Words record = recordsAfter(p.words, 2);
  EXPECT_EQ(makeHeader(kCall, 3, 3), record[0]);
  EXPECT_EQ(0x00006f47u, record[1] & 0xFFFFFFu);
}

TEST(ParameterParser, ConstantsAreKnownToLaterStatements) {
  const Pass1 p = readProgram("Const N = 3 * 2\nPublic T\nDelay(1, N)\nConst M = T\n");
  EXPECT_EQ("line 4: Variable used in CONST expression.", p.errors);
  const Words record = recordsAfter(p.words, 1);
  EXPECT_EQ(makeHeader(kDelay, 3, 3), record[0]);
  EXPECT_EQ(6u, record[2]);
}

}  // namespace
}  // namespace vk6

namespace vk6 {
namespace {

TEST(ConstStatement, LimitsClashesAndValues) {
  const struct {
    const char* source;
    const char* errors;
  } cases[] = {
      {"Const A = 16777215\n", ""},
      {"Const A = 16777216\n", "line 1: Maximum CONST is 16777215."},
      {"Const A = -20000000\n", ""},
      {"Const TRUE = 1\n", "line 1: TRUE is already in use as a predefined CONST."},
      {"Const A = 1\nConst A = 2\n", "line 2: A is already in use as a declared CONST."},
      {"Const\n", "line 1: Const with no declaration."},
      {"Const A\n", "line 1: CONST needs assignment."},
      {"Const 1A = 1\n", "line 1: Const name 1A illegal, starts with a number."},
      {"Const ABCDEFGHIJKLMNOPQ = 1\n",
       "line 1: Const Name ABCDEFGHIJKLMNOPQ is too large, limit is 16 characters."},
      {"Public X\nConst X = 1\n", "line 2: X already declared as a variable."},
      {"Const A = 2 * (3\n",
       "line 1: No Matching, or out of place ) in expression: 2 * (3."},
  };
  for (const auto& t : cases)
    EXPECT_EQ(t.errors, readProgram(t.source).errors) << t.source;
}

TEST(ConstStatement, LaterConstantsBuildOnEarlierOnes) {
  const Pass1 p = readProgram("Const A = 3\nConst B = A * 2, 99\nDelay(1, B)\n");
  EXPECT_EQ("", p.errors);
  EXPECT_EQ(6u, recordsAfter(p.words, 0)[2]);
}

}  // namespace
}  // namespace vk6
