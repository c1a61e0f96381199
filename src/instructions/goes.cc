// The satellite-transmitter instructions: setup messages for the
// transmitter, the table whose fields it sends, its status and GPS data.
#include <cctype>
#include <cstdlib>
#include <string>

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "core/text.h"
#include "expr/operands.h"
#include "format/byte_io.h"
#include "format/record_format.h"
#include "instructions/code_buffer.h"
#include "instructions/communication.h"
#include "instructions/communication_support.h"
#include "instructions/handlers.h"
#include "instructions/locations.h"
#include "parse/instruction_table.h"
#include "parse/statement_buffer.h"
#include "symbols/tables.h"
#include "symbols/tables_state.h"

namespace vk6 {
namespace {

constexpr int kMaxGoesFields = 10;
constexpr std::size_t kFieldCountOffset = 10;
constexpr std::size_t kGoesDataTail = 4;  // location, option, format, 0
constexpr std::size_t kMaxFieldText = 12;
constexpr std::size_t kFieldSlotText = 13;  // text and its terminating zero
constexpr int kNumericFormat = 9;
constexpr int kMaxDataFormat = 9;
constexpr int kMaxPlainBufferOption = 3;
constexpr int kWholeBufferOption = 9;

struct StatusRequest {
  std::uint8_t requiredElements;
  std::uint8_t secondValue;
};
// By request code.
constexpr StatusRequest kStatusRequests[] = {
    {4, 3}, {13, 17}, {14, 18}, {1, 0}, {10, 12}, {1, 1}, {1, 1}, {0, 0},
};
constexpr int kMaxStatusRequest = 7;
constexpr int kGpsFirstElements = 6;
constexpr int kGpsSecondElements = 7;

constexpr std::uint8_t kMessageStSetup = 2;
constexpr std::uint8_t kMessageRSetup = 3;
constexpr std::uint8_t kMessagePlatform = 1;
constexpr int kMaxMessageWindow = 120;
constexpr int kMaxChannel = 566;
constexpr std::size_t kMaxSetupText = 100;
constexpr std::size_t kShortPiece = 5;  // pieces shorter than this are skipped
constexpr int kMaxSkippedPieces = 2;
constexpr int kMaxIntervalDays = 14;
constexpr int kMaxHours = 23;
constexpr int kMaxRIntervalHours = 24;
constexpr int kMaxMinutes = 59;
constexpr int kMaxSeconds = 59;
constexpr long kMinIntervalSeconds = 10;  // intervals must be longer
constexpr long kSecondsPerMinute = 60;
constexpr long kSecondsPerHour = 3600;
constexpr long kSecondsPerDay = 86400;

const char* const kBadTimeStrings =
    "Invalid or missing string parameters for STInterval,STOffset,RInterval";

// Transmitter code of a baud rate, 0 for one it does not know.
std::uint8_t baudCode(std::uint16_t baud) {
  switch (baud) {
    case 100: return 1;
    case 300: return 2;
    case 1200: return 3;
    default: return 0;
  }
}

// Appends the checksum of a message: the sum of its bytes, modulo 65536.
void closeMessage(Bytes& message) {
  std::uint32_t sum = 0;
  for (std::uint8_t b : message) sum += b;
  putU16Be(message, sum & 0xFFFFu);
}

// One field slot of a GOESData record from the text after the first ':' of
// the field's processing text; false (reported) when the field is refused.
bool fillFieldSlot(Compilation& c, const FieldDescriptor& field, int format,
                   RecordBuilder& r) {
  const std::size_t colon = field.processing.find(':');
  if (colon == std::string::npos) {
    r.u16(0).text("", kFieldSlotText + 1);
    return true;
  }
  const std::string part = field.processing.substr(colon + 1);
  if (format == kNumericFormat) {
    r.u16(static_cast<std::uint16_t>(std::strtol(part.c_str(), nullptr, 10)));
    r.text("", kFieldSlotText + 1);
  } else {
    if (part.size() > kMaxFieldText) {
      reportError(c, "Field Chacters can not exceed %d", static_cast<int>(kMaxFieldText));
      return false;
    }
    r.u16(static_cast<std::uint16_t>(part.size())).text(part, kFieldSlotText + 1);
  }
  if (field.count > 1) {
    reportError(c, "compression/prefix tbl field can not be an array");
    return false;
  }
  return true;
}

struct TimeStrings {
  std::string interval, offset, rInterval;
};

// A time string without its leading blanks and opening quote.
std::string cleanTimeString(const std::string& piece) {
  std::size_t start = piece.find_first_not_of(' ');
  if (start == std::string::npos) return "";
  if (piece[start] == '"') ++start;
  return piece.substr(start);
}

// The three time strings of the statement's text; false when one is missing.
bool splitTimeStrings(const std::string& text, TimeStrings& t) {
  if (text.size() > kMaxSetupText) return false;
  // The text starts just after the R baud rate, with the comma before the
  // first time string; short leading pieces, at most two, are skipped.
  std::size_t pos = 0;
  for (int skipped = 0; skipped < kMaxSkippedPieces; ++skipped) {
    const std::size_t comma = text.find(',', pos);
    if (comma == std::string::npos || comma - pos >= kShortPiece) break;
    pos = std::min(comma + 2, text.size());
  }
  const std::size_t first = text.find(',', pos);
  if (first == std::string::npos) return false;
  const std::size_t second = text.find(',', first + 1);
  if (second == std::string::npos) return false;
  const std::size_t close = text.find(')', second + 1);
  t.interval = cleanTimeString(text.substr(pos, first - pos));
  t.offset = cleanTimeString(text.substr(first + 1, second - first - 1));
  t.rInterval = cleanTimeString(text.substr(second + 1, close == std::string::npos
                                                            ? std::string::npos
                                                            : close - second - 1));
  return !t.interval.empty() && !t.offset.empty() && !t.rInterval.empty();
}

// Reads `count` decimal fields separated by '_' as bytes; false when one
// is missing.
bool readTimeFields(const std::string& text, int count, std::uint8_t* fields) {
  std::size_t pos = 0;
  for (int i = 0; i < count; ++i) {
    if (i > 0) {
      pos = text.find('_', pos);
      if (pos == std::string::npos) return false;
      ++pos;
    }
    if (pos >= text.size() || !std::isdigit(static_cast<unsigned char>(text[pos])))
      return false;
    fields[i] = static_cast<std::uint8_t>(std::strtol(text.c_str() + pos, nullptr, 10));
  }
  return true;
}

void checkField(Compilation& c, int value, int limit, const char* format) {
  if (value > limit) reportError(c, format, value);
}

// The intervals are checked in seconds, as the message says.
void checkShortInterval(Compilation& c, long seconds) {
  if (seconds <= kMinIntervalSeconds) reportError(c, "Interval must be greater than 10 seconds");
}

// ST interval: days, hours, minutes, seconds.
bool readStInterval(Compilation& c, const std::string& text, std::uint8_t* f) {
  if (!readTimeFields(text, 4, f)) {
    reportError(c, "Invalid STInterval string must be in the format xx_xx_xx_xx");
    return false;
  }
  checkField(c, f[0], kMaxIntervalDays, "Invalid STInterval Days %d must be 0-14");
  checkField(c, f[1], kMaxHours, "Invalid STInterval Hours %d must be 0-23");
  checkField(c, f[2], kMaxMinutes, "Invalid STInterval Minutes %d must be 0-59");
  checkField(c, f[3], kMaxSeconds, "Invalid STInterval Seconds %d must be 0-59");
  if (f[0] == kMaxIntervalDays && (f[1] != 0 || f[2] != 0 || f[3] != 0))
    reportError(c, "Interval can not be greater than 14 days");
  checkShortInterval(c, f[0] * kSecondsPerDay + f[1] * kSecondsPerHour +
                            f[2] * kSecondsPerMinute + f[3]);
  return true;
}

// ST offset: hours, minutes, seconds.
bool readStOffset(Compilation& c, const std::string& text, std::uint8_t* f) {
  if (!readTimeFields(text, 3, f)) {
    reportError(c, "Invalid STOffset string must be in the format xx_xx_xx");
    return false;
  }
  checkField(c, f[0], kMaxHours, "Invalid STOffset Hours %d must be 0-23");
  checkField(c, f[1], kMaxMinutes, "Invalid STOffset Minutes %d must be 0-59");
  checkField(c, f[2], kMaxSeconds, "Invalid STOffset Seconds %d must be 0-59");
  return true;
}

// R interval: hours, minutes, seconds.
bool readRInterval(Compilation& c, const std::string& text, std::uint8_t* f) {
  if (!readTimeFields(text, 3, f)) {
    reportError(c, "Invalid RInterval string must be in the format xx_xx_xx");
    return false;
  }
  checkField(c, f[0], kMaxRIntervalHours, "Invalid R_Interval Hours %d must be 0-24");
  checkField(c, f[1], kMaxMinutes, "Invalid R_Interval Minutes %d must be 0-59");
  checkField(c, f[2], kMaxSeconds, "Invalid R_Interval Seconds %d must be 0-59");
  if (f[0] == kMaxRIntervalHours && (f[1] != 0 || f[2] != 0))
    reportError(c, "R_Interval can not be greater than 24 Hours");
  checkShortInterval(c, f[0] * kSecondsPerHour + f[1] * kSecondsPerMinute + f[2]);
  return true;
}

// Transmitter code of a setup's baud rate, after checking it and, when it
// is known, the channel.
std::uint8_t checkedBaudCode(Compilation& c, std::uint16_t baud, std::uint16_t channel,
                             const char* channelMessage) {
  const std::uint8_t code = baudCode(baud);
  if (code == 0) {
    reportError(c, "Invalid STBaud %d must be 100,300 or 1200", baud);
  } else if (channel > kMaxChannel) {
    reportError(c, channelMessage, channel);
  }
  return code;
}

struct SetupMessages {
  std::uint8_t stBaud = 0, rBaud = 0, window = 0;
  std::uint16_t stChannel = 0, rChannel = 0;
  std::uint32_t platform = 0;
  std::uint8_t interval[4] = {};   // days, hours, minutes, seconds
  std::uint8_t offset[3] = {};     // hours, minutes, seconds
  std::uint8_t rInterval[3] = {};  // hours, minutes, seconds
};

// 6 ST setup message: u8 2, u8 baud code, u16be channel, 4 x u8 interval
// d h m s, 3 x u8 offset h m s, u8 window, 2 x u8 0, u16be checksum;
// 22 R setup message: u8 3, u8 baud code, u16be channel, 3 x u8 interval
// h m s, u8 0, u16be checksum; 32 platform message: u8 1, u32be
// identifier, u16be checksum.
void appendSetupMessages(RecordBuilder& r, const SetupMessages& m) {
  Bytes st = {kMessageStSetup, m.stBaud};
  putU16Be(st, m.stChannel);
  st.insert(st.end(), m.interval, m.interval + 4);
  st.insert(st.end(), m.offset, m.offset + 3);
  st.insert(st.end(), {m.window, 0, 0});
  closeMessage(st);
  Bytes random = {kMessageRSetup, m.rBaud};
  putU16Be(random, m.rChannel);
  random.insert(random.end(), m.rInterval, m.rInterval + 3);
  random.push_back(0);
  closeMessage(random);
  Bytes id = {kMessagePlatform};
  putU32Be(id, m.platform);
  closeMessage(id);
  appendBytes(r, st);
  appendBytes(r, random);
  appendBytes(r, id);
}

// Fills the field slots; false (reported) when the table is refused.
bool fillFieldSlots(Compilation& c, const std::vector<FieldDescriptor>& fields,
                    int format, RecordBuilder& r, std::uint32_t& counts) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i == kMaxGoesFields) {
      reportError(c, "Number of fields in table can't exceed %d ", kMaxGoesFields);
      return false;
    }
    counts += static_cast<std::uint32_t>(fields[i].count);
    if (!fillFieldSlot(c, fields[i], format, r)) return false;
  }
  return true;
}

}  // namespace

HandlerResult handleGOESData(Compilation& c, const Statement& st) {
  const std::vector<TableDescriptor>& tables = c.tables.tables;
  const std::uint16_t first = resolveOperand(c, st.word(1));
  const int location = takeLocations(c, 1);
  refuseWithoutGoes(c, "GOESData");
  const std::string name = st.textAt(2);
  const int next = 2 + st.textWords(2);
  const int index = findTableKeyword(c, name);
  if (index == 0 || keywordCompare(name.c_str(), "Public")) {
    reportError(c, "Invalid Table: %s, can not be Public or Status", name.c_str());
    return HandlerResult::kNothing;
  }
  if (index < 0) {
    reportError(c, "Could not find DataTable %s", name.c_str());
    return HandlerResult::kStop;
  }
  const std::uint8_t option = static_cast<std::uint8_t>(st.word(next + 1));
  const std::uint8_t format = static_cast<std::uint8_t>(st.word(next + 2));
  // 0 u16 opcode; 2 u16 next; 4 u16 first variable; 6 u16 expression;
  // 8 u16 table index; 10 u16 sum of field counts; 12 10 x 16 bytes field
  // slots (u16 value, 13 bytes text, 1 byte 0); 172 u8 pool location;
  // 173 u8 buffer option; 174 u8 data format; 175 u8 0.
  RecordBuilder r(kRecordGoesData);
  r.u16(first);
  writeOperand(c, r, st.word(next));
  r.u16(static_cast<std::uint32_t>(index)).u16(0);
  if (option > kWholeBufferOption || (option > kMaxPlainBufferOption && option < kWholeBufferOption))
    reportError(c, "Buffer Option can only be 0-3 or 9.");
  std::uint32_t counts = 0;
  if (!fillFieldSlots(c, tables[static_cast<std::size_t>(index)].fields, format, r, counts))
    return HandlerResult::kStop;
  r.patchU16(kFieldCountOffset, counts);
  while (r.size() < recordLength(kRecordGoesData) - kGoesDataTail) r.u8(0);
  r.u8(static_cast<std::uint32_t>(location)).u8(option).u8(format).u8(0);
  if (format > kMaxDataFormat) reportError(c, "Invalid data format parameter.");
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

HandlerResult handleGOESStatus(Compilation& c, const Statement& st) {
  const std::int32_t code = st.intAt(2);
  StatusRequest request = {0, 0};
  if (code < 0 || code > kMaxStatusRequest) {
    reportError(c, "GOESStatus request code %d is illegal, 0..7 are legal.", code);
  } else {
    request = kStatusRequests[code];
  }
  // 0 u16 opcode; 2 u16 next; 4 u16 destination; 6 u8 0; 7 u8 second
  // value; 8 u8 required destination elements; 9 u8 request code.
  RecordBuilder r(kRecordGoesStatus);
  writeOperand(c, r, st.word(1));
  refuseWithoutGoes(c, "GOESStatus");
  if (elementsOf(parameterLocation(c, st.word(1), "Dest")) < request.requiredElements)
    reportError(c, "%s requires a dest array with at least %d elements.",
                keywordAt(st.index()), request.requiredElements);
  r.u8(0).u8(request.secondValue).u8(request.requiredElements);
  r.u8(static_cast<std::uint32_t>(code));
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

HandlerResult handleGOESGPS(Compilation& c, const Statement& st) {
  // 0 u16 opcode; 2 u16 next; 4 u16 first array; 6 u16 second array.
  RecordBuilder r(kRecordGoesGps);
  refuseWithoutGoes(c, "GOESgpsData");
  writeOperand(c, r, st.word(1));
  const int firstElements = elementsOf(parameterLocation(c, st.word(1), "First array"));
  if (firstElements < kGpsFirstElements)
    reportError(c, "First array %d must be at least 6", firstElements);
  writeOperand(c, r, st.word(2));
  const int secondElements = elementsOf(parameterLocation(c, st.word(2), "Second array"));
  if (secondElements < kGpsSecondElements)
    reportError(c, "Second array %d must be at least 7", secondElements);
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

HandlerResult handleGOESSetup(Compilation& c, const Statement& st) {
  // 0 u16 opcode; 2 u16 next; 4 u16 first variable; 6 the three setup
  // messages (see appendSetupMessages); 39 u8 0.
  RecordBuilder r(kRecordGoesSetup);
  refuseWithoutGoes(c, "GOESSetup");
  writeOperand(c, r, st.word(1));
  SetupMessages m;
  m.platform = st.word(2);
  if ((m.platform & 1u) != 0) reportError(c, "PlatFormID = %x must be an even address", m.platform);
  m.window = static_cast<std::uint8_t>(st.word(3));
  if (m.window == 0 || m.window > kMaxMessageWindow)
    reportError(c, "Invalid MsgWindow = %d only 1 to 120 are accepted", m.window);
  m.stChannel = static_cast<std::uint16_t>(st.word(4));
  m.rChannel = static_cast<std::uint16_t>(st.word(6));
  m.stBaud = checkedBaudCode(c, static_cast<std::uint16_t>(st.word(5)), m.stChannel,
                             "STChannel %d must be 0-566");
  m.rBaud = checkedBaudCode(c, static_cast<std::uint16_t>(st.word(7)), m.rChannel,
                            "RChannel %d must be 0-566");
  TimeStrings t;
  if (!splitTimeStrings(st.textAt(8), t)) {
    reportError(c, "%s", kBadTimeStrings);
    return HandlerResult::kStop;
  }
  if (!readStInterval(c, t.interval, m.interval) || !readStOffset(c, t.offset, m.offset) ||
      !readRInterval(c, t.rInterval, m.rInterval))
    return HandlerResult::kStop;
  appendSetupMessages(r, m);
  r.u8(0);
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

}  // namespace vk6
