#include <gtest/gtest.h>

#include "communication_support.h"
#include "format/operand_word.h"
#include "instructions/communication.h"
#include "instructions/communication_support.h"
#include "parse/parameter_parser.h"

namespace vk6 {
namespace {

using enum HandlerResult;
using test::RecordMaker;

std::uint32_t u(std::int32_t v) { return static_cast<std::uint32_t>(v); }

TEST(SendGetData, RecordAndLimits) {
  const struct {
    int in, out;
    std::int32_t port, host, repeater;
    const char* errors;
  } cases[] = {
      {17, 48, 1, 1, 4094, ""},
      {18, 49, 2, 4094, 1,
       "line 1: The VK6xx cannot get 18 number of variables, must be <= 17.\r\n"
       "line 1: The VK6xx cannot send 49 number of variables, must be <= 48."},
      {1, 1, 0, 4095, 0,
       "line 1: Invalid Port 0 must be either 1->RF or 2->RS232.\r\n"
       "line 1: Invalid host address 4095 must be (0 < address < 4095).\r\n"
       "line 1: Invalid repeater address 0 must be (0 < address < 4095)."},
      {1, 1, 3, 0, 1,
       "line 1: Invalid Port 3 must be either 1->RF or 2->RS232.\r\n"
       "line 1: Invalid host address 0 must be (0 < address < 4095)."},
  };
  for (const auto& t : cases) {
    Compilation c;
    test::startAtLine1(c);
    test::dim(c, "In", t.in);
    test::dim(c, "Out", t.out);
    RecordMaker m(kSendGetData);
    m.word(0x0101).word(test::varRef(c, "In")).word(test::varRef(c, "Out"));
    m.word(u(t.port)).word(u(t.host)).word(u(t.repeater)).word(0x12345);
    EXPECT_EQ(kCompiled, handleSendGetData(c, m.statement()));
    EXPECT_EQ(t.errors, c.diag.errorText) << t.in;
    ASSERT_EQ(30u, c.code.bytes.size());
    if (t.in == 17) {
      EXPECT_EQ(Bytes({0x26, 0x00, 0x1E, 0x00, 0x01, 0x01, 0x00, 0x11, 0x11, 0x30,
                       0xFE, 0xBF, 0x00, 0x00, 0x01, 0x10, 0x00, 0x00, 0x00, 0x22,
                       0x45, 0x23, 0x00, 0x00, 0x11, 0x00, 0x30, 0x00, 0x00, 0x00}),
                c.code.bytes);
    }
  }
}

TEST(SendGetData, ArrayElementCountsToTheEnd) {
  Compilation c;
  test::startAtLine1(c);
  test::dim(c, "In", 5);
  RecordMaker m(kSendGetData);
  m.word(0x0101).word(test::elementRef(c, "In", 2)).word(test::constantRef(c, 1));
  m.word(1).word(1).word(1).word(0);
  handleSendGetData(c, m.statement());
  EXPECT_EQ(0x01, c.code.bytes[6]);
  EXPECT_EQ(0x04, c.code.bytes[7]);
  // A parameter that names no array designates 255 elements.
  EXPECT_EQ("line 1: Invalid Output Source param.\r\n"
            "line 1: The VK6xx cannot send 255 number of variables, must be <= 48.",
            c.diag.errorText);
}

// GetValue or SetValue(first, Arr, value, field, port, host, repeater, code).
HandlerResult compileValue(Compilation& c, InstructionIndex index, const std::string& field,
                           std::int32_t port = 2, std::int32_t host = 1,
                           std::int32_t repeater = 2) {
  test::dim(c, "Arr", 3);
  RecordMaker m(index);
  m.word(0x0101).word(test::varRef(c, "Arr")).word(0x0103).text(field);
  m.word(u(port)).word(u(host)).word(u(repeater)).word(0x10102);
  Statement st = m.statement();
  return index == kGetValue ? handleGetValue(c, st) : handleSetValue(c, st);
}

const Bytes kLongFieldPacket = {0xA0, 0x02, 0x00, 0x02, 0x10, 0x01, 0x00, 0x01, 0x1A, 0x01,
                                0x01, 0x02, 'P', 'u', 'b', 'l', 'i', 'c', 0x00, 0x09,
                                'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J',
                                'K', 'L', 'M', 'N', 'O', 'P', 0x00};

TEST(GetValue, RecordWithLongestField) {
  Compilation c;
  test::startAtLine1(c);
  EXPECT_EQ(kCompiled, compileValue(c, kGetValue, "ABCDEFGHIJKLMNOP"));
  Bytes expected = {0x31, 0x00, 0x3E, 0x00, 0x01, 0x01, 0x03, 0x01, 0x00, 0x03,
                    0x01, 0x00, 0x02, 0x00};
  expected.insert(expected.end(), kLongFieldPacket.begin(), kLongFieldPacket.end());
  expected.insert(expected.end(), {0, 0, 0, 0, 0, 0, 0, 0, 0, 37, 0x01});
  EXPECT_EQ(expected, c.code.bytes);
  EXPECT_EQ("", c.diag.errorText);
}

TEST(SetValue, RecordCarriesThePacketFirst) {
  Compilation c;
  test::startAtLine1(c);
  EXPECT_EQ(kCompiled, compileValue(c, kSetValue, "T"));
  EXPECT_EQ(Bytes({0x30, 0x00, 0x40, 0x00, 0x01, 0x00, 0x02, 0x00,
                   0xA0, 0x02, 0x00, 0x02, 0x10, 0x01, 0x00, 0x01, 0x1B, 0x01,
                   0x01, 0x02, 'P', 'u', 'b', 'l', 'i', 'c', 0x00, 0x09, 'T', 0x00,
                   0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                   0x01, 0x01, 0x03, 0x01, 0x00, 0x03, 22, 0x00, 0x01, 0x00}),
            c.code.bytes);
}

TEST(GetValue, Checks) {
  const struct {
    const char* field;
    std::int32_t port, host, repeater;
    const char* errors;
  } cases[] = {
      {"ABCDEFGHIJKLMNOPQ", 0, 0, 0,
       "line 1: Invalid FieldName string. The Max characters is 16 & Min is 1)."},
      {"", 1, 1, 1, "line 1: Invalid FieldName string. The Max characters is 16 & Min is 1)."},
      {"T", 3, 4095, 0,
       "line 1: Invalid Port 3 must be either 1-RF or 2-RS232.\r\n"
       "line 1: Invalid host address 4095 must greater than zero or less than 4095.\r\n"
       "line 1: Invalid repeater address 0 must be (0 < address < 4095)."},
  };
  for (const auto& t : cases) {
    Compilation c;
    test::startAtLine1(c);
    const HandlerResult result =
        compileValue(c, kGetValue, t.field, t.port, t.host, t.repeater);
    EXPECT_EQ(*t.field == 'T' ? kCompiled : kNothing, result);
    EXPECT_EQ(*t.field == 'T' ? 62u : 0u, c.code.bytes.size());
    EXPECT_EQ(t.errors, c.diag.errorText) << t.field;
  }
}

std::vector<TableDescriptor> threeUserTables() {
  std::vector<TableDescriptor> tables(4);
  tables[0].name = "Status";
  tables[1].name = "Hourly";
  tables[2].name = "Daily";
  tables[3].name = "Events";
  return tables;
}

HandlerResult compileSendData(Compilation& c, std::int32_t port, std::int32_t neighbor,
                              std::int32_t host, const std::string& table) {
  RecordMaker m(kSendData);
  m.word(u(port)).word(u(neighbor)).word(u(host)).text(table);
  return compileSendData(c, m.statement(), threeUserTables());
}

TEST(SendData, NeighborMinusOneIsTheHost) {
  Compilation c;
  test::startAtLine1(c);
  EXPECT_EQ(kCompiled, compileSendData(c, 1, -1, 5, "public"));
  EXPECT_EQ(Bytes({0x3E, 0x00, 0x1A, 0x00, 0x05, 0x00, 0x05, 0x00, 0x04, 0x00,
                   0x80, 0x05, 0x20, 0x05, 0x10, 0x05, 0x00, 0x05, 0x14, 0x01,
                   0x00, 0x00, 0x00, 0x00, 0x00, 0x00}),
            c.code.bytes);
  EXPECT_EQ("", c.diag.errorText);
}

TEST(SendData, TablesAndChecks) {
  const struct {
    std::int32_t port, neighbor, host;
    const char* table;
    std::size_t size;
    std::uint8_t index;
    const char* errors;
  } cases[] = {
      {2, 4094, 4094, "Status", 26, 0, ""},
      {2, 7, 1, "DAILY", 26, 2, ""},
      {2, 7, 1, "PUBLIC", 26, 4, ""},
      {0, 0, 4095, "Events", 26, 3,
       "line 1: Invalid Port 0 must be either 1-RF or 2-RS232.\r\n"
       "line 1: Invalid host address 4095 must be must be (0 < address < 4095).\r\n"
       "line 1: Invalid Neighbor address 0 must be (0 < address < 4095)."},
      {3, 4095, 0, "Events", 26, 3,
       "line 1: Invalid Port 3 must be either 1-RF or 2-RS232.\r\n"
       "line 1: Invalid host address 0 must be must be (0 < address < 4095).\r\n"
       "line 1: Invalid Neighbor address 4095 must be (0 < address < 4095)."},
      {1, 1, 1, "Weekly", 0, 0, "line 1: Table Weekly, not found"},
  };
  for (const auto& t : cases) {
    Compilation c;
    test::startAtLine1(c);
    compileSendData(c, t.port, t.neighbor, t.host, t.table);
    ASSERT_EQ(t.size, c.code.bytes.size()) << t.table;
    if (t.size != 0) {
      EXPECT_EQ(t.index, c.code.bytes[8]) << t.table;
    }
    EXPECT_EQ(t.errors, c.diag.errorText) << t.table;
  }
}

TEST(ReadSendGetInfo, PortRange) {
  const struct {
    std::int32_t port;
    const char* errors;
  } cases[] = {
      {2, ""},
      {0, "line 1: Invalid Port: 0, must be 1 or 2."},
      {3, "line 1: Invalid Port: 3, must be 1 or 2."},
  };
  for (const auto& t : cases) {
    Compilation c;
    test::startAtLine1(c);
    RecordMaker m(kReadSendGetInfo);
    handleReadSendGetInfo(c, m.word(0x0101).word(u(t.port)).statement());
    if (t.port == 2) {
      EXPECT_EQ(Bytes({0x2F, 0x00, 0x08, 0x00, 0x01, 0x01, 0x01, 0x00}), c.code.bytes);
    }
    EXPECT_EQ(t.errors, c.diag.errorText) << t.port;
  }
}

HandlerResult compileSetStatus(Compilation& c, const std::string& field,
                              std::uint32_t value) {
  RecordMaker m(kSetStatus);
  return handleSetStatus(c, m.text(field).word(value).statement());
}

TEST(SetStatus, Fields) {
  const struct {
    const char* field;
    Bytes record;
    const char* errors;
  } cases[] = {
      {"SerialNum", {0x32, 0x00, 0x10, 0x00, 0x20, 0x01, 0x16, 46, 0, 0, 0, 0, 0, 0, 0, 0}, ""},
      {"calOFFSET", {0x32, 0x00, 0x10, 0x00, 0x20, 0x01, 0x18, 0, 0, 0, 0, 0, 0, 0, 0, 0}, ""},
      {"OSversion", {0x32, 0x00, 0x10, 0x00, 0x20, 0x01, 0x8B, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       "line 1: Field OSversion cannot be written to."},
      {"Rf_ForceOn", {0x32, 0x00, 0x10, 0x00, 0x20, 0x01, 0x15, 22, 0, 0, 0, 0, 0, 0, 0, 0},
       ""},
      {"Nothing", {}, "line 1: Field Nothing not found in status table."},
  };
  for (const auto& t : cases) {
    Compilation c;
    test::startAtLine1(c);
    compileSetStatus(c, t.field, 0x0120);
    EXPECT_EQ(t.record, c.code.bytes) << t.field;
    EXPECT_EQ(t.errors, c.diag.errorText) << t.field;
  }
}

TEST(SetStatus, DeferredValueIsResolved) {
  Compilation c;
  test::startAtLine1(c);
  test::constantRef(c, 2);  // 6 bytes before the resolved code
  c.exprArea.deferred.push_back(DeferredExpression{{40, 0, 0x4000, 39}, 8});
  compileSetStatus(c, "RfAddress", kDeferredBit | kEmptyParentheses);
  EXPECT_EQ(Bytes({0x32, 0x00, 0x10, 0x00, 0x06, 0x00, 0x15, 10, 0, 0, 0, 0, 0, 0, 0, 0}),
            c.code.bytes);
}

TEST(SetStatus, PowerModeNames) {
  const struct {
    const char* field;
    float value;
    const char* name;
    const char* errors;
  } cases[] = {
      {"rfpwrMODE", 6, "NO_RF", ""},
      {"RfPwrMode", 0, "RF_ON", ""},
      {"RfPwrMode", 7, "", ""},
      {"RfPwrMode", 8, "", "line 1: Invalid setting for RfPwrMode."},
      {"RfPwrMode", -1, "", "line 1: Invalid setting for RfPwrMode."},
  };
  for (const auto& t : cases) {
    Compilation c;
    test::startAtLine1(c);
    compileSetStatus(c, t.field, test::constantRef(c, t.value));
    Bytes expected = {0x32, 0x00, 0x10, 0x00, 0x00, 0x00, 0x0B, 14};
    const std::string name = t.name;
    expected.insert(expected.end(), name.begin(), name.end());
    expected.resize(16, 0);
    EXPECT_EQ(expected, c.code.bytes) << t.value;
    EXPECT_EQ(t.errors, c.diag.errorText) << t.value;
  }
}

}  // namespace
}  // namespace vk6
