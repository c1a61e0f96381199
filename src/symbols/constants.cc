#include "symbols/constants.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

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
bool parseBaseLiteral(std::string_view text, std::uint32_t& value,
                      LiteralRead read) {
  if (text.size() < 2 || text[0] != '&') return false;
  const char base = upcaseChar(text[1]);
  if (base != 'B' && base != 'H') return false;
  if (read == LiteralRead::kWhole) {
    const char* digits = base == 'B' ? "01" : "0123456789ABCDEFabcdef";
    if (text.size() == 2 || text.find_first_not_of(digits, 2) != std::string_view::npos)
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

bool parseDecimalInteger(std::string_view text, std::int32_t& value) {
  if (text.empty()) return false;
  std::size_t i = (text[0] == '+' || text[0] == '-') ? 1 : 0;
  if (i >= text.size()) return false;
  for (std::size_t j = i; j < text.size(); ++j) {
    if (!isDigit(text[j])) return false;
  }
  // from_chars takes a minus sign but no plus sign.
  if (text[0] == '+') text.remove_prefix(1);
  std::int32_t v = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  value = v;
  return true;
}

bool parseDecimalNumber(std::string_view text, float& value) {
  // Only decimal forms: strtod alone would also take hex, inf and nan.
  bool digits = false;
  for (char ch : text) {
    if (isDigit(ch)) {
      digits = true;
    } else if (ch != '+' && ch != '-' && ch != '.' && ch != 'e' && ch != 'E') {
      return false;
    }
  }
  if (!digits) return false;
  const std::string ended(text);  // strtod reads up to a NUL
  char* end = nullptr;
  const double v = std::strtod(ended.c_str(), &end);
  if (end != ended.c_str() + ended.size()) return false;
  value = static_cast<float>(v);
  return true;
}

// The predefined constants by name; they are the table's first records.
constexpr FoldedIndex<128> kPredefinedIndex(kPredefinedConstants,
                                           [](const PredefinedConstant& p) {
                                             return std::string_view(p.name);
                                           });
static_assert(kPredefinedIndex.size() == std::size(kPredefinedConstants),
              "a second row of a name would never be found");

// Calls visit(index) for each record `text` names (up to a blank), in
// record order, while it returns true.
template <typename Visit>
void forEachConstantNamed(const ConstantTable& table, const HashedName& name,
                          Visit visit) {
  const int predefined = kPredefinedIndex.find(name);
  if (predefined >= 0 && !visit(static_cast<std::size_t>(predefined))) return;
  const auto found = table.byName.find(name);
  if (found == table.byName.end()) return;
  for (const std::size_t i : found->second)
    if (!visit(i)) return;
}

const ConstantRecord* findConstant(const Compilation& c, const HashedName& name) {
  const ConstantRecord* first = nullptr;
  forEachConstantNamed(c.constants, name, [&](std::size_t i) {
    first = &c.constants.records[i];
    return false;
  });
  return first;
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
  table.records.reserve(kInitialConstantRecords);
  // Their names are found through kPredefinedIndex, not byName.
  for (const PredefinedConstant& p : kPredefinedConstants)
    table.records.push_back({p.name, p.value, 0});
  table.predefinedCount = table.records.size();
}

bool parseConstant(Compilation& c, std::string_view text, float& value,
                   int mode, LiteralRead read) {
  return parseConstant(c, HashedName(beforeBlank(text)), text, value, mode, read);
}

bool parseConstant(Compilation& c, const HashedName& name, std::string_view text,
                   float& value, int mode, LiteralRead read) {
  if (const ConstantRecord* record = findConstant(c, name)) {
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
  if (text.size() >= 2 && text[0] == '&') {
    std::uint32_t literal = 0;
    if (!parseBaseLiteral(text, literal, read)) return false;
    value = mode == kConstantInteger
                ? static_cast<float>(static_cast<std::int32_t>(literal))
                : static_cast<float>(literal);
    return true;
  }
  if (mode == kConstantInteger) {
    std::int32_t v = 0;
    if (!parseDecimalInteger(text, v)) return false;
    value = static_cast<float>(v);
    return true;
  }
  if (mode == kConstantFloat) {
    if (foldedEquals(text, "NAN")) {
      value = floatFromBits(kLoggerNanBits);
      return true;
    }
    return parseDecimalNumber(text, value);
  }
  return false;
}

bool parseConstantInteger(Compilation& c, std::string_view text,
                          std::int32_t& value) {
  if (const ConstantRecord* record = findConstant(c, HashedName(beforeBlank(text)))) {
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

bool parseIntegerLiteral(std::string_view text, std::int32_t& value) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return false;
  const std::size_t last = text.find_last_not_of(" \t");
  const std::string_view literal = text.substr(first, last - first + 1);
  std::uint32_t bits = 0;
  if (parseBaseLiteral(literal, bits, LiteralRead::kWhole)) {
    value = static_cast<std::int32_t>(bits);
    return true;
  }
  return parseDecimalInteger(literal, value);
}

void addConstant(ConstantTable& table, std::string_view name, float value,
                 int line) {
  const auto found = table.byName.find(name);
  if (found != table.byName.end())
    found->second.push_back(table.records.size());
  else
    table.byName.emplace(name, std::vector<std::size_t>{table.records.size()});
  table.records.push_back({std::string(name), value, line});
}

// A constant declared again and again meets every earlier declaration:
// the message is built once, and once errors can only be counted the rest
// are counted at once.
void checkConstantName(Compilation& c, std::string_view name) {
  const HashedName key(beforeBlank(name));
  const std::string shown(name);
  if (kPredefinedIndex.find(key) >= 0)
    reportError(c, "%s is already in use as a predefined CONST.", shown.c_str());
  const auto found = c.constants.byName.find(key);
  if (found == c.constants.byName.end()) return;
  const std::size_t count = found->second.size();
  std::string declared;
  for (std::size_t i = 0; i < count; ++i) {
    if (errorsOnlyCounted(c)) {
      countErrors(c, count - i);
      return;
    }
    if (declared.empty())
      declared = formatString("%s is already in use as a declared CONST.", shown.c_str());
    reportErrorMessage(c, declared);
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
