#include "symbols/constants.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "core/text.h"
#include "format/byte_io.h"

namespace vk6 {
namespace {

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

std::int32_t truncateToInt(double v) {
  if (!(v >= -2147483648.0 && v < 2147483648.0))
    return static_cast<std::int32_t>(0x80000000u);
  return static_cast<std::int32_t>(v);
}

}  // namespace

void startConstants(Compilation& c) {
  ConstantTable& table = c.constants;
  table.records.clear();
  table.byName.clear();
  table.records.reserve(kConstantGrowth);
  for (const PredefinedConstant& p : kPredefinedConstants)
    addConstant(table, p.name, p.value);
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

void addConstant(ConstantTable& table, const std::string& name, float value,
                 int line) {
  table.byName[foldedName(name.c_str(), false)].push_back(table.records.size());
  table.records.push_back({name, value, line});
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
