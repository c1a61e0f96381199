#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace vk6 {
namespace {

constexpr char kDeclarations[] =
    "Public Res, V, Regs(15), R16(16), R2(2), F16(16), F17(17)\r\n";

// Byte 24 is the first location of the buffer block taken from the pool:
// 76 / 4 + 6 = 25 locations for functions 3, 4 and 16, 16 / 4 + 6 = 10 for
// the others.
TEST(Modbus, Records) {
  // COM2 at 1200 baud, function 3, time-out 100.
  const Bytes master = {0x3F, 0x00, 0x22, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x04, 0x00,
                        0x01, 0x00, 0x03, 0x00, 0xB0, 0x04, 0x0E, 0x00, 0x14, 0x00,
                        0x64, 0x00, 0x4C, 0x00, 0xE5, 0x07, 0x00, 0x00};
  // COM1 at 9600 baud, 15 registers, no booleans: buffer 4 x 15 + 12 = 72
  // bytes, 72 / 4 + 6 = 24 locations.
  const Bytes slave = {0x3F, 0x00, 0x22, 0x00, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00,
                       0x00, 0x00, 0x00, 0x00, 0x80, 0x25, 0x00, 0x00, 0x00, 0x00,
                       0x00, 0x00, 0x48, 0x00, 0xE6, 0x00, 0x00, 0x00};
  const struct {
    const char* statement;
    const char* errors;
    Bytes record;
  } cases[] = {
      {"ModBusMaster(Res, 2, 1200, 1, 3, V, 1, 1, 7, 100)", "", master},
      // Data type 1, function 3.
      {"ModBusMaster(Res, 1, 9600, 1, 103, V, 1, 1, 7, 500)", "",
       test::patched(master, {{10, 0}, {14, 0x80}, {15, 0x25}, {20, 0xF4}, {21, 0x01}, {26, 1}})},
      {"ModBusMaster(Res, 2, 1200, 1, 1, V, 1, 1, 7, 100)", "",
       test::patched(master, {{12, 1}, {22, 0x10}, {24, 0xF4}})},
      // One register, sized as one coil.
      {"ModBusMaster(Res, 2, 1200, 1, 6, V, 1, 1, 7, 100)", "",
       test::patched(master, {{12, 6}, {22, 0x10}, {24, 0xF4}})},
      {"ModBusMaster(Res, 2, 1200, 1, -3, V, 1, 1, 7, 100)", "", test::patched(master, {{27, 1}})},
      {"ModBusMaster(Res, 2, 1200, 1, 503, V, 1, 1, 7, 6500)", "",
       test::patched(master, {{21, 0x19}, {26, 5}})},
      {"ModBusMaster(Res, 2, 1200, 1, 3, V, 1, 1, 7, 6501)",
       "line 4: TimeOut must be less than 65 seconds.", {}},
      {"ModBusMaster(Res, 2, 1200, 1, 603, V, 1, 1, 7, 100)",
       "line 4: Modbus Data types 6 not supported, 0..5 are supported.", {}},
      {"ModBusMaster(Res, 2, 1200, 1, 7, V, 1, 1, 7, 100)",
       "line 4: ModBus function 7 is illegal, 1..6,15,16 are legal.", {}},
      {"ModBusMaster(Res, 2, 1200, 1, 0, V, 1, 1, 7, 100)",
       "line 4: ModBus function 0 is illegal, 1..6,15,16 are legal.", {}},
      {"ModBusMaster(Res, 3, 9600, 1, 3, V, 1, 1, 7, 100)", "",
       test::patched(master, {{10, 2}, {14, 0x80}, {15, 0x25}})},
      {"ModBusMaster(Res, 4, 9600, 1, 3, V, 1, 1, 7, 100)", "line 4: ComPort 4 illegal.", {}},
      {"ModBusMaster(Res, 0, 9600, 1, 3, V, 1, 1, 7, 100)", "line 4: ComPort 0 illegal.", {}},
      {"ModBusMaster(Res, 1, 19200, 1, 3, V, 1, 1, 7, 100)",
       "line 4: Incorrect baud rate, either 9600 or 1200 baud.", {}},
      {"ModBusSlave(1, 9600, 3, Regs, 0)", "", slave},
      {"ModBusSlave(3, 9600, 3, Regs, 0)",
       "line 4: BooleanVar must be defined, C1/C2 are used for modbus communication", {}},
      {"ModBusSlave(1, 9600, 3, R16, 0)", "line 4: Variable array too big for Rx buffer size.",
       {}},
      // The boolean array sets the buffer: 4 x 16 + 12 = 76 bytes.
      {"ModBusSlave(1, 9600, 3, R2, F16)", "",
       test::patched(slave, {{6, 0x0A}, {22, 0x4C}, {24, 0xE5}})},
      {"ModBusSlave(1, 9600, 3, R2, F17)",
       "line 4: BooleanVar Variable array must be less than 16, or parameter = 0", {}},
  };
  for (const auto& t : cases) {
    const test::Compiled c =
        test::compileInScan(kDeclarations, std::string("    ") + t.statement + "\r\n");
    EXPECT_EQ(t.errors, c.errors) << t.statement;
    EXPECT_EQ(t.record, test::scanBody(c)) << t.statement;
  }
}

TEST(Modbus, OneKindPerProgramAndOneSlavePerPort) {
  EXPECT_EQ("", test::compileInScan(kDeclarations,
                                    "    ModBusSlave(1, 9600, 3, Regs, 0)\r\n"
                                    "    ModBusSlave(2, 9600, 3, Regs, 0)\r\n")
                    .errors);
  EXPECT_EQ("line 6: Only one ModBusSlave() instruction can be used for this COM port\r\n"
            "line 7: Can't use both Slave and Master instructions in one program\r\n"
            "line 8: Can't use both Slave and Master instructions in the same program\r\n"
            "line 8: BooleanVar must be defined, C1/C2 are used for modbus communication",
            test::compileInScan(kDeclarations,
                                "    ModBusSlave(1, 9600, 3, Regs, 0)\r\n"
                                "    ModBusSlave(2, 9600, 3, Regs, 0)\r\n"
                                "    ModBusSlave(1, 9600, 3, Regs, 0)\r\n"
                                "    ModBusMaster(Res, 2, 9600, 1, 3, V, 1, 1, 7, 100)\r\n"
                                "    ModBusSlave(3, 9600, 3, Regs, 0)\r\n")
                .errors);
}

}  // namespace
}  // namespace vk6
