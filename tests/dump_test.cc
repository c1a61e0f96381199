// The image inspector: reports of compiled images, each corruption's
// message, the stack-code read-back, and the vk6dump program itself.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include <nlohmann/json.hpp>

#include "core/text.h"
#include "dump/disassembler.h"
#include "dump/image_reader.h"
#include "dump/report.h"
#include "dump_support.h"
#include "format/image_format.h"
#include "image/checksum.h"
#include "image/image_writer.h"
#include "parse/source_reader.h"

namespace vk6 {
namespace {

constexpr const char* kSmallProgram =
    "Public T, X(3)\r\n"
    "BeginProg\r\n"
    "  Scan(5, Sec)\r\n"
    "    T = X(2) + 1\r\n"
    "    If T > 2 Then T = 0\r\n"
    "  NextScan\r\n"
    "EndProg\r\n";

std::string problemLines(const ImageDump& dump) {
  std::string out;
  for (const std::string& p : dump.problems) out += p + "\n";
  return out;
}

void resign(Bytes& image) {
  storeU16(image, 6, computeSignature(kSignatureSeed, image.data() + 8, image.size() - 8));
}

TEST(DumpReport, CodeAndExpressionsReadBack) {
  const Bytes image = test::compiledImage(kSmallProgram);
  const ImageDump dump = inspectImage(image);
  const std::string report = reportText(dump, {true, nullptr});
  EXPECT_EQ(
      "Code: 36 bytes\n"
      "  0000 Scan: interval=5\n"
      "  0006 Expression: expression=T = X(2.0) + 1.0\n"
      "  000C If: condition=T > 2.0; kind=0; false=0020\n"
      "  0016 Expression: expression=T = 0.0\n"
      "  001C EndIf\n"
      "  0020 NextScan\n"
      "Expression area: 50 bytes\n"
      "  @0000 T = X(2.0) + 1.0\n"
      "    @0000 35 push 2.0\n"
      "    @0006 46 push element X\n"
      "    @000A 35 push 1.0\n"
      "    @0010  5 add\n"
      "    @0012 47 store T\n"
      "    @0016 39 end\n"
      "  @0018 T > 2.0\n"
      "    @0018 36 push T\n"
      "    @001C 35 push 2.0\n"
      "    @0022 15 gt\n"
      "    @0024 39 end\n"
      "  @0026 T = 0.0\n"
      "    @0026 35 push 0.0\n"
      "    @002C 47 store T\n"
      "    @0030 39 end\n",
      test::reportPart(report, "Code:", "Problems:"));
  EXPECT_EQ("Problems: none\n", report.substr(report.find("Problems:")));
  EXPECT_EQ(0, exitCodeOf(dump));
  EXPECT_NE(std::string::npos,
            report.find("Identification\n"
                        "  model: VK617Q.Std.03\n"
                        "  build date: 131104\n"
                        "  program name: prog.cr\n"));
  EXPECT_NE(std::string::npos, report.find("  14 scan offset: 0000\n"
                                           "  16 expression area offset: 82\n"
                                           "  18 scan interval: 5\n"));
}

TEST(DumpVerify, EachCorruptionHasItsMessage) {
  const Bytes original = test::builtImage(kSmallProgram);
  ASSERT_EQ(240u, original.size());
  const std::uint16_t stored = loadU16(original.data() + 6);
  // The line for an image whose bytes from 8 on are `image` once changed.
  auto signatureLine = [stored](const Bytes& image) {
    return formatString("image signature 0x%04X, computed 0x%04X\n", stored,
                      computeSignature(kSignatureSeed, image.data() + 8, image.size() - 8));
  };
  // Image offsets: code at 46, expression area at 82 (50 bytes).
  const struct {
    const char* what;
    std::function<void(Bytes&)> corrupt;
    bool resigned;
    int exitCode;
    std::string problems;
  } cases[] = {
      {"flipped next-record offset", [](Bytes& b) { b[46 + 8] ^= 1; }, false, 1,
       "record at 0006 (Expression): next-record offset 000D, expected 000C\n"},
      {"truncated", [](Bytes& b) { b.resize(b.size() - 10); }, false, 1,
       "image length field says 240 bytes, the file has 230\n"
       "@signature\n"
       "table headers offset 240 lies outside the image (230 bytes)\n"},
      {"short", [](Bytes& b) { b.resize(45); }, false, 2,
       "file of 45 bytes is too short for a program header (46 bytes)\n"},
      {"magic", [](Bytes& b) { b[1] = 0x5B; }, false, 2,
       "magic 0x5BFE, expected 0x5AFE\n"},
      {"length field", [](Bytes& b) { b[8] += 1; }, true, 1,
       "image length field says 241 bytes, the file has 240\n"},
      {"fixed word", [](Bytes& b) { b[24] = 253; }, true, 1,
       "header word at 24 (locations) is 253, expected 254\n"},
      {"model signature", [](Bytes& b) { b[2] ^= 0x10; }, true, 1,
       "model signature 0x7097 does not match the model string VK617Q.Std.03 "
       "(0x7087)\n"},
      {"scan offset", [](Bytes& b) { b[14] = 2; }, true, 1,
       "scan offset 0002 is not at a record\n"},
      {"jump target", [](Bytes& b) { b[46 + 0x0C + 8] = 0x1E; }, true, 1,
       "record at 000C (If): false 001E is not at a record\n"},
      {"operand past the area", [](Bytes& b) { b[46 + 0x1A] = 0x32; }, true, 1,
       "record at 0016 (Expression): expression @0032 lies outside the "
       "expression area (50 bytes)\n"},
      {"deferred operand", [](Bytes& b) { b[46 + 0x1A] = 1; b[46 + 0x1B] = 0x80; },
       true, 1,
       "record at 0016 (Expression): expression 8001 is an unresolved deferred "
       "expression\n"},
      {"unknown record", [](Bytes& b) { b[46 + 0x1C] = 4; }, true, 1,
       "record at 001C: unknown record opcode 4\n"},
      {"unknown stack opcode", [](Bytes& b) { b[82 + 0x22] = 99; }, true, 1,
       "expression @0018: unknown stack opcode 99 at @0022\n"},
      {"expression area offset", [](Bytes& b) { b[16] += 2; }, true, 1,
       "record at 0024: 2 bytes left, too few for a record\n"
       "expression @0000: unknown stack opcode 0 at @0000\n"
       "expression @0018: unknown stack opcode 256 at @0018\n"
       "expression @0026: unknown stack opcode 0 at @0026\n"},
      {"table headers offset", [](Bytes& b) { b[26] = 100; b[27] = 0; }, true, 1,
       "table headers offset 100 leaves no room for the identification block "
       "after the expression area at 82\n"},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.what);
    Bytes image = original;
    t.corrupt(image);
    std::string expected = t.problems;
    if (t.resigned) {
      resign(image);
    } else if (t.exitCode == 1) {
      // The signature line stands first, or in the place marked for it.
      const std::size_t mark = expected.find("@signature\n");
      if (mark == std::string::npos) {
        expected = signatureLine(image) + expected;
      } else {
        expected.replace(mark, 11, signatureLine(image));
      }
    }
    const ImageDump dump = inspectImage(image);
    EXPECT_EQ(expected, problemLines(dump));
    EXPECT_EQ(t.exitCode, exitCodeOf(dump));
  }
  EXPECT_EQ("", problemLines(inspectImage(original, {.model = "VK617Q"})));
  EXPECT_EQ("image is for model VK617Q.Std.03, not VK610Q\n",
            problemLines(inspectImage(original, {.model = "VK610Q"})));
}

// Every truncation and every flipped byte of a sound image is read without
// a fault and never passes as sound.
TEST(DumpVerify, DamagedBytesAreNeverSound) {
  const Bytes original = test::builtImage(kSmallProgram);
  for (std::size_t size = 0; size < original.size(); ++size) {
    const Bytes cut(original.begin(), original.begin() + static_cast<long>(size));
    EXPECT_NE(0, exitCodeOf(inspectImage(cut))) << size;
  }
  for (std::size_t at = 0; at < original.size(); ++at) {
    Bytes image = original;
    image[at] ^= 0xFF;
    const ImageDump dump = inspectImage(image);
    EXPECT_NE(0, exitCodeOf(dump)) << at;
    reportText(dump);
    reportJson(dump);
  }
}

// One field of a hand-made table: what the image writer and the
// definitions need of it.
struct FieldSpec {
  const char* name;
  std::uint8_t type;
  std::uint16_t byteSize;
  std::uint32_t count;
  std::uint32_t subDimension;
  const char* units;
  const char* processing;
};

void putBe32(Bytes& b, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) b.push_back(static_cast<std::uint8_t>(v >> shift));
}
void putName(Bytes& b, const std::string& s) {
  b.insert(b.end(), s.begin(), s.end());
  b.push_back(0);
}

// The table-definition block of `tables`, laid out as the final
// allocation builds it.
Bytes definitionsOf(const std::vector<std::pair<std::string, std::vector<FieldSpec>>>& tables) {
  Bytes b = {0x01};
  for (const auto& [name, fields] : tables) {
    putName(b, name);
    const std::size_t lengthAt = b.size();
    putU32(b, 0);
    b.push_back(0x0C);
    b.insert(b.end(), 16, 0);
    for (const FieldSpec& f : fields) {
      b.push_back(f.type);
      putName(b, f.name);
      b.push_back(0);
      putName(b, f.processing);
      putName(b, f.units);
      b.push_back(0);
      putBe32(b, 1);
      putBe32(b, f.count);
      if (f.subDimension > 1) putBe32(b, f.subDimension);
      putBe32(b, 0);
    }
    b.push_back(0);
    storeU32(b, lengthAt, static_cast<std::uint32_t>(b.size() - lengthAt));
  }
  return b;
}

struct TableImage {
  Bytes image;
  Bytes definitions;
};

TableImage tableImage() {
  const std::vector<std::pair<std::string, std::vector<FieldSpec>>> specs = {
      {"Status", {{"OSVersion", 11, 1, 1, 0, "", ""}}},
      {"Hourly",
       {{"PTemp_Avg", 9, 4, 1, 0, "Deg C", "Avg"}, {"Wind", 9, 36, 3, 3, "", "WVc"}}},
      {"Public", {{"PTemp", 9, 4, 1, 0, "", ""}}},
  };
  TableImage out;
  out.definitions = definitionsOf(specs);
  Compilation c;
  c.options.build = test::modelVK617Q();
  c.pass1.source.path = "prog.cr";
  c.code.bytes = {2, 0, 6, 0, 10, 0, 0, 0, 10, 0};
  std::vector<TableDescriptor> tables;
  for (std::size_t t = 0; t < specs.size(); ++t) {
    TableDescriptor table;
    table.name = specs[t].first;
    table.recordSize = t == 1 ? 44 : 4;
    table.recordsPer512 = t == 1 ? 12 : 0;
    table.interval = t == 1 ? 3600 : 0;
    table.offset = t == 1 ? 60 : 0;
    table.blocks = t == 1 ? 300 : 1;
    table.flags = t == 1 ? 7 : 0;
    std::int32_t byteOffset = 0;
    for (const FieldSpec& f : specs[t].second) {
      FieldDescriptor field;
      field.name = f.name;
      field.byteOffset = byteOffset;
      field.byteSize = f.byteSize;
      field.dataType = f.type;
      table.fields.push_back(field);
      byteOffset += f.byteSize;
    }
    tables.push_back(table);
  }
  ImageInputs inputs;
  inputs.tables = tables;
  inputs.definitions = &out.definitions;
  inputs.publicTablePosition = 3;
  EXPECT_TRUE(buildProgramImage(c, inputs, out.image));
  return out;
}

TEST(DumpReport, TablesAndFieldsFromHeadersAndDefinitions) {
  const TableImage t = tableImage();
  const ImageDump dump = inspectImage(t.image);
  EXPECT_EQ(
      "Tables: 3\n"
      "  0 Status: interval 0 s, offset 0 s, record 4 bytes, size 1 blocks, 0 records "
      "per 512 bytes, flags 0x00, 1 fields\n"
      "    0 OSVersion: type 11, byte offset 0, first index 1, count 1, units \"\", "
      "processing \"\"\n"
      "  1 Hourly: interval 3600 s, offset 60 s, record 44 bytes, size 300 blocks, 12 "
      "records per 512 bytes, flags 0x07, 2 fields\n"
      "    0 PTemp_Avg: type 9, byte offset 0, first index 1, count 1, units \"Deg C\", "
      "processing \"Avg\"\n"
      "    1 Wind: type 9, byte offset 4, first index 1, count 3, sub-dimension 3, units "
      "\"\", processing \"WVc\"\n"
      "  2 Public: interval 0 s, offset 0 s, record 4 bytes, size 1 blocks, 0 records "
      "per 512 bytes, flags 0x00, 1 fields\n"
      "    0 PTemp: type 9, byte offset 0, first index 1, count 1, units \"\", "
      "processing \"\"\n",
      test::reportPart(reportText(dump, {true, nullptr}), "Tables:", "Code:"));
  EXPECT_EQ("", problemLines(dump));
}

TEST(DumpVerify, TableCorruptionsHaveTheirMessages) {
  const TableImage original = tableImage();
  const std::uint8_t* bytes = original.image.data();
  const std::size_t headers = loadU16(bytes + program_header::kTableHeaders);
  const std::size_t defs = loadU16(bytes + program_header::kDefinitions);
  const std::size_t hourly = headers + kTableHeaderSize;
  const std::size_t hourlyEntry = defs + loadU16(bytes + hourly + table_header::kNameEnd);
  const std::size_t fieldHeaders = headers + 3 * kTableHeaderSize;
  const struct {
    const char* what;
    std::function<void(Bytes&)> corrupt;
    const char* problems;
  } cases[] = {
      {"data table marker", [&](Bytes& b) { storeU32(b, hourlyEntry, 0x01000000); },
       "table 1 (Hourly): definition marker 0x01000000, expected 0xFFFFFFFF\n"},
      {"status signature", [&](Bytes& b) { b[headers + 26] ^= 1; },
       "table 0 (Status): entry signature 0xA5B6, computed 0xA5B7\n"},
      {"data table signature", [&](Bytes& b) { b[hourly + 26] = 0; },
       "table 1 (Hourly): entry signature 0xFF00, expected 0xFFFF\n"},
      {"field header name", [&](Bytes& b) { b[fieldHeaders + 24 + 6 + 8] = 'x'; },
       "table 1 (Hourly): field 0 is PTemp_Avg in the definitions, PTemp_Avx in its "
       "header\n"},
      {"field header type", [&](Bytes& b) { b[fieldHeaders + 4] = 12; },
       "table 0 (Status): field 0 (OSVersion) has data type 11 in the definitions, "
       "12 in its header\n"},
      {"table byte", [&](Bytes& b) { b[hourlyEntry + 4] = 0x0D; },
       "table 1 (Hourly): table byte 0x0D, expected 0x0C\n"},
      {"first header word", [&](Bytes& b) { b[headers] += 1; },
       "table 0 (Status): first header word 57, expected 56\n"},
      {"field headers offset", [&](Bytes& b) { b[hourly + 18] += 24; },
       "table 1 (Hourly): field headers at 350, expected 326\n"},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.what);
    Bytes image = original.image;
    t.corrupt(image);
    resign(image);
    EXPECT_EQ(t.problems, problemLines(inspectImage(image)));
  }
}

// Hand-written stack code: words, and what it reads back as.
TEST(Disassembler, StackCodeReadsBackAsExpressions) {
  const std::uint16_t one[2] = {0x0000, 0x3F80};   // 1.0
  const std::uint16_t two[2] = {0x0000, 0x4000};   // 2.0
  const std::uint16_t three[2] = {0x0000, 0x4040}; // 3.0
  const std::uint16_t x = 0x0301;                  // X(3) at location 1
  const std::uint16_t t = 0x0100;                  // T at location 0
  auto push = [](const std::uint16_t f[2]) {
    return std::vector<std::uint16_t>{35, f[0], f[1]};
  };
  auto cat = [](std::initializer_list<std::vector<std::uint16_t>> parts) {
    std::vector<std::uint16_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
  };
  const struct {
    std::vector<std::uint16_t> words;
    const char* text;
    const char* problem;
  } cases[] = {
      {{49, t}, "v[0]", ""},
      {{40, one[0], one[1]}, "1.0", ""},
      {cat({push(two), {50, x}}), "v[1..3](2.0)", ""},
      {cat({{36, t}, push(one), {5, 39}}), "v[0] + 1.0", ""},
      {cat({push(one), push(one), {57, 0xFFFF, 1, 39}}), "Public.Batt(1.0, 1.0)", ""},
      {cat({push(two), push(three), push(two), {59, 59, 39}}), "2.0 ^ 3.0 ^ 2.0", ""},
      {cat({push(two), push(three), {59}, push(two), {59, 39}}),
       "(2.0 ^ 3.0) ^ 2.0", ""},
      {cat({push(two), push(two), {59, 10, 39}}), "-2.0 ^ 2.0", ""},
      {cat({push(two), {10}, push(two), {59, 39}}), "(-2.0) ^ 2.0", ""},
      {cat({{36, t}, {36, t}, push(one), {6, 6, 39}}), "v[0] - (v[0] - 1.0)", ""},
      {cat({{36, t}, push(one), {19}, {36, t}, push(two), {15, 13, 14, 39}}),
       "NOT (v[0] < 1.0 AND v[0] > 2.0)", ""},
      {cat({push(one), {36, t, 36, t, 3, 22, 0, 39}}),
       "IIF(1.0, v[0], v[0])", ""},
      {{3, 12, 0, 39}, "RND", ""},
      {cat({push(three), {47, t, 39}}), "v[0] = 3.0", ""},
      {cat({{36, t}, push(one), {48, x, 39}}), "v[1..3](v[0]) = 1.0", ""},
      {cat({push(one), {58}, push(two), push(three), {45, 11, 39}}),
       "1.0 OR 2.0 TO 3.0", ""},
      {{5, 39}, "", "stack underflow at @0000"},
      {{36, t, 99}, "", "unknown stack opcode 99 at @0004"},
      {{36, t}, "", "code runs past the end of the expression area at @0004"},
      {{36, t, 36, t, 39}, "", "code ends with 2 values on the stack"},
      {{3, 25, 0, 39}, "", "unknown function code 25 at @0000"},
  };
  const Naming naming = {[](std::uint16_t table, std::uint16_t field) {
    return table == 0xFFFF && field == 1 ? std::string("Public.Batt") : std::string("?");
  }, {}};
  for (const auto& c : cases) {
    Bytes area;
    for (std::uint16_t w : c.words) putU16(area, w);
    const Disassembly d = disassembleExpression(area, 0, naming);
    EXPECT_EQ(c.problem, d.problem) << c.text;
    if (d.problem.empty()) {
      EXPECT_EQ(c.text, d.expression);
    }
  }
}

TEST(Disassembler, IfTimeBlockShowsItsSeconds) {
  // The block first (into 0, interval 600), then the code that points at it.
  Bytes area;
  putU32(area, 0);
  putU32(area, 600);
  for (int w : {38, 0, 0, 3, 23, 0, 39}) putU16(area, static_cast<std::uint16_t>(w));
  const Disassembly d = disassembleExpression(area, 8, {});
  EXPECT_EQ("", d.problem);
  EXPECT_EQ("IFTIME(0, 600, Sec)", d.expression);
  ASSERT_EQ(1u, d.blocks.size());
  EXPECT_EQ(8u, d.blocks[0].length);
}

// The records a program compiles to, as the report lists them, without
// offsets and without the Scan and NextScan around the body.
std::string recordLines(const std::string& tables, const std::string& body) {
  const Bytes image = test::compiledImage("Public T, X(3), Res, Regs(4)\r\n" + tables +
                                          "BeginProg\r\n  Scan(10, Sec)\r\n" + body +
                                          "  NextScan\r\nEndProg\r\n");
  const std::string code =
      test::reportPart(reportText(inspectImage(image)), "Code:", "Expression area:");
  std::string out;
  std::size_t at = code.find('\n') + 1;
  while (at < code.size()) {
    const std::size_t end = code.find('\n', at);
    const std::string line = code.substr(at + 7, end - at - 7);
    if (!line.starts_with("Scan:") && line != "NextScan") out += line + "\n";
    at = end + 1;
  }
  return out;
}

TEST(DumpReport, RecordsShowTheirInstructionAndParametersAsWritten) {
  const char* table = "DataTable(Hourly, True, -1)\r\n  DataInterval(0, 60, Min)\r\n";
  const struct {
    std::string tables;
    const char* body;
    const char* records;
  } cases[] = {
      {std::string(table) + "  Totalize(1, T, False)\r\n  StdDev(1, T, False)\r\n"
       "  Maximum(2, X(2), Res, 1)\r\n  EToDaily(T, X(1), X(2), X(3), 1, 2, 3, 4)\r\n"
       "EndTable\r\n",
       "    CallTable Hourly\r\n",
       "DataTable: table=Hourly; trigger=-1.0\n"
       "Totalize: source=T; disable=0.0; reps=1; table=Hourly; location=252 (state); "
       "kind=2\n"
       "StdDev: source=T; disable=0.0; reps=1; table=Hourly; location=248 (state); kind=0\n"
       "Maximum: source=X(2.0); disable=Res; table=Hourly; reps=2; location=243 (state); "
       "maximum=1; timeOption=1\n"
       "EToDaily: source1=T; source2=X(1.0); source3=X(2.0); source4=X(3.0); "
       "parameter8=4.0; parameter5=1.0; parameter6=2.0; parameter7=3.0; table=Hourly; "
       "location=232 (state); daily=1\n"
       "EndTable: table=Hourly\n"
       "CallTable: table=Hourly at 0000; return=005E\n"},
      {"", "    VoltSe(X(), 3, 2, 0.5, Regs())\r\n",
       "VoltSe: channel=2; destination=X; offset=Regs; multiplier=0.5; reps=3; "
       "offsetPerRep=1; multiplierPerRep=0\n"},
      {"", "    ExDelSE(X(), 3, 1, 2, 5000, 1000, 0.5, 0)\r\n    ThermPrb(T, 1, 4, 2, 1.0, 0)\r\n",
       "ExDelSE: channel=1; excitation=2, 5000 mV; destination=X; offset=0.0; "
       "multiplier=0.5; delay=1000; reps=3; probe=0; offsetPerRep=0; multiplierPerRep=0\n"
       "ThermPrb: channel=4; excitation=2, 2500 mV; destination=T; offset=0.0; "
       "multiplier=1.0; reps=1; probe=1; offsetPerRep=0; multiplierPerRep=0\n"},
      {"", "    PeriodAvg(T, 2, 0, 10, 5, 3, 1.0, 0)\r\n    Pulsecount(T, C2, 0, 1, 1.0, 0)\r\n"
       "    ExciteV(2, 2500)\r\n",
       "PeriodAvg: destination=T; multiplier=1.0; offset=0.0; cycles=10; timeout=5; "
       "range=3; channel=2; option=0\n"
       "PulseCount: config=C2, PConfig 0, POption 1; destination=T; offset=0.0; "
       "multiplier=1.0; location=253 (state)\n"
       "ExciteV: excitation=2, 2500 mV\n"},
      {"", "    PortSet(2, 1)\r\n    AnalogPortGet(T, 6)\r\n    Delay(250, msec)\r\n"
       "    ReadSendGetInfo(Res, 2)\r\n",
       "PortSet: value=1.0; port=2\n"
       "AnalogPortGet: channel=6; destination=T\n"
       "Delay: amount=250; units=msec\n"
       "ReadSendGetInfo: destination=Res; port=2\n"},
      {"", "    Print(C2, 1200, \"\xC2\xB0" "C=\", T; CHR$(13))\r\n",
       "Print: item2=T; items=3; baud=1200; slot1=\"\xC2\xB0" "C=\"; slot3=\"\\x0D\"; "
       "kind1=string; kind2=expression; kind3=character; separator1=','; separator2=';'; "
       "separator3=none; port=C2; negativePort=0\n"},
      {"", "    SetStatus(RfPwrMode, RF8S_LH)\r\n    SetStatus(RfAddress, 3)\r\n",
       "SetStatus: type=11; field=RfPwrMode; mode=\"RF8S_LH\"\n"
       "SetStatus: value=3.0; type=21; field=RfAddress\n"},
      // The master's result variable is the first expression: offset 0.
      {"", "    ModBusMaster(Res, 2, 9600, 1, 3, Regs(1), 1, 1, 3, 100)\r\n"
       "    SDI12Recorder(X(), \"0M!\", 1.0, 0)\r\n",
       "ModBus: operand1=Regs(1.0); operand2=Res; operand3=1.0; port=2; function=3; "
       "baud=9600; word16=20; word18=26; timeout=100; bufferSize=76; location=229 (state); "
       "byte25=3; dataType=0; flag=0\n"
       "SDI12Recorder: destination=X; multiplier=1.0; offset=0.0; substitution=0; "
       "command=\"0M!\"; offsetPerRep=0; multiplierPerRep=0\n"},
      {"", "    ModBusSlave(2, 1200, 1, Regs, 0)\r\n",
       "ModBus: operand1=Regs; operand2=none; operand3=1.0; port=2; function=0; baud=1200; "
       "word16=0; word18=0; timeout=0; bufferSize=28; location=241 (state); byte25=0; "
       "dataType=0; flag=0\n"},
      {"", "    SerialInput(X, 1, 0, \"AB\", 4, 2400)\r\n",
       "SerialInput: destination=X; reps=1; baud=2400; filter=\"AB\"; byte=0; "
       "location1=245 (state); port=4; location2=241 (state)\n"},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.body);
    EXPECT_EQ(t.records, recordLines(t.tables, t.body));
  }
}

// Text in the image: UTF-8 as it stands, anything else escaped.
TEST(DumpReport, TextsAreUtf8OrEscaped) {
  const struct {
    const char* bytes;
    const char* quoted;
  } cases[] = {
      {"\xC2\xB0" "C", "\"\xC2\xB0" "C\""},
      {"\xB0" "C", "\"\\xB0C\""},                  // Latin-1
      {"\xC2", "\"\\xC2\""},                       // cut short
      {"\xC0\xB0", "\"\\xC0\\xB0\""},              // overlong
      {"\xED\xA0\x80", "\"\\xED\\xA0\\x80\""},     // a surrogate
      {"\xF0\x9F\x8C\xA7", "\"\xF0\x9F\x8C\xA7\""},
      {"a\"b\\\t", "\"a\\\"b\\\\\\x09\""},
  };
  for (const auto& t : cases) EXPECT_EQ(t.quoted, quotedText(t.bytes)) << t.bytes;
}

TEST(DumpReport, LocationsByTheVariableThatHoldsThem) {
  const Naming naming = {nullptr, {{0, 1, "AirT"}, {1, 3, "Temp"}, {5, 2, "Pair"}}};
  const struct {
    std::uint16_t word;
    const char* text;
  } cases[] = {
      {0x0100, "AirT"},  {0x0000, "AirT"},         {0x0301, "Temp"},
      {0x0102, "Temp(2)"}, {0x0202, "Temp(2..3)"}, {0x0203, "v[3..4]"},
      {0x0104, "v[4]"},    {0x0106, "Pair(2)"},    {0x0200, "v[0..1]"},
  };
  for (const auto& t : cases) EXPECT_EQ(t.text, naming.location(t.word)) << t.word;
}

// One inspector for the images of both models; --model, --source and the
// command line's faults.
TEST(DumpProgram, ReadsBothModelsAndTheirSource) {
  const std::filesystem::path folder = test::scratchFolder("dump_program");
  test::writeFile(folder / "prog.cr", kSmallProgram);
  test::writeFile(folder / "old.cr", std::string(kSmallProgram) + "' changed\r\n");
  for (const char* compiler : {VK6_VK610Q_BINARY, VK6_VK617Q_BINARY}) {
    ASSERT_EQ(0, test::runIn(folder, compiler, "prog.cr").exitCode);
    std::filesystem::rename(folder / "prog.bin",
                            folder / (compiler == std::string(VK6_VK610Q_BINARY)
                                          ? "610.bin" : "617.bin"));
  }
  const struct {
    const char* arguments;
    int exitCode;
    const char* out;  // the start of standard output, or the part shown
    const char* err;
  } cases[] = {
      {"617.bin", 0, "Image of 1744 bytes for VK617Q: sound\n", ""},
      {"--model VK610Q 610.bin", 0, "Image of 1744 bytes for VK610Q: sound\n", ""},
      {"--model VK617Q.Std.03 617.bin", 0, "Image of 1744 bytes for VK617Q: sound\n", ""},
      {"--model vk617q 617.bin", 0, "Image of 1744 bytes for VK617Q: sound\n", ""},
      {"--model VK611Q 617.bin", 2, "", "vk6dump: unknown model VK611Q (VK617Q or VK610Q)\n"},
      {"--model VK610Q 617.bin", 1,
       "Problems: 1\n  image is for model VK617Q.Std.03, not VK610Q\n", ""},
      {"--source prog.cr 610.bin", 0,
       "Code: 36 bytes\n"
       "   1 | Public T, X(3)\n"
       "   2 | BeginProg\n"
       "   3 |   Scan(5, Sec)\n"
       "       0000 Scan: interval=5\n"
       "   4 |     T = X(2) + 1\n"
       "       0006 Expression: expression=T = X(2.0) + 1.0\n"
       "   5 |     If T > 2 Then T = 0\n"
       "       000C If: condition=T > 2.0; kind=0; false=0020\n"
       "       0016 Expression: expression=T = 0.0\n"
       "       001C EndIf\n"
       "   6 |   NextScan\n"
       "       0020 NextScan\n"
       "   7 | EndProg\n",
       ""},
      {"--source old.cr 617.bin", 1, "",
       "vk6dump: 617.bin was built from another version of old.cr (source signature "
       "0xD914 in the image, 0x00E7 of the file)\n"},
      {"--source missing.cr 617.bin", 2, "", "vk6dump: cannot open missing.cr\n"},
      {"prog.cr", 2, "Image of 107 bytes: not an image\n", ""},
      {"missing.bin", 2, "", "vk6dump: cannot open missing.bin\n"},
      {"", 2, "", "usage: vk6dump [--json] [--all] [--model MODEL] [--source PROG] image.bin\n"},
      {"617.bin --model", 2, "",
       "usage: vk6dump [--json] [--all] [--model MODEL] [--source PROG] image.bin\n"},
      {"--version --json 617.bin", 0,
       "vk6dump (vk6comp) " VK6_VERSION "\nModels: VK617Q.Std.03, VK610Q.Std.03\n", ""},
      {"--help", 0, "Usage: vk6dump [options] image.bin\nPrints a program image (.bin) of any "
       "VK6xx model", ""},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.arguments);
    const test::ProgramRun run = test::runIn(folder, VK6_DUMP, t.arguments);
    EXPECT_EQ(t.exitCode, run.exitCode);
    const std::string part = test::reportPart(run.out, "Code:", "Expression area:");
    const std::string problems = run.out.substr(std::min(run.out.size(), run.out.find("Problems:")));
    const std::string out = std::string(t.out).starts_with("Code:")       ? part
                            : std::string(t.out).starts_with("Problems:") ? problems
                                                                         : run.out;
    EXPECT_TRUE(out.starts_with(t.out)) << out;
    EXPECT_EQ(t.err, test::readFile(folder / "stderr.txt"));
  }
}

// The lines of `text` from its first line that starts with `prefix`.
std::vector<std::string> linesFrom(const std::string& text, const std::string& first,
                                   const std::string& last) {
  std::vector<std::string> lines = sourceLines(test::reportPart(text, first, last));
  if (!lines.empty()) lines.erase(lines.begin());
  return lines;
}

// Each example compiled for each model and read back with its source: the
// listing holds every source line in order, names every variable, and
// the JSON document holds the same records; an edited source is refused.
TEST(DumpExamples, ListedWithTheirSourceOnBothModels) {
  const std::filesystem::path folder = test::scratchFolder("dump_examples");
  for (const auto& entry : std::filesystem::directory_iterator(VK6_EXAMPLES_DIR)) {
    const std::string file = entry.path().filename().string();
    if (entry.path().extension() != ".vk6") continue;
    const std::string source = test::readFile(entry.path());
    test::writeFile(folder / file, source);
    test::writeFile(folder / "edited.vk6", source + "' edited\r\n");
    for (const BuildInfo& build : {test::modelVK617Q(), test::modelVK610Q()}) {
      const std::string model = build.model.substr(0, 6);
      SCOPED_TRACE(file + " on " + model);
      const CompileResult r = compileProgram({source, file}, build);
      if (r.outcome() != Outcome::kCompiled) continue;  // no GOES on the VK610Q
      test::writeFile(folder / "prog.bin", std::string(r.image.begin(), r.image.end()));

      const std::string arguments = "--model " + model + " --source " + file + " prog.bin";
      const test::ProgramRun text = test::runIn(folder, VK6_DUMP, arguments);
      EXPECT_EQ(0, text.exitCode);
      EXPECT_TRUE(text.out.starts_with(formatString("Image of %zu bytes for %s: sound\n",
                                                    r.image.size(), model.c_str())));
      std::vector<std::string> listed;
      std::vector<std::string> records;
      for (const std::string& line : linesFrom(text.out, "Code:", "Expression area:")) {
        if (line.compare(4, 2, " |") == 0) {
          listed.push_back(line.size() > 7 ? line.substr(7) : "");
        } else {
          records.push_back(line.substr(7));
        }
        EXPECT_EQ(std::string::npos, line.find("v[")) << line;
      }
      EXPECT_EQ(sourceLines(source), listed);

      const test::ProgramRun json = test::runIn(folder, VK6_DUMP, "--json " + arguments);
      const nlohmann::json j = nlohmann::json::parse(json.out);
      EXPECT_EQ(model, j["model"]);
      std::vector<std::string> fromJson;
      for (const auto& record : j["code"]["records"]) {
        EXPECT_LT(0, record["line"].get<int>());
        std::string line = formatString("%04X ", record["offset"].get<unsigned>()) +
                           record["instruction"].get<std::string>();
        const char* separator = ": ";
        for (const auto& f : record["fields"]) {
          if (f["unused"] || f["kind"] == "opcode" || f["kind"] == "next offset") continue;
          line += separator + f["name"].get<std::string>() + "=" + f["text"].get<std::string>();
          separator = "; ";
        }
        fromJson.push_back(line);
      }
      EXPECT_EQ(records, fromJson);

      const test::ProgramRun edited =
          test::runIn(folder, VK6_DUMP, "--source edited.vk6 prog.bin");
      EXPECT_EQ(1, edited.exitCode);
      EXPECT_EQ("", edited.out);
      EXPECT_TRUE(test::readFile(folder / "stderr.txt")
                      .starts_with("vk6dump: prog.bin was built from another version of "
                                   "edited.vk6 (source signature "));
    }
  }
}

}  // namespace
}  // namespace vk6
