#include <gtest/gtest.h>

#include "communication_support.h"
#include "instructions/communication.h"
#include "parse/declarations.h"

namespace vk6 {
namespace {

using test::RecordMaker;

HandlerResult compileSpatial(Compilation& c, InstructionIndex index, std::uint32_t dest) {
  RecordMaker m(index);
  m.word(dest).word(4).word(0x0103);
  const Statement st = m.statement();
  switch (index) {
    case kMaxSpa: return handleMaxSpa(c, st);
    case kMinSpa: return handleMinSpa(c, st);
    case kAvgSpa: return handleAvgSpa(c, st);
    default: return handleStdDevSpa(c, st);
  }
}

TEST(Spatial, RecordsAndDestinationSize) {
  const struct {
    InstructionIndex index;
    int destElements;
    std::uint8_t results, code;
    const char* errors;
  } cases[] = {
      {kMaxSpa, 2, 2, 0, ""},
      {kMaxSpa, 1, 2, 0, "line 1: MaxSpa requires a dest array with at least 2 elements."},
      {kMinSpa, 1, 2, 1, "line 1: MinSpa requires a dest array with at least 2 elements."},
      {kAvgSpa, 1, 1, 2, ""},
      {kStdDevSpa, 1, 1, 3, ""},
  };
  for (const auto& t : cases) {
    Compilation c;
    test::startAtLine1(c);
    test::dim(c, "Dest", t.destElements);
    compileSpatial(c, t.index, test::varRef(c, "Dest"));
    EXPECT_EQ(Bytes({0x22, 0x00, 0x10, 0x00, 0x03, 0x01, 0x00, 0x00, 0x00, 0x00,
                     0x04, 0x00, t.results, 0x00, t.code, 0x00}),
              c.code.bytes);
    EXPECT_EQ(t.errors, c.diag.errorText) << keywordAt(t.index);
  }
}

TEST(Spatial, CovarianceRecord) {
  Compilation c;
  test::startAtLine1(c);
  RecordMaker m(kCovSpa);
  handleCovSpa(c, m.word(0x0101).word(3).word(8).word(0x0104).word(0x0105).statement());
  EXPECT_EQ(Bytes({0x22, 0x00, 0x10, 0x00, 0x04, 0x01, 0x05, 0x01, 0x01, 0x01,
                   0x08, 0x00, 0x03, 0x00, 0x05, 0x00}),
            c.code.bytes);
}

TEST(RectPolar, OperandsSwapped) {
  Compilation c;
  test::startAtLine1(c);
  RecordMaker m(kRectPolar);
  handleRectPolar(c, m.word(0x0101).word(0x0102 | 0x40000000u).statement());
  EXPECT_EQ(Bytes({0x2C, 0x00, 0x08, 0x00, 0x02, 0x01, 0x01, 0x01}), c.code.bytes);
}

struct PrintRun {
  Bytes code;
  std::string errors;
};

PrintRun compilePrint(const std::string& text) {
  Compilation c;
  test::startAtLine1(c);
  test::dim(c, "X", 1);
  defineConstant(c, " DispC2 = 2");
  RecordMaker m(kPrint);
  handlePrint(c, m.text(text).statement());
  return {c.code.bytes, c.diag.errorText};
}

TEST(Print, ItemsPortAndBaud) {
  const PrintRun run = compilePrint("(1, 9600, \"Hi\"; X, CHR$(13))");
  EXPECT_EQ("", run.errors);
  ASSERT_EQ(130u, run.code.size());
  EXPECT_EQ(Bytes({3, 0, 0x80, 0x25}), Bytes(run.code.begin() + 14, run.code.begin() + 18));
  EXPECT_EQ(Bytes({'H', 'i', 0}), Bytes(run.code.begin() + 18, run.code.begin() + 21));
  EXPECT_EQ(13, run.code[58]);
  EXPECT_EQ(Bytes({1, 0, 2, 0, 0, ';', ',', 0, 0, 0, 0, 0}),
            Bytes(run.code.begin() + 118, run.code.end()));
}

TEST(Print, Messages) {
  const struct {
    const char* text;
    std::uint8_t portCode;
    const char* errors;
  } cases[] = {
      {"(1, 4800, X)", 0, "line 1: RF port must use baud rate of 9600."},
      {"(2, 4800, X)", 1, ""},
      {"(C2, 1200, X)", 3, ""},
      {"(C1, 1200, X)", 2, ""},
      // Only the name C1 or C2 itself marks a control port.
      {"(DispC2, 9600, X)", 1, ""},
      {"(2, 9600, X)", 1, ""},
      {"(C2 + 0, 9600, X)", 1, ""},
      {"( c2 , 1200, X)", 3, ""},
      {"(- C2, 1200, X)", 3, ""},
      {"(5, 9600, X)", 4, "line 1: Invalid Port 5."},
      {"(2, 300, X)", 1, "line 1: Invalid baud rate 300."},
      {"(2, 9600, \"ABCDEFGHIJKLMNOPQRS\")", 1, ""},
      {"(2, 9600, \"ABCDEFGHIJKLMNOPQRST\")", 1,
       "line 1: Print string ABCDEFGHIJKLMNOPQRST is too long, max is 19."},
      {"(\"A\", 2, 9600)", 1, "line 1: Invalid Port.\r\nline 1: Invalid baudrate."},
      {"(2, \"A\")", 1, "line 1: Invalid baudrate."},
      {"(2, 9600, X, X, X, X, X)", 1, ""},
      {"(2, 9600, X, X, X, X, X, X)", 1, "line 1: Too many parameters in Print(), max is 5."},
      {"(1)", 0, ""},
  };
  for (const auto& t : cases) {
    const PrintRun run = compilePrint(t.text);
    ASSERT_EQ(130u, run.code.size()) << t.text;
    EXPECT_EQ(t.portCode, run.code[128]) << t.text;
    EXPECT_EQ(t.errors, run.errors) << t.text;
  }
}

}  // namespace
}  // namespace vk6
