#include <gtest/gtest.h>

#include "instructions/table_allocation.h"
#include "symbols/aliases.h"
#include "table_test_support.h"
#include "test_support.h"

namespace vk6 {
namespace {

using namespace test;

TEST(TableAllocation, FixedAndAutomaticSizes) {
  TablesProgram p;
  p.variable("X", 24);
  p.add(kDataTable, {"Hundred", kNone, 10}).add(kSample, {24, "X"}).add(kEndTable, {})
      .add(kDataTable, {"Eight", kNone, 1}).add(kSample, {1, "X"}).add(kEndTable, {})
      .add(kDataTable, {"Auto", kNone, -1})
      .add(kDataInterval, {0, 60, kUnitsSec})
      .add(kSample, {1, "X"})
      .add(kEndTable, {})
      .add(kDataTable, {"Auto10", kNone, -5})
      .add(kDataInterval, {0, 10, kUnitsMin})
      .add(kSample, {24, "X"})
      .add(kEndTable, {});
  for (const char* name : {"Hundred", "Eight", "Auto", "Auto10"}) p.add(kCallTable, {name});
  p.scanEvery(60);
  p.run();
  ASSERT_EQ("", p.errors());
  const struct {
    int recordSize, recordsPer512, size, blocks;
    std::uint8_t flags;
  } expected[] = {
      {100, 6, 16, 7, kTableFlagCalled},  // (10 + 6) x 100 / 256 + 1
      {8, 64, 65, 4, kTableFlagCalled},   // 65 x 8 / 256 + 1 = 3, at least 4
      // Budget 8388352 - 16 x 100 - 65 x 8 - 2 x 512 = 8385208 bytes at
      // 8/60 + 100/600 bytes a second last 27950693 s: 8 x that / (60 x 256).
      {8, 64, -1, 14557, kTableFlagCalled | kTableFlagAutoSize | kTableFlagInterval},
      {100, 6, -5, 18197, kTableFlagCalled | kTableFlagAutoSize | kTableFlagInterval},
  };
  for (std::size_t i = 0; i < 4; ++i) {
    const TableDescriptor& t = p.table(i + 1);
    EXPECT_EQ(expected[i].recordSize, t.recordSize) << t.name;
    EXPECT_EQ(expected[i].recordsPer512, t.recordsPer512) << t.name;
    EXPECT_EQ(expected[i].size, t.size) << t.name;
    EXPECT_EQ(expected[i].blocks, t.blocks) << t.name;
    EXPECT_EQ(expected[i].flags, t.flags) << t.name;
  }
  EXPECT_EQ(1, p.table(0).blocks);
  EXPECT_EQ(0, p.table(0).recordsPer512);
  EXPECT_EQ("Public", p.table(5).name);
  EXPECT_EQ(96, p.table(5).recordSize);
  EXPECT_EQ(6, p.c.tables.publicPosition);
}

TEST(TableAllocation, Messages) {
  using Build = void (*)(TablesProgram&);
  const struct {
    Build build;
    const char* errors;
  } cases[] = {
      {[](TablesProgram& p) {
         p.add(kDataTable, {"A", kNone, 10}).add(kSample, {1, "X"});
       },
       "DataTable ... EndTable not matched."},
      {[](TablesProgram& p) {
         p.add(kDataTable, {"A", kNone, 10}).add(kSample, {1, "X"}).add(kEndTable, {});
         p.add(kDataTable, {"B", kNone, -1}).add(kSample, {1, "X"}).add(kEndTable, {});
         p.add(kCallTable, {"B"});
       },
       "DataTable A declared but not called.\r\n"
       "Table B must use DataInterval to auto-allocate."},
      {[](TablesProgram& p) {
         p.add(kDataTable, {"A", kNone, 1049000}).add(kSample, {1, "X"}).add(kEndTable, {});
         p.add(kDataTable, {"B", kNone, -1})
             .add(kDataInterval, {0, 1, kUnitsMin})
             .add(kSample, {1, "X"})
             .add(kEndTable, {});
         p.add(kCallTable, {"A"}).add(kCallTable, {"B"});
         p.scanEvery(60);
       },
       "Not enough memory for DataTables."},
      {[](TablesProgram& p) {
         p.variable("Y", 2);
         p.add(kDataTable, {"A", kNone, 10})
             .add(kSample, {2, "Y"})
             .add(kSample, {1, "Y"})
             .add(kSample, {1, "X"})
             .add(kFieldNames, {"b"})
             .add(kSample, {1, "X"})
             .add(kFieldNames, {"B"})
             .add(kEndTable, {})
             .add(kCallTable, {"A"});
       },
       "Duplicate field name Y in DataTable A.\r\nDuplicate field name B in DataTable A."},
      {[](TablesProgram& p) {
         p.variable("Y", 199, kDeclareDim);
         p.c.header.locationPool = 194;  // 60 taken
       },
       "Insufficient Memory for variables and output processing, memory exceeded by 6 locations."},
      {[](TablesProgram& p) {
         p.variable("Y", 193, kDeclareDim);
         p.c.header.locationPool = 194;
       },
       ""},
      {[](TablesProgram& p) { p.variable("Y", 127); }, ""},
      {[](TablesProgram& p) { p.variable("Y", 128); },
       "Maximim number of public variables 128 exceeded by 1."},
      {[](TablesProgram& p) {
         for (int i = 0; i < 128; ++i) p.variable("V" + std::to_string(i), 1);
       },
       "Maximim number of public variables 128 exceeded by 1.\r\n"
       "Too many public variables, max is 128."},
  };
  for (const auto& t : cases) {
    TablesProgram p;
    p.variable("X", 1);
    t.build(p);
    p.run();
    EXPECT_EQ(t.errors, p.errors());
  }
}

TEST(TableAllocation, NeedsAPublicVariable) {
  TablesProgram p;
  p.variable("D", 1, kDeclareDim);
  p.run();
  EXPECT_EQ("Must have at least public variable defined", p.errors());
  EXPECT_EQ(255, p.c.tables.publicPosition);
  EXPECT_EQ(1u, p.c.tables.tables.size());
  EXPECT_EQ(717u, p.c.tables.definitions.size());  // the status table alone
}

TEST(TableAllocation, ProgramWithoutPublicVariableFails) {
  EXPECT_EQ("Must have at least public variable defined",
            compileText("Dim D\r\nBeginProg\r\nScan(1, sec)\r\nNextScan\r\nEndProg\r\n").errors);
}

// Test-side spelling of the block's parts.
void be32(Bytes& b, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) b.push_back(static_cast<std::uint8_t>(v >> shift));
}
void text(Bytes& b, const std::string& s) {
  b.insert(b.end(), s.begin(), s.end());
  b.push_back(0);
}
void field(Bytes& b, std::uint8_t type, const std::string& name, const std::string& processing,
           const std::string& units, std::uint32_t first, std::uint32_t count,
           std::uint32_t sub = 1) {
  b.push_back(type);
  text(b, name);
  b.push_back(0);
  text(b, processing);
  text(b, units);
  b.push_back(0);
  be32(b, first);
  be32(b, count);
  if (sub > 1) be32(b, sub);
  be32(b, 0);
}
// Name, entry length (little-endian), table byte and 16 zero bytes.
void tableStart(Bytes& b, const std::string& name, std::uint32_t entryLength) {
  text(b, name);
  for (int shift = 0; shift < 32; shift += 8) b.push_back(static_cast<std::uint8_t>(entryLength >> shift));
  b.push_back(0x0C);
  b.insert(b.end(), 16, 0);
}

TEST(TableAllocation, DefinitionBlock) {
  TablesProgram p;
  p.variable("Temp", 3).variable("WS", 1).variable("Work", 2, kDeclareDim);
  p.c.aliases.units.push_back({"Temp", "degC"});
  p.add(kDataTable, {"A", kNone, 10})
      .add(kAverage, {1, "Temp", kNone})
      .add(kEndTable, {})
      .add(kDataTable, {"B", kNone, 10})
      .add(kWindVector, {"WS", kNone, kNone, 0, 1})
      .add(kEndTable, {})
      .add(kCallTable, {"A"})
      .add(kCallTable, {"B"});
  p.run();
  ASSERT_EQ("", p.errors());

  Bytes expected = {0x01};
  tableStart(expected, "Status", 709);
  field(expected, 0x8B, "OSversion", "", "", 1, 32, 32);
  field(expected, 0x8B, "OSDate", "", "", 1, 8, 8);
  field(expected, 0x95, "OSSignature", "", "", 1, 1);
  field(expected, 0x8B, "ProgName", "", "", 1, 64, 64);
  field(expected, 0x95, "ProgSig", "", "", 1, 1);
  field(expected, 0x18, "CalOffset", "", "", 1, 1);
  for (const char* name : {"HopnetAddress", "RfInstalled", "RfNetAddr", "RfAddress", "RfHopSeq"})
    field(expected, 0x15, name, "", "", 1, 1);
  field(expected, 0x0B, "RfPwrMode", "", "", 1, 8, 8);
  for (const char* name : {"Rf_ForceOn", "Rf_Protocol", "MaxTXPacket", "RfSignalLevel",
                           "RfRxHopnetCnt", "VarOutOfBounds", "SkipScan", "TrapCode",
                           "WatchDogCnt", "ResetTables"})
    field(expected, 0x15, name, "", "", 1, 1);
  field(expected, 0x18, "BattVoltage", "", "", 1, 1);
  field(expected, 0x16, "SerialNum", "", "", 1, 1);
  expected.push_back(0);
  ASSERT_EQ(717u, expected.size());
  tableStart(expected, "A", 55);
  field(expected, 9, "Temp_Avg", "Avg", "degC", 1, 1);
  expected.push_back(0);
  tableStart(expected, "B", 53);
  field(expected, 9, "WS_WVc", "WVc", "", 1, 2, 2);
  expected.push_back(0);
  tableStart(expected, "Public", 72);
  field(expected, 9, "Temp", "", "degC", 1, 3, 3);
  field(expected, 9, "WS", "", "", 1, 1);
  expected.push_back(0);
  EXPECT_EQ(908u, expected.size());
  EXPECT_EQ(expected, p.c.tables.definitions);

  const struct {
    std::size_t start, nameEnd, end;
  } offsets[] = {{0, 8, 717}, {717, 719, 774}, {774, 776, 829}, {829, 836, 908}};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(offsets[i].start, p.table(i).entryStart) << i;
    EXPECT_EQ(offsets[i].nameEnd, p.table(i).nameEnd) << i;
    EXPECT_EQ(offsets[i].end, p.table(i).entryEnd) << i;
  }
  EXPECT_EQ(2, p.c.header.publicFieldCount);
  EXPECT_EQ(4, p.c.tables.publicPosition);
  EXPECT_EQ(24, p.table(3).recordSize);  // all six variable locations
}

TEST(TableAllocation, DefinitionBlockLimit) {
  // The status entry ends at 717; table "A" adds 24 bytes and 19 per field
  // named "x", so 768 such fields and one with 8 processing characters
  // fill the block to 15360 bytes.
  for (const std::size_t processing : {8u, 9u}) {
    TablesProgram p;
    TableDescriptor a;
    a.name = "A";
    FieldDescriptor x;
    x.name = "x";
    a.fields.assign(768, x);
    x.processing = std::string(processing, 'p');
    a.fields.push_back(x);
    p.c.tables.tables.push_back(a);
    buildDefinitionBlock(p.c);
    if (processing == 8) {
      EXPECT_EQ("", p.errors());
      EXPECT_EQ(15360u, p.c.tables.definitions.size());
    } else {
      EXPECT_EQ("Table definitions exceed max size of 15360.", p.errors());
      EXPECT_TRUE(p.c.tables.definitions.empty());
    }
  }
}

}  // namespace
}  // namespace vk6
