#include <gtest/gtest.h>

#include "io_test_support.h"
#include "test_support.h"
#include "vk6/passes.h"

namespace vk6 {
namespace {

using test::Record;

// T is one location at 0, A six at 1; their references sit at offsets 0
// and 4 of the expression area.
struct Program {
  Compilation c;
  std::uint16_t t, a;
  Program() {
    test::startTest(c);
    declareVariable(c, 1, "T", kDeclarePublic);
    declareVariable(c, 6, "A", kDeclarePublic);
    t = test::variableRef(c, "T");
    a = test::variableRef(c, "A");
  }
  std::uint16_t wordAt(std::size_t at) const { return loadU16(c.code.bytes.data() + at); }
};

constexpr std::uint32_t kPerRep = 0x40000000u;  // parameter written with "()"

TEST(VoltSe, RecordBytes) {
  Program p;
  Record r(kVoltSe);
  r.slot(p.a).slot(2).slot(3).slot(kPerRep | 0x0123).slot(0x0456);
  EXPECT_EQ(HandlerResult::kCompiled, test::run(p.c, r));
  EXPECT_EQ(Bytes({0x05, 0x00, 0x10, 0x00, 0x00, 0x02, 0x04, 0x00, 0x56, 0x04, 0x23,
                   0x01, 0x02, 0x00, 0x00, 0x01}),
            p.c.code.bytes);
  EXPECT_EQ("", p.c.diag.errorText);
}

// The whole road of one statement inside the scan: parsed into a record
// of five slots, compiled into a 16-byte record behind the 6-byte Scan
// record, pointing into the expression area. A Pulsecount in an If block
// draws the loop warning.
TEST(VoltSe, FromSourceToRecord) {
  Compilation c;
  c.options.build = test::modelVK617Q();
  test::loadText(c, "Public T\r\n"
                    "BeginProg\r\n"
                    "Scan(1, Sec)\r\n"
                    "VoltSe(T, 1, 3, 1.0, 0)\r\n"
                    "If T > 1 Then\r\n"
                    "PulseCount(T, 1, 0, 0, 1, 0)\r\n"
                    "EndIf\r\n"
                    "NextScan\r\n"
                    "EndProg\r\n");
  runCompile(c);
  EXPECT_EQ("", c.diag.errorText);
  EXPECT_EQ("Warning: PulseCount will not work within WHILE or FOR loop.", c.diag.warningText);
  const Statement st = c.statements.record(6, 3);
  EXPECT_EQ(std::vector<std::uint32_t>({0x0040180E, 0x0000, 1, 3, 0x0004, 0x000A}),
            std::vector<std::uint32_t>(st.words, st.words + 6));
  EXPECT_EQ(Bytes({0x31, 0x00, 0x00, 0x01,                 // T
                   0x28, 0x00, 0x00, 0x00, 0x80, 0x3F,     // 1.0
                   0x28, 0x00, 0x00, 0x00, 0x00, 0x00}),   // 0
            Bytes(c.exprArea.bytes.begin(), c.exprArea.bytes.begin() + 16));
  ASSERT_LE(22u, c.code.bytes.size());
  EXPECT_EQ(Bytes({0x05, 0x00, 0x16, 0x00, 0x00, 0x02, 0x00, 0x00, 0x0A, 0x00, 0x04, 0x00,
                   0x01, 0x00, 0x00, 0x00}),
            Bytes(c.code.bytes.begin() + 6, c.code.bytes.begin() + 22));
}

TEST(VoltSe, ChannelAndRepsBoundaries) {
  const struct {
    std::int32_t reps, channel;
    const char* errors;
  } cases[] = {
      {1, 6, ""},
      {2, 6, "line 1: Reps 2 plus channel 6 is outside of measurement boundry"},
      {6, 1, ""},
      {7, 1,
       "line 1: Reps too large for Destination variable.\r\n"
       "line 1: Reps 7 plus channel 1 is outside of measurement boundry"},
      {1, 0, "line 1: Invalid Channel 0, must be 1..6."},
      {1, 7,
       "line 1: Invalid Channel 7, must be 1..6.\r\n"
       "line 1: Reps 1 plus channel 7 is outside of measurement boundry"},
  };
  for (const auto& t : cases) {
    Program p;
    Record r(kVoltSe);
    r.slot(p.a).slot(static_cast<std::uint32_t>(t.reps)).slot(static_cast<std::uint32_t>(t.channel)).slot(0).slot(0);
    test::run(p.c, r);
    EXPECT_EQ(t.errors, p.c.diag.errorText) << t.reps << " " << t.channel;
    EXPECT_EQ(16u, p.c.code.bytes.size());
  }
}

TEST(ExDelSE, RecordBytes) {
  Program p;
  Record r(kExDelSE);
  r.slot(p.t).slot(1).slot(2).slot(2).slot(5000).slot(1000).slot(0x0123).slot(kPerRep | 0x0456);
  test::run(p.c, r);
  EXPECT_EQ(Bytes({0x06, 0x00, 0x14, 0x00, 0x00, 0x01, 0x05, 0x01, 0x00, 0x00, 0x56, 0x04,
                   0x23, 0x01, 0x58, 0x02, 0x01, 0x00, 0x01, 0x00}),
            p.c.code.bytes);
}

TEST(ExDelSE, ExcitationAndDelay) {
  const struct {
    std::int32_t reps, channel, excitation, millivolts, delay;
    const char* errors;
    std::uint16_t excitationWord, delayWord;
  } cases[] = {
      {1, 1, 1, 2500, 65000, "", 0x0002, 0xFC58},
      {1, 1, 2, 5000, 500, "", 0x0105, 0x0064},
      {1, 1, 1, 2500, 499, "line 1: Delay 499 too small, must be at least 500uSec.", 0x0002, 0x0063},
      {1, 1, 1, 2500, 65001, "line 1: Delay 65001 too large, must be less than 65000uSec.",
       0x0002, 0xFC59},
      {1, 1, 1, 2500, 65636,
       "line 1: Delay 65636 too small, must be at least 500uSec.\r\n"
       "line 1: Delay 65636 too large, must be less than 65000uSec.",
       0x0002, 0xFED4},
      {1, 1, 1, 3000, 1000, "line 1: Invalid Excitation voltage 3000, must be 2500 or 5000.",
       0x0005, 0x0258},
      {1, 1, 3, 2500, 1000, "line 1: Invalid Excitation channel 3, must be 1 or 2.", 0x0202,
       0x0258},
      // Only the low byte of the reps counts: 257 measures one channel.
      {257, 6, 1, 2500, 1000, "", 0x0002, 0x0258},
      {2, 6, 1, 2500, 1000, "line 1: Reps 2 plus channel 6 is outside of measurement boundry",
       0x0002, 0x0258},
  };
  for (const auto& t : cases) {
    Program p;
    Record r(kExDelSE);
    r.slot(p.a).slot(static_cast<std::uint32_t>(t.reps)).slot(static_cast<std::uint32_t>(t.channel))
        .slot(static_cast<std::uint32_t>(t.excitation)).slot(static_cast<std::uint32_t>(t.millivolts))
        .slot(static_cast<std::uint32_t>(t.delay)).slot(0).slot(0);
    test::run(p.c, r);
    EXPECT_EQ(t.errors, p.c.diag.errorText) << t.delay;
    EXPECT_EQ(t.excitationWord, p.wordAt(6)) << t.delay;
    EXPECT_EQ(t.delayWord, p.wordAt(14)) << t.delay;
  }
}

TEST(ThermPrb, FixedExcitationAndNoSpanCheck) {
  Program p;
  Record ok(kThermPrb);
  ok.slot(p.a).slot(3).slot(6).slot(1).slot(kPerRep | 0x0123).slot(0x0456);
  test::run(p.c, ok);
  EXPECT_EQ(Bytes({0x06, 0x00, 0x14, 0x00, 0x00, 0x05, 0x02, 0x00, 0x04, 0x00, 0x56, 0x04,
                   0x23, 0x01, 0x70, 0x17, 0x03, 0x01, 0x00, 0x01}),
            p.c.code.bytes);
  EXPECT_EQ("", p.c.diag.errorText);
  Record bad(kThermPrb);
  bad.slot(p.a).slot(7).slot(7).slot(0).slot(0).slot(0);
  test::run(p.c, bad);
  EXPECT_EQ("line 1: Reps too large for Destination variable.\r\n"
            "line 1: Invalid Channel 7, must be 1..6.\r\n"
            "line 1: Invalid Excitation channel 0, must be 1 or 2.",
            p.c.diag.errorText);
}

TEST(ExciteV, LevelCodes) {
  const struct {
    std::int32_t channel, millivolts;
    const char* errors;
    std::uint16_t word;
  } cases[] = {
      {1, 0, "", 0x0000},
      {2, 5000, "", 0x0105},
      {1, 2500, "", 0x0002},
      {3, 7, "line 1: Incorrect Excitation channel 3 must be 1 or 2.", 0x0200},
      {2, 1000, "line 1: Incorrect excitation voltage level 1000 must be 0, 2500 or 5000.", 0x0100},
  };
  for (const auto& t : cases) {
    Program p;
    Record r(kExciteV);
    r.slot(static_cast<std::uint32_t>(t.channel)).slot(static_cast<std::uint32_t>(t.millivolts));
    test::run(p.c, r);
    EXPECT_EQ(t.errors, p.c.diag.errorText) << t.millivolts;
    EXPECT_EQ(Bytes({0x0C, 0x00, 0x06, 0x00, static_cast<std::uint8_t>(t.word),
                     static_cast<std::uint8_t>(t.word >> 8)}),
              p.c.code.bytes);
  }
}

TEST(SingleParameter, AsParsedResolvesOnlyDeferredWords) {
  Program p;
  Record panel(kPanelTemp), battery(kBattery), swBatt(kSwBatt), led(kScanLEDOff);
  panel.slot(0x0010);
  battery.slot(test::deferredOperand(p.c));
  swBatt.slot(kPerRep | 0x0020);
  for (Record* r : {&panel, &battery, &swBatt, &led}) test::run(p.c, *r);
  EXPECT_EQ(Bytes({0x07, 0x00, 0x06, 0x00, 0x10, 0x00,   // PanelTemp
                   0x08, 0x00, 0x0C, 0x00, 0x08, 0x00,   // Battery: block at 8
                   0x0B, 0x00, 0x12, 0x00, 0x20, 0x00,   // SwBatt
                   0x0D, 0x00, 0x16, 0x00}),             // ScanLEDOff
            p.c.code.bytes);
  EXPECT_EQ(16u, p.c.exprArea.bytes.size());
}

TEST(Pulsecount, ChannelAndConfigTable) {
  const struct {
    std::int32_t channel, config, option;
    const char* errors;
    std::uint16_t pulseConfig;
  } cases[] = {
      {0, 0, 0, "", 0x0003},
      {0, 1, 0, "", 0x0003},
      {0, 2, 0, "line 1: Channel 0 cannot be used for Switch Closure.", 0},
      {1, 0, 0, "", 0x000C},
      {1, 1, 0, "line 1: Channel 1 cannot be used for Low Level Pulse.", 0},
      {1, 2, 1, "", 0x0004},
      {2, 0, 0, "", 0x0030},
      {2, 2, 0, "", 0x0010},
      {6, 0, 0, "", 0x00C0},
      {6, 2, 0, "", 0x0040},
      {3, 0, 0, "line 1: Invalid Channel 3, must be 0..2, or 6.", 0},
      {-1, 0, 0, "line 1: Invalid Channel -1, must be 0..2, or 6.", 0},
      {6, 3, 0,
       "line 1: Invalid PConfig 3, PConfig must be 0,1 or 2.\r\n"
       "line 1: Channel 6 cannot be used for Low Level Pulse.", 0},
      {0, -1, 0,
       "line 1: Invalid PConfig -1, PConfig must be 0,1 or 2.\r\n"
       "line 1: Channel 0 cannot be used for Switch Closure.", 0},
      {0, 0, 2, "line 1: Invalid POption 2, POption must be 0 or 1.", 0x0003},
  };
  for (const auto& t : cases) {
    Program p;
    Record r(kPulsecount);
    r.slot(p.t).slot(static_cast<std::uint32_t>(t.channel)).slot(static_cast<std::uint32_t>(t.config))
        .slot(static_cast<std::uint32_t>(t.option)).slot(0).slot(0);
    test::run(p.c, r);
    EXPECT_EQ(t.errors, p.c.diag.errorText) << t.channel << " " << t.config;
    EXPECT_EQ(t.pulseConfig, p.c.header.pulseConfig) << t.channel << " " << t.config;
  }
}

TEST(Pulsecount, EachStatementTakesALocation) {
  Program p;
  Record first(kPulsecount), second(kPulsecount);
  first.slot(p.t).slot(1).slot(2).slot(1).slot(0x0123).slot(0x0456);
  second.slot(test::deferredOperand(p.c)).slot(6).slot(0).slot(0).slot(0x0123).slot(0x0456);
  test::run(p.c, first);
  test::run(p.c, second);
  EXPECT_EQ(Bytes({0x0A, 0x00, 0x0E, 0x00, 0x01, 0x21, 0x00, 0x00, 0x56, 0x04, 0x23, 0x01,
                   0xFD, 0x00,
                   0x0A, 0x00, 0x1C, 0x00, 0x06, 0x00, 0x08, 0x00, 0x56, 0x04, 0x23, 0x01,
                   0xFC, 0x00}),
            p.c.code.bytes);
  EXPECT_EQ(0x00C4, p.c.header.pulseConfig);
  EXPECT_EQ(252, p.c.header.locationPool);
}

TEST(Pulsecount, InterruptSequenceAndOpenBlocks) {
  Program p;
  p.c.program.interrupt = true;
  p.c.program.openBlocks = 1;
  Record ok(kPulsecount), badOption(kPulsecount);
  ok.slot(p.t).slot(0).slot(0).slot(1).slot(0).slot(0);
  badOption.slot(p.t).slot(0).slot(0).slot(2).slot(0).slot(0);
  test::run(p.c, ok);
  test::run(p.c, badOption);
  EXPECT_EQ("line 1: Instruction can not be used within the InterruptSequence section.\r\n"
            "line 1: Instruction can not be used within the InterruptSequence section.\r\n"
            "line 1: Invalid POption 2, POption must be 0 or 1.",
            p.c.diag.errorText);
  EXPECT_EQ("Warning: PulseCount will not work within WHILE or FOR loop.", p.c.diag.warningText);
  EXPECT_EQ(28u, p.c.code.bytes.size());
}

TEST(PeriodAvg, RecordBytes) {
  Program p;
  Record r(kPeriodAvg);
  r.slot(p.t).slot(2).slot(0x1FF).slot(100).slot(250).slot(5).slot(0x0123).slot(0x0456);
  test::run(p.c, r);
  EXPECT_EQ(Bytes({0x09, 0x00, 0x12, 0x00, 0x00, 0x00, 0x23, 0x01, 0x56, 0x04, 0x64, 0x00,
                   0xFA, 0x00, 0x00, 0x10, 0x02, 0xFF}),
            p.c.code.bytes);
  EXPECT_EQ(0x8000, p.c.header.pulseConfig);
}

TEST(PeriodAvg, ChannelCyclesTimeoutAndRange) {
  const struct {
    std::int32_t channel, cycles, timeout, range;
    const char* errors;
    std::uint16_t rangeWord;
  } cases[] = {
      {4, 65000, 1, 1, "", 0x4000},
      {1, 1, 1, 6, "", 0x2000},
      {5, 1, 1, 7, "line 1: Invalid channel 5, must be 1..4.", 0},
      {0, 0, 0, 2,
       "line 1: Invalid channel 0, must be 1..4.\r\n"
       "line 1: Must have at least one cycle.\r\n"
       "line 1: Time out must be greater than zero.",
       0x8000},
      // Checked in the width the record keeps: 260 is channel 4, 65536
      // cycles are none.
      {260, 65001, 1, 3, "line 1: Max number of cycles for PeriodAvg is 65000.", 0x0400},
      {1, 65536, 1, 4, "line 1: Must have at least one cycle.", 0x0800},
  };
  for (const auto& t : cases) {
    Program p;
    Record r(kPeriodAvg);
    r.slot(p.t).slot(static_cast<std::uint32_t>(t.channel)).slot(0)
        .slot(static_cast<std::uint32_t>(t.cycles)).slot(static_cast<std::uint32_t>(t.timeout))
        .slot(static_cast<std::uint32_t>(t.range)).slot(0).slot(0);
    test::run(p.c, r);
    EXPECT_EQ(t.errors, p.c.diag.errorText) << t.channel << " " << t.cycles;
    EXPECT_EQ(t.rangeWord, p.wordAt(14)) << t.range;
  }
}

}  // namespace
}  // namespace vk6
