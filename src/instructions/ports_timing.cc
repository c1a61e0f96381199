#include "instructions/ports_timing.h"

#include <cstdint>

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "format/byte_io.h"
#include "format/record_format.h"
#include "instructions/code_buffer.h"
#include "instructions/io_fields.h"

namespace vk6 {
namespace {

constexpr std::int32_t kControlPorts = 2;
constexpr std::int32_t kAnalogChannels = 6;
// Port and channel bits: the base value shifted left by the port or channel
// number; a refused one keeps the bare base.
constexpr std::uint32_t kPortSetBase = 0x2000;
constexpr std::uint32_t kAnalogGetBase = 4;
constexpr std::uint32_t kAnalogSetBase = 128;

constexpr std::int32_t kSecondsUnit = 2;  // usec 0, msec 1, sec 2
constexpr std::int32_t kMaxDelaySeconds = 100;
constexpr std::uint32_t kMaxRealTimeElement = 8;
constexpr std::uint32_t kLow16 = 0xFFFFu;

bool isControlPort(std::int32_t port) { return port == 1 || port == kControlPorts; }
bool isAnalogChannel(std::int32_t channel) {
  return channel >= 1 && channel <= kAnalogChannels;
}
std::uint32_t shiftedBy(std::uint32_t base, std::int32_t amount, bool valid) {
  return valid ? base << amount : base;
}

// Layout (6 bytes): 0 u16 opcode | 2 u16 next | 4 u16 the parameter,
// encoded or as parsed.
HandlerResult appendOneOperand(Compilation& c, const Statement& st,
                               std::uint16_t opcode, OperandWriter put) {
  RecordBuilder r(opcode);
  put(c, r, st.word(1));
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

}  // namespace

// Layout (8 bytes): 0 u16 opcode 20 | 2 u16 next | 4 u16 port (0 when
// refused) | 6 u16 destination, as parsed.
HandlerResult handlePortGet(Compilation& c, const Statement& st) {
  const std::int32_t port = st.intAt(2);
  const bool valid = isControlPort(port);
  if (!valid) reportError(c, "Incorrect Control Port Channel in GetPort() %d.", port);
  RecordBuilder r(kRecordPortGet);
  r.u16(valid ? static_cast<std::uint32_t>(port) : 0);
  putAsParsed(c, r, st.word(1));
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

// Layout (8 bytes): 0 u16 opcode 21 | 2 u16 next | 4 u16 value, as parsed |
// 6 u16 0x2000 << port.
HandlerResult handlePortSet(Compilation& c, const Statement& st) {
  const std::int32_t port = st.intAt(1);
  const bool valid = isControlPort(port);
  if (!valid) reportError(c, "Incorrect Control Port Channel in SetPort() %d.", port);
  RecordBuilder r(kRecordPortSet);
  putAsParsed(c, r, st.word(2));
  r.u16(shiftedBy(kPortSetBase, port, valid));
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

// Layout (8 bytes): 0 u16 opcode 36 | 2 u16 next | 4 u16 4 << channel |
// 6 u16 destination, as parsed.
HandlerResult handleAnalogPortGet(Compilation& c, const Statement& st) {
  const std::int32_t channel = st.intAt(2);
  const bool valid = isAnalogChannel(channel);
  if (!valid) reportError(c, "Incorrect Analog Channel in AnalogPortGet() %d.", channel);
  RecordBuilder r(kRecordAnalogPortGet);
  r.u16(shiftedBy(kAnalogGetBase, channel, valid));
  putAsParsed(c, r, st.word(1));
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

// Layout (8 bytes): 0 u16 opcode 37 | 2 u16 next | 4 u16 128 << channel |
// 6 u16 value, as parsed.
HandlerResult handleAnalogPortSet(Compilation& c, const Statement& st) {
  const std::int32_t channel = st.intAt(1);
  const bool valid = isAnalogChannel(channel);
  if (!valid) reportError(c, "Incorrect Analog Channel in AnalogPortSet() %d.", channel);
  RecordBuilder r(kRecordAnalogPortSet);
  r.u16(shiftedBy(kAnalogSetBase, channel, valid));
  putAsParsed(c, r, st.word(2));
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

// Layout (8 bytes): 0 u16 opcode 22 | 2 u16 next | 4 u16 amount |
// 6 u16 units. Shorter units are bounded only by the 16-bit field.
HandlerResult handleDelay(Compilation& c, const Statement& st) {
  const std::int32_t amount = st.intAt(1);
  const std::int32_t units = st.intAt(2);
  if (units > kSecondsUnit) reportError(c, "Invalid units in Delay function=%d.", units);
  if (units == kSecondsUnit && amount > kMaxDelaySeconds)
    reportError(c, "Delay cannot be greater than 100 seconds: value entered=%d.", amount);
  RecordBuilder r(kRecordDelay);
  r.u16(st.word(1) & kLow16).u16(st.word(2) & kLow16);
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

HandlerResult handleRandomize(Compilation& c, const Statement& st) {
  return appendOneOperand(c, st, kRecordRandomize, putAsParsed);
}

HandlerResult handleClockSet(Compilation& c, const Statement& st) {
  return appendOneOperand(c, st, kRecordClockSet, putEncoded);
}

// Layout (8 bytes): 0 u16 opcode 45 | 2 u16 next | 4 u16 destination |
// 6 u16 element. An omitted element is the absent marker, whose low 16
// bits are 0.
HandlerResult handleRealTime(Compilation& c, const Statement& st) {
  const std::uint32_t element = st.word(2) & kLow16;
  if (element > kMaxRealTimeElement)
    reportError(c, "Invalid element requested from realtime (must be < 9).");
  RecordBuilder r(kRecordRealTime);
  putEncoded(c, r, st.word(1));
  r.u16(element);
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

HandlerResult handleTicker250ms(Compilation& c, const Statement& st) {
  return appendOneOperand(c, st, kRecordTicker250ms, putEncoded);
}

HandlerResult handleRFPortTest(Compilation& c, const Statement& st) {
  return appendOneOperand(c, st, kRecordRfPortTest, putEncoded);
}

}  // namespace vk6
