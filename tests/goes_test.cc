#include <gtest/gtest.h>

#include "communication_support.h"
#include "instructions/communication.h"
#include "instructions/communication_support.h"

namespace vk6 {
namespace {

using enum HandlerResult;
using test::RecordMaker;

constexpr const char* kTimes = ", \"00_01_00_00\", \"00_00_30\", \"01_00_00\")";

struct SetupParams {
  std::uint32_t platform = 0x1234ABCE;
  std::int32_t window = 10, stChannel = 195, stBaud = 300, rChannel = 7, rBaud = 100;
  std::string times = kTimes;
};

HandlerResult compileSetup(Compilation& c, const SetupParams& s) {
  RecordMaker m(kGOESSetup);
  m.word(0x0101).word(s.platform).word(static_cast<std::uint32_t>(s.window));
  m.word(static_cast<std::uint32_t>(s.stChannel)).word(static_cast<std::uint32_t>(s.stBaud));
  m.word(static_cast<std::uint32_t>(s.rChannel)).word(static_cast<std::uint32_t>(s.rBaud));
  m.text(s.times);
  return handleGOESSetup(c, m.statement());
}

TEST(Goes, SetupRecordWithChecksums) {
  Compilation c;
  test::startAtLine1(c);
  EXPECT_EQ(kCompiled, compileSetup(c, SetupParams{}));
  EXPECT_EQ(Bytes({0x37, 0x00, 0x28, 0x00, 0x01, 0x01,
                   // ST: baud code 2, channel 195, 0d 1h 0m 0s, offset 30 s,
                   // window 10, checksum 240
                   0x02, 0x02, 0x00, 0xC3, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,
                   0x1E, 0x0A, 0x00, 0x00, 0x00, 0xF0,
                   // R: baud code 1, channel 7, 1h 0m 0s, checksum 12
                   0x03, 0x01, 0x00, 0x07, 0x01, 0x00, 0x00, 0x00, 0x00, 0x0C,
                   // platform 0x1234ABCE, checksum 1 + 0x12 + 0x34 + 0xAB + 0xCE
                   0x01, 0x12, 0x34, 0xAB, 0xCE, 0x01, 0xC0, 0x00}),
            c.code.bytes);
  EXPECT_EQ("", c.diag.errorText);
}

TEST(Goes, SetupChecks) {
  auto with = [](auto change) {
    SetupParams s;
    change(s);
    return s;
  };
  const struct {
    SetupParams setup;
    HandlerResult result;
    const char* errors;
  } cases[] = {
      {with([](SetupParams& s) { s.platform = 0x1234ABCF; }), kCompiled,
       "line 1: PlatFormID = 1234abcf must be an even address"},
      {with([](SetupParams& s) { s.window = 120; }), kCompiled, ""},
      {with([](SetupParams& s) { s.window = 121; }), kCompiled,
       "line 1: Invalid MsgWindow = 121 only 1 to 120 are accepted"},
      {with([](SetupParams& s) { s.window = 0; }), kCompiled,
       "line 1: Invalid MsgWindow = 0 only 1 to 120 are accepted"},
      {with([](SetupParams& s) { s.stBaud = 600; s.stChannel = 999; }), kCompiled,
       "line 1: Invalid STBaud 600 must be 100,300 or 1200"},
      {with([](SetupParams& s) { s.rBaud = 2400; }), kCompiled,
       "line 1: Invalid STBaud 2400 must be 100,300 or 1200"},
      {with([](SetupParams& s) { s.stChannel = 566; s.rChannel = 567; }), kCompiled,
       "line 1: RChannel 567 must be 0-566"},
      {with([](SetupParams& s) { s.stChannel = 567; }),
       kCompiled, "line 1: STChannel 567 must be 0-566"},
      {with([](SetupParams& s) { s.times = ", \"14_00_00_00\", \"23_59_59\", \"24_00_00\")"; }),
       kCompiled, ""},
      {with([](SetupParams& s) { s.times = ", \"14_00_00_01\", \"00_00_00\", \"24_00_01\")"; }),
       kCompiled, "line 1: Interval can not be greater than 14 days\r\n"
       "line 1: R_Interval can not be greater than 24 Hours"},
      {with([](SetupParams& s) { s.times = ", \"15_24_60_60\", \"24_60_60\", \"25_60_60\")"; }),
       kCompiled, "line 1: Invalid STInterval Days 15 must be 0-14\r\n"
       "line 1: Invalid STInterval Hours 24 must be 0-23\r\n"
       "line 1: Invalid STInterval Minutes 60 must be 0-59\r\n"
       "line 1: Invalid STInterval Seconds 60 must be 0-59\r\n"
       "line 1: Invalid STOffset Hours 24 must be 0-23\r\n"
       "line 1: Invalid STOffset Minutes 60 must be 0-59\r\n"
       "line 1: Invalid STOffset Seconds 60 must be 0-59\r\n"
       "line 1: Invalid R_Interval Hours 25 must be 0-24\r\n"
       "line 1: Invalid R_Interval Minutes 60 must be 0-59\r\n"
       "line 1: Invalid R_Interval Seconds 60 must be 0-59"},
      // Intervals must be longer than 10 seconds.
      {with([](SetupParams& s) { s.times = ", \"00_00_00_11\", \"00_00_00\", \"00_00_10\")"; }),
       kCompiled, "line 1: Interval must be greater than 10 seconds"},
      // Short pieces before the strings are passed over, at most two.
      {with([](SetupParams& s) { s.times = ", 100, \"00_01_00_00\", \"00_00_30\", \"01_00_00\")"; }),
       kCompiled, ""},
      {with([](SetupParams& s) { s.times = ", \"00_01_00_00\", \"00_00\", \"01_00_00\")"; }),
       kStop, "line 1: Invalid STOffset string must be in the format xx_xx_xx"},
      {with([](SetupParams& s) { s.times = ", \"00_01_00\", \"00_00_30\", \"01_00_00\")"; }),
       kStop, "line 1: Invalid STInterval string must be in the format xx_xx_xx_xx"},
      {with([](SetupParams& s) { s.times = ", \"00_01_00_00\", \"00_00_30\", \"01_00\")"; }),
       kStop, "line 1: Invalid RInterval string must be in the format xx_xx_xx"},
      {with([](SetupParams& s) { s.times = ", \"00_01_00_00\", \"00_00_30\")"; }), kStop,
       "line 1: Invalid or missing string parameters for STInterval,STOffset,RInterval"},
      // The text may have 100 characters, not 101.
      {with([](SetupParams& s) { s.times = std::string(kTimes) + std::string(60, ' '); }),
       kCompiled, ""},
      {with([](SetupParams& s) { s.times = std::string(kTimes) + std::string(61, ' '); }), kStop,
       "line 1: Invalid or missing string parameters for STInterval,STOffset,RInterval"},
  };
  for (const auto& t : cases) {
    Compilation c;
    test::startAtLine1(c);
    EXPECT_EQ(t.result, compileSetup(c, t.setup)) << t.setup.times;
    EXPECT_EQ(t.errors, c.diag.errorText) << t.setup.times;
  }
}

TEST(Goes, SetupChecksumFollowsChangedByte) {
  Compilation c;
  test::startAtLine1(c);
  SetupParams s;
  s.stChannel = 196;
  s.platform = 0x1234ABD0;
  compileSetup(c, s);
  EXPECT_EQ(0x00, c.code.bytes[20]);
  EXPECT_EQ(0xF1, c.code.bytes[21]);
  EXPECT_EQ(0x01, c.code.bytes[37]);
  EXPECT_EQ(0xC2, c.code.bytes[38]);
}

TEST(Goes, StatusRequestsNeedDestinationRoom) {
  const struct {
    int elements;
    std::int32_t code;
    std::uint8_t second, required;
    const char* errors;
  } cases[] = {
      {13, 1, 17, 13, ""},
      {12, 1, 17, 13, "line 1: GOESStatus requires a dest array with at least 13 elements."},
      {4, 0, 3, 4, ""},
      {1, 7, 0, 0, ""},
      {1, 8, 0, 0, "line 1: GOESStatus request code 8 is illegal, 0..7 are legal."},
      {1, -1, 0, 0, "line 1: GOESStatus request code -1 is illegal, 0..7 are legal."},
  };
  for (const auto& t : cases) {
    Compilation c;
    test::startAtLine1(c);
    test::dim(c, "Dest", t.elements);
    RecordMaker m(kGOESStatus);
    m.word(test::varRef(c, "Dest")).word(static_cast<std::uint32_t>(t.code));
    EXPECT_EQ(kCompiled, handleGOESStatus(c, m.statement()));
    EXPECT_EQ(Bytes({0x36, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x00, t.second, t.required,
                     static_cast<std::uint8_t>(t.code)}),
              c.code.bytes);
    EXPECT_EQ(t.errors, c.diag.errorText) << t.code;
  }
}

TEST(Goes, GpsArraySizes) {
  const struct {
    int first, second;
    const char* errors;
  } cases[] = {
      {6, 7, ""},
      {5, 7, "line 1: First array 5 must be at least 6"},
      {6, 6, "line 1: Second array 6 must be at least 7"},
  };
  for (const auto& t : cases) {
    Compilation c;
    test::startAtLine1(c);
    test::dim(c, "Gps", t.first);
    test::dim(c, "Fix", t.second);
    RecordMaker m(kGOESGPS);
    m.word(test::varRef(c, "Gps")).word(test::varRef(c, "Fix"));
    EXPECT_EQ(kCompiled, handleGOESGPS(c, m.statement()));
    EXPECT_EQ(Bytes({0x38, 0x00, 0x08, 0x00, 0x00, 0x00, 0x04, 0x00}), c.code.bytes);
    EXPECT_EQ(t.errors, c.diag.errorText) << t.first;
  }
}

// GOESData(first, table, expr, option, format) with operands 0x0101, 0x0105.
HandlerResult compileData(Compilation& c, const std::string& table, std::int32_t option,
                          std::int32_t format, const std::vector<TableDescriptor>& tables) {
  RecordMaker m(kGOESData);
  m.word(0x0101).text(table).word(0x0105);
  m.word(static_cast<std::uint32_t>(option)).word(static_cast<std::uint32_t>(format));
  return compileGOESData(c, m.statement(), tables);
}

// A field of the table sent: its count and its processing text.
struct GoesField {
  std::int32_t count;
  std::string processing;
};

std::vector<TableDescriptor> tablesWith(const std::vector<GoesField>& fields) {
  std::vector<TableDescriptor> tables(3);
  tables[0].name = "Status";
  tables[1].name = "Hourly";
  tables[2].name = "Goes";
  for (const GoesField& f : fields) {
    FieldDescriptor field;
    field.count = f.count;
    field.processing = f.processing;
    tables[2].fields.push_back(field);
  }
  return tables;
}

TEST(Goes, DataRecord) {
  Compilation c;
  test::startAtLine1(c);
  EXPECT_EQ(kCompiled, compileData(c, "goes", 9, 0,
                           tablesWith({{1, "Avg:ABC"}, {1, "Smp"}, {3, ""}})));
  Bytes expected = {0x35, 0x00, 0xB0, 0x00, 0x01, 0x01, 0x05, 0x01,
                    0x02, 0x00, 0x05, 0x00,
                    0x03, 0x00, 'A', 'B', 'C', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  expected.resize(172, 0);
  expected.insert(expected.end(), {0xFD, 0x09, 0x00, 0x00});
  EXPECT_EQ(expected, c.code.bytes);
  EXPECT_EQ(253, c.header.locationPool);
  EXPECT_EQ("", c.diag.errorText);
}

TEST(Goes, DataChecks) {
  const GoesField plain = {1, ""};
  const struct {
    const char* table;
    std::int32_t option, format;
    std::vector<GoesField> fields;
    HandlerResult result;
    const char* errors;
  } cases[] = {
      {"Goes", 3, 9, {{1, "Avg:25"}}, kCompiled, ""},
      {"Goes", 4, 0, {plain}, kCompiled, "line 1: Buffer Option can only be 0-3 or 9."},
      {"Goes", 10, 10, {plain}, kCompiled,
       "line 1: Buffer Option can only be 0-3 or 9.\r\nline 1: Invalid data format parameter."},
      {"Goes", 0, 0, std::vector<GoesField>(10, plain), kCompiled, ""},
      {"Goes", 0, 0, std::vector<GoesField>(11, plain), kStop,
       "line 1: Number of fields in table can't exceed 10 "},
      {"Goes", 0, 0, {{1, "Smp:ABCDEFGHIJKL"}}, kCompiled, ""},
      {"Goes", 0, 0, {{1, "Smp:ABCDEFGHIJKLM"}}, kStop,
       "line 1: Field Chacters can not exceed 12"},
      {"Goes", 0, 0, {{2, "Smp:AB"}}, kStop,
       "line 1: compression/prefix tbl field can not be an array"},
      {"STATUS", 0, 0, {plain}, kNothing,
       "line 1: Invalid Table: STATUS, can not be Public or Status"},
      {"public", 0, 0, {plain}, kNothing,
       "line 1: Invalid Table: public, can not be Public or Status"},
      {"Daily", 0, 0, {plain}, kStop, "line 1: Could not find DataTable Daily"},
  };
  for (const auto& t : cases) {
    Compilation c;
    test::startAtLine1(c);
    EXPECT_EQ(t.result, compileData(c, t.table, t.option, t.format, tablesWith(t.fields)))
        << t.table << " " << t.fields.size();
    EXPECT_EQ(t.result == kCompiled ? 176u : 0u, c.code.bytes.size());
    EXPECT_EQ(t.errors, c.diag.errorText) << t.table << " " << t.fields.size();
  }
}

TEST(Goes, SetupInAProgramWithEqualOrDifferentBaudRates) {
  for (const char* bauds : {"300, 31, 300", "300, 31, 100", "100, 100, 100"}) {
    const std::string source =
        std::string("Public GSetup\r\nBeginProg\r\nScan(10, sec)\r\n"
                    "GOESSetup(GSetup, &H3A4C61F2, 10, 151, ") +
        bauds + ", \"00_01_00_00\", \"00_07_30\", \"00_15_00\")\r\nNextScan\r\nEndProg\r\n";
    EXPECT_EQ("", test::compileText(source).errors) << bauds;
  }
}

// The same statements compile in the VK617Q build and carry exactly the
// refusals in the VK610Q build, after which the records are built alike.
TEST(Goes, RefusedWithoutTransmitter) {
  const BuildInfo builds[] = {test::modelVK617Q(), test::modelVK610Q()};
  Bytes code[2];
  for (int b = 0; b < 2; ++b) {
    Compilation c;
    test::startAtLine1(c, builds[b]);
    test::dim(c, "Dest", 13);
    test::dim(c, "Gps", 6);
    test::dim(c, "Fix", 7);
    compileData(c, "Goes", 0, 0, tablesWith({{1, ""}}));
    RecordMaker status(kGOESStatus);
    handleGOESStatus(c, status.word(test::varRef(c, "Dest")).word(1).statement());
    compileSetup(c, SetupParams{});
    RecordMaker gps(kGOESGPS);
    handleGOESGPS(c, gps.word(test::varRef(c, "Gps")).word(test::varRef(c, "Fix")).statement());
    EXPECT_EQ(b == 0 ? "" :
              "line 1: GOESData is not accepted, requires different OS version\r\n"
              "line 1: GOESStatus is not accepted, requires different OS version\r\n"
              "line 1: GOESSetup is not accepted, requires different OS version\r\n"
              "line 1: GOESgpsData is not accepted, requires different OS version",
              c.diag.errorText);
    code[b] = c.code.bytes;
  }
  EXPECT_EQ(176u + 10 + 40 + 8, code[0].size());
  EXPECT_EQ(code[0], code[1]);
}

}  // namespace
}  // namespace vk6
