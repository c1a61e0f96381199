#include "instructions/sdi12_serial.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "core/text.h"
#include "expr/operands.h"
#include "format/byte_io.h"
#include "format/operand_word.h"
#include "format/record_format.h"
#include "instructions/code_buffer.h"
#include "instructions/io_fields.h"
#include "instructions/locations.h"
#include "instructions/sections_flow.h"
#include "symbols/variables.h"

namespace vk6 {
namespace {

constexpr std::size_t kMaxCommandLength = 11;
constexpr std::size_t kCommandField = kMaxCommandLength + 1;
constexpr char kSubstitution = '%';
// A count beyond any command that fits; larger ones read as this.
constexpr std::size_t kCountCeiling = 1000;

constexpr std::uint32_t kMaxSensorReps = 20;
constexpr std::uint32_t kMaxResponseSeconds = 99;
constexpr std::int32_t kSensorPort = 1;
constexpr int kSetupFirstBlock = 3;
constexpr int kSetupSecondBlock = 6;
// Fields 4..13 of the setup record that every response repeats.
constexpr std::size_t kSetupSharedStart = 4;
constexpr std::size_t kSetupSharedEnd = 14;
constexpr std::size_t kSetupRepsAt = 10;
constexpr std::size_t kResponseVariableAt = 6;

constexpr std::size_t kMaxFilterLength = 31;
constexpr std::size_t kFilterField = kMaxFilterLength + 1;
constexpr int kSerialFirstBlock = 9;
constexpr int kSerialSecondBlock = 4;
constexpr std::uint32_t kSerialPortTwo = 2;
constexpr std::uint32_t kSerialPortFour = 4;
constexpr std::uint32_t kSerialCodeOne = 1;
constexpr std::uint32_t kSerialCodeThree = 3;
constexpr std::uint32_t kDefaultBaud = 9600;
constexpr std::uint32_t kBauds[] = {1200, 2400, 4800, 9600};

constexpr std::size_t kMaxIdentifyFilter = 4;
constexpr std::size_t kIdentifyFilterField = 6;
constexpr std::size_t kMaxIdentifyResponse = 39;
constexpr std::size_t kIdentifyResponseField = kMaxIdentifyResponse + 1;

constexpr std::uint32_t kLow8 = 0xFFu;
constexpr std::uint32_t kLow16 = 0xFFFFu;

std::uint32_t locationByte(Compilation& c, int count) {
  return static_cast<std::uint32_t>(takeLocations(c, count)) & kLow8;
}

bool isBlank(char ch) { return ch == ' '; }

// The command the recorder sends, and the variable whose value replaces
// the "%" run in it (location 0 when none).
struct RecorderCommand {
  std::string sent;
  std::uint32_t location = 0;
};

// Reads "prefix%N name%suffix": N "%" characters go out in place of the
// field. A field that is no count and name leaves the command empty.
RecorderCommand substituteCommand(Compilation& c, const std::string& command) {
  RecorderCommand result;
  const std::size_t open = command.find(kSubstitution);
  std::size_t close = command.find(kSubstitution, open + 1);
  const std::string field = command.substr(open + 1, close - open - 1);
  const std::string suffix = close == std::string::npos ? "" : command.substr(close + 1);
  std::size_t i = 0, count = 0;
  while (i < field.size() && isBlank(field[i])) ++i;
  const std::size_t digits = i;
  for (; i < field.size() && isDigit(field[i]); ++i)
    count = std::min(kCountCeiling, count * 10 + static_cast<std::size_t>(field[i] - '0'));
  while (i < field.size() && isBlank(field[i])) ++i;
  std::size_t end = i;
  while (end < field.size() && !isBlank(field[end])) ++end;
  if (i == digits || end == i) return result;
  const std::string name = field.substr(i, end - i);
  const std::uint16_t location = findVariableLocation(c, name);
  if (location == kNoOperand) {
    reportError(c, "Could not find variable %s.", name.c_str());
    return result;
  }
  result.sent = command.substr(0, open) + std::string(count, kSubstitution) + suffix;
  result.location = location & kLow8;
  return result;
}

// Port code of the serial input: ports 0 (also omitted) and 2 share the
// logger's code 1, port 4 is code 3; any other port is stored as written.
std::uint32_t serialPortCode(Compilation& c, std::uint32_t port) {
  if (port == 0 || port == kSerialPortTwo) return kSerialCodeOne;
  if (port == kSerialPortFour) return kSerialCodeThree;
  reportError(c, "Invalid Port");
  return port;
}

}  // namespace

std::string processEscapes(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
    } else if (text[++i] == 'n') {
      out += '\n';
    } else if (text[i] == 'r') {
      out += '\r';
    } else {
      out += '\\';
    }
  }
  return out;
}

// Layout (26 bytes): 0 u16 opcode 14 | 2 u16 next | 4 u16 destination, as
// parsed | 6 u16 multiplier | 8 u16 offset | 10 u16 location of the
// substituted variable | 12 12-byte command, NUL-padded | 24 u8 offset
// flag | 25 u8 multiplier flag.
HandlerResult handleSDI12Recorder(Compilation& c, const Statement& st) {
  const std::string command = st.textAt(2);
  const int multiplierSlot = 2 + st.textWords(2);
  refuseInInterruptSequence(c);
  RecordBuilder r(kRecordSdi12Recorder);
  putAsParsed(c, r, st.word(1));
  const RecorderCommand sent = command.find(kSubstitution) == std::string::npos
                                   ? RecorderCommand{command, 0}
                                   : substituteCommand(c, command);
  if (sent.sent.size() > kMaxCommandLength) {
    reportError(c, "SDI12 command string too long, (max is %d)",
                static_cast<int>(kMaxCommandLength));
    return HandlerResult::kNothing;
  }
  const std::uint8_t multiplierFlag = putFlagged(c, r, st.word(multiplierSlot));
  const std::uint8_t offsetFlag = putFlagged(c, r, st.word(multiplierSlot + 1));
  r.u16(sent.location).text(sent.sent, kCommandField).u8(offsetFlag).u8(multiplierFlag);
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

// Layout (18 bytes): 0 u16 opcode 60 | 2 u16 next | 4 u16 the expression |
// 6 u16 0 | 8 u16 response time | 10 u8 reps | 11 u8 0 (port 1) |
// 12 u8 first location of a block of 3 | 13 u8 first location of a block
// of 6 | 14 u16 0 | 16 u16 0.
HandlerResult handleSDI12SensorSetup(Compilation& c, const Statement& st) {
  const std::uint32_t reps = st.word(1) & kLow8;
  const std::int32_t port = st.intAt(2);
  const std::uint32_t seconds = st.word(4) & kLow16;
  if (reps < 1 || reps > kMaxSensorReps) reportError(c, "Invalid Reps, must be 1..20.");
  RecordBuilder r(kRecordSdi12SensorSetup);
  putEncoded(c, r, st.word(3));
  if (seconds > kMaxResponseSeconds)
    reportError(c, "Invalid response time, must be 0..99 second");
  if (port != kSensorPort) reportError(c, "Invalid port %d, must be 1", port);
  if (c.io.sensorSetupSeen) {
    reportError(c, "Cannot Nest or have multiple Sdi12 instructions.");
  } else {
    c.io.sensorSetupSeen = true;
    c.io.sensorSetupOffset = codeOffset(c);
  }
  r.u16(0).u16(seconds).u8(reps).u8(0);
  const std::uint32_t first = locationByte(c, kSetupFirstBlock);
  r.u8(first).u8(locationByte(c, kSetupSecondBlock)).u16(0).u16(0);
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

// Layout (18 bytes): 0 u16 opcode 61 | 2 u16 next | 4..13 as in the setup
// record, but 6 u16 the response variable | 14 u16 0 | 16 u16 0.
HandlerResult handleSDI12SensorResponse(Compilation& c, const Statement& st) {
  std::uint8_t shared[kSetupSharedEnd] = {};
  if (!c.io.sensorSetupSeen) {
    reportError(c, "SDI12SensorReponse must be preceeded by SDI12Setup.");
  } else {
    std::copy_n(c.code.bytes.data() + c.io.sensorSetupOffset, kSetupSharedEnd, shared);
  }
  RecordBuilder r(kRecordSdi12SensorResponse);
  r.u16(loadU16(shared + kSetupSharedStart));
  // Without a setup the reps are 0, which no variable is too small for.
  writeCheckedOperand(c, r, st.word(1), kRoleSourceArray, shared[kSetupRepsAt]);
  for (std::size_t i = kResponseVariableAt + 2; i < kSetupSharedEnd; ++i) r.u8(shared[i]);
  r.u16(0).u16(0);
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

// Layout (46 bytes): 0 u16 opcode 57 | 2 u16 next | 4 u16 destination,
// checked | 6 u16 reps | 8 u16 baud rate | 10 32-byte filter, NUL-padded |
// 42 u8 the third parameter | 43 u8 first location of a block of 9 |
// 44 u8 port code | 45 u8 first location of a block of 4.
HandlerResult handleSerialInput(Compilation& c, const Statement& st) {
  const std::string filter = st.textAt(4);
  const int portSlot = 4 + st.textWords(4);
  if (c.io.serialInputSeen) {
    reportError(c, "Only one SerialInput can be defined.");
    return HandlerResult::kStop;
  }
  c.io.serialInputSeen = true;
  if (filter.size() > kMaxFilterLength) {
    reportError(c, "Filter string %s too long, limit to %d characters", filter.c_str(),
                static_cast<int>(kMaxFilterLength));
    return HandlerResult::kStop;
  }
  // An omitted port or baud rate is the absent marker: 0 once bit 31 goes.
  const std::uint32_t port = st.word(portSlot) & ~kAbsentMarker & kLow8;
  std::uint32_t baud = st.word(portSlot + 1) & ~kAbsentMarker & kLow16;
  if (baud == 0) baud = kDefaultBaud;
  RecordBuilder r(kRecordSerialInput);
  putChecked(c, r, st.word(1), st.intAt(2));
  r.u16(st.word(2) & kLow16).u16(baud).text(filter, kFilterField);
  r.u8(st.word(3) & kLow8).u8(locationByte(c, kSerialFirstBlock));
  r.u8(serialPortCode(c, port)).u8(locationByte(c, kSerialSecondBlock));
  if (std::find(std::begin(kBauds), std::end(kBauds), baud) == std::end(kBauds))
    reportError(c, "Invalid Baudrate");
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

// Layout (50 bytes): 0 u16 opcode 58 | 2 u16 next | 4 6-byte input filter,
// NUL-padded | 10 40-byte response after escapes, NUL-padded.
HandlerResult handleLoggerIdentify(Compilation& c, const Statement& st) {
  const std::string filter = st.textAt(1);
  const std::string response = processEscapes(st.textAt(1 + st.textWords(1)));
  if (c.io.loggerIdentifySeen) {
    reportError(c, "Only one LoggerIdenify can be defined.");
    return HandlerResult::kStop;
  }
  c.io.loggerIdentifySeen = true;
  if (filter.size() > kMaxIdentifyFilter) {
    reportError(c, "Input identify filter string %s too long, limit to %d characters",
                filter.c_str(), static_cast<int>(kMaxIdentifyFilter));
    return HandlerResult::kStop;
  }
  if (response.size() > kMaxIdentifyResponse) {
    reportError(c, "Output identify Response string %s too long, limit to %d characters",
                response.c_str(), static_cast<int>(kMaxIdentifyResponse));
    return HandlerResult::kStop;
  }
  RecordBuilder r(kRecordLoggerIdentify);
  r.text(filter, kIdentifyFilterField).text(response, kIdentifyResponseField);
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

}  // namespace vk6
