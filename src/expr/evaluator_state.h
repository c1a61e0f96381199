// The state of the compile-time evaluator: its copy of variable memory,
// its fault mode and the clocks of the built-in functions.
#pragma once

#include <cstdint>

#include "expr/expression_state.h"
#include "symbols/variables_state.h"

namespace vk6 {

struct TransmitTimer {
  std::int16_t nextSecond = 0;
  std::uint16_t interval = 0;
  std::uint8_t flags = 0;
};

struct EvaluatorState {
  float memory[kVariableLocations] = {};
  float result = 0.0f;
  float zero = 0.0f;        // what a reported fault reads
  int quietMode = 0;        // 0 report faults; 1 or 2 count them only
  std::uint16_t quietCount = 0;
  std::uint32_t randomState = 1;
  std::uint32_t clock = 0;  // compile-time seconds, always 0
  TransmitTimer transmitTimers[kTransmitTimers] = {};
};

}  // namespace vk6
