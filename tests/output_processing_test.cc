#include <gtest/gtest.h>

#include "dump/image_reader.h"
#include "format/byte_io.h"
#include "format/image_format.h"
#include "format/record_format.h"
#include "test_support.h"
#include "vk6/compiler.h"

namespace vk6 {
namespace {

// name first-index count @byte-offset type processing [units] [/sub-dimension]
std::vector<std::string> fieldsOf(const TableInfo& t) {
  std::vector<std::string> out;
  for (const TableField& f : t.fields) {
    std::string s = f.name + " " + std::to_string(f.firstIndex) + " " +
                    std::to_string(f.count) + " @" + std::to_string(f.byteOffset) +
                    " t" + std::to_string(f.dataType) + " " + f.processing;
    if (!f.units.empty()) s += " [" + f.units + "]";
    if (f.subDimension > 1) s += " /" + std::to_string(f.subDimension);
    out.push_back(s);
  }
  return out;
}

// Table "A" holding `outputs`, called once in the scan.
test::Compiled tableA(const std::string& declarations, const std::string& outputs) {
  return test::compileInScan(declarations + "DataTable(A, True, 10)\r\n" + outputs + "EndTable\r\n",
                             "    CallTable A\r\n");
}

TEST(OutputProcessing, FieldsRecordSizesAndLocations) {
  const struct {
    const char* outputs;
    std::vector<std::string> fields;
    int recordSize;
    int pool;  // the location pool after the table
  } cases[] = {
      {"Average(1, Temp, False)", {"Temp_Avg 1 1 @4 t9 Avg"}, 8, 252},
      {"StdDev(3, Temp, False)", {"Temp_Std 1 3 @4 t9 Std"}, 16, 244},
      {"Totalize(2, Temp, False)", {"Temp_Tot 1 2 @4 t9 Tot"}, 12, 251},
      {"Sample(2, Batt)", {"Batt 1 2 @4 t9 Smp"}, 12, 254},
      {"Maximum(1, Temp, False, 1)", {"Temp_Max 1 1 @4 t9 Max", "Temp_TMx 1 1 @8 t12 TMx"}, 12,
       251},
      {"Minimum(2, Temp, False, 0)", {"Temp_Min 1 2 @4 t9 Min"}, 12, 251},
      {"Average(1, ABCDEFGHIJKLMN, False)", {"ABCDEFGHIJKL_Avg 1 1 @4 t9 Avg"}, 8, 252},
      {"Average(1, Temp, False)\r\n  FieldNames \"AirT:air temperature\"",
       {"AirT 1 1 @4 t9 Avg:air temperature"}, 8, 252},
      {"Sample(3, Temp)\r\n  FieldNames \"a,b(2)\"", {"a 1 1 @4 t9 Smp", "b 1 2 @8 t9 Smp"}, 16,
       254},
      {"Sample(3, Temp)\r\n  FieldNames \"a\"", {"a 1 1 @4 t9 Smp", "Temp 2 2 @8 t9 Smp"}, 16, 254},
      {"Maximum(1, Temp, False, 1)\r\n  FieldNames \"Hi,HiTime\"",
       {"Hi 1 1 @4 t9 Max", "HiTime 1 1 @8 t12 TMx"}, 12, 251},
      {"WindVector(WS, 0, False, 0, 0)", {"WS_WVc 1 3 @4 t9 WVc /3"}, 16, 249},
      {"WindVector(WS, 0, False, 0, 1)", {"WS_WVc 1 2 @4 t9 WVc /2"}, 12, 249},
      {"ETo(Temp, Batt, WS, ABCDEFGHIJKLMN, 0, 0, 0, 0)",
       {"Temp_Avg 1 1 @4 t9 Avg", "Batt_Avg 1 1 @8 t9 Avg", "WS_Avg 1 1 @12 t9 Avg",
        "ABCDEFGHIJKL_Avg 1 1 @16 t9 Avg", "ETo 1 1 @20 t9 ETo"},
       24, 247},
      {"EToDaily(Temp, Batt, WS, ABCDEFGHIJKLMN, 0, 0, 0, 0)",
       {"Temp_Max 1 1 @4 t9 Max", "Temp_TMx 1 1 @8 t12 TMx", "Temp_Min 1 1 @12 t9 Min",
        "Temp_TMn 1 1 @16 t12 TMn", "Batt_Max 1 1 @20 t9 Max", "Batt_Min 1 1 @24 t9 Min",
        "WS_Avg 1 1 @28 t9 Avg", "ABCDEFGHIJKL_Tot 1 1 @32 t9 Tot", "ETo 1 1 @36 t9 ETo"},
       40, 243},
  };
  for (const auto& t : cases) {
    const test::Compiled c = tableA("Public Temp(3), Batt(2), WS, ABCDEFGHIJKLMN\r\n",
                                    "  " + std::string(t.outputs) + "\r\n");
    EXPECT_EQ("", c.errors) << t.outputs;
    const std::vector<TableInfo> tables = test::tablesOf(c.image);
    if (tables.size() < 2) continue;
    EXPECT_EQ(t.fields, fieldsOf(tables[1])) << t.outputs;
    EXPECT_EQ(t.recordSize, tables[1].recordSize) << t.outputs;
    EXPECT_EQ(t.pool, loadU16(c.image.data() + program_header::kLocationPool)) << t.outputs;
  }
}

TEST(OutputProcessing, Records) {
  // The area holds the trigger True at 0, then the statement's own
  // expressions in the order compiled.
  const struct {
    const char* statement;
    Bytes record;
  } cases[] = {
      {"Average(2, Temp, WS > 1)", {15, 0, 22, 0, 0x14, 0, 6, 0, 2, 0, 0, 0, 251, 1}},
      {"Totalize(1, Temp, False)", {15, 0, 22, 0, 0x0C, 0, 6, 0, 1, 0, 0, 0, 252, 2}},
      {"StdDev(3, Temp, False)", {15, 0, 22, 0, 0x0C, 0, 6, 0, 3, 0, 0, 0, 244, 0}},
      {"Sample(3, Temp)", {17, 0, 18, 0, 6, 0, 0, 0, 3, 0}},
      {"Maximum(2, Temp, WS > 1, 1)", {16, 0, 24, 0, 0x14, 0, 6, 0, 0, 0, 2, 0, 249, 1, 1, 0}},
      {"Minimum(1, Temp, False, 0)", {16, 0, 24, 0, 0x0C, 0, 6, 0, 0, 0, 1, 0, 252, 0, 0, 0}},
      // The constant's low byte.
      {"WindVector(WS, WS + 1, WS > 1, &H1234, 2)",
       {18, 0, 22, 0, 0x22, 0, 6, 0, 0x14, 0, 0, 249, 2, 0x34}},
      {"ETo(Temp, Batt, WS, Rh, 1, 2, 3, 4)",
       {19, 0, 32, 0, 0x1E, 0, 0x22, 0, 0x26, 0, 0x2A, 0,
        0x18, 0, 6, 0, 0x0C, 0, 0x12, 0, 0, 247, 0, 0}},
      // Sub-outputs 0, 2, 4 and 5 of the seven: Temp, Batt, WS and Rh.
      {"EToDaily(Temp, Batt, WS, Rh, 1, 2, 3, 4)",
       {19, 0, 32, 0, 0x1E, 0, 0x26, 0, 0x2E, 0, 0x32, 0,
        0x18, 0, 6, 0, 0x0C, 0, 0x12, 0, 0, 243, 0, 1}},
  };
  for (const auto& t : cases) {
    const test::Compiled c =
        tableA("Public Temp(3), WS, Batt, Rh\r\n", "  " + std::string(t.statement) + "\r\n");
    EXPECT_EQ("", c.errors) << t.statement;
    // Between the DATATABLE record and the ENDTABLE before the scan.
    const std::size_t after = recordLength(kRecordEndTable) + recordLength(kRecordScan) +
                              test::scanBody(c).size() + recordLength(kRecordNextScan);
    const std::size_t from = recordLength(kRecordDataTable);
    if (c.code.size() < from + after) continue;
    EXPECT_EQ(t.record, Bytes(c.code.begin() + static_cast<std::ptrdiff_t>(from),
                              c.code.end() - static_cast<std::ptrdiff_t>(after)))
        << t.statement;
  }
}

TEST(OutputProcessing, Messages) {
  const std::string outsideTable = " must be used inside a table declaration.";
  const std::string outsideEto =
      "line 2: Data Processing instruction is outside of DataTable declaration.";
  const struct {
    std::string declarations;  // after the Public line
    std::string body;
    std::string errors;
  } cases[] = {
      {"Average(1, Temp, False)\r\n", "", "line 2: Average" + outsideTable},
      {"Maximum(1, Temp, False, 0)\r\n", "", "line 2: Maximum" + outsideTable},
      {"Sample(1, Temp)\r\nWindVector(Temp, 0, False, 0, 0)\r\n", "",
       "line 2: Sample" + outsideTable + "\r\nline 3: WindVector" + outsideTable},
      {"ETo(Temp, Temp, Temp, Temp, 0, 0, 0, 0)\r\n", "",
       outsideEto + "\r\n" + outsideEto + "\r\n" + outsideEto + "\r\n" + outsideEto + "\r\n" +
           outsideEto},
      // The source's compile, its evaluation and the lookup report; the
      // lookup then stops pass 2.
      {"DataTable(A, True, 10)\r\n  Average(1, Nope, False)\r\n  Average(1, Gone, False)\r\n"
       "EndTable\r\n",
       "    CallTable A\r\n",
       "line 3: undeclared variable Nope\r\nline 3: Variable   out of bounds.\r\n"
       "line 3: undeclared variable Nope"},
      {"DataTable(A, True, 10)\r\n  WindVector(Temp, 0, False, 0, 3)\r\nEndTable\r\n",
       "    CallTable A\r\n", "line 3: Invalid Output Option in WindVector"},
      {"DataTable(A, True, 10)\r\n  Sample(3, Temp)\r\n  FieldNames \"a(4)\"\r\nEndTable\r\n",
       "    CallTable A\r\n", "line 3: FieldNames array sizes out of bounds."},
      // A count that is no single literal is evaluated: 2, not &H11.
      {"DataTable(A, True, 10)\r\n  Sample(3, Temp)\r\n  FieldNames \"a(&H1 + 1),b\"\r\n"
       "EndTable\r\n",
       "    CallTable A\r\n", ""},
      {"DataTable(A, True, 10)\r\n  Sample(3, Temp)\r\n  FieldNames \"a(&H4)\"\r\nEndTable\r\n",
       "    CallTable A\r\n", "line 3: FieldNames array sizes out of bounds."},
      {"DataTable(A, True, 10)\r\n  Sample(3, Temp)\r\n  FieldNames \"a,,\"\r\nEndTable\r\n",
       "    CallTable A\r\n", "line 3: FieldNames array sizes out of bounds."},
      {"DataTable(A, True, 10)\r\n  Sample(1, Temp)\r\n  FieldNames \"ABCDEFGHIJKLMNOPQ\"\r\n"
       "EndTable\r\n",
       "    CallTable A\r\n",
       "line 5: Field Name ABCDEFGHIJKLMNOPQ is too long, limit is 16 characters."},
      {"DataTable(A, True, 10)\r\n  Sample(1, Temp)\r\n  FieldNames \"timestamp\"\r\n"
       "  Sample(1, Temp)\r\n  FieldNames \"TableFull\"\r\nEndTable\r\n",
       "    CallTable A\r\n", "line 7: timestamp is a predefined field name."},
      {"DataTable(A, True, 10)\r\n  Sample(1, Temp)\r\n"
       "  FieldNames \"a:123456789012345678901234567890123456789012345678901234567890\"\r\n"
       "  Average(1, Temp, False)\r\n"
       "  FieldNames \"b:12345678901234567890123456789012345678901234567890123456789\"\r\n"
       "EndTable\r\n",
       "    CallTable A\r\n",
       "line 7: Description \":123456789012345678901234567890123456789012345678901234567890\" "
       "is too long, limit is 58 characters.\r\n"
       "line 7: Description \":12345678901234567890123456789012345678901234567890123456789\" "
       "is too long, limit is 58 characters."},
      {"DataTable(A, True, 10)\r\n  Average(1, Temp, False)\r\n"
       "  FieldNames \"b:1234567890123456789012345678901234567890123456789012345678\"\r\n"
       "EndTable\r\n",
       "    CallTable A\r\n", ""},
  };
  for (const auto& t : cases) {
    EXPECT_EQ(t.errors, test::compileInScan("Public Temp(3)\r\n" + t.declarations, t.body).errors)
        << t.declarations;
  }
}

TEST(OutputProcessing, AliasesNameFields) {
  const test::Compiled c =
      tableA("Public A, T(3)\r\nAlias T(2) = Mid\r\nUnits Mid = degC\r\nUnits T = K\r\n"
             "Units MID = m\r\n",  // the first Units of a name stays
             "  Average(3, T, False)\r\n");
  EXPECT_EQ("", c.errors);
  const std::vector<TableInfo> tables = test::tablesOf(c.image);
  ASSERT_LT(1u, tables.size());
  EXPECT_EQ(std::vector<std::string>({"T_Avg 1 1 @4 t9 Avg [K]", "Mid_Avg 1 1 @8 t9 Avg [degC]",
                                      "T_Avg 3 1 @12 t9 Avg [K]"}),
            fieldsOf(tables[1]));
}

// An output whose source is a field of table A: its field takes the
// field's name and the element as its first index. Without an image the
// program's symbols show the field, without offset and type.
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
       "line 7: Must use FieldNames with .OUTPUT, .RECORD, or .TIMESTAMP.", {"Avg 10001 1 Avg"}},
      // The expression's own resolution reports, then the source's.
      {"A.Temp(4, 4)", nullptr,
       "line 7: Could not find A.Temp(4).\r\nline 7: Could not find A.Temp(4).",
       {"Temp_Avg 4 1 Avg"}},
      // Z's field starts at index 3: the expression counts its elements
      // from 1, the source by its indices.
      {"A.Z(4, 1)", nullptr, "line 7: Could not find A.Z(4).", {"Z_Avg 4 1 Avg"}},
      {"A.Z(5, 1)", nullptr, "line 7: Could not find A.Z(5).\r\nline 7: Could not find A.Z(5).",
       {"Z_Avg 5 1 Avg"}},
      // A reference without an element: the source still finds its field.
      {"a.temp", nullptr, "line 7: Expression expects ( : a.temp.", {"Temp_Avg 1 1 Avg"}},
      {"A.Nothing", nullptr,
       "line 7: Expression expects ( : A.Nothing.\r\nline 7: Could not find A.Nothing.",
       {"Nothing_Avg 1 1 Avg"}},
      {"PUBLIC.Zz", nullptr,
       "line 7: Expression expects ( : PUBLIC.Zz.\r\nline 7: Could not find PUBLIC.Zz.",
       {"Zz_Avg 1 1 Avg"}},
  };
  for (const auto& t : cases) {
    std::string declarations =
        "Public Temp(3), X, Z(4)\r\nDataTable(A, True, 10)\r\n  Sample(3, Temp)\r\n"
        "  Sample(2, Z(3))\r\nEndTable\r\nDataTable(B, True, 10)\r\n  Average(1, " +
        std::string(t.source) + ", False)\r\n";
    if (t.names != nullptr) declarations += "  FieldNames \"" + std::string(t.names) + "\"\r\n";
    const CompileResult r = compileProgram(
        {declarations + "EndTable\r\nBeginProg\r\n  Scan(1, Sec)\r\n    CallTable A\r\n"
                        "    CallTable B\r\n  NextScan\r\nEndProg\r\n",
         "prog.cr"},
        test::modelVK617Q());
    EXPECT_EQ(t.errors, r.errorText) << t.source;
    std::vector<std::string> fields;
    if (!r.image.empty()) {
      fields = fieldsOf(test::tablesOf(r.image).at(2));
    } else if (r.symbols.tables.size() > 1) {
      for (const FieldSymbol& f : r.symbols.tables[1].fields)
        fields.push_back(f.name + " " + std::to_string(f.firstIndex) + " " +
                         std::to_string(f.count) + " " + f.processing);
    }
    EXPECT_EQ(t.fields, fields) << t.source;
  }
}

TEST(OutputProcessing, WholeProgramsInsideAConditionalAndEndTable) {
  const std::string head = "Public Temp, Batt(2)\r\nDataTable(Test, 1, 100)\r\n"
                           "  Average(1, Temp, False)\r\n";
  const std::string tail = "BeginProg\r\n  Scan(1, sec)\r\n    CallTable Test\r\n"
                           "  NextScan\r\nEndProg\r\n";
  EXPECT_EQ("line 5: Data Processing instruction is inside of conditional statement.",
            test::compileText(head + "  If Temp > 1 Then\r\n    Sample(2, Batt)\r\n  EndIf\r\n"
                              "End Table\r\n" + tail).errors);
  EXPECT_EQ("", test::compileText(head + "  Sample(2, Batt)\r\nEnd Table\r\n" + tail).errors);
}

}  // namespace
}  // namespace vk6
