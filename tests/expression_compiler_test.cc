#include "expr/expression_compiler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format/operand_word.h"
#include "symbols/constants.h"
#include "symbols/variables.h"
#include "test_support.h"

namespace vk6 {
namespace {

using Words = std::vector<std::uint16_t>;

// X has 5 elements at location 0 (word 0x0500), Y one at 5 (word 0x0105).
class ExpressionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    startConstants(c);
    declareVariable(c, 5, "X", kDeclareDim);
    declareVariable(c, 1, "Y", kDeclareDim);
  }
  int compile(const std::string& text, int mode = kModePlain, bool store = false) {
    return compileAndReport(c, text, operand, mode, store);
  }
  Compilation c;
  std::uint16_t operand = 0;
};

TEST_F(ExpressionTest, CodeWords) {
  struct Case {
    const char* text;
    int mode;
    Words code;
  };
  const Case cases[] = {
      {"5", kModePlain, {40, 0x0000, 0x40A0}},
      {"Y", kModePlain, {49, 0x0105}},
      {"X(2)", kModePlain, {35, 0x0000, 0x4000, 50, 0x0500}},
      {"x()", kModePlain, {49, 0x0500}},
      {"Y+1", kModePlain, {36, 0x0105, 35, 0x0000, 0x3F80, 5, 39}},
      {"-5", kModePlain, {35, 0x0000, 0x40A0, 10, 39}},
      {"1+2*3", kModePlain,
       {35, 0, 0x3F80, 35, 0, 0x4000, 35, 0, 0x4040, 7, 5, 39}},
      {"(1+2)*3", kModePlain,
       {35, 0, 0x3F80, 35, 0, 0x4000, 5, 35, 0, 0x4040, 7, 39}},
      {"2^3^2", kModePlain,
       {35, 0, 0x4000, 35, 0, 0x4040, 35, 0, 0x4000, 59, 59, 39}},
      {"-2^2", kModePlain, {35, 0, 0x4000, 35, 0, 0x4000, 59, 10, 39}},
      {"7 mod 2 / 1", kModePlain,
       {35, 0, 0x40E0, 35, 0, 0x4000, 9, 35, 0, 0x3F80, 8, 39}},
      {"1 AND 2 OR 3", kModePlain,
       {35, 0, 0x3F80, 35, 0, 0x4000, 13, 35, 0, 0x4040, 11, 39}},
      {"1 OR 2 AND 3", kModePlain,
       {35, 0, 0x3F80, 35, 0, 0x4000, 11, 35, 0, 0x4040, 13, 39}},
      {"1 XOR 2 EQV 3 IMP 1", kModePlain,
       {35, 0, 0x3F80, 35, 0, 0x4000, 12, 35, 0, 0x4040, 42, 35, 0, 0x3F80,
        43, 39}},
      {"NOT 1 = 2", kModePlain,
       {35, 0, 0x3F80, 14, 35, 0, 0x4000, 20, 39}},
      {"1<>2", kModePlain, {35, 0, 0x3F80, 35, 0, 0x4000, 17, 39}},
      {"1<=2", kModePlain, {35, 0, 0x3F80, 35, 0, 0x4000, 18, 39}},
      {"1>=2", kModePlain, {35, 0, 0x3F80, 35, 0, 0x4000, 16, 39}},
      {"1<2", kModePlain, {35, 0, 0x3F80, 35, 0, 0x4000, 19, 39}},
      {"1>2", kModePlain, {35, 0, 0x3F80, 35, 0, 0x4000, 15, 39}},
      {"X(Y)+X(1)", kModePlain,
       {36, 0x0105, 46, 0x0500, 35, 0, 0x3F80, 46, 0x0500, 5, 39}},
      {"&H10", kModePlain, {40, 0x0000, 0x4180}},
      {"True", kModePlain, {40, 0x0000, 0xBF80}},
      {".5e+1", kModePlain, {40, 0x0000, 0x40A0}},
      {"1.5E1", kModePlain, {40, 0x0000, 0x4170}},
      {" \t?`{|}~1", kModePlain, {40, 0x0000, 0x3F80}},
      {"1\r+2", kModePlain, {40, 0x0000, 0x3F80}},
      {"RND", kModePlain, {3, 12, 0, 39}},
      {"rnd()", kModePlain, {3, 12, 0, 39}},
      {"RND( )", kModePlain, {3, 12, 0, 39}},
      {"SIN(1)", kModePlain, {35, 0, 0x3F80, 3, 1, 0, 39}},
      {"Ln(1)", kModePlain, {35, 0, 0x3F80, 3, 7, 0, 39}},
      {"ATN2(1,2)", kModePlain, {35, 0, 0x3F80, 35, 0, 0x4000, 3, 16, 0, 39}},
      {"IIF(1,2,3)", kModePlain,
       {35, 0, 0x3F80, 35, 0, 0x4000, 35, 0, 0x4040, 3, 22, 0, 39}},
      {"Y = 3", kModeAssignment, {35, 0, 0x4040, 47, 0x0105, 39}},
      {"X(2) = Y + 1", kModeAssignment,
       {35, 0, 0x4000, 36, 0x0105, 35, 0, 0x3F80, 5, 48, 0x0500, 39}},
      {"Y = 1 = 2", kModeAssignment,
       {35, 0, 0x3F80, 35, 0, 0x4000, 20, 47, 0x0105, 39}},
      {"Y = 3", kModePlain, {36, 0x0105, 35, 0, 0x4040, 20, 39}},
      {"1, 3 TO 5", kModeCase,
       {35, 0, 0x3F80, 58, 35, 0, 0x4040, 35, 0, 0x40A0, 45, 11, 39}},
      {"IS > 2", kModeCase, {44, 35, 0, 0x4000, 15, 39}},
      {"(1+2)", kModeCase, {35, 0, 0x3F80, 35, 0, 0x4000, 5, 58, 39}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.text);
    EXPECT_EQ(0, compile(k.text, k.mode));
    EXPECT_EQ(k.code, c.expr.work);
    EXPECT_EQ(kNoOperand, operand);
  }
  EXPECT_EQ("", c.diag.errorText);
}

TEST_F(ExpressionTest, ErrorCodesAndReports) {
  struct Case {
    const char* text;
    int mode;
    int code;
    const char* report;
  };
  const Case cases[] = {
      {"", kModePlain, 1, "Invalid, or out of place expression: ."},
      {"1 +", kModePlain, 1, "Invalid, or out of place expression: 1 +."},
      {"TO", kModePlain, 1, "Invalid, or out of place expression: TO."},
      {"1 ! 2", kModePlain, 3, "Invalid symbol in expression: 1 ! 2."},
      {"Y%", kModePlain, 3, "Invalid symbol in expression: Y%."},
      {"1+\xE9", kModePlain, 3, "Invalid symbol in expression: 1+\xE9."},
      {"(1", kModePlain, 12, "No Matching, or out of place ) in expression: (1."},
      {"X(1", kModePlain, 12, "No Matching, or out of place ) in expression: X(1."},
      {"(1 2)", kModePlain, 12, "No Matching, or out of place ) in expression: (1 2)."},
      {"SIN 1", kModePlain, 13, "Expression expects ( : SIN 1."},
      {"T.F", kModePlain, 13, "Expression expects ( : T.F."},
      {"T.F(1)", kModePlain, 12, "No Matching, or out of place ) in expression: T.F(1)."},
      {"1)", kModePlain, 14, "Incomplete expression: 1)."},
      {"1, 2", kModePlain, 14, "Incomplete expression: 1, 2."},
      {"1 < 2 < 3", kModePlain, 14, "Incomplete expression: 1 < 2 < 3."},
      {"Y = 1, 2", kModeAssignment, 14, "Incomplete expression: Y = 1, 2."},
      {"2..5", kModePlain, 15, "Invalid . in expression: 2..5."},
      {"ATN2(1 2)", kModePlain, 16, "Expression expects , : ATN2(1 2)."},
      {"IFTIME(Y, 1, 2)", kModePlain, 17, "Invalid constant in expression: IFTIME(Y, 1, 2)."},
      {"1E", kModePlain, 19, "Invalid number: 1E."},
      {"1e+", kModePlain, 19, "Invalid number: 1e+."},
      {"3 = Y", kModeAssignment, 20, "Invalid assignment in expression: 3 = Y."},
      {"Y + 1 = 2", kModeAssignment, 20, "Invalid assignment in expression: Y + 1 = 2."},
      {"X(1,2)", kModePlain, 22, "Invalid dimension: X(1,2)."},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.text);
    Compilation fresh;
    startConstants(fresh);
    declareVariable(fresh, 5, "X", kDeclareDim);
    declareVariable(fresh, 1, "Y", kDeclareDim);
    std::uint16_t out = 0;
    EXPECT_EQ(k.code, compileAndReport(fresh, k.text, out, k.mode, false));
    EXPECT_EQ(k.report, fresh.diag.errorText);
    EXPECT_EQ(1, fresh.diag.errorCount);
  }
}

TEST(ExpressionErrors, TableEnds) {
  EXPECT_STREQ("NO ERROR", expressionErrorText(0));
  EXPECT_STREQ("Negative Exponent in expression", expressionErrorText(10));
  EXPECT_STREQ("ERR_INTERNAL", expressionErrorText(23));
}

TEST_F(ExpressionTest, NamesVariableFlag) {
  compile("1 + TRUE");
  EXPECT_FALSE(c.expr.namesVariable);
  compile("1 + Undeclared");
  EXPECT_TRUE(c.expr.namesVariable);
  EXPECT_EQ("undeclared variable Undeclared", c.diag.errorText);
  compile("T.F(1,1)");
  EXPECT_TRUE(c.expr.namesVariable);
}

TEST_F(ExpressionTest, LengthLimit) {
  std::string text = "1";
  while (text.size() < 255) text += "+1";
  ASSERT_EQ(255u, text.size());
  EXPECT_EQ(0, compile(text, kModePlain, true));
  EXPECT_EQ(0u, operand);
  EXPECT_EQ("", c.diag.errorText);

  text += " ";
  EXPECT_EQ(0, compile(text, kModePlain, true));
  EXPECT_EQ(kNoOperand, operand);
  EXPECT_EQ(Words{}, c.expr.work);
  EXPECT_EQ("Expression exceeds max length of 256.", c.diag.errorText);
}

std::string nested(int pushes) {
  std::string text = "1";
  for (int i = 1; i < pushes; ++i) text = "1+(" + text + ")";
  return text;
}

TEST_F(ExpressionTest, DepthLimit) {
  compile(nested(30));
  EXPECT_EQ(30, c.expr.maxDepth);
  EXPECT_EQ("", c.diag.errorText);
  compile(nested(31));
  EXPECT_EQ("Expression exceeds stack depth, it must be broken up.", c.diag.errorText);
}

TEST_F(ExpressionTest, CallPeakCountsTowardsDepth) {
  // Each SIN pushes a call slot on top of its argument before popping it.
  compile("SIN(1)");
  EXPECT_EQ(2, c.expr.maxDepth);
  compile("RND+RND");
  EXPECT_EQ(2, c.expr.maxDepth);
}

TEST_F(ExpressionTest, StoredCodeGoesToTheArea) {
  EXPECT_EQ(0, compile("Y+1", kModePlain, true));
  EXPECT_EQ(0u, operand);
  EXPECT_EQ(0, compile("X", kModePlain, true));
  EXPECT_EQ(14u, operand);
  EXPECT_EQ((Bytes{0x24, 0x00, 0x05, 0x01, 0x23, 0x00, 0x00, 0x00, 0x80, 0x3F,
                   0x05, 0x00, 0x27, 0x00, 0x31, 0x00, 0x00, 0x05}),
            c.exprArea.bytes);
}

TEST_F(ExpressionTest, TableFieldReferenceIsDeferred) {
  EXPECT_EQ(0, compile("Tab.Fld(1,2)+1", kModePlain, true));
  EXPECT_EQ(0x8000, operand);
  ASSERT_EQ(1u, c.exprArea.deferred.size());
  EXPECT_EQ((Words{35, 0, 0x3F80, 35, 0, 0x4000, 60, 0x6154, 0x2E62, 0x6C46,
                   0x0064, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 35, 0, 0x3F80, 5, 39,
                   0, 0}),
            c.exprArea.deferred[0].code);
  EXPECT_EQ(56, c.exprArea.deferred[0].lengthBytes);
  EXPECT_TRUE(c.exprArea.bytes.empty());
  EXPECT_EQ(0, compile("T.F(1,1)", kModePlain, false));
  EXPECT_EQ(0x8001, operand);
}

TEST_F(ExpressionTest, FieldNameKeepsTwentySevenCharacters) {
  compile("T.abcdefghijklmnopqrstuvwxyz(1,1)");
  const Words& code = c.exprArea.deferred[0].code;
  // Words 7..20 hold the name; the last word holds character 27 and NUL.
  EXPECT_EQ(0x0079, code[20]);
}

TEST_F(ExpressionTest, RefusedHyperbolicFunctions) {
  for (const char* text : {"SINH(1)", "tanh(1)", "COSH(1)"}) {
    SCOPED_TRACE(text);
    Compilation fresh;
    std::uint16_t out = 0;
    EXPECT_EQ(0, compileAndReport(fresh, text, out, kModePlain, false));
    EXPECT_EQ((Words{35, 0, 0x3F80, 3, 19, 0, 39}), fresh.expr.work);
    EXPECT_EQ("Cosh, Sinh, Tanh funtions are no longer supported.",
              fresh.diag.errorText);
  }
}

TEST_F(ExpressionTest, IfTimeStoresSecondsBlock) {
  EXPECT_EQ(0, compile("IFTIME(5, 1, min)", kModePlain, true));
  EXPECT_EQ((Words{38, 0, 0, 3, 23, 0, 39}), c.expr.work);
  EXPECT_EQ((Bytes{0x2C, 0x01, 0x00, 0x00, 0x3C, 0x00, 0x00, 0x00,
                   0x26, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x17,
                   0x00, 0x00, 0x00, 0x27, 0x00}),
            c.exprArea.bytes);
  EXPECT_EQ(8u, operand);
  EXPECT_EQ(2, c.expr.maxDepth);
  EXPECT_EQ("", c.diag.errorText);
}

TEST(IfTime, ArgumentFaults) {
  struct Case {
    const char* text;
    const char* report;
  };
  const Case cases[] = {
      {"IFTIME(2.9, 10.5, 2)", ""},
      {"IFTIME 1, 2, 3", "Expression expects ( : IFTIME 1, 2, 3."},
      {"IFTIME(1 2, 3)", "Expression expects , : IFTIME(1 2, 3)."},
      {"IFTIME(1, 2, 3", "No Matching, or out of place ) in expression: IFTIME(1, 2, 3."},
      {"IFTIME(1, 2, 0)", "Units of usec not supported.\r\nUnits of usec not supported."},
      {"IFTIME(1, -2, 3)", "Invalid constant in expression: IFTIME(1, -2, 3)."},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.text);
    Compilation c;
    std::uint16_t out = 0;
    compileAndReport(c, k.text, out, kModePlain, false);
    EXPECT_EQ(k.report, c.diag.errorText);
  }
}

TEST(TimeUntilTransmit, UsesAndLimits) {
  Compilation c;
  c.header.scanInterval = 1;
  std::uint16_t out = 0;
  EXPECT_EQ(0, compileAndReport(c, "TimeUntilTransmit(1)", out, kModePlain, false));
  EXPECT_EQ((Words{38, 0, 0, 3, 24, 0, 39}), c.expr.work);
  EXPECT_EQ((Bytes{0, 0, 0, 0}), c.exprArea.bytes);
  compileAndReport(c, "TimeUntilTransmit(32)", out, kModePlain, false);
  EXPECT_EQ((Bytes{0, 0, 0, 0, 31, 0, 0, 0}), c.exprArea.bytes);
  EXPECT_EQ("", c.diag.errorText);

  compileAndReport(c, "timeuntiltransmit(1.5)", out, kModePlain, false);
  EXPECT_EQ("TimeUntilTransmit can only be used once within a scan.", c.diag.errorText);
  c.diag = Diagnostics();
  compileAndReport(c, "TimeUntilTransmit(33)", out, kModePlain, false);
  compileAndReport(c, "TimeUntilTransmit(0)", out, kModePlain, false);
  EXPECT_EQ("TimeUntilTransmit argument 33 out of range 1 to 32.\r\n"
            "TimeUntilTransmit argument 0 out of range 1 to 32.",
            c.diag.errorText);
  c.diag = Diagnostics();
  compileAndReport(c, "TimeUntilTransmit(Y)", out, kModePlain, false);
  c.header.scanInterval = 2;
  compileAndReport(c, "TimeUntilTransmit(2", out, kModePlain, false);
  EXPECT_EQ("undeclared variable Y\r\n"
            "Invalid constant in expression: TimeUntilTransmit(Y).\r\n"
            "TimeUntilTransmit must be used in a scan with a 1 second interval.\r\n"
            "No Matching, or out of place ) in expression: TimeUntilTransmit(2.",
            c.diag.errorText);
}


TEST(ExpressionInProgram, ReportCarriesLine) {
  const test::Reported r = test::compileText("Public X\n"
                                                  "Const A = 2 * (3");
  EXPECT_EQ("line 2: No Matching, or out of place ) in expression: 2 * (3.",
            r.errors);
}

}  // namespace
}  // namespace vk6
