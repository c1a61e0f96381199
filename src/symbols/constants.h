// Declared and predefined constants, and time-unit conversion.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

#include "core/text.h"

#include "symbols/constants_state.h"

namespace vk6 {

struct Compilation;

// Time-unit codes, the values of the predefined constants usec .. day.
enum UnitsCode : int {
  kUnitsUsec = 0,
  kUnitsMsec = 1,
  kUnitsSec = 2,
  kUnitsMin = 3,
  kUnitsHr = 4,
  kUnitsDay = 5,
};

struct PredefinedConstant {
  const char* name;
  float value;
};

// The predefined constants, in table order: option words of instructions,
// channel and excitation names, ranges and the time units usec .. day.
// Read by the language server and the language reference too.
inline constexpr PredefinedConstant kPredefinedConstants[] = {
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

// Records the table holds before it first grows; it then doubles, so a
// program of many constants is not copied again every hundred.
constexpr std::size_t kInitialConstantRecords = 100;

constexpr int kConstantInteger = 0;
constexpr int kConstantFloat = 1;
constexpr int kConstantNamedOnly = 2;

// How an &B or &H literal is read. A name in an expression holds only
// name characters, and one that is no digit of the base is skipped; a
// whole parameter is a literal only when nothing else follows the prefix
// but digits, or an operator in it would vanish ("&H1 + 1" is no 0x11).
enum class LiteralRead { kSkipOthers, kWhole };

// Records a constant; a name may be recorded more than once.
void addConstant(ConstantTable& table, std::string_view name, float value,
                 int line = 0);
// Fills the table with the predefined constants.
void startConstants(Compilation& c);
// True when `text` is a constant: a named constant, an &B or &H literal,
// or (mode 0) a decimal integer / (mode 1) NAN or a decimal number.
bool parseConstant(Compilation& c, std::string_view text, float& value,
                   int mode, LiteralRead read = LiteralRead::kSkipOthers);
// As above, with the name part of `text` (up to a blank) hashed already.
bool parseConstant(Compilation& c, const HashedName& name, std::string_view text,
                   float& value, int mode, LiteralRead read = LiteralRead::kSkipOthers);
// A named constant or one whole integer literal, as an exact integer.
bool parseConstantInteger(Compilation& c, std::string_view text,
                          std::int32_t& value);
// An &B, &H or decimal integer literal with nothing else but blanks around
// it, read exactly (floats hold only 24 bits); false for anything else,
// with no message.
bool parseIntegerLiteral(std::string_view text, std::int32_t& value);
// Reports a clash of a new name with a constant.
void checkConstantName(Compilation& c, std::string_view name);

// Interval and units code to seconds; usec and msec are reported and give 0.
std::int32_t unitsToSeconds(Compilation& c, std::int32_t value, std::int32_t code);

}  // namespace vk6
