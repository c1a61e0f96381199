#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace vk6 {
namespace {

// An error reported after a case only when pass 2 went on past it.
constexpr char kProbe[] = "    GOESStatus(Res, 8)\r\n";

// Counted, not read from the texts, which hold ten messages at most.
bool passTwoWentOn(const std::string& declarations, const std::string& body) {
  const auto errors = [&](const std::string& lines) {
    return test::compileText(declarations + "BeginProg\r\n  Scan(1, Sec)\r\n" + lines +
                             "  NextScan\r\nEndProg\r\n").errorCount;
  };
  return errors(body + kProbe) == errors(body) + 1;
}

// The last `length` bytes of the body: the record of its last statement.
Bytes lastRecord(const test::Compiled& c, std::size_t length) {
  const Bytes body = test::scanBody(c);
  if (body.size() < length) return {};
  return Bytes(body.end() - static_cast<std::ptrdiff_t>(length), body.end());
}

TEST(Goes, Setup) {
  const std::string times = ", \"00_01_00_00\", \"00_00_30\", \"01_00_00\"";
  const Bytes setup = {0x37, 0x00, 0x2E, 0x00, 0x00, 0x00,
                       // ST: baud code 2, channel 195, 0d 1h 0m 0s, offset 30 s,
                       // window 10, checksum 240
                       0x02, 0x02, 0x00, 0xC3, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,
                       0x1E, 0x0A, 0x00, 0x00, 0x00, 0xF0,
                       // R: baud code 1, channel 7, 1h 0m 0s, checksum 12
                       0x03, 0x01, 0x00, 0x07, 0x01, 0x00, 0x00, 0x00, 0x00, 0x0C,
                       // platform 0x1234ABCE, checksum 1 + 0x12 + 0x34 + 0xAB + 0xCE
                       0x01, 0x12, 0x34, 0xAB, 0xCE, 0x01, 0xC0, 0x00};
  const Bytes other =
      test::patched(setup, {{9, 0x97}, {21, 0xC4}, {23, 0x02}, {25, 0x1F}, {31, 0x25},
                            {33, 0x3A}, {34, 0x4C}, {35, 0x61}, {36, 0xF2}, {38, 0xDA}});
  const struct {
    std::string parameters;  // after "GOESSetup(Res, "
    const char* errors;
    bool stops;
    Bytes record;
  } cases[] = {
      {"&H1234ABCE, 10, 195, 300, 7, 100" + times + ")", "", false, setup},
      // Each checksum follows a changed byte of its message.
      {"&H1234ABD0, 10, 196, 300, 7, 100" + times + ")", "", false,
       test::patched(setup, {{9, 0xC4}, {21, 0xF1}, {36, 0xD0}, {38, 0xC2}})},
      {"&H1234ABCF, 10, 195, 300, 7, 100" + times + ")",
       "line 4: PlatFormID = 1234abcf must be an even address", false, {}},
      {"&H1234ABCE, 120, 195, 300, 7, 100" + times + ")", "", false,
       test::patched(setup, {{17, 0x78}, {20, 0x01}, {21, 0x5E}})},
      {"&H1234ABCE, 121, 195, 300, 7, 100" + times + ")",
       "line 4: Invalid MsgWindow = 121 only 1 to 120 are accepted", false, {}},
      {"&H1234ABCE, 0, 195, 300, 7, 100" + times + ")",
       "line 4: Invalid MsgWindow = 0 only 1 to 120 are accepted", false, {}},
      {"&H1234ABCE, 10, 999, 600, 7, 100" + times + ")",
       "line 4: Invalid STBaud 600 must be 100,300 or 1200", false, {}},
      {"&H1234ABCE, 10, 195, 300, 7, 2400" + times + ")",
       "line 4: Invalid STBaud 2400 must be 100,300 or 1200", false, {}},
      {"&H1234ABCE, 10, 566, 300, 567, 100" + times + ")", "line 4: RChannel 567 must be 0-566",
       false, {}},
      {"&H1234ABCE, 10, 567, 300, 7, 100" + times + ")", "line 4: STChannel 567 must be 0-566",
       false, {}},
      // ST and R baud rates alike or not.
      {"&H3A4C61F2, 10, 151, 300, 31, 300" + times + ")", "", false, other},
      {"&H3A4C61F2, 10, 151, 1200, 31, 1200" + times + ")", "", false,
       test::patched(other, {{7, 0x03}, {21, 0xC5}, {23, 0x03}, {31, 0x26}})},
      {"&H3A4C61F2, 10, 151, 100, 31, 100" + times + ")", "", false,
       test::patched(other, {{7, 0x01}, {21, 0xC3}, {23, 0x01}, {31, 0x24}})},
      {"&H1234ABCE, 10, 195, 300, 7, 100, \"14_00_00_00\", \"23_59_59\", \"24_00_00\")", "",
       false,
       test::patched(setup, {{10, 14}, {11, 0}, {14, 23}, {15, 59}, {16, 59}, {20, 0x01},
                             {21, 0x6C}, {26, 24}, {31, 0x23}})},
      {"&H1234ABCE, 10, 195, 300, 7, 100, \"14_00_00_01\", \"00_00_00\", \"24_00_01\")",
       "line 4: Interval can not be greater than 14 days\r\n"
       "line 4: R_Interval can not be greater than 24 Hours", false, {}},
      {"&H1234ABCE, 10, 195, 300, 7, 100, \"15_24_60_60\", \"24_60_60\", \"25_60_60\")",
       "line 4: Invalid STInterval Days 15 must be 0-14\r\n"
       "line 4: Invalid STInterval Hours 24 must be 0-23\r\n"
       "line 4: Invalid STInterval Minutes 60 must be 0-59\r\n"
       "line 4: Invalid STInterval Seconds 60 must be 0-59\r\n"
       "line 4: Invalid STOffset Hours 24 must be 0-23\r\n"
       "line 4: Invalid STOffset Minutes 60 must be 0-59\r\n"
       "line 4: Invalid STOffset Seconds 60 must be 0-59\r\n"
       "line 4: Invalid R_Interval Hours 25 must be 0-24\r\n"
       "line 4: Invalid R_Interval Minutes 60 must be 0-59\r\n"
       "line 4: Invalid R_Interval Seconds 60 must be 0-59", false, {}},
      // Intervals must be longer than 10 seconds.
      {"&H1234ABCE, 10, 195, 300, 7, 100, \"00_00_00_11\", \"00_00_00\", \"00_00_10\")",
       "line 4: Interval must be greater than 10 seconds", false, {}},
      // Short pieces before the strings are passed over, at most two.
      {"&H1234ABCE, 10, 195, 300, 7, 100, 100" + times + ")", "", false, setup},
      {"&H1234ABCE, 10, 195, 300, 7, 100, \"00_01_00_00\", \"00_00\", \"01_00_00\")",
       "line 4: Invalid STOffset string must be in the format xx_xx_xx", true, {}},
      {"&H1234ABCE, 10, 195, 300, 7, 100, \"00_01_00\", \"00_00_30\", \"01_00_00\")",
       "line 4: Invalid STInterval string must be in the format xx_xx_xx_xx", true, {}},
      {"&H1234ABCE, 10, 195, 300, 7, 100, \"00_01_00_00\", \"00_00_30\", \"01_00\")",
       "line 4: Invalid RInterval string must be in the format xx_xx_xx", true, {}},
      {"&H1234ABCE, 10, 195, 300, 7, 100, \"00_01_00_00\", \"00_00_30\")",
       "line 4: Invalid or missing string parameters for STInterval,STOffset,RInterval", true,
       {}},
      // The time text after the R baud rate may have 100 characters, not 101.
      {"&H1234ABCE, 10, 195, 300, 7, 100" + times + std::string(60, ' ') + ")", "", false,
       setup},
      {"&H1234ABCE, 10, 195, 300, 7, 100" + times + std::string(61, ' ') + ")",
       "line 4: Invalid or missing string parameters for STInterval,STOffset,RInterval", true,
       {}},
  };
  const std::string declarations = "Public Res\r\n";
  for (const auto& t : cases) {
    const std::string body = "    GOESSetup(Res, " + t.parameters + "\r\n";
    const test::Compiled c = test::compileInScan(declarations, body);
    EXPECT_EQ(t.errors, c.errors) << t.parameters;
    EXPECT_EQ(t.record, test::scanBody(c)) << t.parameters;
    EXPECT_EQ(!t.stops, passTwoWentOn(declarations, body)) << t.parameters;
  }
}

TEST(Goes, StatusAndGpsNeedDestinationRoom) {
  const struct {
    const char* statement;
    const char* errors;
    Bytes record;
  } cases[] = {
      // Bytes 7 and 8: the second table value and the elements required.
      {"GOESStatus(D13, 1)", "", {0x36, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x11, 0x0D, 0x01}},
      {"GOESStatus(D12, 1)",
       "line 4: GOESStatus requires a dest array with at least 13 elements.", {}},
      {"GOESStatus(D4, 0)", "", {0x36, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x03, 0x04, 0x00}},
      {"GOESStatus(Res, 7)", "", {0x36, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x07}},
      {"GOESStatus(Res, 8)", "line 4: GOESStatus request code 8 is illegal, 0..7 are legal.",
       {}},
      {"GOESStatus(Res, -1)", "line 4: GOESStatus request code -1 is illegal, 0..7 are legal.",
       {}},
      {"GOESGPS(G6, S7)", "", {0x38, 0x00, 0x0E, 0x00, 0x00, 0x00, 0x04, 0x00}},
      {"GOESGPS(G5, S7)", "line 4: First array 5 must be at least 6", {}},
      {"GOESGPS(G6, S6)", "line 4: Second array 6 must be at least 7", {}},
  };
  for (const auto& t : cases) {
    const test::Compiled c = test::compileInScan(
        "Public Res, D4(4), D12(12), D13(13), G5(5), G6(6), S6(6), S7(7)\r\n",
        std::string("    ") + t.statement + "\r\n");
    EXPECT_EQ(t.errors, c.errors) << t.statement;
    EXPECT_EQ(t.record, test::scanBody(c)) << t.statement;
  }
}

// Declares T, A(11), the table Hourly and the table Goes with `fields`
// (output lines): Goes is table 2.
std::string goesTables(const std::string& fields) {
  return "Public Res, Rnd, T, A(11)\r\nDataTable(Hourly, True, 100)\r\n  Sample(1, T)\r\n"
         "EndTable\r\nDataTable(Goes, True, 100)\r\n" + fields + "EndTable\r\n";
}

TEST(Goes, Data) {
  const std::string plain = "  Sample(1, T)\r\n";
  std::string ten;
  for (int i = 1; i <= 10; ++i) ten += "  Sample(1, A(" + std::to_string(i) + "))\r\n";
  const std::string eleven = ten + "  Sample(1, A(11))\r\n";
  Bytes sent = {0x35, 0x00, 0x0A, 0x01, 0x12, 0x00, 0x16, 0x00, 0x02, 0x00, 0x05, 0x00,
                // the first field's description, 3 characters
                0x03, 0x00, 'A', 'B', 'C'};
  sent.resize(172, 0);
  sent.insert(sent.end(), {0xFB, 0x09, 0x00, 0x00});
  Bytes format9 = {0x35, 0x00, 0xF6, 0x00, 0x12, 0x00, 0x16, 0x00, 0x02, 0x00, 0x01, 0x00,
                   0x19};  // with format 9 the description read as a number
  format9.resize(172, 0);
  format9.insert(format9.end(), {0xFB, 0x03, 0x09, 0x00});
  const struct {
    std::string fields;
    const char* statement;
    const char* errors;
    bool stops;
    Bytes record;
  } cases[] = {
      {"  Average(1, T, False)\r\n  FieldNames \"TA:ABC\"\r\n" + plain + "  Sample(3, A)\r\n",
       "GOESData(Res, goes, Rnd, 9, 0)", "", false, sent},
      {"  Average(1, T, False)\r\n  FieldNames \"TA:25\"\r\n", "GOESData(Res, Goes, Rnd, 3, 9)",
       "", false, format9},
      {plain, "GOESData(Res, Goes, Rnd, 4, 0)",
       "line 12: Buffer Option can only be 0-3 or 9.", false, {}},
      {plain, "GOESData(Res, Goes, Rnd, 10, 10)",
       "line 12: Buffer Option can only be 0-3 or 9.\r\nline 12: Invalid data format parameter.",
       false, {}},
      {ten, "GOESData(Res, Goes, Rnd, 0, 0)", "", false, {}},
      {eleven, "GOESData(Res, Goes, Rnd, 0, 0)",
       "line 22: Number of fields in table can't exceed 10 ", true, {}},
      {"  Sample(1, T)\r\n  FieldNames \"TA:ABCDEFGHIJKL\"\r\n", "GOESData(Res, Goes, Rnd, 0, 0)",
       "", false, {}},
      {"  Sample(1, T)\r\n  FieldNames \"TA:ABCDEFGHIJKLM\"\r\n",
       "GOESData(Res, Goes, Rnd, 0, 0)", "line 13: Field Chacters can not exceed 12", true, {}},
      {"  Sample(2, A)\r\n  FieldNames \"TA(2):AB\"\r\n", "GOESData(Res, Goes, Rnd, 0, 0)",
       "line 13: compression/prefix tbl field can not be an array", true, {}},
      {plain, "GOESData(Res, STATUS, Rnd, 0, 0)",
       "line 12: Invalid Table: STATUS, can not be Public or Status", false, {}},
      {plain, "GOESData(Res, public, Rnd, 0, 0)",
       "line 12: Invalid Table: public, can not be Public or Status", false, {}},
      {plain, "GOESData(Res, Daily, Rnd, 0, 0)", "line 12: Could not find DataTable Daily", true,
       {}},
  };
  for (const auto& t : cases) {
    const std::string declarations = goesTables(t.fields);
    const std::string body = std::string("    CallTable Goes\r\n    CallTable Hourly\r\n    ") +
                             t.statement + "\r\n";
    const test::Compiled c = test::compileInScan(declarations, body);
    EXPECT_EQ(t.errors, c.errors) << t.statement;
    const Bytes record = lastRecord(c, 176);
    EXPECT_EQ(t.errors[0] ? 0u : 176u, record.size()) << t.statement;
    if (!t.record.empty()) {
      EXPECT_EQ(t.record, record) << t.statement;
    }
    EXPECT_EQ(!t.stops, passTwoWentOn(declarations, body)) << t.statement;
  }
}

// The same statements compile in the VK617Q build and carry exactly the
// refusals in the VK610Q build.
TEST(Goes, RefusedWithoutTransmitter) {
  const std::string declarations = goesTables("  Sample(1, T)\r\n") +
                                   "Public Dest(13), Gps(6), Sats(7)\r\n";
  const std::string calls = "    CallTable Goes\r\n    CallTable Hourly\r\n";
  const std::string body =
      calls +
      "    GOESData(Res, Goes, Rnd, 0, 0)\r\n"
      "    GOESStatus(Dest, 1)\r\n"
      "    GOESSetup(Res, &H1234ABCE, 10, 195, 300, 7, 100, \"00_01_00_00\", \"00_00_30\", "
      "\"01_00_00\")\r\n"
      "    GOESGPS(Gps, Sats)\r\n";
  const test::Compiled vk617q = test::compileInScan(declarations, body, test::modelVK617Q());
  EXPECT_EQ("", vk617q.errors);
  EXPECT_EQ(test::scanBody(test::compileInScan(declarations, calls)).size() + 176 + 10 + 40 + 8,
            test::scanBody(vk617q).size());
  EXPECT_EQ("line 13: GOESData is not accepted, requires different OS version\r\n"
            "line 14: GOESStatus is not accepted, requires different OS version\r\n"
            "line 15: GOESSetup is not accepted, requires different OS version\r\n"
            "line 16: GOESgpsData is not accepted, requires different OS version",
            test::compileInScan(declarations, body, test::modelVK610Q()).errors);
}

}  // namespace
}  // namespace vk6
