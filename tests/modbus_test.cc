#include <gtest/gtest.h>

#include "communication_support.h"
#include "format/operand_word.h"
#include "instructions/communication.h"
#include "parse/instruction_table.h"

namespace vk6 {
namespace {

using test::RecordMaker;

// ModBusMaster(first, port, baud, expr, code, var, expr, expr, byte, timeout)
// with fixed operand words 0x0101, 0x0104, 0x0106, 0x0107, 0x0108.
Statement master(RecordMaker& m, std::int32_t port, std::int32_t baud,
                 std::int32_t code, std::int32_t timeout) {
  m.word(0x0101).word(static_cast<std::uint32_t>(port)).word(static_cast<std::uint32_t>(baud));
  m.word(0x0104).word(static_cast<std::uint32_t>(code)).word(0x0106).word(0x0107);
  m.word(0x0108).word(7).word(static_cast<std::uint32_t>(timeout));
  return m.statement();
}

HandlerResult compileMaster(Compilation& c, std::int32_t port, std::int32_t baud,
                            std::int32_t code, std::int32_t timeout) {
  RecordMaker m(kModBusMaster);
  return handleModBusMaster(c, master(m, port, baud, code, timeout));
}

// ModBusSlave(port, 9600, expr, Regs, booleans) with the flags omitted.
HandlerResult compileSlave(Compilation& c, std::int32_t port, std::uint32_t booleans) {
  RecordMaker m(kModBusSlave);
  m.word(static_cast<std::uint32_t>(port)).word(9600).word(0x0103);
  m.word(test::varRef(c, "Regs")).word(booleans).word(kAbsentMarker).word(kAbsentMarker);
  return handleModBusSlave(c, m.statement());
}

TEST(Modbus, MasterRecord) {
  Compilation c;
  test::startAtLine1(c);
  EXPECT_EQ(HandlerResult::kCompiled, compileMaster(c, 1, 9600, 103, 500));
  EXPECT_EQ(Bytes({0x3F, 0x00, 0x1C, 0x00, 0x06, 0x01, 0x01, 0x01, 0x04, 0x01,
                   0x00, 0x00, 0x03, 0x00, 0x80, 0x25, 0x07, 0x01, 0x08, 0x01,
                   0xF4, 0x01, 0x4C, 0x00, 0xE5, 0x07, 0x01, 0x00}),
            c.code.bytes);
  EXPECT_EQ("", c.diag.errorText);
}

TEST(Modbus, MasterFunctionCodes) {
  const struct {
    std::int32_t code;
    std::int32_t timeout;
    int pool;  // after the statement
    std::uint8_t function, dataType, negative;
    const char* errors;
  } cases[] = {
      {3, 100, 229, 3, 0, 0, ""},  // 76 / 4 + 6 locations
      {1, 100, 244, 1, 0, 0, ""},  // 16 / 4 + 6
      {6, 100, 244, 6, 0, 0, ""},  // one register, sized as one coil
      {-3, 100, 229, 3, 0, 1, ""},
      {503, 6500, 229, 3, 5, 0, ""},
      {3, 6501, 229, 3, 0, 0, "line 1: TimeOut must be less than 65 seconds."},
      {603, 100, 229, 3, 6, 0,
       "line 1: Modbus Data types 6 not supported, 0..5 are supported."},
      {7, 100, 248, 7, 0, 0, "line 1: ModBus function 7 is illegal, 1..6,15,16 are legal."},
      {0, 100, 248, 0, 0, 0, "line 1: ModBus function 0 is illegal, 1..6,15,16 are legal."},
  };
  for (const auto& t : cases) {
    Compilation c;
    test::startAtLine1(c);
    compileMaster(c, 2, 1200, t.code, t.timeout);
    ASSERT_EQ(28u, c.code.bytes.size());
    EXPECT_EQ(t.pool, c.header.locationPool) << t.code;
    EXPECT_EQ(t.function, c.code.bytes[12]) << t.code;
    EXPECT_EQ(t.dataType, c.code.bytes[26]) << t.code;
    EXPECT_EQ(t.negative, c.code.bytes[27]) << t.code;
    EXPECT_EQ(t.errors, c.diag.errorText) << t.code;
  }
}

TEST(Modbus, PortAndBaudMessages) {
  const struct {
    std::int32_t port, baud;
    const char* errors;
  } cases[] = {
      {3, 9600, ""},
      {4, 9600, "line 1: ComPort 4 illegal."},
      {0, 9600, "line 1: ComPort 0 illegal."},
      {1, 19200, "line 1: Incorrect baud rate, either 9600 or 1200 baud."},
  };
  for (const auto& t : cases) {
    Compilation c;
    test::startAtLine1(c);
    compileMaster(c, t.port, t.baud, 3, 100);
    EXPECT_EQ(t.errors, c.diag.errorText) << t.port << " " << t.baud;
  }
}

TEST(Modbus, SlaveRecordAndBuffer) {
  Compilation c;
  test::startAtLine1(c);
  test::dim(c, "Regs", 15);
  EXPECT_EQ(HandlerResult::kCompiled, compileSlave(c, 1, test::constantRef(c, 0)));
  // The register array's code follows the constant's 6 bytes. Buffer
  // 4 x 15 + 12 = 72 bytes; 72 / 4 + 6 = 24 locations.
  EXPECT_EQ(Bytes({0x3F, 0x00, 0x1C, 0x00, 0x06, 0x00, 0x00, 0x00, 0x03, 0x01,
                   0x00, 0x00, 0x00, 0x00, 0x80, 0x25, 0x00, 0x00, 0x00, 0x00,
                   0x00, 0x00, 0x48, 0x00, 0xE6, 0x00, 0x00, 0x00}),
            c.code.bytes);
  EXPECT_EQ("", c.diag.errorText);
}

TEST(Modbus, SlaveArrayLimits) {
  const struct {
    int registers, booleans;  // 0: the constant 0
    std::int32_t port;
    std::uint8_t buffer;
    const char* errors;
  } cases[] = {
      {15, 0, 3, 72,
       "line 1: BooleanVar must be defined, C1/C2 are used for modbus communication"},
      {16, 0, 1, 76, "line 1: Variable array too big for Rx buffer size."},
      {2, 16, 1, 76, ""},
      {2, 17, 1, 80,
       "line 1: BooleanVar Variable array must be less than 16, or parameter = 0"},
  };
  for (const auto& t : cases) {
    Compilation c;
    test::startAtLine1(c);
    test::dim(c, "Regs", t.registers);
    std::uint32_t booleans = test::constantRef(c, 0);
    if (t.booleans != 0) {
      test::dim(c, "Flags", t.booleans);
      booleans = test::varRef(c, "Flags");
    }
    compileSlave(c, t.port, booleans);
    EXPECT_EQ(t.buffer, c.code.bytes[22]) << t.registers << " " << t.booleans;
    EXPECT_EQ(t.errors, c.diag.errorText) << t.registers << " " << t.booleans;
  }
}

TEST(Modbus, OneKindPerProgramAndOneSlavePerPort) {
  Compilation c;
  test::startAtLine1(c);
  test::dim(c, "Regs", 4);
  compileSlave(c, 1, test::constantRef(c, 0));
  compileSlave(c, 2, test::constantRef(c, 0));
  EXPECT_EQ("", c.diag.errorText);
  compileSlave(c, 1, test::constantRef(c, 0));
  compileMaster(c, 2, 9600, 3, 100);
  compileSlave(c, 3, test::constantRef(c, 0));
  EXPECT_EQ("line 1: Only one ModBusSlave() instruction can be used for this COM port\r\n"
            "line 1: Can't use both Slave and Master instructions in one program\r\n"
            "line 1: Can't use both Slave and Master instructions in the same program\r\n"
            "line 1: BooleanVar must be defined, C1/C2 are used for modbus communication",
            c.diag.errorText);
}

}  // namespace
}  // namespace vk6
