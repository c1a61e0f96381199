// Print, the spatial statistics over runs of array elements, and the
// rectangular-to-polar conversion.
#include <cstdio>
#include <string>

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "core/text.h"
#include "expr/expression_compiler.h"
#include "expr/operands.h"
#include "format/byte_io.h"
#include "format/record_format.h"
#include "instructions/code_buffer.h"
#include "instructions/communication.h"
#include "instructions/communication_support.h"
#include "instructions/handlers.h"
#include "parse/instruction_table.h"
#include "parse/statement_buffer.h"

namespace vk6 {
namespace {

constexpr int kMaxPrintItems = 5;
constexpr std::size_t kPrintSlotSize = 20;
constexpr std::size_t kMaxPrintString = kPrintSlotSize - 1;
constexpr int kMaxPortCode = 3;
constexpr int kRfPortCode = 0;
// C1 and C2 name control ports, numbered after the two serial ports.
constexpr int kControlPortShift = 2;
constexpr int kRfBaud = 9600;
constexpr int kPrintBauds[] = {1200, 2400, 4800, kRfBaud};

enum PrintKind : std::uint8_t { kPrintExpression = 0, kPrintString = 1, kPrintChar = 2 };

enum SpatialCode : std::uint8_t {
  kSpatialMax = 0, kSpatialMin = 1, kSpatialAvg = 2, kSpatialStdDev = 3,
  kSpatialRms = 4, kSpatialCov = 5,
};
constexpr int kMinMaxDestElements = 2;

struct PrintFields {
  std::uint16_t operands[kMaxPrintItems] = {};
  int count = 0;
  std::int16_t baud = 0;
  std::string slots[kMaxPrintItems];
  std::uint8_t kinds[kMaxPrintItems] = {};
  std::uint8_t separators[kMaxPrintItems] = {};
  std::int8_t portCode = 0;
  std::uint8_t negativePort = 0;
  bool portSeen = false;
  bool baudSeen = false;
};

bool isSeparator(char ch) { return ch == ',' || ch == ';'; }

// A quoted string from the opening quote at `pos`; leaves `pos` past the
// separator that follows it and returns that separator (0 at the end).
char takeString(Compilation& c, const std::string& text, std::size_t& pos,
                std::string& slot) {
  const std::size_t start = pos + 1;
  const std::size_t close = text.find('"', start);
  const std::string string = text.substr(start, close == std::string::npos
                                                    ? std::string::npos
                                                    : close - start);
  if (string.size() > kMaxPrintString) {
    reportError(c, "Print string %s is too long, max is %d.", string.c_str(),
                static_cast<int>(kMaxPrintString));
  } else {
    slot = string;
  }
  pos = close == std::string::npos ? text.size() : close + 1;
  while (pos < text.size() && !isSeparator(text[pos])) ++pos;
  return pos < text.size() ? text[pos++] : 0;
}

// Any other item: up to a separator outside parentheses (consumed and
// returned), a ')' that closes the list, or the end (both give 0).
std::string takeItem(const std::string& text, std::size_t& pos, char& separator) {
  while (pos < text.size() && text[pos] == ' ') ++pos;
  const std::size_t start = pos;
  int depth = 0;
  separator = 0;
  for (; pos < text.size(); ++pos) {
    const char ch = text[pos];
    if (ch == '(') ++depth;
    if (ch == ')' && --depth < 0) break;
    if (depth == 0 && isSeparator(ch)) break;
  }
  std::string item = text.substr(start, pos - start);
  if (pos < text.size() && isSeparator(text[pos])) separator = text[pos++];
  upcaseText(item);
  return item;
}

// Whether the (upper-cased) port item is the name C1 or C2 itself, blanks
// and one leading minus aside; a longer name that holds them is no port name.
bool namesControlPort(const std::string& item) {
  std::string name;
  for (char ch : item) {
    if (ch != ' ' && ch != '\t') name += ch;
  }
  if (!name.empty() && name[0] == '-') name.erase(0, 1);
  return name == "C1" || name == "C2";
}

void setPrintPort(Compilation& c, const std::string& item, std::uint16_t operand,
                  PrintFields& f) {
  const std::int32_t port = evaluateInteger(c, operand);
  f.negativePort = port < 0;
  std::int64_t code = (port < 0 ? -std::int64_t{port} : std::int64_t{port}) - 1;
  if (namesControlPort(item)) code += kControlPortShift;
  f.portCode = static_cast<std::int8_t>(code);
  if (f.portCode < 0 || f.portCode > kMaxPortCode)
    reportError(c, "Invalid Port %d.", f.portCode + 1);
  f.portSeen = true;
}

void setPrintBaud(Compilation& c, std::uint16_t operand, PrintFields& f) {
  f.baud = static_cast<std::int16_t>(evaluateInteger(c, operand));
  bool known = false;
  for (int baud : kPrintBauds) known = known || f.baud == baud;
  if (!known) reportError(c, "Invalid baud rate %d.", f.baud);
  if (f.portCode == kRfPortCode && f.baud != kRfBaud)
    reportError(c, "RF port must use baud rate of 9600.");
  f.baudSeen = true;
}

// One item other than a string, stored as item `i` unless it is the port
// or the baud rate; returns whether it counts as an output item.
bool takeValueItem(Compilation& c, const std::string& item, int i, PrintFields& f) {
  int code = 0;
  if (std::sscanf(item.c_str(), "CHR$(%d)", &code) == 1) {
    f.kinds[i] = kPrintChar;
    f.slots[i] = std::string(1, static_cast<char>(code));
    return true;
  }
  std::uint16_t operand = kNoOperand;
  compileAndReport(c, item, operand, kModePlain, true);
  if (!f.portSeen) {
    setPrintPort(c, item, operand, f);
    return false;
  }
  if (!f.baudSeen) {
    setPrintBaud(c, operand, f);
    return false;
  }
  f.kinds[i] = kPrintExpression;
  f.operands[i] = resolveOperand(c, operand);
  return true;
}

void parsePrintItems(Compilation& c, const std::string& text, PrintFields& f) {
  std::size_t pos = 0;
  for (bool first = true;; first = false) {
    if (!f.portSeen && f.count > 0) {
      reportError(c, "Invalid Port.");
    } else if (!f.baudSeen && f.count > 0) {
      reportError(c, "Invalid baudrate.");
    }
    while (pos < text.size() &&
           (text[pos] == ' ' || text[pos] == ',' || (first && text[pos] == '(')))
      ++pos;
    if (pos >= text.size() || text[pos] == ')') return;
    if (f.count == kMaxPrintItems) {
      reportError(c, "Too many parameters in Print(), max is %d.", kMaxPrintItems);
      return;
    }
    const int i = f.count;
    char separator = 0;
    if (text[pos] == '"') {
      f.kinds[i] = kPrintString;
      separator = takeString(c, text, pos, f.slots[i]);
    } else if (!takeValueItem(c, takeItem(text, pos, separator), i, f)) {
      continue;
    }
    f.separators[i] = static_cast<std::uint8_t>(separator);
    ++f.count;
  }
}

HandlerResult compileSpatial(Compilation& c, const Statement& st, SpatialCode code) {
  RecordBuilder r(kRecordSpatial);
  // 0 u16 opcode; 2 u16 next; 4 u16 source (CovSpa: parameter 4);
  // 6 u16 0 (CovSpa: parameter 5); 8 u16 destination; 10 u16 element
  // count; 12 u16 number of results; 14 u8 statistic; 15 u8 0.
  if (code == kSpatialCov) {
    writeOperand(c, r, st.word(4));
    writeOperand(c, r, st.word(5));
    writeOperand(c, r, st.word(1));
    r.u16(st.word(3)).u16(st.word(2));
  } else {
    writeOperand(c, r, st.word(3));
    r.u16(0);
    if ((code == kSpatialMax || code == kSpatialMin) &&
        elementsOf(parameterLocation(c, st.word(1), "Dest")) < kMinMaxDestElements)
      reportError(c, "%s requires a dest array with at least 2 elements.",
                  keywordAt(st.index()));
    writeOperand(c, r, st.word(1));
    r.u16(st.word(2)).u16(code < kSpatialAvg ? 2 : 1);
  }
  r.u8(code).u8(0);
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

}  // namespace

HandlerResult handlePrint(Compilation& c, const Statement& st) {
  PrintFields f;
  parsePrintItems(c, st.textAt(1), f);
  // 0 u16 opcode; 2 u16 next; 4 5 x u16 item operands; 14 u16 item count;
  // 16 i16 baud; 18 5 x 20 bytes item texts; 118 5 x u8 item kinds;
  // 123 5 x u8 separators; 128 u8 port code; 129 u8 negative port.
  RecordBuilder r(kRecordPrint);
  for (std::uint16_t operand : f.operands) r.u16(operand);
  r.u16(static_cast<std::uint32_t>(f.count));
  r.u16(static_cast<std::uint16_t>(f.baud));
  for (const std::string& slot : f.slots) r.text(slot, kPrintSlotSize);
  for (std::uint8_t kind : f.kinds) r.u8(kind);
  for (std::uint8_t separator : f.separators) r.u8(separator);
  r.u8(static_cast<std::uint8_t>(f.portCode)).u8(f.negativePort);
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

HandlerResult handleRectPolar(Compilation& c, const Statement& st) {
  // 0 u16 opcode; 2 u16 next; 4 u16 rectangular pair; 6 u16 polar pair.
  RecordBuilder r(kRecordRectPolar);
  writeOperand(c, r, st.word(2));
  writeOperand(c, r, st.word(1));
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

HandlerResult handleMaxSpa(Compilation& c, const Statement& st) {
  return compileSpatial(c, st, kSpatialMax);
}

HandlerResult handleMinSpa(Compilation& c, const Statement& st) {
  return compileSpatial(c, st, kSpatialMin);
}

HandlerResult handleAvgSpa(Compilation& c, const Statement& st) {
  return compileSpatial(c, st, kSpatialAvg);
}

HandlerResult handleStdDevSpa(Compilation& c, const Statement& st) {
  return compileSpatial(c, st, kSpatialStdDev);
}

HandlerResult handleRMSSpa(Compilation& c, const Statement& st) {
  return compileSpatial(c, st, kSpatialRms);
}

HandlerResult handleCovSpa(Compilation& c, const Statement& st) {
  return compileSpatial(c, st, kSpatialCov);
}

}  // namespace vk6
