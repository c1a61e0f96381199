#include <gtest/gtest.h>

#include <string>

#include "format/byte_io.h"
#include "format/image_format.h"
#include "test_support.h"

namespace vk6 {
namespace {

// T is location 0, A six from 1. An operand written with "()", as M(),
// sets the record's per-repetition flag. The scan's statements start at
// line 4.
constexpr char kDeclarations[] = "Public T, A(6), M(2)\r\n";
// Tb.T(1, 1) is an operand resolved only when its record is written.
const std::string kWithTable = std::string(kDeclarations) +
                               "DataTable(Tb, True, 10)\r\n  Sample(1, T)\r\nEndTable\r\n";

test::Compiled compileLine(const std::string& statement) {
  return test::compileStatement(kDeclarations, statement);
}

TEST(VoltSe, ChannelRepsAndFlags) {
  const test::StatementCase cases[] = {
      {"VoltSe(A, 2, 3, M(), 0)", "",
       {0x05, 0x00, 0x16, 0x00, 0x00, 0x02, 0x00, 0x00, 0x08, 0x00, 0x04, 0x00, 0x02, 0x00,
        0x00, 0x01}},
      {"VoltSe(T, 1, 3, 1.0, 0)", "",
       {0x05, 0x00, 0x16, 0x00, 0x00, 0x02, 0x00, 0x00, 0x0A, 0x00, 0x04, 0x00, 0x01, 0x00,
        0x00, 0x00}},
      {"VoltSe(A, 1, 6, 1.0, 0)", "",
       {0x05, 0x00, 0x16, 0x00, 0x00, 0x05, 0x00, 0x00, 0x0A, 0x00, 0x04, 0x00, 0x01, 0x00,
        0x00, 0x00}},
      {"VoltSe(A, 2, 6, 1.0, 0)",
       "line 4: Reps 2 plus channel 6 is outside of measurement boundry", {}},
      {"VoltSe(A, 6, 1, 1.0, 0)", "",
       {0x05, 0x00, 0x16, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x04, 0x00, 0x06, 0x00,
        0x00, 0x00}},
      {"VoltSe(A, 7, 1, 1.0, 0)",
       "line 4: Reps too large for Destination variable.\r\n"
       "line 4: Reps 7 plus channel 1 is outside of measurement boundry", {}},
      {"VoltSe(A, 1, 0, 1.0, 0)", "line 4: Invalid Channel 0, must be 1..6.", {}},
      {"VoltSe(A, 1, 7, 1.0, 0)",
       "line 4: Invalid Channel 7, must be 1..6.\r\n"
       "line 4: Reps 1 plus channel 7 is outside of measurement boundry", {}},
  };
  test::expectStatements(kDeclarations, cases);

  // The operands point into the expression area: T, then 1.0 and 0.
  const test::Compiled c = compileLine("VoltSe(T, 1, 3, 1.0, 0)");
  ASSERT_LE(kProgramHeaderSize, c.image.size());
  const auto area = c.image.begin() + test::imageWord(c.image, program_header::kAreaOffset);
  EXPECT_EQ(Bytes({0x31, 0x00, 0x00, 0x01,                 // T
                   0x28, 0x00, 0x00, 0x00, 0x80, 0x3F,     // 1.0
                   0x28, 0x00, 0x00, 0x00, 0x00, 0x00}),   // 0
            Bytes(area, area + 16));
}

TEST(ExDelSE, ExcitationDelayAndSpan) {
  const test::StatementCase cases[] = {
      {"ExDelSE(T, 1, 2, 2, 5000, 1000, 1.0, M())", "",
       {0x06, 0x00, 0x1A, 0x00, 0x00, 0x01, 0x05, 0x01, 0x00, 0x00, 0x0A, 0x00, 0x04, 0x00,
        0x58, 0x02, 0x01, 0x00, 0x01, 0x00}},
      {"ExDelSE(A, 1, 1, 1, 2500, 65000, 1.0, 0)", "",
       {0x06, 0x00, 0x1A, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x04, 0x00,
        0x58, 0xFC, 0x01, 0x00, 0x00, 0x00}},
      {"ExDelSE(A, 1, 1, 2, 5000, 500, 1.0, 0)", "",
       {0x06, 0x00, 0x1A, 0x00, 0x00, 0x00, 0x05, 0x01, 0x00, 0x00, 0x0A, 0x00, 0x04, 0x00,
        0x64, 0x00, 0x01, 0x00, 0x00, 0x00}},
      {"ExDelSE(A, 1, 1, 1, 2500, 499, 1.0, 0)",
       "line 4: Delay 499 too small, must be at least 500uSec.", {}},
      {"ExDelSE(A, 1, 1, 1, 2500, 65001, 1.0, 0)",
       "line 4: Delay 65001 too large, must be less than 65000uSec.", {}},
      // The small-delay check sees the 16-bit field: 65636 holds 100.
      {"ExDelSE(A, 1, 1, 1, 2500, 65636, 1.0, 0)",
       "line 4: Delay 65636 too small, must be at least 500uSec.\r\n"
       "line 4: Delay 65636 too large, must be less than 65000uSec.", {}},
      {"ExDelSE(A, 1, 1, 1, 3000, 1000, 1.0, 0)",
       "line 4: Invalid Excitation voltage 3000, must be 2500 or 5000.", {}},
      {"ExDelSE(A, 1, 1, 3, 2500, 1000, 1.0, 0)",
       "line 4: Invalid Excitation channel 3, must be 1 or 2.", {}},
      // Only the low byte of the reps counts: 257 measures one channel.
      {"ExDelSE(A, 257, 6, 1, 2500, 1000, 1.0, 0)", "",
       {0x06, 0x00, 0x1A, 0x00, 0x00, 0x05, 0x02, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x04, 0x00,
        0x58, 0x02, 0x01, 0x00, 0x00, 0x00}},
      {"ExDelSE(A, 2, 6, 1, 2500, 1000, 1.0, 0)",
       "line 4: Reps 2 plus channel 6 is outside of measurement boundry", {}},
      // Fixed excitation code and delay field, no span check.
      {"ThermPrb(A, 3, 6, 1, M(), 0)", "",
       {0x06, 0x00, 0x1A, 0x00, 0x00, 0x05, 0x02, 0x00, 0x00, 0x00, 0x08, 0x00, 0x04, 0x00,
        0x70, 0x17, 0x03, 0x01, 0x00, 0x01}},
      {"ThermPrb(A, 7, 7, 0, 0, 0)",
       "line 4: Reps too large for Destination variable.\r\n"
       "line 4: Invalid Channel 7, must be 1..6.\r\n"
       "line 4: Invalid Excitation channel 0, must be 1 or 2.", {}},
  };
  test::expectStatements(kDeclarations, cases);
}

TEST(ExciteV, LevelCodes) {
  const test::StatementCase cases[] = {
      {"ExciteV(1, 0)", "", {0x0C, 0x00, 0x0C, 0x00, 0x00, 0x00}},
      {"ExciteV(2, 5000)", "", {0x0C, 0x00, 0x0C, 0x00, 0x05, 0x01}},
      {"ExciteV(1, 2500)", "", {0x0C, 0x00, 0x0C, 0x00, 0x02, 0x00}},
      {"ExciteV(3, 7)", "line 4: Incorrect Excitation channel 3 must be 1 or 2.", {}},
      {"ExciteV(2, 1000)",
       "line 4: Incorrect excitation voltage level 1000 must be 0, 2500 or 5000.", {}},
  };
  test::expectStatements(kDeclarations, cases);
}

// Taken as parsed, a parameter loses its "()" flag, and only a deferred
// one is resolved, into a block of its own (Battery's, at 0x12).
TEST(SingleParameter, AsParsedResolvesOnlyDeferredWords) {
  const test::Compiled c = test::compileInScan(
      kWithTable, "PanelTemp(A)\r\nBattery(Tb.T(1, 1))\r\nSwBatt(M())\r\nScanLEDOff\r\n"
                  "CallTable Tb\r\n");
  EXPECT_EQ("", c.errors);
  EXPECT_EQ(Bytes({0x07, 0x00, 0x24, 0x00, 0x06, 0x00,   // PanelTemp
                   0x08, 0x00, 0x2A, 0x00, 0x12, 0x00,   // Battery
                   0x0B, 0x00, 0x30, 0x00, 0x0A, 0x00,   // SwBatt
                   0x0D, 0x00, 0x34, 0x00,               // ScanLEDOff
                   0x01, 0x00, 0x00, 0x00, 0x3A, 0x00}), // CallTable
            test::scanBody(c));
}

TEST(Pulsecount, ChannelAndConfigTable) {
  const struct {
    const char* statement;
    const char* errors;
    std::uint16_t pulseConfig;  // of the header; 0 without an image
  } cases[] = {
      {"PulseCount(T, 0, 0, 0, 1.0, 0)", "", 0x0003},
      {"PulseCount(T, 0, 1, 0, 1.0, 0)", "", 0x0003},
      {"PulseCount(T, 0, 2, 0, 1.0, 0)",
       "line 4: Channel 0 cannot be used for Switch Closure.", 0},
      {"PulseCount(T, 1, 0, 0, 1.0, 0)", "", 0x000C},
      {"PulseCount(T, 1, 1, 0, 1.0, 0)",
       "line 4: Channel 1 cannot be used for Low Level Pulse.", 0},
      {"PulseCount(T, 1, 2, 1, 1.0, 0)", "", 0x0004},
      {"PulseCount(T, 2, 0, 0, 1.0, 0)", "", 0x0030},
      {"PulseCount(T, 2, 2, 0, 1.0, 0)", "", 0x0010},
      {"PulseCount(T, 6, 0, 0, 1.0, 0)", "", 0x00C0},
      {"PulseCount(T, 6, 2, 0, 1.0, 0)", "", 0x0040},
      {"PulseCount(T, 3, 0, 0, 1.0, 0)", "line 4: Invalid Channel 3, must be 0..2, or 6.", 0},
      {"PulseCount(T, -1, 0, 0, 1.0, 0)", "line 4: Invalid Channel -1, must be 0..2, or 6.",
       0},
      {"PulseCount(T, 6, 3, 0, 1.0, 0)",
       "line 4: Invalid PConfig 3, PConfig must be 0,1 or 2.\r\n"
       "line 4: Channel 6 cannot be used for Low Level Pulse.", 0},
      {"PulseCount(T, 0, -1, 0, 1.0, 0)",
       "line 4: Invalid PConfig -1, PConfig must be 0,1 or 2.\r\n"
       "line 4: Channel 0 cannot be used for Switch Closure.", 0},
      {"PulseCount(T, 0, 0, 2, 1.0, 0)", "line 4: Invalid POption 2, POption must be 0 or 1.",
       0},
  };
  for (const auto& t : cases) {
    const test::Compiled c = compileLine(t.statement);
    EXPECT_EQ(t.errors, c.errors) << t.statement;
    EXPECT_EQ(t.pulseConfig, test::imageWord(c.image, program_header::kPulseConfig)) << t.statement;
  }
}

TEST(Pulsecount, LocationsLoopsAndInterruptSequence) {
  // Each statement takes a location from the pool, 253 then 252; the
  // second's destination is resolved when its record is written.
  const test::Compiled c = test::compileInScan(
      kWithTable, "PulseCount(T, 1, 2, 1, 1.0, M())\r\n"
                  "PulseCount(Tb.T(1, 1), 6, 0, 0, 1.0, M())\r\nCallTable Tb\r\n");
  EXPECT_EQ("", c.errors);
  EXPECT_EQ(Bytes({0x0A, 0x00, 0x2C, 0x00, 0x01, 0x21, 0x06, 0x00, 0x10, 0x00, 0x0A, 0x00,
                   0xFD, 0x00,
                   0x0A, 0x00, 0x3A, 0x00, 0x06, 0x00, 0x22, 0x00, 0x1A, 0x00, 0x14, 0x00,
                   0xFC, 0x00,
                   0x01, 0x00, 0x00, 0x00, 0x40, 0x00}),  // CallTable
            test::scanBody(c));
  EXPECT_EQ(0x00C4, test::imageWord(c.image, program_header::kPulseConfig));
  EXPECT_EQ(252, test::imageWord(c.image, program_header::kLocationPool));

  const test::Compiled inIf = test::compileInScan(
      "Public T\r\n", "If T > 1 Then\r\nPulseCount(T, 1, 0, 0, 1, 0)\r\nEndIf\r\n");
  EXPECT_EQ("", inIf.errors);
  EXPECT_EQ("Warning: PulseCount will not work within WHILE or FOR loop.", inIf.warnings);

  // A bad option draws no loop warning.
  const test::Reported interrupt = test::compileText(
      "Public T\r\nBeginProg\r\nScan(1, Sec)\r\nNextScan\r\nInterruptSequence\r\n"
      "If T > 1 Then\r\nPulseCount(T, 0, 0, 1, 1.0, 0)\r\nPulseCount(T, 0, 0, 2, 1.0, 0)\r\n"
      "EndIf\r\nEndProg\r\n");
  EXPECT_EQ("line 7: Instruction can not be used within the InterruptSequence section.\r\n"
            "line 8: Instruction can not be used within the InterruptSequence section.\r\n"
            "line 8: Invalid POption 2, POption must be 0 or 1.",
            interrupt.errors);
  EXPECT_EQ("Warning: PulseCount will not work within WHILE or FOR loop.", interrupt.warnings);
}

TEST(PeriodAvg, ChannelCyclesTimeoutAndRange) {
  const test::StatementCase cases[] = {
      // The option byte is kept unchecked.
      {"PeriodAvg(T, 2, 511, 100, 250, 5, 1.0, 0)", "",
       {0x09, 0x00, 0x18, 0x00, 0x00, 0x00, 0x04, 0x00, 0x0A, 0x00, 0x64, 0x00, 0xFA, 0x00,
        0x00, 0x10, 0x02, 0xFF}},
      {"PeriodAvg(T, 4, 0, 65000, 1, 1, 1.0, 0)", "",
       {0x09, 0x00, 0x18, 0x00, 0x00, 0x00, 0x04, 0x00, 0x0A, 0x00, 0xE8, 0xFD, 0x01, 0x00,
        0x00, 0x40, 0x04, 0x00}},
      {"PeriodAvg(T, 1, 0, 1, 1, 6, 1.0, 0)", "",
       {0x09, 0x00, 0x18, 0x00, 0x00, 0x00, 0x04, 0x00, 0x0A, 0x00, 0x01, 0x00, 0x01, 0x00,
        0x00, 0x20, 0x01, 0x00}},
      {"PeriodAvg(T, 5, 0, 1, 1, 7, 1.0, 0)", "line 4: Invalid channel 5, must be 1..4.", {}},
      {"PeriodAvg(T, 0, 0, 0, 0, 2, 1.0, 0)",
       "line 4: Invalid channel 0, must be 1..4.\r\n"
       "line 4: Must have at least one cycle.\r\n"
       "line 4: Time out must be greater than zero.", {}},
      // Checked in the width the record keeps: 260 is channel 4, 65536
      // cycles are none.
      {"PeriodAvg(T, 260, 0, 65001, 1, 3, 1.0, 0)",
       "line 4: Max number of cycles for PeriodAvg is 65000.", {}},
      {"PeriodAvg(T, 1, 0, 65536, 1, 4, 1.0, 0)", "line 4: Must have at least one cycle.", {}},
      // The sound forms of the three above: range codes 7, 2, 3 and 4.
      {"PeriodAvg(T, 4, 0, 1, 1, 7, 1.0, 0)", "",
       {0x09, 0x00, 0x18, 0x00, 0x00, 0x00, 0x04, 0x00, 0x0A, 0x00, 0x01, 0x00, 0x01, 0x00,
        0x00, 0x00, 0x04, 0x00}},
      {"PeriodAvg(T, 1, 0, 1, 1, 2, 1.0, 0)", "",
       {0x09, 0x00, 0x18, 0x00, 0x00, 0x00, 0x04, 0x00, 0x0A, 0x00, 0x01, 0x00, 0x01, 0x00,
        0x00, 0x80, 0x01, 0x00}},
      {"PeriodAvg(T, 260, 0, 65000, 1, 3, 1.0, 0)", "",
       {0x09, 0x00, 0x18, 0x00, 0x00, 0x00, 0x04, 0x00, 0x0A, 0x00, 0xE8, 0xFD, 0x01, 0x00,
        0x00, 0x04, 0x04, 0x00}},
      {"PeriodAvg(T, 1, 0, 1, 1, 4, 1.0, 0)", "",
       {0x09, 0x00, 0x18, 0x00, 0x00, 0x00, 0x04, 0x00, 0x0A, 0x00, 0x01, 0x00, 0x01, 0x00,
        0x00, 0x08, 0x01, 0x00}},
  };
  test::expectStatements(kDeclarations, cases);
  EXPECT_EQ(0x8000,
            test::imageWord(compileLine(cases[0].statement).image, program_header::kPulseConfig));
}

}  // namespace
}  // namespace vk6
