// ModBusMaster and ModBusSlave: one routine compiles both, after the
// master's parameters have been moved to the places the slave has them, so
// that port and baud rate are read in one place.
#include "core/compilation.h"
#include "core/diagnostics.h"
#include "expr/operands.h"
#include "format/byte_io.h"
#include "format/operand_word.h"
#include "format/record_format.h"
#include "instructions/code_buffer.h"
#include "instructions/communication.h"
#include "instructions/communication_support.h"
#include "instructions/handlers.h"
#include "instructions/locations.h"
#include "parse/statement_buffer.h"

namespace vk6 {
namespace {

constexpr int kComPortCom3 = 2;  // COM port - 1
constexpr int kBaudLow = 1200;
constexpr int kBaudHigh = 9600;
constexpr int kMaxTimeout = 6500;  // hundredths of a second
constexpr int kDataTypeScale = 100;
constexpr int kMaxDataType = 5;
constexpr std::uint16_t kCoilBuffer = 16;
constexpr std::uint16_t kRegisterBuffer = 76;
constexpr int kMaxRegisterElements = 15;
constexpr int kMaxBooleanElements = 16;
constexpr int kBytesPerElement = 4;
constexpr int kSlaveBufferOverhead = 12;
constexpr int kBlockOverhead = 6;  // locations beyond buffer / 4
constexpr int kParameterCount = 9;

// The parameters in the slave's positions 1..9 (index 0 unused).
struct ModbusCall {
  bool master = false;
  std::uint32_t firstVariable = kNoOperand;  // master only
  std::uint32_t p[kParameterCount + 1] = {};
};

struct ModbusFields {
  std::uint16_t word4 = 0, word6 = 0, word8 = 0, port = 0, function = 0,
                baud = 0, word16 = 0, word18 = 0, timeout = 0, buffer = 0;
  std::uint8_t location = 0, byte25 = 0, dataType = 0, byte27 = 0;
};

std::int32_t asInt(std::uint32_t word) { return static_cast<std::int32_t>(word); }

// Buffer size by function code; 0 for a code the logger does not run.
// Function 6 writes one register and needs no more room than writing one
// coil (5): the same request and echoed reply.
std::uint16_t masterBufferSize(int function) {
  switch (function) {
    case 1: case 2: case 5: case 6: case 15: return kCoilBuffer;
    case 3: case 4: case 16: return kRegisterBuffer;
    default: return 0;
  }
}

void compileMaster(Compilation& c, const ModbusCall& m, ModbusFields& f) {
  std::int32_t code = asInt(m.p[4]);
  if (code < 0) {
    code = -code;
    f.byte27 = 1;
  }
  ++c.comm.modbusMasters;
  for (int slaves : c.comm.modbusSlaves) {
    if (slaves != 0) {
      reportError(c, "Can't use both Slave and Master instructions in one program");
      break;
    }
  }
  f.word6 = resolveOperand(c, m.firstVariable);
  f.word18 = resolveOperand(c, m.p[7]);
  f.word4 = resolveOperand(c, m.p[5]);
  f.word16 = resolveOperand(c, m.p[6]);
  f.byte25 = static_cast<std::uint8_t>(m.p[8]);
  f.timeout = static_cast<std::uint16_t>(m.p[9]);
  if (f.timeout > kMaxTimeout) reportError(c, "TimeOut must be less than 65 seconds.");
  f.dataType = static_cast<std::uint8_t>(code / kDataTypeScale);
  f.function = static_cast<std::uint16_t>(code % kDataTypeScale);
  if (f.dataType > kMaxDataType)
    reportError(c, "Modbus Data types %d not supported, 0..5 are supported.", f.dataType);
  f.buffer = masterBufferSize(f.function);
  if (f.buffer == 0)
    reportError(c, "ModBus function %d is illegal, 1..6,15,16 are legal.", f.function);
}

void compileSlave(Compilation& c, const ModbusCall& m, ModbusFields& f) {
  const std::int16_t port = static_cast<std::int16_t>(f.port);
  if (port >= 0 && port < kModbusComPorts && c.comm.modbusSlaves[port]++ > 0)
    reportError(c, "Only one ModBusSlave() instruction can be used for this COM port");
  if (c.comm.modbusMasters > 0)
    reportError(c, "Can't use both Slave and Master instructions in the same program");
  // Omitted optional constants hold the absent marker; they count as 0.
  f.byte27 = (m.p[6] & ~kAbsentMarker & 0xFFu) != 0 ? 1 : 0;
  f.word16 = static_cast<std::uint16_t>(m.p[7] & ~kAbsentMarker);
  f.word4 = resolveOperand(c, m.p[4]);
  const int registers =
      elementsOf(parameterLocation(c, m.p[4], "ModBusVariable Location Src"));
  if (registers > kMaxRegisterElements)
    reportError(c, "Variable array too big for Rx buffer size.");
  int buffer = kBytesPerElement * registers + kSlaveBufferOverhead;
  f.word6 = resolveOperand(c, m.p[5]);
  const std::uint16_t booleans =
      parameterLocation(c, m.p[5], "ModBusBooleanVar Location Src");
  if (elementsOf(booleans) > kMaxBooleanElements)
    reportError(c, "BooleanVar Variable array must be less than 16, or parameter = 0");
  if (kBytesPerElement * elementsOf(booleans) > buffer)
    buffer = kBytesPerElement * elementsOf(booleans) + kSlaveBufferOverhead;
  f.buffer = static_cast<std::uint16_t>(buffer);
  if (booleans == 0) {
    f.word6 = 0;
    // Without boolean variables the port's C1/C2 lines carry the traffic.
    if (port == kComPortCom3)
      reportError(c, "BooleanVar must be defined, C1/C2 are used for modbus communication");
  }
}

HandlerResult compileModbus(Compilation& c, const ModbusCall& m) {
  ModbusFields f;
  f.word8 = resolveOperand(c, m.p[3]);
  f.port = static_cast<std::uint16_t>(m.p[1] - 1);
  const std::int16_t port = static_cast<std::int16_t>(f.port);
  if (port < 0 || port >= kModbusComPorts) reportError(c, "ComPort %d illegal.", asInt(m.p[1]));
  f.baud = static_cast<std::uint16_t>(m.p[2]);
  if (f.baud != kBaudLow && f.baud != kBaudHigh)
    reportError(c, "Incorrect baud rate, either 9600 or 1200 baud.");
  if (m.master) {
    compileMaster(c, m, f);
  } else {
    compileSlave(c, m, f);
  }
  // The logger keeps its communication buffer in pool locations.
  f.location = static_cast<std::uint8_t>(
      takeLocations(c, f.buffer / kBytesPerElement + kBlockOverhead));

  // 0 u16 opcode; 2 u16 next; 4, 6, 8 u16 operands; 10 u16 COM port - 1;
  // 12 u16 function; 14 u16 baud; 16 u16 operand or slave value;
  // 18 u16 operand; 20 u16 time-out; 22 u16 buffer bytes; 24 u8 first
  // pool location; 25 u8 byte parameter; 26 u8 data type; 27 u8 flag.
  RecordBuilder r(kRecordModbus);
  r.u16(f.word4).u16(f.word6).u16(f.word8).u16(f.port).u16(f.function);
  r.u16(f.baud).u16(f.word16).u16(f.word18).u16(f.timeout).u16(f.buffer);
  r.u8(f.location).u8(f.byte25).u8(f.dataType).u8(f.byte27);
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

}  // namespace

HandlerResult handleModBusMaster(Compilation& c, const Statement& st) {
  ModbusCall m;
  m.master = true;
  m.firstVariable = st.word(1);
  for (int i = 1; i <= kParameterCount; ++i) m.p[i] = st.word(i + 1);
  return compileModbus(c, m);
}

HandlerResult handleModBusSlave(Compilation& c, const Statement& st) {
  ModbusCall m;
  for (int i = 1; i <= kParameterCount - 2; ++i) m.p[i] = st.word(i);
  return compileModbus(c, m);
}

}  // namespace vk6
