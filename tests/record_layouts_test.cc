// The record layouts against themselves and against what the handlers
// really emit.
#include "format/record_layouts.h"

#include <gtest/gtest.h>

#include "dump/image_reader.h"
#include "dump_support.h"

namespace vk6 {
namespace {

TEST(RecordLayouts, FieldsLieInOrderInsideTheirRecord) {
  int previousOpcode = -1;
  for (const RecordLayout& layout : recordLayouts()) {
    SCOPED_TRACE(layout.name);
    EXPECT_LT(previousOpcode, layout.opcode);
    previousOpcode = layout.opcode;
    EXPECT_EQ(&layout, findRecordLayout(layout.opcode));
    EXPECT_EQ(0, layout.length % 2);
    ASSERT_GE(layout.fields.size(), 2u);
    EXPECT_EQ(FieldKind::kOpcode, layout.fields[0].kind);
    EXPECT_EQ(0, layout.fields[0].offset);
    EXPECT_EQ(2, layout.fields[1].offset);
    std::size_t end = 0;
    for (const RecordField& f : layout.fields) {
      EXPECT_LE(end, f.offset) << f.name;
      end = std::size_t{f.offset} + f.width;
      if (f.guard.width != 0) {
        EXPECT_LE(f.guard.offset + f.guard.width, layout.length);
      }
    }
    EXPECT_LE(end, layout.length);
  }
  EXPECT_EQ(nullptr, findRecordLayout(4));
  EXPECT_EQ(nullptr, findRecordLayout(65));
}

// Every record of each program must be where its layout says: the walk by
// layout lengths meets every next-record offset, jump target and loop
// word, and every operand lies in the expression area.
TEST(RecordLayouts, CompiledRecordsMatchTheirLayouts) {
  const struct {
    const char* body;
    const char* opcodes;
    const char* tables = "";
  } cases[] = {
      {"    X(1) = X(2) + 1\r\n", "2 3 0"},
      {"    If X(1) > 1 Then\r\n      X(2) = 1\r\n    ElseIf X(1) < 0 Then\r\n"
       "      X(2) = 2\r\n    Else\r\n      X(2) = 3\r\n    EndIf\r\n",
       "2 30 3 64 29 3 64 29 3 24 0"},
      {"    Select Case X(1)\r\n      Case 1, 3 To 4\r\n        X(2) = 0\r\n"
       "      Case Else\r\n        X(2) = 1\r\n    EndSelect\r\n",
       "2 30 64 29 3 64 29 3 24 0"},
      {"    For N = 1 To 4 Step 2\r\n      If N = 3 Then ExitFor\r\n    Next\r\n",
       "2 32 30 26 24 31 0"},
      {"    Do\r\n      N = N + 1\r\n      If N > 3 Then ExitDo\r\n    Loop Until N > 9\r\n"
       "    While N > 0\r\n      N = N - 1\r\n    Wend\r\n",
       "2 28 3 30 25 24 27 28 3 27 0"},
      {"    ModBusMaster(Res, 1, 9600, 1, 3, Regs(1), 1, 1, 3, 100)\r\n", "2 63 0"},
      {"    ModBusSlave(2, 1200, 1, Regs, 0)\r\n", "2 63 0"},
      {"    CallTable Hourly\r\n", "39 15 16 17 15 23 2 1 0",
       "DataTable(Hourly, True, -1)\r\n  DataInterval(0, 60, Min)\r\n"
       "  Average(1, N, False)\r\n  Maximum(2, X, False, 1)\r\n"
       "  Sample(1, Res)\r\n  StdDev(1, N, False)\r\nEndTable\r\n"},
      {"    Print(C2, 1200, \"T=\", Res, CHR$(13))\r\n    AvgSpa(Res, 4, Regs(1))\r\n"
       "    RectPolar(Regs(1), Regs(3))\r\n",
       "2 33 34 44 0"},
      {"    SendData(1, -1, 5, Public)\r\n"
       "    SendGetData(Res, Regs, Regs(2), 2, 1, 4094, 0)\r\n"
       "    GetValue(Res, Regs, 1, Res, 1, 1, 1, 0)\r\n"
       "    SetValue(Res, Regs, 1, Res, 1, 1, 1, 0)\r\n"
       "    SetStatus(RfPwrMode, RF8S_LH)\r\n    ReadSendGetInfo(Res, 1)\r\n",
       "2 62 38 49 48 50 47 0"},
      {"    GOESSetup(Res, 4660, 10, 195, 300, 7, 100, \"00_01_00_00\", \"00_00_30\", "
       "\"01_00_00\")\r\n    GOESStatus(Regs, 0)\r\n    GOESGPS(Gps, Sats)\r\n",
       "2 55 54 56 0"},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.body);
    const std::string source =
        std::string("Public X(3), N, Regs(4), Res, Gps(6), Sats(7)\r\n") + t.tables +
        "BeginProg\r\n  Scan(10, Sec)\r\n" + t.body + "  NextScan\r\nEndProg\r\n";
    const Bytes image = test::compiledImage(source);
    const ImageDump dump = inspectImage(image);
    std::string problems;
    for (const std::string& p : dump.problems) problems += p + "\n";
    EXPECT_EQ("", problems);
    std::string opcodes;
    for (const DecodedRecord& r : dump.records)
      opcodes += (opcodes.empty() ? "" : " ") + std::to_string(r.opcode);
    EXPECT_EQ(t.opcodes, opcodes);
  }
}

}  // namespace
}  // namespace vk6
