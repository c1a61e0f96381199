// The compile-time evaluator of stack code, over a compile-time copy of
// variable memory, with the compile-time versions of the built-in functions.
#pragma once

#include <cstdint>

#include "symbols/variables.h"

namespace vk6 {

struct Compilation;

// Bit pattern of the not-a-number value the logger uses.
constexpr std::uint32_t kLoggerNanBits = 0xFF8F8F8Fu;
constexpr float kTrue = -1.0f;
constexpr float kFalse = 0.0f;

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
  TransmitTimer transmitTimers[32] = {};
};

// Value designated by a compiled operand (0xFFFF: the work buffer;
// 0x8000 | n: deferred expression n; else an expression-area offset).
// Returns null after a quiet fault, the address of a zero after a reported
// one.
const float* evaluateOperand(Compilation& c, std::uint32_t operand, int reps);

}  // namespace vk6
