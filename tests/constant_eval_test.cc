#include "expr/constant_eval.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "expr/expression_compiler.h"
#include "format/operand_word.h"
#include "symbols/constants.h"
#include "symbols/variables.h"
#include "test_support.h"

namespace vk6 {
namespace {

using Words = std::vector<std::uint16_t>;

// X has 5 elements at location 0 (word 0x0500), Y one at 5 (word 0x0105).
class EvalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    startConstants(c);
    declareVariable(c, 5, "X", kDeclareDim);
    declareVariable(c, 1, "Y", kDeclareDim);
  }
  const float* eval(const std::string& text, int reps = 0, int mode = kModePlain) {
    std::uint16_t operand = 0;
    compileAndReport(c, text, operand, mode, false);
    return evaluateOperand(c, kNoOperand, reps);
  }
  std::uint32_t bitsOf(const std::string& text) {
    const float* v = eval(text);
    return v == nullptr ? 0xDEADBEEFu : floatBits(*v);
  }
  Compilation c;
};

TEST_F(EvalTest, Values) {
  struct Case {
    const char* text;
    std::uint32_t bits;
  };
  const Case cases[] = {
      {"5", 0x40A00000},            // 5.0
      {"7/2", 0x40600000},          // 3.5
      {"7 MOD 3", 0x3F800000},      // 1.0
      {"-7 MOD 3", 0xBF800000},     // -1.0
      {"2^10", 0x44800000},         // 1024.0
      {"2^3^2", 0x44000000},        // 512.0
      {"-2^2", 0xC0800000},         // -4.0
      {"1/0", 0xFF8F8F8F},
      {"1 MOD 0", 0xFF8F8F8F},
      {"5 AND 3", 0x3F800000},      // 1.0
      {"5 OR 3", 0x40E00000},       // 7.0
      {"5 XOR 3", 0x40C00000},      // 6.0
      {"NOT 0", 0xBF800000},        // -1.0
      {"2.7 AND 3", 0x40000000},    // 2.0
      {"3 > 2", 0xBF800000},
      {"3 < 2", 0x00000000},
      {"2 >= 2", 0xBF800000},
      {"2 <= 1", 0x00000000},
      {"2 <> 2", 0x00000000},
      {"2 = 2", 0xBF800000},
      {"2 EQV 2.9", 0xBF800000},
      {"0 IMP 0", 0xBF800000},
      {"1 IMP 0", 0x00000000},
      {"IIF(0.5, 10, 20)", 0x41A00000},  // 20.0
      {"IIF(-1, 10, 20)", 0x41200000},   // 10.0
      {"SQR(-4)", 0x00000000},
      {"SQR(2.25)", 0x3FC00000},         // 1.5
      {"LOG(0)", 0x00000000},
      {"LN(1)", 0x00000000},
      {"LOG10(-1)", 0x00000000},
      {"LOG10(1000)", 0x40400000},       // 3.0
      {"SGN(-3)", 0xBF800000},
      {"SGN(0.5)", 0x3F800000},
      {"FIX(-2.5)", 0xC0000000},         // -2.0
      {"FRAC(-2.5)", 0xBF000000},        // -0.5
      {"INT(-2.5)", 0xC0400000},         // -3.0
      {"ABS(-2)", 0x40000000},
      {"COS(0)", 0x3F800000},
      {"EXP(0)", 0x3F800000},
      {"ATN2(1, 1)", 0x3F490FDB},        // pi/4
      {"RANDOMIZE(7.9)", 0x40E00000},    // 7.0
      {"IFTIME(0, 1, min)", 0xBF800000},
      {"IFTIME(5, 10, sec)", 0x00000000},
      {"IFTIME(5, 0, sec)", 0xBF800000},
      // Not-a-number: comparisons as IEEE, integer operators on 0x80000000.
      {"1/0 = 1/0", 0x00000000},
      {"1/0 <> 1/0", 0xBF800000},
      {"1/0 > 0", 0x00000000},
      {"(1/0) AND -1", 0xCF000000},      // -2147483648.0
      {"NOT (1/0)", 0x4F000000},         // 2147483647 as float
      {"(1/0) EQV (1/0)", 0xBF800000},
      {"IIF(1/0, 10, 20)", 0x41A00000},
      {"IIF(3000000000, 10, 20)", 0x41A00000},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.text);
    EXPECT_EQ(k.bits, bitsOf(k.text));
  }
  EXPECT_EQ("", c.diag.errorText);
}

TEST_F(EvalTest, RandomSequenceFollowsSeed) {
  // state = state * 214013 + 2531011; bits 16..30 of each new state.
  EXPECT_EQ(41.0f / 32768.0f, *eval("RND"));
  EXPECT_EQ(18467.0f / 32768.0f, *eval("RND"));
  eval("RANDOMIZE(1)");
  EXPECT_EQ(41.0f / 32768.0f, *eval("RND"));
}

TEST_F(EvalTest, StoresAndReferencesUseVariableMemory) {
  const float* stored = eval("X(3) = 4", 0, kModeAssignment);
  EXPECT_EQ(&c.eval.memory[2], stored);
  EXPECT_EQ(&c.eval.memory[5], eval("Y = X(3) + 1", 0, kModeAssignment));
  EXPECT_EQ(5.0f, c.eval.memory[5]);
  EXPECT_EQ(&c.eval.memory[5], eval("Y", 1));
  EXPECT_EQ(&c.eval.memory[3], eval("X(4)", 2));
  EXPECT_EQ(&c.eval.result, eval("Y * 2"));
  EXPECT_EQ(10.0f, c.eval.result);
  EXPECT_EQ("", c.diag.errorText);
}

TEST_F(EvalTest, StoredAndDeferredOperands) {
  std::uint16_t first = 0;
  std::uint16_t second = 0;
  compileExpression(c, "2+1", first, kModePlain, true);
  compileExpression(c, "7", second, kModePlain, true);
  EXPECT_EQ(3.0f, *evaluateOperand(c, first, 0));
  EXPECT_EQ(7.0f, *evaluateOperand(c, second, 0));
  // Out-of-range deferred index and an empty work buffer read as zero.
  EXPECT_EQ(&c.eval.zero, evaluateOperand(c, 0x8005, 0));
  compileExpression(c, std::string(300, '1'), first, kModePlain, false);
  EXPECT_EQ(0.0f, *evaluateOperand(c, kNoOperand, 0));
}

TEST_F(EvalTest, BoundsOfReferences) {
  struct Case {
    const char* text;
    int reps;
    bool faults;
  };
  const Case cases[] = {
      {"X(5)", 1, false}, {"X(6)", 1, true},  {"X(0)", 1, true},
      {"X(3)", 3, false}, {"X(3)", 4, true},  {"X(2)", -1, false},
      {"X(2)", -2, true}, {"X", 5, false},    {"X", 6, true},
      {"X", -1, true},    {"X(6)+1", 0, true}, {"X(0)+1", 0, true},
      {"X(5)+1", 0, false}, {"X(6) = 1", 0, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.text) + " reps " + std::to_string(k.reps));
    c.diag = Diagnostics();
    const int mode = std::string(k.text).find('=') != std::string::npos
                         ? kModeAssignment
                         : kModePlain;
    const float* v = eval(k.text, k.reps, mode);
    if (k.faults) {
      EXPECT_EQ(&c.eval.zero, v);
      EXPECT_EQ("Variable X out of bounds.", c.diag.errorText);
    } else {
      EXPECT_NE(&c.eval.zero, v);
      EXPECT_EQ("", c.diag.errorText);
    }
  }
}

TEST_F(EvalTest, QuietModeCountsFaults) {
  c.eval.quietMode = 2;
  EXPECT_EQ(nullptr, eval("X(6)", 1));
  EXPECT_EQ(nullptr, eval("X", 6));
  EXPECT_EQ(2, c.eval.quietCount);
  EXPECT_EQ("", c.diag.errorText);
}

TEST_F(EvalTest, FaultNamesTheVariableOfTheLocationWord) {
  // A location word that no variable has (element 2 onward of X).
  c.expr.work = {35, 0, 0x40A0, 50, 0x0401};
  evaluateOperand(c, kNoOperand, 1);
  EXPECT_EQ("Variable   out of bounds.", c.diag.errorText);
}

TEST_F(EvalTest, CaseCodeTestsTheValueGivenAsReps) {
  std::uint16_t operand = 0;
  compileExpression(c, "1, 3 TO 5, IS > 9", operand, kModeCase, false);
  for (int tested : {1, 3, 5, 10}) EXPECT_EQ(kTrue, *evaluateOperand(c, kNoOperand, tested));
  for (int tested : {0, 2, 6, 9}) EXPECT_EQ(kFalse, *evaluateOperand(c, kNoOperand, tested));
}

TEST_F(EvalTest, TransmitTimerStartsThenCountsDown) {
  c.header.scanInterval = 1;
  std::uint16_t operand = 0;
  compileExpression(c, "TimeUntilTransmit(3)", operand, kModePlain, true);
  EXPECT_EQ(kTrue, *evaluateOperand(c, operand, 0));
  EXPECT_EQ(60, c.eval.transmitTimers[2].interval);
  EXPECT_EQ(1, c.eval.transmitTimers[2].flags);
  EXPECT_EQ(0.0f, *evaluateOperand(c, operand, 0));
  c.eval.transmitTimers[2].nextSecond = 60;
  EXPECT_EQ(60.0f, *evaluateOperand(c, operand, 0));
  EXPECT_EQ(0, c.eval.transmitTimers[2].nextSecond);
  c.eval.transmitTimers[2].nextSecond = -70;
  EXPECT_EQ(kTrue, *evaluateOperand(c, operand, 0));
  EXPECT_EQ(0, c.eval.transmitTimers[2].nextSecond);
  // A refused argument keeps its block but touches no timer.
  compileExpression(c, "TimeUntilTransmit(40)", operand, kModePlain, true);
  EXPECT_EQ(0.0f, *evaluateOperand(c, operand, 0));
}

TEST_F(EvalTest, TableFieldResolvesOnceAndShrinks) {
  std::uint16_t operand = 0;
  compileExpression(c, "T.F(2,3)", operand, kModePlain, true);
  ASSERT_EQ(0x8000, operand);
  const int errorsBefore = c.diag.errorCount;
  EXPECT_EQ(2.0f, *evaluateOperand(c, operand, 0));
  const DeferredExpression& entry = c.exprArea.deferred[0];
  ASSERT_EQ(12u, entry.code.size());
  EXPECT_EQ((Words{35, 0, 0x4000, 35, 0, 0x4040, 57}),
            Words(entry.code.begin(), entry.code.begin() + 7));
  EXPECT_EQ((Words{39, 0, 0}), Words(entry.code.begin() + 9, entry.code.end()));
  EXPECT_EQ(24, entry.lengthBytes);
  const int errorsAfterFirst = c.diag.errorCount;
  EXPECT_LE(errorsBefore, errorsAfterFirst);
  EXPECT_EQ(2.0f, *evaluateOperand(c, operand, 0));
  EXPECT_EQ(errorsAfterFirst, c.diag.errorCount);
}

}  // namespace
}  // namespace vk6
