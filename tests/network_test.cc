#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace vk6 {
namespace {

// A statement compiled in the scan of a program, what it reports and its
// record: the last bytes of the code (none after a failed compile).
struct Case {
  const char* statement;
  const char* errors;
  Bytes record;
};

// Each case compiled after the `before` lines of the scan.
void check(const std::string& declarations, const std::string& before,
           const std::vector<Case>& cases) {
  for (const Case& t : cases) {
    const test::Compiled c =
        test::compileInScan(declarations, before + "    " + t.statement + "\r\n");
    EXPECT_EQ(t.errors, c.errors) << t.statement;
    Bytes body = test::scanBody(c);
    if (body.size() > t.record.size() && !t.record.empty())
      body.erase(body.begin(), body.end() - static_cast<std::ptrdiff_t>(t.record.size()));
    EXPECT_EQ(t.record, body) << t.statement;
  }
}

constexpr char kArrays[] =
    "Public Res, T\r\nDim In17(17), Out48(48), In18(18), Out49(49), In(5), Arr(3)\r\n";

// Location words 0x1102 and 0x3013: 17 and 48 elements.
const Bytes kSendGetData = {0x26, 0x00, 0x24, 0x00, 0x00, 0x00, 0x02, 0x11, 0x13, 0x30,
                            0xFE, 0xBF, 0x00, 0x00, 0x01, 0x10, 0x00, 0x00, 0x00, 0x22,
                            0x45, 0x23, 0x00, 0x00, 0x11, 0x00, 0x30, 0x00, 0x00, 0x00};

TEST(Network, SendGetData) {
  check(kArrays, "", {
      {"SendGetData(Res, In17, Out48, 1, 1, 4094, &H12345)", "", kSendGetData},
      {"SendGetData(Res, In18, Out49, 2, 4094, 1, 0)",
       "line 5: The VK6xx cannot get 18 number of variables, must be <= 17.\r\n"
       "line 5: The VK6xx cannot send 49 number of variables, must be <= 48.", {}},
      {"SendGetData(Res, In, In, 0, 4095, 0, 0)",
       "line 5: Invalid Port 0 must be either 1->RF or 2->RS232.\r\n"
       "line 5: Invalid host address 4095 must be (0 < address < 4095).\r\n"
       "line 5: Invalid repeater address 0 must be (0 < address < 4095).", {}},
      {"SendGetData(Res, In, In, 3, 0, 1, 0)",
       "line 5: Invalid Port 3 must be either 1->RF or 2->RS232.\r\n"
       "line 5: Invalid host address 0 must be (0 < address < 4095).", {}},
      // An element counts the elements from it to the end of its array.
      {"SendGetData(Res, In(2), Out48, 1, 1, 4094, &H12345)", "",
       test::patched(kSendGetData, {{6, 0x87}, {7, 0x04}, {24, 0x04}})},
      // A parameter that names no array designates 255 elements.
      {"SendGetData(Res, In(2), 1, 1, 1, 1, 0)",
       "line 5: Invalid Output Source param.\r\n"
       "line 5: The VK6xx cannot send 255 number of variables, must be <= 48.", {}},
  });
}

TEST(Network, GetValueAndSetValue) {
  check(kArrays, "", {
      {"GetValue(Res, Arr, 3, ABCDEFGHIJKLMNOP, 2, 1, 2, &H10102)", "",
       {0x31, 0x00, 0x44, 0x00, 0x00, 0x00, 0x08, 0x00, 0x8B, 0x03, 0x01, 0x00, 0x02, 0x00,
        // the packet, big-endian
        0xA0, 0x02, 0x00, 0x02, 0x10, 0x01, 0x00, 0x01, 0x1A, 0x01, 0x01, 0x02,
        'P', 'u', 'b', 'l', 'i', 'c', 0x00, 0x09,
        'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P', 0x00,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 37, 0x01}},
      {"SetValue(Res, Arr, 3, T, 2, 1, 2, &H10102)", "",
       {0x30, 0x00, 0x46, 0x00, 0x01, 0x00, 0x02, 0x00,
        0xA0, 0x02, 0x00, 0x02, 0x10, 0x01, 0x00, 0x01, 0x1B, 0x01, 0x01, 0x02,
        'P', 'u', 'b', 'l', 'i', 'c', 0x00, 0x09, 'T', 0x00,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        0x00, 0x00, 0x08, 0x00, 0x8B, 0x03, 22, 0x00, 0x01, 0x00}},
      {"GetValue(Res, Arr, 3, ABCDEFGHIJKLMNOPQ, 0, 0, 0, 0)",
       "line 5: Invalid FieldName string. The Max characters is 16 & Min is 1).", {}},
      {"GetValue(Res, Arr, 3, \"\", 1, 1, 1, 0)",
       "line 5: Invalid FieldName string. The Max characters is 16 & Min is 1).", {}},
      {"GetValue(Res, Arr, 3, T, 3, 4095, 0, 0)",
       "line 5: Invalid Port 3 must be either 1-RF or 2-RS232.\r\n"
       "line 5: Invalid host address 4095 must greater than zero or less than 4095.\r\n"
       "line 5: Invalid repeater address 0 must be (0 < address < 4095).", {}},
  });
}

TEST(Network, ReadSendGetInfo) {
  check(kArrays, "", {
      {"ReadSendGetInfo(Res, 2)", "", {0x2F, 0x00, 0x0E, 0x00, 0x00, 0x00, 0x01, 0x00}},
      {"ReadSendGetInfo(Res, 0)", "line 5: Invalid Port: 0, must be 1 or 2.", {}},
      {"ReadSendGetInfo(Res, 3)", "line 5: Invalid Port: 3, must be 1 or 2.", {}},
  });
}

// Three user tables, so the public table would be table 4.
TEST(Network, SendData) {
  std::string tables = "Public T\r\n";
  std::string calls;
  for (const char* name : {"Hourly", "Daily", "Events"}) {
    tables += std::string("DataTable(") + name + ", True, 100)\r\n  Sample(1, T)\r\nEndTable\r\n";
    calls += std::string("    CallTable ") + name + "\r\n";
  }
  const Bytes daily = {0x3E, 0x00, 0x7A, 0x00, 0x01, 0x00, 0x07, 0x00, 0x02, 0x00, 0x80, 0x07, 0x20,
                       0x07, 0x10, 0x01, 0x00, 0x01, 0x14, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
                       0x01};
  check(tables, calls, {
      // Neighbor -1 is the host.
      {"SendData(1, -1, 5, public)", "",
       {0x3E, 0x00, 0x7A, 0x00, 0x05, 0x00, 0x05, 0x00, 0x04, 0x00, 0x80, 0x05, 0x20, 0x05,
        0x10, 0x05, 0x00, 0x05, 0x14, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
      {"SendData(2, 4094, 4094, Status)", "",
       {0x3E, 0x00, 0x7A, 0x00, 0xFE, 0x0F, 0xFE, 0x0F, 0x00, 0x00, 0x8F, 0xFE, 0x2F, 0xFE,
        0x1F, 0xFE, 0x0F, 0xFE, 0x14, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}},
      {"SendData(2, 7, 1, DAILY)", "", daily},
      {"SendData(2, 7, 1, Events)", "", test::patched(daily, {{8, 3}})},
      {"SendData(2, 7, 1, PUBLIC)", "", test::patched(daily, {{8, 4}})},
      {"SendData(0, 0, 4095, Events)",
       "line 16: Invalid Port 0 must be either 1-RF or 2-RS232.\r\n"
       "line 16: Invalid host address 4095 must be must be (0 < address < 4095).\r\n"
       "line 16: Invalid Neighbor address 0 must be (0 < address < 4095).", {}},
      {"SendData(3, 4095, 0, Events)",
       "line 16: Invalid Port 3 must be either 1-RF or 2-RS232.\r\n"
       "line 16: Invalid host address 0 must be must be (0 < address < 4095).\r\n"
       "line 16: Invalid Neighbor address 4095 must be (0 < address < 4095).", {}},
      {"SendData(1, 1, 1, Weekly)", "line 16: Table Weekly, not found", {}},
  });
}

TEST(Network, SetStatus) {
  const std::string table =
      "Public T\r\nDataTable(Hourly, True, 100)\r\n  Sample(1, T)\r\nEndTable\r\n";
  check(table, "    CallTable Hourly\r\n", {
      // Bytes 6 and 7: the field's type and its offset among the writable fields.
      {"SetStatus(SerialNum, T)", "",
       {0x32, 0x00, 0x34, 0x00, 0x06, 0x00, 0x16, 46, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"SetStatus(calOFFSET, T)", "",
       {0x32, 0x00, 0x34, 0x00, 0x06, 0x00, 0x18, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"SetStatus(OSversion, T)", "line 8: Field OSversion cannot be written to.", {}},
      {"SetStatus(Rf_ForceOn, T)", "",
       {0x32, 0x00, 0x34, 0x00, 0x06, 0x00, 0x15, 22, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"SetStatus(Nothing, T)", "line 8: Field Nothing not found in status table.", {}},
      // A table field's value is resolved when the record is written.
      {"SetStatus(RfAddress, Hourly.T(1, 1))", "",
       {0x32, 0x00, 0x34, 0x00, 0x0A, 0x00, 0x15, 10, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"SetStatus(rfpwrMODE, 6)", "",
       {0x32, 0x00, 0x34, 0x00, 0x00, 0x00, 0x0B, 14, 'N', 'O', '_', 'R', 'F', 0, 0, 0}},
      {"SetStatus(RfPwrMode, 0)", "",
       {0x32, 0x00, 0x34, 0x00, 0x00, 0x00, 0x0B, 14, 'R', 'F', '_', 'O', 'N', 0, 0, 0}},
      {"SetStatus(RfPwrMode, 7)", "",
       {0x32, 0x00, 0x34, 0x00, 0x00, 0x00, 0x0B, 14, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"SetStatus(RfPwrMode, 8)", "line 8: Invalid setting for RfPwrMode.", {}},
      {"SetStatus(RfPwrMode, -1)", "line 8: Invalid setting for RfPwrMode.", {}},
  });
}

}  // namespace
}  // namespace vk6
