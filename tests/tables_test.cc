#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "instructions/tables_output.h"
#include "symbols/status_table.h"
#include "symbols/tables.h"
#include "table_test_support.h"
#include "test_support.h"

namespace vk6 {
namespace {

TEST(StatusTable, LookupsAndRecordOffsets) {
  const StatusField prog = findStatusField("ProgName");
  EXPECT_EQ(3, prog.index);
  EXPECT_EQ(0x8B, prog.typeByte);
  EXPECT_EQ(64, prog.byteSize);
  EXPECT_EQ(42, prog.recordOffset);
  const StatusField serial = findStatusField("SerialNum");
  EXPECT_EQ(23, serial.index);
  EXPECT_EQ(0x16, serial.typeByte);
  EXPECT_EQ(46, serial.writableOffset);
  EXPECT_EQ(154, serial.recordOffset);
  EXPECT_EQ(22, findStatusField("battvoltage").index);
  EXPECT_EQ(-1, findStatusField("Battery").index);

  const TableDescriptor t = statusTable();
  ASSERT_EQ(24u, t.fields.size());
  EXPECT_EQ(158, t.recordSize);
  EXPECT_EQ(154, t.fields[23].byteOffset);
  EXPECT_EQ(64, t.fields[3].count);
  EXPECT_EQ(64, t.fields[3].subDimension);
  EXPECT_EQ(1, t.fields[4].count);
  EXPECT_EQ(1, t.fields[4].subDimension);
}

using test::Slot;
using test::TablesProgram;
using namespace test;  // rows and kNone

// DataTable(name, trigger, size) ... one Sample(reps, source) ... EndTable.
TablesProgram& sampledTable(TablesProgram& p, const char* name, int reps = 1,
                            const char* source = "X") {
  return p.add(kDataTable, {name, kNone, 10})
      .add(kSample, {reps, source})
      .add(kEndTable, {});
}

TEST(DataTable, RecordsOfATableAndItsCall) {
  TablesProgram p;
  p.variable("T", 1)
      .add(kDataTable, {"Test", 6u, 100})
      .add(kSample, {1, "T"})
      .add(kEndTable, {})
      .add(kCallTable, {"test"});
  p.c.exprArea.bytes.resize(8);  // operand 6 is an offset into the area
  p.run();
  EXPECT_EQ("", p.errors());
  EXPECT_EQ(Bytes({39, 0, 8, 0, 0, 0, 6, 0,                  // DATATABLE, number 0
                   17, 0, 18, 0, 8, 0, 0, 0, 1, 0,           // SAMPLE of T at 8
                   23, 0, 0, 0, 0, 0,                        // ENDTABLE
                   1, 0, 0, 0, 30, 0}),                      // CALLTABLE to 0, back at 30
            p.c.code.bytes);
  const TableDescriptor& t = p.table(1);
  EXPECT_EQ("Test", t.name);
  EXPECT_EQ(8, t.recordSize);
  EXPECT_EQ(1, t.fieldCount);
  EXPECT_EQ(164, t.size);  // 100 + 64 records per 512 bytes
  EXPECT_EQ(64, t.recordsPer512);
  EXPECT_EQ(6, t.blocks);
  EXPECT_EQ(kTableFlagCalled, t.flags);
  ASSERT_EQ(1u, t.fields.size());
  EXPECT_EQ("T", t.fields[0].name);
  EXPECT_EQ(4, t.fields[0].byteOffset);
  EXPECT_EQ("Smp", t.fields[0].processing);
}

TEST(DataTable, DeferredTriggerIsResolvedIntoTheArea) {
  TablesProgram p;
  p.variable("X", 1);
  p.c.exprArea.bytes.resize(10);
  DeferredExpression deferred;
  deferred.code = {40, 0, 0x3F80, 39};
  deferred.lengthBytes = 8;
  p.c.exprArea.deferred.push_back(deferred);
  p.add(kDataTable, {"A", 0x8000u, 10}).add(kSample, {1, "X"}).add(kEndTable, {});
  p.run(false);
  EXPECT_EQ(Bytes({39, 0, 8, 0, 0, 0, 10, 0}),
            Bytes(p.c.code.bytes.begin(), p.c.code.bytes.begin() + 8));
  EXPECT_EQ(22u, p.c.exprArea.bytes.size());  // then X at 18
}

TEST(DataTable, Messages) {
  using Build = void (*)(TablesProgram&);
  const struct {
    Build build;
    const char* errors;
  } cases[] = {
      {[](TablesProgram& p) { sampledTable(p, "ABCDEFGHIJKLMNOPQ"); },
       "line 1: DataTable name ABCDEFGHIJKLMNOPQ is 1 chars too long."},
      {[](TablesProgram& p) {
         sampledTable(p, "ABCDEFGHIJKLMNOP").add(kCallTable, {"ABCDEFGHIJKLMNOP"});
       },
       ""},
      {[](TablesProgram& p) { sampledTable(p, "Ta.b"); }, "line 1: DataTable name Ta.b is illegal."},
      {[](TablesProgram& p) { sampledTable(p, "T\\b"); }, "line 1: DataTable name T\\b is illegal."},
      {[](TablesProgram& p) { sampledTable(p, "1Tab"); },
       "line 1: Table name 1Tab illegal, starts with a number."},
      {[](TablesProgram& p) { sampledTable(p, "public"); }, "line 1: Duplicate table name public."},
      {[](TablesProgram& p) { sampledTable(p, "STATUS"); }, "line 1: Duplicate table name STATUS."},
      {[](TablesProgram& p) { sampledTable(sampledTable(p, "A"), "a"); },
       "line 4: Duplicate table name a."},
      {[](TablesProgram& p) {
         p.add(kDataTable, {"A", kNone, 10}).add(kDataInterval, {0, 59, kUnitsSec});
       },
       "line 2: DataTable interval 59 too short, must be at least one minute."},
      {[](TablesProgram& p) {
         p.add(kDataTable, {"A", kNone, 10})
             .add(kDataInterval, {0, 60, kUnitsSec})
             .add(kSample, {1, "X"})
             .add(kEndTable, {});
       },
       "DataTable A declared but not called."},
      {[](TablesProgram& p) { p.add(kDataInterval, {0, 60, kUnitsSec}); },
       "line 1: DataInterval must be used inside a table declaration."},
      {[](TablesProgram& p) {
         p.add(kDataTable, {"A", kNone, 10})
             .add(kDataTable, {"B", kNone, 10})
             .add(kDataInterval, {0, 30, kUnitsSec});
       },
       "line 2: DataTable without EndTable."},
      {[](TablesProgram& p) { p.add(kEndTable, {}).add(kDataInterval, {0, 30, kUnitsSec}); },
       "line 1: EndTable without DataTable."},
      {[](TablesProgram& p) {
         p.add(kDataTable, {"A", kNone, 10})
             .add(kEndTable, {})
             .add(kDataInterval, {0, 30, kUnitsSec});
       },
       "line 2: Table A declared with no output fields."},
      {[](TablesProgram& p) {
         p.add(kDataTable, {"A", kNone, 10})
             .add(kSample, {16, "X"})
             .add(kFieldNames, {"a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p"})
             .add(kEndTable, {})
             .add(kCallTable, {"A"});
       },
       ""},
      {[](TablesProgram& p) {
         p.add(kDataTable, {"A", kNone, 10})
             .add(kSample, {17, "X"})
             .add(kFieldNames, {"a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q"})
             .add(kEndTable, {});
       },
       "line 4: Table A number of fields exceeds max. of 16 by 1 fields."},
      {[](TablesProgram& p) { sampledTable(p, "A", 63).add(kCallTable, {"A"}); }, ""},
      {[](TablesProgram& p) { sampledTable(p, "A", 64); },
       "line 3: Table A record size exceeds max. of 256 by 4 bytes."},
      {[](TablesProgram& p) {
         for (const char* name : {"T1", "T2", "T3", "T4", "T5", "T6", "T7", "T8"})
           sampledTable(p, name).add(kCallTable, {name});
       },
       ""},
      {[](TablesProgram& p) {
         for (const char* name : {"T1", "T2", "T3", "T4", "T5", "T6", "T7", "T8", "T9"})
           sampledTable(p, name);
       },
       "line 27: Maximum number of tables 8 exceeded."},
      {[](TablesProgram& p) { p.add(kCallTable, {"Nope"}); },
       "line 1: Could not find DataTable Nope."},
      {[](TablesProgram& p) { p.add(kCallTable, {"Status"}); }, ""},
      {[](TablesProgram& p) { sampledTable(p.add(kCallTable, {"A"}), "A"); },
       "line 1: Could not find DataTable A."},
      {[](TablesProgram& p) {
         p.add(kDataTable, {"A", kNone, 10})
             .add(kDataInterval, {0, 1, kUnitsMin})
             .add(kSample, {1, "X"})
             .add(kEndTable, {})
             .add(kCallTable, {"A"});
       },
       "line 5: Interval table must be called within a scan."},
  };
  for (const auto& t : cases) {
    TablesProgram p;
    p.variable("X", 64);
    t.build(p);
    p.run();
    EXPECT_EQ(t.errors, p.errors());
  }
}

TEST(DataTable, DuplicateNameTakesTheIndexName) {
  TablesProgram p;
  p.variable("X", 1);
  sampledTable(sampledTable(p, "A"), "Public");
  p.run(false);
  EXPECT_EQ("T$2", p.table(2).name);
}

TEST(DataTable, StatusTableCompilesNoCall) {
  TablesProgram p;
  p.variable("X", 1).add(kCallTable, {"status"});
  p.run();
  EXPECT_TRUE(p.c.code.bytes.empty());
}

TEST(CallTable, IntervalAgainstTheScanInterval) {
  const struct {
    int interval;
    const char* errors;
  } cases[] = {
      {90, "line 5: DataTable interval 90 sec not integrally divisible by scan interval 60 sec."},
      {120, ""},
  };
  for (const auto& t : cases) {
    TablesProgram p;
    p.variable("X", 1)
        .add(kDataTable, {"A", kNone, 10})
        .add(kDataInterval, {0, t.interval, kUnitsSec})
        .add(kSample, {1, "X"})
        .add(kEndTable, {})
        .add(kCallTable, {"a"});
    p.scanEvery(60);
    p.run(false);
    EXPECT_EQ(t.errors, p.errors()) << t.interval;
    EXPECT_EQ(kTableFlagCalled | kTableFlagInterval, p.table(1).flags);
  }
}

TEST(TableFields, Resolution) {
  TablesProgram p;
  p.variable("X", 1).variable("Temp", 5)
      .add(kDataTable, {"Test", kNone, 10})
      .add(kSample, {5, "Temp"})
      .add(kSample, {1, "X"})
      .add(kEndTable, {});
  p.run(false);
  ASSERT_EQ("", p.errors());
  Compilation* c = &p.c;
  // A field whose indices start at 3, as an element source gives.
  c->tables.tables[1].fields[1].firstIndex = 3;
  c->tables.tables[1].fields[1].count = 2;
  c->diag.currentLine = 7;
  const struct {
    const char* name;
    std::int32_t element;
    int mode;
    int result;
    std::uint16_t table;
    std::uint16_t field;
    const char* errors;
  } cases[] = {
      {"Test.TIMESTAMP", kNoElement, kResolveIndex, 1, 0x8001, 0x8003, ""},
      {"Test.tablefull", kNoElement, kResolveIndex, 1, 0x8001, 0x8005, ""},
      {"Test.Temp", 5, kResolveIndex, 0, 0x8001, 0, ""},
      {"test.temp", kNoElement, kResolveRange, 0, 0x8001, 0, ""},
      {"Test.Temp", 9, kResolveIndex, 0, 0x8001, 0xFFFF, "line 7: Could not find Test.Temp(9)."},
      {"Test.Temp", 0, kResolveIndex, 0, 0x8001, 0xFFFF, "line 7: Could not find Test.Temp(0)."},
      {"Test.X", 2, kResolveIndex, 0, 0x8001, 1, ""},
      {"Test.X", 3, kResolveIndex, 0, 0x8001, 0xFFFF, "line 7: Could not find Test.X(3)."},
      {"Test.X", 4, kResolveRange, 0, 0x8001, 1, ""},
      {"Test.X", 5, kResolveRange, 0, 0x8001, 0xFFFF, "line 7: Could not find Test.X(5)."},
      {"Test.Nothing", kNoElement, kResolveIndex, 0, 0x8001, 0xFFFF,
       "line 7: Could not find Test.Nothing."},
      {"Public.Temp", kNoElement, kResolveIndex, 0, 0xFFFF, 1, ""},
      {"PUBLIC.Zz", kNoElement, kResolveIndex, 0, 0xFFFF, 0xFFFF,
       "line 7: Could not find PUBLIC.Zz."},
      {"status.progsig", kNoElement, kResolveIndex, 0, 0xFFFE, 4, ""},
      {"Status.Record", kNoElement, kResolveIndex, 1, 0xFFFE, 0x8002, ""},
      {"Nope.X", kNoElement, kResolveIndex, 0, 0xFFFF, 0xFFFF,
       "line 7: Could not find DataTable Nope."},
  };
  for (const auto& t : cases) {
    c->diag.errorText.clear();
    c->diag.errorCount = 0;
    std::uint16_t table = 0, field = 0;
    EXPECT_EQ(t.result, resolveTableField(*c, t.name, t.element, t.mode, table, field)) << t.name;
    EXPECT_EQ(t.table, table) << t.name;
    EXPECT_EQ(t.field, field) << t.name;
    EXPECT_EQ(t.errors, c->diag.errorText) << t.name;
  }
}

}  // namespace
}  // namespace vk6
