#include <gtest/gtest.h>

#include <algorithm>

#include "dump/image_reader.h"
#include "format/byte_io.h"
#include "format/image_format.h"
#include "format/stack_code.h"
#include "symbols/status_table.h"
#include "test_support.h"
#include "vk6/compiler.h"

namespace vk6 {
namespace {

TEST(StatusTable, EveryImageHoldsIt) {
  const std::vector<TableInfo> tables =
      test::tablesOf(test::compileInScan("Public X\r\n", "").image);
  ASSERT_EQ(2u, tables.size());
  const TableInfo& t = tables[0];
  EXPECT_EQ("Status", t.name);
  ASSERT_EQ(24u, t.fields.size());
  EXPECT_EQ(158, t.recordSize);
  const TableField& prog = t.fields[3];
  EXPECT_EQ("ProgName", prog.name);
  EXPECT_EQ(0x8B, prog.dataType);
  EXPECT_EQ(64, prog.byteSize);
  EXPECT_EQ(42, prog.byteOffset);
  EXPECT_EQ(64u, prog.count);
  EXPECT_EQ(64u, prog.subDimension);
  EXPECT_EQ(1u, t.fields[4].count);
  EXPECT_EQ(0u, t.fields[4].subDimension);  // none stated: 1
  EXPECT_EQ("BattVoltage", t.fields[22].name);
  EXPECT_EQ("SerialNum", t.fields[23].name);
  EXPECT_EQ(0x16, t.fields[23].dataType);
  EXPECT_EQ(154, t.fields[23].byteOffset);
  // The offset among the writable fields shows in no image.
  EXPECT_EQ(46, findStatusField("SerialNum").writableOffset);
}

// DataTable(name, True, 10) holding one Sample(reps, X).
std::string table(const std::string& name, int reps = 1) {
  return "DataTable(" + name + ", True, 10)\r\n  Sample(" + std::to_string(reps) +
         ", X)\r\nEndTable\r\n";
}
std::string call(const std::string& name) { return "    CallTable " + name + "\r\n"; }

TEST(DataTable, RecordsOfATableAndItsCall) {
  const test::Compiled c = test::compileInScan(
      "Public T\r\nDataTable(Test, True, 100)\r\n  Sample(1, T)\r\nEndTable\r\n",
      call("test"));
  EXPECT_EQ("", c.errors);
  EXPECT_EQ(Bytes({39, 0, 8, 0, 0, 0, 0, 0,             // DATATABLE, number 0, True at 0
                   17, 0, 18, 0, 6, 0, 0, 0, 1, 0,      // SAMPLE of T at 6
                   23, 0, 0, 0, 0, 0,                   // ENDTABLE
                   2, 0, 30, 0, 1, 0,                   // the scan
                   1, 0, 0, 0, 36, 0,                   // CALLTABLE to 0, back at 36
                   0, 0, 40, 0}),
            c.code);
  const std::vector<TableInfo> tables = test::tablesOf(c.image);
  ASSERT_EQ(3u, tables.size());
  const TableInfo& t = tables[1];
  EXPECT_EQ("Test", t.name);
  EXPECT_EQ(8, t.recordSize);
  EXPECT_EQ(64, t.recordsPer512);
  EXPECT_EQ(6, t.size);  // blocks of 100 + 64 records
  EXPECT_EQ(0x04, t.flags);  // called
  ASSERT_EQ(1u, t.fields.size());
  EXPECT_EQ("T", t.fields[0].name);
  EXPECT_EQ(4, t.fields[0].byteOffset);
  EXPECT_EQ("Smp", t.fields[0].processing);
}

TEST(DataTable, DeferredTriggerIsResolvedIntoTheArea) {
  // A trigger naming a table field waits for the tables; its code goes
  // into the area first (at 0), X's after it (at 0x20).
  const test::Compiled c = test::compileInScan(
      "Public X\r\nDataTable(A, Status.Record(1, 1) > 0, 10)\r\n  Sample(1, X)\r\nEndTable\r\n",
      call("A"));
  ASSERT_EQ("", c.errors);
  EXPECT_EQ(Bytes({39, 0, 8, 0, 0, 0, 0, 0, 17, 0, 18, 0, 0x20, 0}),
            Bytes(c.code.begin(), c.code.begin() + 14));
}

TEST(DataTable, Messages) {
  std::string eight, calls;
  for (const char* name : {"T1", "T2", "T3", "T4", "T5", "T6", "T7", "T8"}) {
    eight += table(name);
    calls += call(name);
  }
  const struct {
    std::string declarations;
    std::string body;
    const char* errors;
  } cases[] = {
      {table("ABCDEFGHIJKLMNOPQ"), "",
       "line 2: DataTable name ABCDEFGHIJKLMNOPQ is 1 chars too long."},
      {table("ABCDEFGHIJKLMNOP"), call("ABCDEFGHIJKLMNOP"), ""},
      {table("Ta.b"), "", "line 2: DataTable name Ta.b is illegal."},
      {table("T\\b"), "", "line 2: DataTable name T\\b is illegal."},
      {table("1Tab"), "", "line 2: Table name 1Tab illegal, starts with a number."},
      {table("public"), "", "line 2: Duplicate table name public."},
      {table("STATUS"), "", "line 2: Duplicate table name STATUS."},
      {table("A") + table("a"), "", "line 5: Duplicate table name a."},
      {"DataTable(A, True, 10)\r\n  DataInterval(0, 59, Sec)\r\n", "",
       "line 3: DataTable interval 59 too short, must be at least one minute."},
      {"DataTable(A, True, 10)\r\n  DataInterval(0, 60, Sec)\r\n  Sample(1, X)\r\nEndTable\r\n",
       "", "DataTable A declared but not called."},
      {"DataInterval(0, 60, Sec)\r\n", "",
       "line 2: DataInterval must be used inside a table declaration."},
      {"DataTable(A, True, 10)\r\nDataTable(B, True, 10)\r\n  DataInterval(0, 30, Sec)\r\n", "",
       "line 3: DataTable without EndTable."},
      {"EndTable\r\n  DataInterval(0, 30, Sec)\r\n", "", "line 2: EndTable without DataTable."},
      {"DataTable(A, True, 10)\r\nEndTable\r\n  DataInterval(0, 30, Sec)\r\n", "",
       "line 3: Table A declared with no output fields."},
      {"DataTable(A, True, 10)\r\n  Sample(16, X)\r\n"
       "  FieldNames \"a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p\"\r\nEndTable\r\n",
       call("A"), ""},
      {"DataTable(A, True, 10)\r\n  Sample(17, X)\r\n"
       "  FieldNames \"a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q\"\r\nEndTable\r\n",
       "", "line 5: Table A number of fields exceeds max. of 16 by 1 fields."},
      {table("A", 63), call("A"), ""},
      {table("A", 64), "", "line 4: Table A record size exceeds max. of 256 by 4 bytes."},
      {eight, calls, ""},
      {eight + table("T9"), "", "line 28: Maximum number of tables 8 exceeded."},
      {"", call("Nope"), "line 4: Could not find DataTable Nope."},
      {"", call("Status"), ""},
      {"Sub S\r\n  CallTable A\r\nEndSub\r\n" + table("A"), "    Call S\r\n",
       "line 3: Could not find DataTable A."},
      {"DataTable(A, True, 10)\r\n  DataInterval(0, 1, Min)\r\n  Sample(1, X)\r\nEndTable\r\n"
       "Sub S\r\n  CallTable A\r\nEndSub\r\n",
       "    Call S\r\n", "line 7: Interval table must be called within a scan."},
  };
  for (const auto& t : cases) {
    EXPECT_EQ(t.errors, test::compileInScan("Public X(64)\r\n" + t.declarations, t.body).errors)
        << t.declarations << t.body;
  }
}

TEST(DataTable, DuplicateNameTakesTheIndexName) {
  const CompileResult r = compileProgram(
      {"Public X\r\n" + table("A") + table("Public"), "prog.cr"}, test::modelVK617Q());
  EXPECT_EQ("line 5: Duplicate table name Public.", r.errorText);
  ASSERT_EQ(2u, r.symbols.tables.size());
  EXPECT_EQ("T$2", r.symbols.tables[1].name);
}

TEST(DataTable, StatusTableCompilesNoCall) {
  EXPECT_EQ(Bytes(), test::scanBody(test::compileInScan("Public X\r\n", call("status"))));
}

TEST(CallTable, IntervalAgainstTheScanInterval) {
  const struct {
    int interval;
    const char* errors;
  } cases[] = {
      {90, "line 8: DataTable interval 90 sec not integrally divisible by scan interval 60 sec."},
      {120, ""},
  };
  for (const auto& t : cases) {
    const std::string source = "Public X\r\nDataTable(A, True, 10)\r\n  DataInterval(0, " +
                               std::to_string(t.interval) +
                               ", Sec)\r\n  Sample(1, X)\r\nEndTable\r\nBeginProg\r\n"
                               "  Scan(60, Sec)\r\n    CallTable a\r\n  NextScan\r\nEndProg\r\n";
    const CompileResult r = compileProgram({source, "prog.cr"}, test::modelVK617Q());
    EXPECT_EQ(t.errors, r.errorText) << t.interval;
    if (r.image.empty()) continue;
    EXPECT_EQ(0x05, test::tablesOf(r.image).at(1).flags);  // called, interval
  }
}

// Whether the expression area of `image` holds a reference to field
// `field` of table `table`.
bool refersTo(const Bytes& image, std::uint16_t table, std::uint16_t field) {
  Bytes words;
  for (const std::uint16_t w : {std::uint16_t{kOpTableField}, table, field}) {
    words.push_back(static_cast<std::uint8_t>(w));
    words.push_back(static_cast<std::uint8_t>(w >> 8));
  }
  const auto area = image.begin() + loadU16(image.data() + program_header::kAreaOffset);
  const auto end = image.begin() + loadU16(image.data() + program_header::kTableHeaders);
  return std::search(area, end, words.begin(), words.end()) != end;
}

TEST(TableFields, ResolutionInExpressions) {
  // X's field starts at index 3: Test.X(i) counts its elements from 1.
  const std::string declarations =
      "Public X(4), Temp(5), Y\r\nDataTable(Test, True, 10)\r\n  Sample(5, Temp)\r\n"
      "  Sample(2, X(3))\r\nEndTable\r\n";
  const struct {
    const char* reference;
    std::uint16_t table;
    std::uint16_t field;
    const char* errors;
  } cases[] = {
      {"Test.TIMESTAMP", 0x8001, 0x8003, ""},
      {"Test.tablefull", 0x8001, 0x8005, ""},
      {"Test.Temp(5, 1)", 0x8001, 0, ""},
      {"Test.Temp(9, 1)", 0, 0, "line 9: Could not find Test.Temp(9)."},
      {"Test.Temp(0, 1)", 0, 0, "line 9: Could not find Test.Temp(0)."},
      {"Test.X(2, 1)", 0x8001, 1, ""},
      {"Test.X(3, 1)", 0, 0, "line 9: Could not find Test.X(3)."},
      {"Test.Nothing(1, 1)", 0, 0, "line 9: Could not find Test.Nothing(1)."},
      {"Public.Temp", 0xFFFF, 1, ""},
      {"PUBLIC.Zz(1, 1)", 0, 0, "line 9: Could not find PUBLIC.Zz(1)."},
      {"status.progsig", 0xFFFE, 4, ""},
      {"Status.battvoltage", 0xFFFE, 22, ""},
      {"Status.Battery(1, 1)", 0, 0, "line 9: Could not find Status.Battery(1)."},
      {"Status.Record", 0xFFFE, 0x8002, ""},
      {"Nope.X(1, 1)", 0, 0, "line 9: Could not find DataTable Nope."},
  };
  for (const auto& t : cases) {
    std::string reference = t.reference;
    if (reference.find('(') == std::string::npos) reference += "(1, 1)";
    const test::Compiled c = test::compileInScan(
        declarations, call("Test") + "    Y = " + reference + "\r\n");
    EXPECT_EQ(t.errors, c.errors) << t.reference;
    if (*t.errors == '\0') {
      EXPECT_TRUE(refersTo(c.image, t.table, t.field)) << t.reference;
    }
  }
}

}  // namespace
}  // namespace vk6
