// Whole programs through every pass.
#include <gtest/gtest.h>

#include "test_support.h"

namespace vk6 {
namespace {

using test::compileText;

TEST(Program, DeclarationsAndAssignmentsCompileCleanly) {
  const test::Reported r = compileText(
      "' declarations only, then assignments\r\n"
      "Public Temp(3), Count\r\n"
      "Dim Scratch\r\n"
      "Const Offset = 2.5\r\n"
      "Const Twice = Offset * 2\r\n"
      "Alias Temp(2) = AirT\r\n"
      "Units AirT = Deg C\r\n"
      "BeginProg\r\n"
      "  Scan(1, sec)\r\n"
      "    AirT = Temp(1) + Offset : Count = Count + 1\r\n"
      "    Scratch = IIF(Count > Twice, 0, Count) ^ 2\r\n"
      "  NextScan\r\n"
      "EndProg\r\n");
  EXPECT_EQ("", r.errors);
  EXPECT_EQ("", r.warnings);
}

TEST(Program, EachBadStatementGetsItsMessage) {
  const test::Reported r = compileText(
      "Public X\r\n"
      "Alias Y = Z\r\n"
      "Const C = X\r\n"
      "BeginProg\r\n"
      "  Scan(1, sec)\r\n"
      "    X = (1 + 2\r\n"
      "    X = Nope + 1\r\n"
      "  NextScan\r\n"
      "EndProg\r\n");
  EXPECT_EQ(
      "line 2: Y not yet declared so cannot be aliased.\r\n"
      "line 3: Variable used in CONST expression.\r\n"
      "line 6: No Matching, or out of place ) in expression:     X = (1 + 2.\r\n"
      "line 7: undeclared variable Nope",
      r.errors);
}

}  // namespace
}  // namespace vk6
