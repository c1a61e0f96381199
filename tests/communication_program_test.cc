// Whole programs with communication instructions, through every pass.
#include <gtest/gtest.h>

#include "test_support.h"

namespace vk6 {
namespace {

using test::compileText;

constexpr const char* kGoesProgram =
    "Public Dest(13), Gps(6), Sats(7), Res\r\n"
    "BeginProg\r\n"
    "  Scan(10, Sec)\r\n"
    "    GOESSetup(Res, 4660, 10, 195, 300, 7, 100, \"00_01_00_00\", \"00_00_30\", "
    "\"01_00_00\")\r\n"
    "    GOESStatus(Dest, 1)\r\n"
    "    GOESGPS(Gps, Sats)\r\n"
    "  NextScan\r\n"
    "EndProg\r\n";

TEST(CommunicationProgram, GoesNeedsTheTransmitterModel) {
  EXPECT_EQ("", compileText(kGoesProgram, test::modelVK617Q()).errors);
  EXPECT_EQ("line 4: GOESSetup is not accepted, requires different OS version\r\n"
            "line 5: GOESStatus is not accepted, requires different OS version\r\n"
            "line 6: GOESgpsData is not accepted, requires different OS version",
            compileText(kGoesProgram, test::modelVK610Q()).errors);
}

TEST(CommunicationProgram, StatementsCompileFromSource) {
  const struct {
    const char* statement;
    const char* errors;
  } cases[] = {
      {"ModBusMaster(Res, 1, 9600, 1, 3, Regs(1), 1, 1, 3, 100)", ""},
      {"ModBusSlave(2, 1200, 1, Regs, 0)", ""},
      {"ModBusSlave(3, 1200, 1, Regs, 0)",
       "line 4: BooleanVar must be defined, C1/C2 are used for modbus communication"},
      {"Print(C2, 1200, \"T=\", Res, CHR$(13))", ""},
      {"Print(1, 4800, Res)", "line 4: RF port must use baud rate of 9600."},
      {"MaxSpa(Res, 4, Regs(1))", "line 4: MaxSpa requires a dest array with at least 2 elements."},
      {"AvgSpa(Res, 4, Regs(1))", ""},
      {"SendData(1, -1, 5, Public)", ""},
      {"SendData(1, 2, 5, Nothing)", "line 4: Table Nothing, not found"},
      {"SendGetData(Res, Regs, Regs(2), 2, 1, 4094, 0)", ""},
      {"GetValue(Res, Regs, 1, ABCDEFGHIJKLMNOPQ, 1, 1, 1, 0)",
       "line 4: Invalid FieldName string. The Max characters is 16 & Min is 1)."},
      {"SetStatus(RfPwrMode, RF8S_LH)", ""},
      {"SetStatus(rfpwrmode, 8)", "line 4: Invalid setting for rfpwrmode."},
      {"SetStatus(OSversion, 1)", "line 4: Field OSversion cannot be written to."},
  };
  for (const auto& t : cases) {
    const std::string source = std::string("Public Regs(4), Res\r\n"
                                           "BeginProg\r\n"
                                           "  Scan(10, Sec)\r\n    ") +
                               t.statement + "\r\n  NextScan\r\nEndProg\r\n";
    EXPECT_EQ(t.errors, compileText(source).errors) << t.statement;
  }
}

}  // namespace
}  // namespace vk6
