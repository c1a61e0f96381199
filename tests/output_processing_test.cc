#include <gtest/gtest.h>

#include "symbols/aliases.h"
#include "table_test_support.h"
#include "test_support.h"
#include "vk6/passes.h"

namespace vk6 {
namespace {

using namespace test;

// name first-index count @byte-offset type processing [units] [/sub-dimension]
std::vector<std::string> fieldsOf(const TableDescriptor& t) {
  std::vector<std::string> out;
  for (const FieldDescriptor& f : t.fields) {
    std::string s = f.name + " " + std::to_string(f.firstIndex) + " " +
                    std::to_string(f.count) + " @" + std::to_string(f.byteOffset) +
                    " t" + std::to_string(f.dataType) + " " + f.processing;
    if (!f.units.empty()) s += " [" + f.units + "]";
    if (f.subDimension != 1) s += " /" + std::to_string(f.subDimension);
    out.push_back(s);
  }
  return out;
}

// One table "A" holding the given output records, called once.
struct OutputCase {
  const char* name;
  std::vector<std::pair<InstructionIndex, std::vector<Slot>>> outputs;
  std::vector<std::string> fields;
  int recordSize;
  int pool;  // the location pool after the table
};

TEST(OutputProcessing, FieldsRecordSizesAndLocations) {
  const OutputCase cases[] = {
      {"average", {{kAverage, {1, "Temp", kNone}}}, {"Temp_Avg 1 1 @4 t9 Avg"}, 8, 252},
      {"stddev", {{kStdDev, {3, "Temp", kNone}}}, {"Temp_Std 1 3 @4 t9 Std"}, 16, 244},
      {"totalize", {{kTotalize, {2, "Temp", kNone}}}, {"Temp_Tot 1 2 @4 t9 Tot"}, 12, 251},
      {"sample", {{kSample, {2, "Batt"}}}, {"Batt 1 2 @4 t9 Smp"}, 12, 254},
      {"maximum with time",
       {{kMaximum, {1, "Temp", kNone, 1}}},
       {"Temp_Max 1 1 @4 t9 Max", "Temp_TMx 1 1 @8 t12 TMx"}, 12, 251},
      {"minimum without time", {{kMinimum, {2, "Temp", kNone, 0}}},
       {"Temp_Min 1 2 @4 t9 Min"}, 12, 251},
      {"fourteen characters",
       {{kAverage, {1, "ABCDEFGHIJKLMN", kNone}}}, {"ABCDEFGHIJKL_Avg 1 1 @4 t9 Avg"}, 8, 252},
      {"field names with a description",
       {{kAverage, {1, "Temp", kNone}}, {kFieldNames, {"AirT:air temperature"}}},
       {"AirT 1 1 @4 t9 Avg:air temperature"}, 8, 252},
      {"field names with counts",
       {{kSample, {3, "Temp"}}, {kFieldNames, {"a,b(2)"}}},
       {"a 1 1 @4 t9 Smp", "b 1 2 @8 t9 Smp"}, 16, 254},
      {"field names used up",
       {{kSample, {3, "Temp"}}, {kFieldNames, {"a"}}},
       {"a 1 1 @4 t9 Smp", "Temp 2 2 @8 t9 Smp"}, 16, 254},
      {"names of value and time",
       {{kMaximum, {1, "Temp", kNone, 1}}, {kFieldNames, {"Hi,HiTime"}}},
       {"Hi 1 1 @4 t9 Max", "HiTime 1 1 @8 t12 TMx"}, 12, 251},
      {"wind vector", {{kWindVector, {"WS", kNone, kNone, 0, 0}}},
       {"WS_WVc 1 3 @4 t9 WVc /3"}, 16, 249},
      {"wind vector, option 1", {{kWindVector, {"WS", kNone, kNone, 0, 1}}},
       {"WS_WVc 1 2 @4 t9 WVc /2"}, 12, 249},
      {"ETo",
       {{kETo, {"Temp", "Batt", "WS", "ABCDEFGHIJKLMN", kNone, kNone, kNone, kNone}}},
       {"Temp_Avg 1 1 @4 t9 Avg", "Batt_Avg 1 1 @8 t9 Avg", "WS_Avg 1 1 @12 t9 Avg",
        "ABCDEFGHIJKL_Avg 1 1 @16 t9 Avg", "ETo 1 1 @20 t9 ETo"}, 24, 247},
      {"EToDaily",
       {{kEToDaily, {"Temp", "Batt", "WS", "ABCDEFGHIJKLMN", kNone, kNone, kNone, kNone}}},
       {"Temp_Max 1 1 @4 t9 Max", "Temp_TMx 1 1 @8 t12 TMx", "Temp_Min 1 1 @12 t9 Min",
        "Temp_TMn 1 1 @16 t12 TMn", "Batt_Max 1 1 @20 t9 Max", "Batt_Min 1 1 @24 t9 Min",
        "WS_Avg 1 1 @28 t9 Avg", "ABCDEFGHIJKL_Tot 1 1 @32 t9 Tot", "ETo 1 1 @36 t9 ETo"},
       40, 243},
  };
  for (const OutputCase& t : cases) {
    TablesProgram p;
    p.variable("Temp", 3).variable("Batt", 2).variable("WS", 1).variable("ABCDEFGHIJKLMN", 1);
    p.add(kDataTable, {"A", kNone, 10});
    for (const auto& [row, slots] : t.outputs) p.add(row, slots);
    p.add(kEndTable, {}).add(kCallTable, {"A"});
    p.run();
    EXPECT_EQ("", p.errors()) << t.name;
    EXPECT_EQ(t.fields, fieldsOf(p.table(1))) << t.name;
    EXPECT_EQ(t.recordSize, p.table(1).recordSize) << t.name;
    EXPECT_EQ(static_cast<int>(t.fields.size()), p.table(1).fieldCount) << t.name;
    EXPECT_EQ(t.pool, p.c.header.locationPool) << t.name;
  }
}

// The record an output instruction appends after the 8-byte DATATABLE.
Bytes outputRecord(InstructionIndex row, const std::vector<Slot>& slots) {
  TablesProgram p;
  p.variable("Temp", 3).variable("WS", 1);
  p.add(kDataTable, {"A", kNone, 10}).add(row, slots).add(kEndTable, {});
  p.run(false);
  const Bytes& code = p.c.code.bytes;
  return Bytes(code.begin() + 8, code.end() - 6);
}

TEST(OutputProcessing, Records) {
  const struct {
    InstructionIndex row;
    std::vector<Slot> slots;
    Bytes record;
  } cases[] = {
      // Sources compile into the area: Temp at 0, further ones after it.
      {kAverage, {2, "Temp", 0x0022u},
       {15, 0, 22, 0, 0, 0, 0x22, 0, 2, 0, 0, 0, 251, 1}},
      {kTotalize, {1, "Temp", kNone}, {15, 0, 22, 0, 0, 0, 0xFF, 0xFF, 1, 0, 0, 0, 252, 2}},
      {kStdDev, {3, "Temp", kNone}, {15, 0, 22, 0, 0, 0, 0xFF, 0xFF, 3, 0, 0, 0, 244, 0}},
      {kSample, {3, "Temp"}, {17, 0, 18, 0, 0, 0, 0, 0, 3, 0}},
      {kMaximum, {2, "Temp", 0x0010u, 1},
       {16, 0, 24, 0, 0, 0, 0x10, 0, 0, 0, 2, 0, 249, 1, 1, 0}},
      {kMinimum, {1, "Temp", kNone, 0},
       {16, 0, 24, 0, 0, 0, 0xFF, 0xFF, 0, 0, 1, 0, 252, 0, 0, 0}},
      {kWindVector, {"WS", 0x0030u, 0x0040u, 0x1234, 2},
       {18, 0, 22, 0, 0, 0, 0x30, 0, 0x40, 0, 0, 249, 2, 0x34}},
      {kETo, {"Temp", "Temp", "WS", "WS", 0x0001u, 0x0002u, 0x0003u, 0x0004u},
       {19, 0, 32, 0, 0, 0, 4, 0, 8, 0, 12, 0,
        4, 0, 1, 0, 2, 0, 3, 0, 0, 247, 0, 0}},
      // Sub-outputs 0, 2, 4 and 5 of the seven: the inputs at 0, 8, 16, 20.
      {kEToDaily, {"Temp", "Temp", "WS", "WS", 0x0001u, 0x0002u, 0x0003u, 0x0004u},
       {19, 0, 32, 0, 0, 0, 8, 0, 16, 0, 20, 0,
        4, 0, 1, 0, 2, 0, 3, 0, 0, 243, 0, 1}},
  };
  for (const auto& t : cases) {
    EXPECT_EQ(t.record, outputRecord(t.row, t.slots)) << keywordAt(t.row);
  }
}

TEST(OutputProcessing, Messages) {
  const struct {
    std::vector<std::pair<InstructionIndex, std::vector<Slot>>> statements;
    const char* errors;
  } cases[] = {
      {{{kAverage, {1, "Temp", kNone}}},
       "line 1: Average must be used inside a table declaration."},
      {{{kMaximum, {1, "Temp", kNone, 0}}},
       "line 1: Maximum must be used inside a table declaration."},
      {{{kETo, {"Temp", "Temp", "Temp", "Temp", kNone, kNone, kNone, kNone}}},
       "line 1: Data Processing instruction is outside of DataTable declaration.\r\n"
       "line 1: Data Processing instruction is outside of DataTable declaration.\r\n"
       "line 1: Data Processing instruction is outside of DataTable declaration.\r\n"
       "line 1: Data Processing instruction is outside of DataTable declaration.\r\n"
       "line 1: Data Processing instruction is outside of DataTable declaration."},
      {{{kDataTable, {"A", kNone, 10}},
        {kAverage, {1, "Nope", kNone}},
        {kAverage, {1, "Gone", kNone}}},
       // The source's compile, its evaluation and the lookup report; the
       // lookup then stops pass 2.
       "line 2: undeclared variable Nope\r\nline 2: Variable   out of bounds.\r\n"
       "line 2: undeclared variable Nope"},
      {{{kDataTable, {"A", kNone, 10}},
        {kWindVector, {"Temp", kNone, kNone, 0, 3}},
        {kEndTable, {}}},
       "line 2: Invalid Output Option in WindVector"},
      {{{kDataTable, {"A", kNone, 10}},
        {kSample, {3, "Temp"}},
        {kFieldNames, {"a(4)"}},
        {kEndTable, {}}},
       "line 2: FieldNames array sizes out of bounds."},
      // A count that is no single literal is evaluated: 2, not &H11.
      {{{kDataTable, {"A", kNone, 10}},
        {kSample, {3, "Temp"}},
        {kFieldNames, {"a(&H1 + 1),b"}},
        {kEndTable, {}}},
       ""},
      {{{kDataTable, {"A", kNone, 10}},
        {kSample, {3, "Temp"}},
        {kFieldNames, {"a(&H4)"}},
        {kEndTable, {}}},
       "line 2: FieldNames array sizes out of bounds."},
      {{{kDataTable, {"A", kNone, 10}},
        {kSample, {3, "Temp"}},
        {kFieldNames, {"a,,"}},
        {kEndTable, {}}},
       "line 2: FieldNames array sizes out of bounds."},
      {{{kDataTable, {"A", kNone, 10}},
        {kSample, {1, "Temp"}},
        {kFieldNames, {"ABCDEFGHIJKLMNOPQ"}},
        {kEndTable, {}}},
       "line 4: Field Name ABCDEFGHIJKLMNOPQ is too long, limit is 16 characters."},
      {{{kDataTable, {"A", kNone, 10}},
        {kSample, {1, "Temp"}},
        {kFieldNames, {"timestamp"}},
        {kSample, {1, "Temp"}},
        {kFieldNames, {"TableFull"}},
        {kEndTable, {}}},
       "line 6: timestamp is a predefined field name."},
      {{{kDataTable, {"A", kNone, 10}},
        {kSample, {1, "Temp"}},
        {kFieldNames, {"a:123456789012345678901234567890123456789012345678901234567890"}},
        {kAverage, {1, "Temp", kNone}},
        {kFieldNames, {"b:12345678901234567890123456789012345678901234567890123456789"}},
        {kEndTable, {}}},
       "line 6: Description \":123456789012345678901234567890123456789012345678901234567890\" "
       "is too long, limit is 58 characters.\r\n"
       "line 6: Description \":12345678901234567890123456789012345678901234567890123456789\" "
       "is too long, limit is 58 characters."},
      {{{kDataTable, {"A", kNone, 10}},
        {kAverage, {1, "Temp", kNone}},
        {kFieldNames, {"b:1234567890123456789012345678901234567890123456789012345678"}},
        {kEndTable, {}}},
       ""},
  };
  for (const auto& t : cases) {
    TablesProgram p;
    p.variable("Temp", 3);
    for (const auto& [row, slots] : t.statements) p.add(row, slots);
    p.run(false);
    EXPECT_EQ(t.errors, p.errors());
  }
}

TEST(OutputProcessing, OutsideATableNothingIsCompiled) {
  TablesProgram p;
  p.variable("Temp", 1).add(kSample, {1, "Temp"}).add(kWindVector, {"Temp", kNone, kNone, 0, 0});
  p.run(false);
  EXPECT_TRUE(p.c.code.bytes.empty());
  EXPECT_EQ(254, p.c.header.locationPool);
}

TEST(OutputProcessing, AliasesNameFields) {
  TablesProgram p;
  p.variable("A", 1).variable("T", 3);
  // T(2) is location 2; aliases come sorted by location after pass 1.
  p.c.aliases.aliases.push_back({"T(2)", "Mid", 2, 0});
  p.c.aliases.units.push_back({"Mid", "degC"});
  p.c.aliases.units.push_back({"T", "K"});
  p.add(kDataTable, {"A", kNone, 10})
      .add(kAverage, {3, "T", kNone})
      .add(kEndTable, {})
      .add(kCallTable, {"A"});
  p.run();
  EXPECT_EQ("", p.errors());
  EXPECT_EQ(std::vector<std::string>({"T_Avg 1 1 @4 t9 Avg [K]", "Mid_Avg 1 1 @8 t9 Avg [degC]",
                                      "T_Avg 3 1 @12 t9 Avg [K]"}),
            fieldsOf(p.table(1)));
}

TEST(OutputProcessing, TableFieldSources) {
  const struct {
    const char* source;
    const char* names;  // FieldNames text, or null
    const char* errors;
    std::vector<std::string> fields;
  } cases[] = {
      {"A.Temp(2, 2)", nullptr, "", {"Temp_Avg 2 1 @4 t9 Avg"}},
      {"A.Temp(X, 1)", nullptr, "", {"Temp_Avg 1 1 @4 t9 Avg"}},
      {"A.Temp(&H2, 1)", nullptr, "", {"Temp_Avg 2 1 @4 t9 Avg"}},
      {"A.Temp(&H1 + 1, 1)", nullptr, "", {"Temp_Avg 1 1 @4 t9 Avg"}},
      {"A.TIMESTAMP(1, 1)", "Stamp", "", {"Stamp 1 1 @4 t9 Avg"}},
      {"A.TIMESTAMP(1, 1)", nullptr,
       "line 6: Must use FieldNames with .OUTPUT, .RECORD, or .TIMESTAMP.", {"Avg 10001 1 @4 t9 Avg"}},
      // The expression's own resolution reports, then the source's.
      {"A.Temp(4, 4)", nullptr, "line 6: Could not find A.Temp(4).\r\nline 6: Could not find A.Temp(4).",
       {"Temp_Avg 4 1 @4 t9 Avg"}},
  };
  for (const auto& t : cases) {
    TablesProgram p;
    p.variable("Temp", 3).variable("X", 1)
        .add(kDataTable, {"A", kNone, 10})
        .add(kSample, {3, "Temp"})
        .add(kEndTable, {})
        .add(kCallTable, {"A"})
        .add(kDataTable, {"B", kNone, 10})
        .add(kAverage, {1, t.source, kNone});
    if (t.names != nullptr) p.add(kFieldNames, {t.names});
    p.add(kEndTable, {});
    p.run(false);
    EXPECT_EQ(t.errors, p.errors()) << t.source;
    EXPECT_EQ(t.fields, fieldsOf(p.table(2))) << t.source;
  }
}

}  // namespace
}  // namespace vk6

namespace vk6 {
namespace {

// A whole compile that writes no image file, so that parallel tests do
// not race for it.
std::string compileErrors(const std::string& source) {
  Compilation c;
  c.options.build = test::modelVK617Q();
  test::loadText(c, source);
  runCompile(c);
  return c.diag.errorText;
}

TEST(OutputProcessing, WholeProgramsInsideAConditionalAndEndTable) {
  const std::string head = "Public Temp, Batt(2)\r\nDataTable(Test, 1, 100)\r\n"
                           "  Average(1, Temp, False)\r\n";
  const std::string tail = "BeginProg\r\n  Scan(1, sec)\r\n    CallTable Test\r\n"
                           "  NextScan\r\nEndProg\r\n";
  EXPECT_EQ("line 5: Data Processing instruction is inside of conditional statement.",
            compileErrors(head + "  If Temp > 1 Then\r\n    Sample(2, Batt)\r\n  EndIf\r\n"
                          "End Table\r\n" + tail));
  EXPECT_EQ("", compileErrors(head + "  Sample(2, Batt)\r\nEnd Table\r\n" + tail));
}

}  // namespace
}  // namespace vk6
