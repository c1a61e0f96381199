// Declared and predefined constants, and time-unit conversion.
#pragma once

#include <cstdint>
#include <string>

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

// The CONST statement; `text` is the statement after its keyword.
void defineConstant(Compilation& c, const std::string& text);

// Interval and units code to seconds; usec and msec are reported and give 0.
std::int32_t unitsToSeconds(Compilation& c, std::int32_t value, std::int32_t code);

}  // namespace vk6
