#include <gtest/gtest.h>

#include "instructions/sdi12_serial.h"
#include "format/operand_word.h"
#include "io_test_support.h"
#include "test_support.h"
#include "vk6/passes.h"

namespace vk6 {
namespace {

using test::Record;

// T is one location at 0, X one at 1, A six at 2; the references of T and
// A are operands 0 and 4.
struct Program {
  Compilation c;
  std::uint16_t t, a;
  Program() {
    test::startTest(c);
    declareVariable(c, 1, "T", kDeclarePublic);
    declareVariable(c, 1, "X", kDeclarePublic);
    declareVariable(c, 6, "A", kDeclarePublic);
    t = test::variableRef(c, "T");
    a = test::variableRef(c, "A");
  }
};

Bytes concat(Bytes head, const std::string& text, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i)
    head.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
  return head;
}

TEST(SDI12Recorder, CommandsAndSubstitution) {
  const struct {
    const char* command;
    const char* errors;
    const char* sent;  // null: no record
    std::uint16_t location;
  } cases[] = {
      {"", "", "", 0},
      {"01234567890", "", "01234567890", 0},
      {"012345678901", "line 1: SDI12 command string too long, (max is 11)", nullptr, 0},
      {"0R%2X%!", "", "0R%%!", 1},
      {"0R% 2 X rest%!", "", "0R%%!", 1},
      {"0R%2 X", "", "0R%%", 1},
      {"0R%X%!", "", "", 0},
      {"0R%2%!", "", "", 0},
      {"0R%2Q%!", "line 1: Could not find variable Q.", "", 0},
      {"0123456%4X%", "", "0123456%%%%", 1},
      {"0123456789%2X%", "line 1: SDI12 command string too long, (max is 11)", nullptr, 0},
  };
  for (const auto& t : cases) {
    Program p;
    Record r(kSDI12Recorder);
    r.slot(p.t).text(t.command).slot(0).slot(0);
    test::run(p.c, r);
    EXPECT_EQ(t.errors, p.c.diag.errorText) << t.command;
    if (t.sent == nullptr) {
      EXPECT_TRUE(p.c.code.bytes.empty()) << t.command;
      continue;
    }
    ASSERT_EQ(26u, p.c.code.bytes.size()) << t.command;
    EXPECT_EQ(t.location, loadU16(p.c.code.bytes.data() + 10)) << t.command;
    EXPECT_EQ(concat({}, t.sent, 12), Bytes(p.c.code.bytes.begin() + 12,
                                             p.c.code.bytes.begin() + 24))
        << t.command;
  }
}

TEST(SDI12Recorder, RefusedInInterruptSequence) {
  Program p;
  p.c.program.interrupt = true;
  Record r(kSDI12Recorder);
  r.slot(p.t).text("0M!").slot(0).slot(0);
  test::run(p.c, r);
  EXPECT_EQ("line 1: Instruction can not be used within the InterruptSequence section.",
            p.c.diag.errorText);
  EXPECT_EQ(26u, p.c.code.bytes.size());
}

TEST(SDI12Sensor, SetupChecks) {
  const struct {
    std::uint32_t reps, port, seconds;
    const char* errors;
  } cases[] = {
      {20, 1, 99, ""},
      {276, 1, 0, ""},  // the low byte, 20
      {21, 1, 0, "line 1: Invalid Reps, must be 1..20."},
      {0, 1, 0, "line 1: Invalid Reps, must be 1..20."},
      {1, 1, 100, "line 1: Invalid response time, must be 0..99 second"},
      {1, 2, 0, "line 1: Invalid port 2, must be 1"},
  };
  for (const auto& t : cases) {
    Program p;
    Record r(kSDI12SensorSetup);
    r.slot(t.reps).slot(t.port).slot(0).slot(t.seconds);
    test::run(p.c, r);
    EXPECT_EQ(t.errors, p.c.diag.errorText) << t.reps << " " << t.seconds;
  }
}

TEST(SDI12Sensor, ResponsesCopyTheSetup) {
  Program p;
  Record setup(kSDI12SensorSetup), again(kSDI12SensorSetup);
  Record early(kSDI12SensorResponse), small(kSDI12SensorResponse), fits(kSDI12SensorResponse);
  early.slot(p.t);
  setup.slot(2).slot(1).slot(0x0123).slot(99);
  again.slot(2).slot(1).slot(0x0123).slot(99);
  small.slot(p.t);
  fits.slot(p.a);
  for (Record* r : {&early, &setup, &again, &small, &fits}) test::run(p.c, *r);
  EXPECT_EQ("line 1: SDI12SensorReponse must be preceeded by SDI12Setup.\r\n"
            "line 1: Cannot Nest or have multiple Sdi12 instructions.\r\n"
            "line 1: Source variable array not big enough.",
            p.c.diag.errorText);
  const Bytes& code = p.c.code.bytes;
  EXPECT_EQ(Bytes({0x3D, 0x00, 0x12, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                   0x00, 0x00, 0x00, 0x00, 0x00, 0x00}),
            Bytes(code.begin(), code.begin() + 18));
  EXPECT_EQ(Bytes({0x3C, 0x00, 0x24, 0x00, 0x23, 0x01, 0x00, 0x00, 0x63, 0x00, 0x02, 0x00,
                   0xFB, 0xF5, 0x00, 0x00, 0x00, 0x00}),
            Bytes(code.begin() + 18, code.begin() + 36));
  EXPECT_EQ(Bytes({0x3D, 0x00, 0x5A, 0x00, 0x23, 0x01, 0x04, 0x00, 0x63, 0x00, 0x02, 0x00,
                   0xFB, 0xF5, 0x00, 0x00, 0x00, 0x00}),
            Bytes(code.begin() + 72, code.end()));
  EXPECT_EQ(236, p.c.header.locationPool);
}

TEST(SerialInput, PortCodesAndBaudRates) {
  const struct {
    std::uint32_t port, baud;
    const char* errors;
    std::uint8_t code;
    std::uint16_t storedBaud;
  } cases[] = {
      {kAbsentMarker, kAbsentMarker, "", 1, 9600},
      {0, 0, "", 1, 9600},
      {2, 1200, "", 1, 1200},
      {4, 4800, "", 3, 4800},
      {0x80000004u, 2400, "", 3, 2400},
      {3, 2400, "line 1: Invalid Port", 3, 2400},
      {1, 9600, "line 1: Invalid Port", 1, 9600},
      {5, 19200, "line 1: Invalid Port\r\nline 1: Invalid Baudrate", 5, 19200},
  };
  for (const auto& t : cases) {
    Program p;
    Record r(kSerialInput);
    r.slot(p.t).slot(2).slot(0).text("x").slot(t.port).slot(t.baud);
    test::run(p.c, r);
    EXPECT_EQ(std::string("line 1: Reps too large for Destination variable.") +
                  (*t.errors ? "\r\n" : "") + t.errors,
              p.c.diag.errorText)
        << t.port;
    EXPECT_EQ(t.code, p.c.code.bytes[44]) << t.port;
    EXPECT_EQ(t.storedBaud, loadU16(p.c.code.bytes.data() + 8)) << t.port;
  }
}

TEST(SerialInput, FatalFaultsStopPassTwo) {
  const std::string limit(31, 'f');
  Program p;
  Record tooLong(kSerialInput), fits(kSerialInput), second(kSerialInput);
  tooLong.slot(p.t).slot(1).slot(0).text(limit + "g").slot(0).slot(0);
  EXPECT_EQ(HandlerResult::kStop, test::run(p.c, tooLong));
  EXPECT_EQ("line 1: Filter string " + limit + "g too long, limit to 31 characters",
            p.c.diag.errorText);
  Program q;
  fits.slot(q.t).slot(1).slot(0).text(limit).slot(0).slot(0);
  second.slot(q.t).slot(1).slot(0).text("x").slot(0).slot(0);
  EXPECT_EQ(HandlerResult::kCompiled, test::run(q.c, fits));
  EXPECT_EQ(HandlerResult::kStop, test::run(q.c, second));
  EXPECT_EQ("line 1: Only one SerialInput can be defined.", q.c.diag.errorText);
  EXPECT_EQ(46u, q.c.code.bytes.size());
}

// Texts move the slots after them: the handlers find the multiplier, the
// port and the response where the parser put them.
TEST(SerialFamily, FromSource) {
  Compilation c;
  c.options.build = test::modelVK617Q();
  test::loadText(c, "Public T, X, A(6)\r\n"
                    "BeginProg\r\n"
                    "Scan(1, Sec)\r\n"
                    "SDI12Recorder(T, \"0R%2X%!\", A(), 0)\r\n"
                    "SerialInput(A, 6, 7, \"abc\", 4, 2400)\r\n"
                    "LoggerIdentify(\"ID\", \"ok\\r\\n\")\r\n"
                    "NextScan\r\n"
                    "EndProg\r\n");
  runCompile(c);
  EXPECT_EQ("", c.diag.errorText);
  // Behind the 6-byte Scan record.
  Bytes expected = concat({0x0E, 0x00, 0x20, 0x00, 0x00, 0x00, 0x04, 0x00, 0x08, 0x00,
                           0x01, 0x00},
                          "0R%%!", 12);
  expected.insert(expected.end(), {0x00, 0x01, 0x39, 0x00, 0x4E, 0x00, 0x0E, 0x00,
                                   0x06, 0x00, 0x60, 0x09});
  expected = concat(expected, "abc", 32);
  expected.insert(expected.end(), {0x07, 0xF5, 0x03, 0xF1, 0x3A, 0x00, 0x80, 0x00});
  expected = concat(concat(expected, "ID", 6), "ok\r\n", 40);
  ASSERT_LE(expected.size() + 6, c.code.bytes.size());
  EXPECT_EQ(expected, Bytes(c.code.bytes.begin() + 6,
                            c.code.bytes.begin() + 6 + static_cast<std::ptrdiff_t>(expected.size())));
}

TEST(LoggerIdentify, Escapes) {
  const struct {
    const char* text;
    const char* processed;
  } cases[] = {
      {"a\\nb", "a\nb"}, {"\\r\\n", "\r\n"}, {"a\\\\b", "a\\b"},
      {"a\\xb", "a\\b"}, {"ab\\", "ab\\"},   {"\\\\n", "\\n"},
  };
  for (const auto& t : cases) EXPECT_EQ(t.processed, processEscapes(t.text)) << t.text;
}

TEST(LoggerIdentify, LengthsAfterEscapes) {
  const std::string response39 = std::string(37, 'x') + "\\r\\n";
  Program p;
  Record ok(kLoggerIdentify);
  ok.text("ABCD").text(response39);
  EXPECT_EQ(HandlerResult::kCompiled, test::run(p.c, ok));
  EXPECT_EQ(concat(concat({0x3A, 0x00, 0x32, 0x00}, "ABCD", 6), std::string(37, 'x') + "\r\n", 40),
            p.c.code.bytes);
  Record second(kLoggerIdentify);
  second.text("A").text("B");
  EXPECT_EQ(HandlerResult::kStop, test::run(p.c, second));
  EXPECT_EQ("line 1: Only one LoggerIdenify can be defined.", p.c.diag.errorText);

  const struct {
    const char* filter;
    std::string response;
    const char* errors;
  } cases[] = {
      {"ABCDE", "r", "line 1: Input identify filter string ABCDE too long, limit to 4 characters"},
      {"ABCD", std::string(40, 'x'),
       "line 1: Output identify Response string xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx too "
       "long, limit to 39 characters"},
  };
  for (const auto& t : cases) {
    Program q;
    Record r(kLoggerIdentify);
    r.text(t.filter).text(t.response);
    EXPECT_EQ(HandlerResult::kStop, test::run(q.c, r)) << t.filter;
    EXPECT_EQ(t.errors, q.c.diag.errorText) << t.filter;
    EXPECT_TRUE(q.c.code.bytes.empty());
  }
}

}  // namespace
}  // namespace vk6
