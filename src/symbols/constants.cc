#include "symbols/constants.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "driver/compilation.h"
#include "expr/constant_eval.h"
#include "expr/expression_compiler.h"
#include "image/byte_io.h"
#include "parse/instruction_table.h"
#include "parse/source_reader.h"
#include "symbols/variables.h"

namespace vk6 {
namespace {

constexpr std::size_t kConstantGrowth = 100;
constexpr float kMaxConstant = 16777216.0f;

struct Predefined {
  const char* name;
  float value;
};

// The option codes of instructions, in table order.
constexpr Predefined kPredefinedConstants[] = {
    {"While", 1},    {"Until", 0},   {"Select", 0},   {"Case", 2},
    {"If", 0},       {"SUB", 3},     {"PROG", 4},     {"TABLE", 5},
    {"SCAN", 6},     {"DO", 7},      {"FOR", 8},      {"TRUE", -1},
    {"FALSE", 0},    {"P_LL", 0},    {"P_SW", 6},     {"C1", 1},
    {"C2", 2},       {"EX1", 1},     {"EX2", 2},      {"mv5000", 5000},
    {"mv2500", 2500}, {"mv0", 0},    {"usec", 0},     {"msec", 1},
    {"sec", 2},      {"min", 3},     {"hr", 4},       {"day", 5},
    {"RF_ON", 0},    {"RFpinEn", 1}, {"RF1_Sec", 2},  {"RF8_Sec", 3},
    {"RF1S_LH", 4},  {"RF8S_LH", 5},
};
static_assert(std::size(kPredefinedConstants) == 34);

bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }

int hexDigit(char ch) {
  if (isDigit(ch)) return ch - '0';
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  return -1;
}

// &B and &H literals, read from the last character back to the third.
// kWhole refuses a text with anything but digits of its base after the
// prefix, where kSkipOthers passes over such characters.
bool parseBaseLiteral(const std::string& text, std::uint32_t& value,
                      LiteralRead read) {
  if (text.size() < 2 || text[0] != '&') return false;
  const char base = upcaseChar(text[1]);
  if (base != 'B' && base != 'H') return false;
  if (read == LiteralRead::kWhole) {
    const char* digits = base == 'B' ? "01" : "0123456789ABCDEFabcdef";
    if (text.size() == 2 || text.find_first_not_of(digits, 2) != std::string::npos)
      return false;
  }
  value = 0;
  int shift = 0;
  for (std::size_t i = text.size(); i-- > 2;) {
    if (base == 'B') {
      if (text[i] != '0' && text[i] != '1') continue;
      if (text[i] == '1' && shift < 32) value |= 1u << shift;
      ++shift;
    } else {
      const int digit = hexDigit(text[i]);
      if (digit < 0) continue;
      if (shift < 32) value |= static_cast<std::uint32_t>(digit) << shift;
      shift += 4;
    }
  }
  return true;
}

bool parseDecimalInteger(const std::string& text, std::int32_t& value) {
  if (text.empty()) return false;
  std::size_t i = (text[0] == '+' || text[0] == '-') ? 1 : 0;
  if (i >= text.size()) return false;
  for (std::size_t j = i; j < text.size(); ++j) {
    if (!isDigit(text[j])) return false;
  }
  errno = 0;
  const long long v = std::strtoll(text.c_str(), nullptr, 10);
  if (errno != 0 || v < INT32_MIN || v > INT32_MAX) return false;
  value = static_cast<std::int32_t>(v);
  return true;
}

bool parseDecimalNumber(const std::string& text, float& value) {
  // Only decimal forms: strtod alone would also take hex, inf and nan.
  bool digits = false;
  for (char ch : text) {
    if (isDigit(ch)) {
      digits = true;
    } else if (std::strchr("+-.eE", ch) == nullptr) {
      return false;
    }
  }
  if (!digits) return false;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size()) return false;
  value = static_cast<float>(v);
  return true;
}

// Indices of the records `text` names, in order, or null.
const std::vector<std::size_t>* constantsNamed(const Compilation& c,
                                               const std::string& text) {
  const auto found = c.constants.byName.find(foldedName(text.c_str(), true));
  return found == c.constants.byName.end() ? nullptr : &found->second;
}

const ConstantRecord* findConstant(const Compilation& c, const std::string& text) {
  const std::vector<std::size_t>* named = constantsNamed(c, text);
  return named == nullptr ? nullptr : &c.constants.records[named->front()];
}

void addConstant(ConstantTable& table, const std::string& name, float value) {
  table.byName[foldedName(name.c_str(), false)].push_back(table.records.size());
  table.records.push_back({name, value});
}

std::int32_t truncateToInt(double v) {
  if (!(v >= -2147483648.0 && v < 2147483648.0))
    return static_cast<std::int32_t>(0x80000000u);
  return static_cast<std::int32_t>(v);
}

// Skips to the value expression of a CONST: blanks and '=' signs, then the
// text up to the first comma outside parentheses.
std::string constValueText(const std::string& rest) {
  std::size_t i = 0;
  while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t' || rest[i] == '='))
    ++i;
  int depth = 0;
  std::size_t end = i;
  for (; end < rest.size(); ++end) {
    const char ch = rest[end];
    if (ch == '\r' || ch == '\n') break;
    if (ch == '(') ++depth;
    if (ch == ')') --depth;
    if (ch == ',' && depth <= 0) break;
  }
  return rest.substr(i, end - i);
}

bool isEmptyExpression(const std::string& text) {
  for (char ch : text) {
    if (ch == '\r' || ch == '\n') return true;
    if (ch != ' ' && ch != '\t') return false;
  }
  return true;
}

}  // namespace

void startConstants(Compilation& c) {
  ConstantTable& table = c.constants;
  table.records.clear();
  table.byName.clear();
  table.records.reserve(kConstantGrowth);
  for (const Predefined& p : kPredefinedConstants) addConstant(table, p.name, p.value);
  table.predefinedCount = table.records.size();
}

bool parseConstant(Compilation& c, const std::string& text, float& value,
                   int mode, LiteralRead read) {
  if (const ConstantRecord* record = findConstant(c, text)) {
    if (mode == kConstantInteger) {
      if (record->value != std::trunc(record->value))
        reportError(c, "Parameter %g is integer type.",
                    static_cast<double>(record->value));
      value = std::trunc(record->value);
    } else {
      value = record->value;
    }
    return true;
  }
  std::uint32_t literal = 0;
  if (parseBaseLiteral(text, literal, read)) {
    value = mode == kConstantInteger
                ? static_cast<float>(static_cast<std::int32_t>(literal))
                : static_cast<float>(literal);
    return true;
  }
  if (text.size() >= 2 && text[0] == '&') return false;
  if (mode == kConstantInteger) {
    std::int32_t v = 0;
    if (!parseDecimalInteger(text, v)) return false;
    value = static_cast<float>(v);
    return true;
  }
  if (mode == kConstantFloat) {
    std::string upper = text;
    upcaseText(upper);
    if (upper == "NAN") {
      value = floatFromBits(kLoggerNanBits);
      return true;
    }
    return parseDecimalNumber(text, value);
  }
  return false;
}

bool parseConstantInteger(Compilation& c, const std::string& text,
                          std::int32_t& value) {
  if (const ConstantRecord* record = findConstant(c, text)) {
    if (record->value != std::trunc(record->value))
      reportError(c, "Parameter %g is integer type.",
                  static_cast<double>(record->value));
    value = truncateToInt(record->value);
    return true;
  }
  std::uint32_t literal = 0;
  if (parseBaseLiteral(text, literal, LiteralRead::kWhole)) {
    value = static_cast<std::int32_t>(literal);
    return true;
  }
  if (text.size() >= 2 && text[0] == '&') return false;
  return parseDecimalInteger(text, value);
}

bool parseIntegerLiteral(const std::string& text, std::int32_t& value) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return false;
  const std::size_t last = text.find_last_not_of(" \t");
  const std::string literal = text.substr(first, last - first + 1);
  std::uint32_t bits = 0;
  if (parseBaseLiteral(literal, bits, LiteralRead::kWhole)) {
    value = static_cast<std::int32_t>(bits);
    return true;
  }
  return parseDecimalInteger(literal, value);
}

void checkConstantName(Compilation& c, const std::string& name) {
  const std::vector<std::size_t>* named = constantsNamed(c, name);
  if (named == nullptr) return;
  for (const std::size_t i : *named) {
    if (i < c.constants.predefinedCount) {
      reportError(c, "%s is already in use as a predefined CONST.", name.c_str());
    } else {
      reportError(c, "%s is already in use as a declared CONST.", name.c_str());
    }
  }
}

void defineConstant(Compilation& c, const std::string& text) {
  ConstantTable& table = c.constants;
  if (table.records.size() == table.records.capacity())
    table.records.reserve(table.records.size() + kConstantGrowth);
  const std::size_t start = text.find_first_not_of(kStatementDelimiters);
  if (start == std::string::npos) {
    reportError(c, "Const with no declaration.");
    return;
  }
  const std::size_t end = std::min(text.find_first_of(kStatementDelimiters, start),
                                   text.size());
  std::string name = text.substr(start, end - start);
  if (name.size() > kMaxNameLength) {
    reportError(c, "Const Name %s is too large, limit is 16 characters.",
                name.c_str());
    name.resize(kMaxNameLength);
  }
  if (findVariableLocation(c, name) != kNoOperand)
    reportError(c, "%s already declared as a variable.", name.c_str());
  checkConstantName(c, name);
  if (isDigit(name[0]))
    reportError(c, "Const name %s illegal, starts with a number.", name.c_str());

  const std::string valueText = constValueText(text.substr(end));
  if (isEmptyExpression(valueText)) {
    reportError(c, "CONST needs assignment.");
    return;
  }
  std::uint16_t operand = kNoOperand;
  if (compileAndReport(c, valueText, operand, kModePlain, false) != 0) return;
  if (c.expr.namesVariable) {
    reportError(c, "Variable used in CONST expression.");
    return;
  }
  const float* value = evaluateOperand(c, kNoOperand, 0);
  const float v = value != nullptr ? *value : 0.0f;
  if (v >= kMaxConstant) reportError(c, "Maximum CONST is 16777215.");
  addConstant(table, name, v);
}

std::int32_t unitsToSeconds(Compilation& c, std::int32_t value,
                            std::int32_t code) {
  constexpr std::uint32_t kSecondsPerMinute = 60;
  constexpr std::uint32_t kSecondsPerHour = 3600;
  constexpr std::uint32_t kSecondsPerDay = 86400;
  const auto scaled = [value](std::uint32_t factor) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) * factor);
  };
  switch (code) {
    case kUnitsUsec:
      reportError(c, "Units of usec not supported.");
      return 0;
    case kUnitsMsec:
      reportError(c, "Units of msec not supported.");
      return 0;
    case kUnitsSec:
      return value;
    case kUnitsMin:
      return scaled(kSecondsPerMinute);
    case kUnitsHr:
      return scaled(kSecondsPerHour);
    case kUnitsDay:
      return scaled(kSecondsPerDay);
    default:
      return 0;
  }
}

}  // namespace vk6
