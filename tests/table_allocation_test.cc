#include <gtest/gtest.h>

#include "dump/image_reader.h"
#include "format/byte_io.h"
#include "format/image_format.h"
#include "test_support.h"
#include "vk6/compiler.h"

namespace vk6 {
namespace {

TEST(TableAllocation, FixedAndAutomaticSizes) {
  const std::string source =
      "Public X(24)\r\n"
      "DataTable(Hundred, True, 10)\r\n  Sample(24, X)\r\nEndTable\r\n"
      "DataTable(Eight, True, 1)\r\n  Sample(1, X)\r\nEndTable\r\n"
      "DataTable(Auto, True, -1)\r\n  DataInterval(0, 60, Sec)\r\n  Sample(1, X)\r\nEndTable\r\n"
      "DataTable(Auto10, True, -5)\r\n  DataInterval(0, 10, Min)\r\n  Sample(24, X)\r\n"
      "EndTable\r\n"
      "BeginProg\r\n  Scan(60, Sec)\r\n    CallTable Hundred\r\n    CallTable Eight\r\n"
      "    CallTable Auto\r\n    CallTable Auto10\r\n  NextScan\r\nEndProg\r\n";
  const CompileResult r = compileProgram({source, "prog.cr"}, test::modelVK617Q());
  ASSERT_EQ("", r.errorText);
  const std::vector<TableInfo> tables = test::tablesOf(r.image);
  ASSERT_EQ(6u, tables.size());
  const struct {
    int recordSize, recordsPer512, blocks;
    std::uint8_t flags;  // 4 called, 2 auto-sized, 1 interval
  } expected[] = {
      {100, 6, 7, 0x04},  // (10 + 6) x 100 / 256 + 1
      {8, 64, 4, 0x04},   // (1 + 64) x 8 / 256 + 1 = 3, at least 4
      // Budget 8388352 - 16 x 100 - 65 x 8 - 2 x 512 = 8385208 bytes at
      // 8/60 + 100/600 bytes a second last 27950693 s: 8 x that / (60 x 256).
      {8, 64, 14557, 0x07},
      {100, 6, 18197, 0x07},
  };
  for (std::size_t i = 0; i < 4; ++i) {
    const TableInfo& t = tables[i + 1];
    EXPECT_EQ(expected[i].recordSize, t.recordSize) << t.name;
    EXPECT_EQ(expected[i].recordsPer512, t.recordsPer512) << t.name;
    EXPECT_EQ(expected[i].blocks, t.size) << t.name;
    EXPECT_EQ(expected[i].flags, t.flags) << t.name;
  }
  EXPECT_EQ(1, tables[0].size);
  EXPECT_EQ(0, tables[0].recordsPer512);
  EXPECT_EQ("Public", tables[5].name);
  EXPECT_EQ(96, tables[5].recordSize);
  EXPECT_EQ(6, test::imageWord(r.image, program_header::kPublicPosition));
}

TEST(TableAllocation, Messages) {
  std::string publics = "Public X\r\n";
  for (int i = 0; i < 128; ++i) publics += "Public V" + std::to_string(i) + "\r\n";
  const struct {
    std::string declarations;
    std::string body;
    const char* errors;
  } cases[] = {
      {"Public X\r\nDataTable(A, True, 10)\r\n  Sample(1, X)\r\n", "",
       "DataTable ... EndTable not matched."},
      {"Public X\r\nDataTable(A, True, 10)\r\n  Sample(1, X)\r\nEndTable\r\n"
       "DataTable(B, True, -1)\r\n  Sample(1, X)\r\nEndTable\r\n",
       "    CallTable B\r\n",
       "DataTable A declared but not called.\r\n"
       "Table B must use DataInterval to auto-allocate."},
      {"Public X\r\nDataTable(A, True, 1049000)\r\n  Sample(1, X)\r\nEndTable\r\n"
       "DataTable(B, True, -1)\r\n  DataInterval(0, 1, Min)\r\n  Sample(1, X)\r\nEndTable\r\n",
       "    CallTable A\r\n    CallTable B\r\n", "Not enough memory for DataTables."},
      {"Public X, Y(2)\r\nDataTable(A, True, 10)\r\n  Sample(2, Y)\r\n  Sample(1, Y)\r\n"
       "  Sample(1, X)\r\n  FieldNames \"b\"\r\n  Sample(1, X)\r\n  FieldNames \"B\"\r\n"
       "EndTable\r\n",
       "    CallTable A\r\n",
       "Duplicate field name Y in DataTable A.\r\nDuplicate field name B in DataTable A."},
      // 254 locations: 59 + Y's for the variables, 60 for the Average.
      {"Public X(59)\r\nDim Y(141)\r\nDataTable(A, True, 10)\r\n  Average(59, X, False)\r\n"
       "EndTable\r\n",
       "    CallTable A\r\n",
       "Insufficient Memory for variables and output processing, memory exceeded by 6 locations."},
      {"Public X(59)\r\nDim Y(135)\r\nDataTable(A, True, 10)\r\n  Average(59, X, False)\r\n"
       "EndTable\r\n",
       "    CallTable A\r\n", ""},
      {"Public X, Y(127)\r\n", "", ""},
      {"Public X, Y(128)\r\n", "", "Maximim number of public variables 128 exceeded by 1."},
      {publics, "",
       "Maximim number of public variables 128 exceeded by 1.\r\n"
       "Too many public variables, max is 128."},
      {"Dim D\r\n", "", "Must have at least public variable defined"},
  };
  for (const auto& t : cases) {
    EXPECT_EQ(t.errors, test::compileInScan(t.declarations, t.body).errors) << t.declarations;
  }
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
// Name, marker (little-endian), table byte and 16 zero bytes.
void tableStart(Bytes& b, const std::string& name, std::uint32_t marker) {
  text(b, name);
  for (int shift = 0; shift < 32; shift += 8) b.push_back(static_cast<std::uint8_t>(marker >> shift));
  b.push_back(0x0C);
  b.insert(b.end(), 16, 0);
}

CompileResult compileWithDefinitions(const std::string& source) {
  CompileOptions options;
  options.definitionFile = true;
  return compileProgram({source, "prog.cr"}, test::modelVK617Q(), options);
}

TEST(TableAllocation, DefinitionBlock) {
  const CompileResult r = compileWithDefinitions(
      "Public Temp(3), WS\r\nDim Work(2)\r\nUnits Temp = degC\r\n"
      "DataTable(A, True, 10)\r\n  Average(1, Temp, False)\r\nEndTable\r\n"
      "DataTable(B, True, 10)\r\n  WindVector(WS, 0, False, 0, 1)\r\nEndTable\r\n"
      "BeginProg\r\n  Scan(1, Sec)\r\n    CallTable A\r\n    CallTable B\r\n"
      "  NextScan\r\nEndProg\r\n");
  ASSERT_EQ("", r.errorText);

  // The file's leading byte, then the block's own. The entry lengths show
  // in the table headers (entry end - name end) below.
  Bytes expected = {0x01, 0x01};
  tableStart(expected, "Status", definitions::kSignedMarker);
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
  ASSERT_EQ(718u, expected.size());
  tableStart(expected, "A", definitions::kDataTableMarker);
  field(expected, 9, "Temp_Avg", "Avg", "degC", 1, 1);
  expected.push_back(0);
  tableStart(expected, "B", definitions::kDataTableMarker);
  field(expected, 9, "WS_WVc", "WVc", "", 1, 2, 2);
  expected.push_back(0);
  tableStart(expected, "Public", definitions::kSignedMarker);
  field(expected, 9, "Temp", "", "degC", 1, 3, 3);
  field(expected, 9, "WS", "", "", 1, 1);
  expected.push_back(0);
  EXPECT_EQ(909u, expected.size());
  EXPECT_EQ(expected, r.definitionFile);

  // Each table header's entry offsets into the block.
  const struct {
    std::uint16_t start, nameEnd, end;
  } offsets[] = {{0, 8, 717}, {717, 719, 774}, {774, 776, 829}, {829, 836, 908}};
  const std::size_t headers = test::imageWord(r.image, program_header::kTableHeaders);
  for (std::size_t i = 0; i < 4; ++i) {
    const std::size_t h = headers + i * kTableHeaderSize;
    EXPECT_EQ(offsets[i].start, test::imageWord(r.image, h + table_header::kEntryStart)) << i;
    EXPECT_EQ(offsets[i].nameEnd, test::imageWord(r.image, h + table_header::kNameEnd)) << i;
    EXPECT_EQ(offsets[i].end, test::imageWord(r.image, h + table_header::kEntryEnd)) << i;
  }
  EXPECT_EQ(2, test::imageWord(r.image, program_header::kPublicFieldCount));
  EXPECT_EQ(4, test::imageWord(r.image, program_header::kPublicPosition));
  EXPECT_EQ(24, test::tablesOf(r.image).at(3).recordSize);  // all six variable locations
}

// Eight tables of sixteen described fields and a hundred public variables
// with units, the descriptions `extra` characters longer in all than one
// each.
std::string describedTables(std::size_t extra) {
  std::string source = "Public X\r\n";
  for (int i = 0; i < 100; ++i) {
    const std::string name = "PublicVariable" + std::to_string(i);
    source += "Public " + name + "\r\nUnits " + name + " = abcdefghij\r\n";
  }
  std::string calls;
  for (int t = 1; t <= 8; ++t) {
    source += "DataTable(T" + std::to_string(t) + ", True, 10)\r\n";
    for (int f = 0; f < 16; ++f) {
      const std::size_t more = std::min<std::size_t>(extra, 57);
      extra -= more;
      source += "  Sample(1, X)\r\n  FieldNames \"f" + std::to_string(f) + ":" +
                std::string(1 + more, 'd') + "\"\r\n";
    }
    source += "EndTable\r\n";
    calls += "    CallTable T" + std::to_string(t) + "\r\n";
  }
  return source + "BeginProg\r\n  Scan(1, Sec)\r\n" + calls + "  NextScan\r\nEndProg\r\n";
}

TEST(TableAllocation, DefinitionBlockLimit) {
  const CompileResult base = compileWithDefinitions(describedTables(0));
  ASSERT_EQ("", base.errorText);
  const std::size_t length = test::imageWord(base.image, program_header::kDefinitionsLength);
  ASSERT_LT(length, 15360u);
  const CompileResult full = compileWithDefinitions(describedTables(15360 - length));
  EXPECT_EQ("", full.errorText);
  EXPECT_EQ(15360, test::imageWord(full.image, program_header::kDefinitionsLength));
  const CompileResult over = compileWithDefinitions(describedTables(15361 - length));
  EXPECT_EQ("Table definitions exceed max size of 15360.", over.errorText);
  EXPECT_TRUE(over.image.empty());
}

}  // namespace
}  // namespace vk6
