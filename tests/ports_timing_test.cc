#include <gtest/gtest.h>

#include "test_support.h"

namespace vk6 {
namespace {

// The statements are on line 4; the first operand each compiles is at 0.
constexpr char kDeclarations[] = "Public T, X\r\n";

TEST(Ports, RecordsAndRefusedPorts) {
  const test::StatementCase cases[] = {
      {"PortGet(T, 2)", "", {0x14, 0x00, 0x0E, 0x00, 0x02, 0x00, 0x00, 0x00}},
      {"PortGet(T, 3)", "line 4: Incorrect Control Port Channel in GetPort() 3.", {}},
      {"PortSet(1, X)", "", {0x15, 0x00, 0x0E, 0x00, 0x00, 0x00, 0x00, 0x40}},
      {"PortSet(2, X)", "", {0x15, 0x00, 0x0E, 0x00, 0x00, 0x00, 0x00, 0x80}},
      {"PortSet(3, X)", "line 4: Incorrect Control Port Channel in SetPort() 3.", {}},
      {"AnalogPortGet(T, 1)", "", {0x24, 0x00, 0x0E, 0x00, 0x08, 0x00, 0x00, 0x00}},
      {"AnalogPortGet(T, 6)", "", {0x24, 0x00, 0x0E, 0x00, 0x00, 0x01, 0x00, 0x00}},
      {"AnalogPortGet(T, 0)", "line 4: Incorrect Analog Channel in AnalogPortGet() 0.", {}},
      {"AnalogPortSet(1, X)", "", {0x25, 0x00, 0x0E, 0x00, 0x00, 0x01, 0x00, 0x00}},
      {"AnalogPortSet(6, X)", "", {0x25, 0x00, 0x0E, 0x00, 0x00, 0x20, 0x00, 0x00}},
      {"AnalogPortSet(7, X)", "line 4: Incorrect Analog Channel in AnalogPortSet() 7.", {}},
  };
  test::expectStatements(kDeclarations, cases);
}

TEST(Delay, UnitsAndSeconds) {
  const test::StatementCase cases[] = {
      {"Delay(100, 2)", "", {0x16, 0x00, 0x0E, 0x00, 0x64, 0x00, 0x02, 0x00}},
      {"Delay(101, 2)", "line 4: Delay cannot be greater than 100 seconds: value entered=101.",
       {}},
      {"Delay(5000, 1)", "", {0x16, 0x00, 0x0E, 0x00, 0x88, 0x13, 0x01, 0x00}},
      {"Delay(1, 3)", "line 4: Invalid units in Delay function=3.", {}},
      // Negative units pass; only the 16-bit field bounds shorter units.
      {"Delay(200, -1)", "", {0x16, 0x00, 0x0E, 0x00, 0xC8, 0x00, 0xFF, 0xFF}},
      {"Delay(70000, 0)", "", {0x16, 0x00, 0x0E, 0x00, 0x70, 0x11, 0x00, 0x00}},
  };
  test::expectStatements(kDeclarations, cases);
}

TEST(RealTime, Elements) {
  const test::StatementCase cases[] = {
      {"RealTime(T, 8)", "", {0x2D, 0x00, 0x0E, 0x00, 0x00, 0x00, 0x08, 0x00}},
      {"RealTime(T, 9)", "line 4: Invalid element requested from realtime (must be < 9).", {}},
      {"RealTime(T)", "", {0x2D, 0x00, 0x0E, 0x00, 0x00, 0x00, 0x00, 0x00}},
  };
  test::expectStatements(kDeclarations, cases);
}

// Fields taken as parsed still resolve a table-field operand: each record
// points at the copy of the block appended for it (0x0E, 0x26, ...).
// ClockSet's operand loses its "()" flag.
TEST(Ports, AsParsedFieldsResolveDeferredExpressions) {
  const test::Compiled c = test::compileInScan(
      "Public T, X, M(2)\r\nDataTable(Tb, True, 10)\r\n  Sample(1, T)\r\nEndTable\r\n",
      "PortGet(Tb.T(1, 1), 1)\r\nPortSet(1, Tb.T(1, 1))\r\nAnalogPortGet(Tb.T(1, 1), 1)\r\n"
      "AnalogPortSet(1, Tb.T(1, 1))\r\nRandomize(Tb.T(1, 1))\r\nClockSet(M())\r\n"
      "CallTable Tb\r\n");
  EXPECT_EQ("", c.errors);
  EXPECT_EQ(Bytes({0x14, 0x00, 0x26, 0x00, 0x01, 0x00, 0x0E, 0x00,
                   0x15, 0x00, 0x2E, 0x00, 0x26, 0x00, 0x00, 0x40,
                   0x24, 0x00, 0x36, 0x00, 0x08, 0x00, 0x3E, 0x00,
                   0x25, 0x00, 0x3E, 0x00, 0x00, 0x01, 0x56, 0x00,
                   0x23, 0x00, 0x44, 0x00, 0x6E, 0x00,
                   0x2E, 0x00, 0x4A, 0x00, 0x06, 0x00,
                   0x01, 0x00, 0x00, 0x00, 0x50, 0x00}),  // CallTable
            test::scanBody(c));
}

}  // namespace
}  // namespace vk6
