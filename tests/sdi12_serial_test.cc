#include <gtest/gtest.h>

#include <string>

#include "format/byte_io.h"
#include "format/image_format.h"
#include "test_support.h"

namespace vk6 {
namespace {

// T is location 0, X 1, A six from 2; the statements are on line 4.
constexpr char kDeclarations[] = "Public T, X, A(6)\r\n";

Bytes padded(Bytes head, const std::string& text, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i)
    head.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
  return head;
}

// SDI12Recorder(T, command, 1.0, 0): T, 1.0 and 0 are operands 0, 4 and
// 10; `location` is that of the variable substituted into the command.
Bytes recorder(const std::string& sent, std::uint8_t location) {
  Bytes record = padded({0x0E, 0x00, 0x20, 0x00, 0x00, 0x00, 0x04, 0x00, 0x0A, 0x00,
                         location, 0x00},
                        sent, 12);
  record.insert(record.end(), {0x00, 0x00});
  return record;
}

TEST(SDI12Recorder, CommandsAndSubstitution) {
  const test::StatementCase cases[] = {
      {R"(SDI12Recorder(T, "", 1.0, 0))", "", recorder("", 0)},
      {R"(SDI12Recorder(T, "01234567890", 1.0, 0))", "", recorder("01234567890", 0)},
      {R"(SDI12Recorder(T, "012345678901", 1.0, 0))",
       "line 4: SDI12 command string too long, (max is 11)", {}},
      {R"(SDI12Recorder(T, "0R%2X%!", 1.0, 0))", "", recorder("0R%%!", 1)},
      {R"(SDI12Recorder(T, "0R% 2 X rest%!", 1.0, 0))", "", recorder("0R%%!", 1)},
      {R"(SDI12Recorder(T, "0R%2 X", 1.0, 0))", "", recorder("0R%%", 1)},
      // A field without a count or a name sends nothing.
      {R"(SDI12Recorder(T, "0R%X%!", 1.0, 0))", "", recorder("", 0)},
      {R"(SDI12Recorder(T, "0R%2%!", 1.0, 0))", "", recorder("", 0)},
      {R"(SDI12Recorder(T, "0R%2Q%!", 1.0, 0))", "line 4: Could not find variable Q.", {}},
      {R"(SDI12Recorder(T, "0123456%4X%", 1.0, 0))", "", recorder("0123456%%%%", 1)},
      {R"(SDI12Recorder(T, "0123456789%2X%", 1.0, 0))",
       "line 4: SDI12 command string too long, (max is 11)", {}},
  };
  test::expectStatements(kDeclarations, cases);

  const test::Reported interrupt = test::compileText(
      "Public T\r\nBeginProg\r\nScan(1, Sec)\r\nNextScan\r\nInterruptSequence\r\n"
      "SDI12Recorder(T, \"0M!\", 1.0, 0)\r\nEndProg\r\n");
  EXPECT_EQ("line 6: Instruction can not be used within the InterruptSequence section.",
            interrupt.errors);
}

TEST(SDI12Sensor, SetupChecks) {
  const test::StatementCase cases[] = {
      {"SDI12SensorSetup(20, 1, 1.0, 99)", "",
       {0x3C, 0x00, 0x18, 0x00, 0x00, 0x00, 0x00, 0x00, 0x63, 0x00, 0x14, 0x00, 0xFB, 0xF5,
        0x00, 0x00, 0x00, 0x00}},
      // Only the low byte of the reps counts: 276 is 20.
      {"SDI12SensorSetup(276, 1, 1.0, 0)", "",
       {0x3C, 0x00, 0x18, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x14, 0x00, 0xFB, 0xF5,
        0x00, 0x00, 0x00, 0x00}},
      {"SDI12SensorSetup(21, 1, 1.0, 0)", "line 4: Invalid Reps, must be 1..20.", {}},
      {"SDI12SensorSetup(0, 1, 1.0, 0)", "line 4: Invalid Reps, must be 1..20.", {}},
      {"SDI12SensorSetup(1, 1, 1.0, 100)", "line 4: Invalid response time, must be 0..99 second",
       {}},
      {"SDI12SensorSetup(1, 2, 1.0, 0)", "line 4: Invalid port 2, must be 1", {}},
  };
  test::expectStatements(kDeclarations, cases);
}

TEST(SDI12Sensor, ResponsesCopyTheSetup) {
  const test::Compiled faults = test::compileInScan(
      kDeclarations, "SDI12SensorResponse(T)\r\nSDI12SensorSetup(2, 1, 1.0, 99)\r\n"
                     "SDI12SensorSetup(2, 1, 1.0, 99)\r\nSDI12SensorResponse(T)\r\n"
                     "SDI12SensorResponse(A)\r\n");
  EXPECT_EQ("line 4: SDI12SensorReponse must be preceeded by SDI12Setup.\r\n"
            "line 6: Cannot Nest or have multiple Sdi12 instructions.\r\n"
            "line 7: Source variable array not big enough.",
            faults.errors);

  // The setup takes a block of 3 locations (251) and one of 6 (245).
  const test::Compiled c = test::compileInScan(
      kDeclarations, "SDI12SensorSetup(2, 1, 1.0, 99)\r\nSDI12SensorResponse(A)\r\n");
  EXPECT_EQ("", c.errors);
  EXPECT_EQ(Bytes({0x3C, 0x00, 0x18, 0x00, 0x00, 0x00, 0x00, 0x00, 0x63, 0x00, 0x02, 0x00,
                   0xFB, 0xF5, 0x00, 0x00, 0x00, 0x00,
                   0x3D, 0x00, 0x2A, 0x00, 0x00, 0x00, 0x06, 0x00, 0x63, 0x00, 0x02, 0x00,
                   0xFB, 0xF5, 0x00, 0x00, 0x00, 0x00}),
            test::scanBody(c));
  ASSERT_LE(kProgramHeaderSize, c.image.size());
  EXPECT_EQ(245, loadU16(c.image.data() + program_header::kLocationPool));
}

// SerialInput(A, 2, 0, "x", ...): A is operand 0; blocks of 9 and 4
// locations at 245 and 241.
Bytes serialInput(std::uint16_t baud, std::uint8_t portCode) {
  Bytes record = padded({0x39, 0x00, 0x34, 0x00, 0x00, 0x00, 0x02, 0x00,
                         static_cast<std::uint8_t>(baud), static_cast<std::uint8_t>(baud >> 8)},
                        "x", 32);
  record.insert(record.end(), {0x00, 0xF5, portCode, 0xF1});
  return record;
}

TEST(SerialInput, PortCodesAndBaudRates) {
  const test::StatementCase cases[] = {
      {R"(SerialInput(A, 2, 0, "x"))", "", serialInput(9600, 1)},
      {R"(SerialInput(A, 2, 0, "x", 0, 0))", "", serialInput(9600, 1)},
      {R"(SerialInput(A, 2, 0, "x", 2, 1200))", "", serialInput(1200, 1)},
      {R"(SerialInput(A, 2, 0, "x", 4, 4800))", "", serialInput(4800, 3)},
      // Bit 31 of the port goes, as that of the omitted port's marker.
      {R"(SerialInput(A, 2, 0, "x", -2147483644, 2400))", "", serialInput(2400, 3)},
      {R"(SerialInput(A, 2, 0, "x", 3, 2400))", "line 4: Invalid Port", {}},
      {R"(SerialInput(A, 2, 0, "x", 1, 9600))", "line 4: Invalid Port", {}},
      {R"(SerialInput(A, 2, 0, "x", 5, 19200))", "line 4: Invalid Port\r\nline 4: Invalid Baudrate",
       {}},
      {R"(SerialInput(T, 2, 0, "x", 4, 4800))",
       "line 4: Reps too large for Destination variable.", {}},
  };
  test::expectStatements(kDeclarations, cases);
}

// A fatal fault ends the compile: the bad Delay after it is never checked.
TEST(SerialInput, FatalFaultsStopTheCompile) {
  const std::string limit(31, 'f');
  const struct {
    std::string body;
    std::string errors;
  } cases[] = {
      {"SerialInput(A, 1, 0, \"" + limit + "g\")\r\nDelay(1, 3)\r\n",
       "line 4: Filter string " + limit + "g too long, limit to 31 characters"},
      {"SerialInput(A, 1, 0, \"" + limit + "\")\r\nSerialInput(A, 1, 0, \"x\")\r\n"
       "Delay(1, 3)\r\n",
       "line 5: Only one SerialInput can be defined."},
      {"LoggerIdentify(\"ABCD\", \"r\")\r\nLoggerIdentify(\"A\", \"B\")\r\nDelay(1, 3)\r\n",
       "line 5: Only one LoggerIdenify can be defined."},
      {"LoggerIdentify(\"ABCDE\", \"r\")\r\nDelay(1, 3)\r\n",
       "line 4: Input identify filter string ABCDE too long, limit to 4 characters"},
      {"LoggerIdentify(\"ABCD\", \"" + std::string(40, 'x') + "\")\r\nDelay(1, 3)\r\n",
       "line 4: Output identify Response string " + std::string(40, 'x') +
           " too long, limit to 39 characters"},
  };
  for (const auto& t : cases)
    EXPECT_EQ(t.errors, test::compileInScan(kDeclarations, t.body).errors) << t.body;
}

// Texts move the slots after them: the handlers find the multiplier, the
// port and the response where the parser put them.
TEST(SerialFamily, FromSource) {
  const test::Compiled c = test::compileInScan(kDeclarations,
                                               "SDI12Recorder(T, \"0R%2X%!\", A(), 0)\r\n"
                                               "SerialInput(A, 6, 7, \"abc\", 4, 2400)\r\n"
                                               "LoggerIdentify(\"ID\", \"ok\\r\\n\")\r\n");
  EXPECT_EQ("", c.errors);
  Bytes expected = padded({0x0E, 0x00, 0x20, 0x00, 0x00, 0x00, 0x04, 0x00, 0x08, 0x00,
                           0x01, 0x00},
                          "0R%%!", 12);
  expected.insert(expected.end(), {0x00, 0x01, 0x39, 0x00, 0x4E, 0x00, 0x0E, 0x00,
                                   0x06, 0x00, 0x60, 0x09});
  expected = padded(expected, "abc", 32);
  expected.insert(expected.end(), {0x07, 0xF5, 0x03, 0xF1, 0x3A, 0x00, 0x80, 0x00});
  EXPECT_EQ(padded(padded(expected, "ID", 6), "ok\r\n", 40), test::scanBody(c));
}

TEST(LoggerIdentify, EscapesAndLengths) {
  const auto identify = [](const std::string& response) {
    return padded(padded({0x3A, 0x00, 0x38, 0x00}, "ABCD", 6), response, 40);
  };
  // 39 characters once the escapes are turned.
  const std::string longest =
      "LoggerIdentify(\"ABCD\", \"" + std::string(37, 'x') + "\\r\\n\")";
  const test::StatementCase cases[] = {
      {R"(LoggerIdentify("ABCD", "a\nb"))", "", identify("a\nb")},
      {R"(LoggerIdentify("ABCD", "\r\n"))", "", identify("\r\n")},
      {R"(LoggerIdentify("ABCD", "a\\b"))", "", identify("a\\b")},
      {R"(LoggerIdentify("ABCD", "a\xb"))", "", identify("a\\b")},
      {R"(LoggerIdentify("ABCD", "ab\"))", "", identify("ab\\")},
      {R"(LoggerIdentify("ABCD", "\\n"))", "", identify("\\n")},
      {longest.c_str(), "", identify(std::string(37, 'x') + "\r\n")},
  };
  test::expectStatements(kDeclarations, cases);
}

}  // namespace
}  // namespace vk6
