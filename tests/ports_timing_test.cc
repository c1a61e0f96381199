#include <gtest/gtest.h>

#include "io_test_support.h"
#include "format/operand_word.h"

namespace vk6 {
namespace {

using test::Record;

struct Case {
  InstructionIndex index;
  std::vector<std::uint32_t> slots;
  const char* errors;
  Bytes record;
};

// T is the variable at location 0; its reference is operand 0.
void runCase(const Case& t) {
  Compilation c;
  test::startTest(c);
  declareVariable(c, 1, "T", kDeclarePublic);
  test::variableRef(c, "T");
  Record r(t.index);
  for (std::uint32_t s : t.slots) r.slot(s);
  EXPECT_EQ(HandlerResult::kCompiled, test::run(c, r));
  EXPECT_EQ(t.errors, c.diag.errorText) << keywordAt(t.index);
  EXPECT_EQ(t.record, c.code.bytes) << keywordAt(t.index);
}

TEST(Ports, RecordsAndRefusedPorts) {
  const Case cases[] = {
      {kPortGet, {0, 2}, "", {0x14, 0x00, 0x08, 0x00, 0x02, 0x00, 0x00, 0x00}},
      {kPortGet, {0, 3}, "line 1: Incorrect Control Port Channel in GetPort() 3.",
       {0x14, 0x00, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00}},
      {kPortSet, {1, 0x0010}, "", {0x15, 0x00, 0x08, 0x00, 0x10, 0x00, 0x00, 0x40}},
      {kPortSet, {2, 0x0010}, "", {0x15, 0x00, 0x08, 0x00, 0x10, 0x00, 0x00, 0x80}},
      {kPortSet, {3, 0x0010}, "line 1: Incorrect Control Port Channel in SetPort() 3.",
       {0x15, 0x00, 0x08, 0x00, 0x10, 0x00, 0x00, 0x20}},
      {kAnalogPortGet, {0, 1}, "", {0x24, 0x00, 0x08, 0x00, 0x08, 0x00, 0x00, 0x00}},
      {kAnalogPortGet, {0, 6}, "", {0x24, 0x00, 0x08, 0x00, 0x00, 0x01, 0x00, 0x00}},
      {kAnalogPortGet, {0, 0}, "line 1: Incorrect Analog Channel in AnalogPortGet() 0.",
       {0x24, 0x00, 0x08, 0x00, 0x04, 0x00, 0x00, 0x00}},
      {kAnalogPortSet, {1, 0x0010}, "", {0x25, 0x00, 0x08, 0x00, 0x00, 0x01, 0x10, 0x00}},
      {kAnalogPortSet, {6, 0x0010}, "", {0x25, 0x00, 0x08, 0x00, 0x00, 0x20, 0x10, 0x00}},
      {kAnalogPortSet, {7, 0x0010}, "line 1: Incorrect Analog Channel in AnalogPortSet() 7.",
       {0x25, 0x00, 0x08, 0x00, 0x80, 0x00, 0x10, 0x00}},
  };
  for (const Case& t : cases) runCase(t);
}

TEST(Delay, UnitsAndSeconds) {
  const Case cases[] = {
      {kDelay, {100, 2}, "", {0x16, 0x00, 0x08, 0x00, 0x64, 0x00, 0x02, 0x00}},
      {kDelay, {101, 2},
       "line 1: Delay cannot be greater than 100 seconds: value entered=101.",
       {0x16, 0x00, 0x08, 0x00, 0x65, 0x00, 0x02, 0x00}},
      {kDelay, {5000, 1}, "", {0x16, 0x00, 0x08, 0x00, 0x88, 0x13, 0x01, 0x00}},
      {kDelay, {1, 3}, "line 1: Invalid units in Delay function=3.",
       {0x16, 0x00, 0x08, 0x00, 0x01, 0x00, 0x03, 0x00}},
      // Negative units pass; only the 16-bit field bounds shorter units.
      {kDelay, {200, 0xFFFFFFFFu}, "", {0x16, 0x00, 0x08, 0x00, 0xC8, 0x00, 0xFF, 0xFF}},
      {kDelay, {70000, 0}, "", {0x16, 0x00, 0x08, 0x00, 0x70, 0x11, 0x00, 0x00}},
  };
  for (const Case& t : cases) runCase(t);
}

TEST(RealTime, Elements) {
  const Case cases[] = {
      {kRealTime, {0, 8}, "", {0x2D, 0x00, 0x08, 0x00, 0x00, 0x00, 0x08, 0x00}},
      {kRealTime, {0, 9}, "line 1: Invalid element requested from realtime (must be < 9).",
       {0x2D, 0x00, 0x08, 0x00, 0x00, 0x00, 0x09, 0x00}},
      {kRealTime, {0, kAbsentMarker}, "", {0x2D, 0x00, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00}},
  };
  for (const Case& t : cases) runCase(t);
}

// Fields taken as parsed still resolve a deferred expression: each record
// points at the copy of the block appended for it.
TEST(Ports, AsParsedFieldsResolveDeferredExpressions) {
  Compilation c;
  test::startTest(c);
  Record portGet(kPortGet), portSet(kPortSet), analogGet(kAnalogPortGet);
  Record analogSet(kAnalogPortSet), randomize(kRandomize), clock(kClockSet);
  portGet.slot(test::deferredOperand(c)).slot(1);
  portSet.slot(1).slot(test::deferredOperand(c));
  analogGet.slot(test::deferredOperand(c)).slot(1);
  analogSet.slot(1).slot(test::deferredOperand(c));
  randomize.slot(test::deferredOperand(c));
  clock.slot(0x40000010);
  for (Record* r : {&portGet, &portSet, &analogGet, &analogSet, &randomize, &clock})
    test::run(c, *r);
  EXPECT_EQ(Bytes({0x14, 0x00, 0x08, 0x00, 0x01, 0x00, 0x00, 0x00,
                   0x15, 0x00, 0x10, 0x00, 0x08, 0x00, 0x00, 0x40,
                   0x24, 0x00, 0x18, 0x00, 0x08, 0x00, 0x10, 0x00,
                   0x25, 0x00, 0x20, 0x00, 0x00, 0x01, 0x18, 0x00,
                   0x23, 0x00, 0x26, 0x00, 0x20, 0x00,
                   0x2E, 0x00, 0x2C, 0x00, 0x10, 0x00}),
            c.code.bytes);
  EXPECT_EQ(40u, c.exprArea.bytes.size());
}

}  // namespace
}  // namespace vk6
