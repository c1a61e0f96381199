// The compile-time evaluator of stack code, over a compile-time copy of
// variable memory, with the compile-time versions of the built-in functions.
#pragma once

#include <cstdint>

#include "expr/evaluator_state.h"

namespace vk6 {

struct Compilation;

constexpr float kTrue = -1.0f;
constexpr float kFalse = 0.0f;

// Truncation toward zero; NaN and values outside the 32-bit range give
// 0x80000000.
std::int32_t truncateToInt32(float value);

// Value designated by a compiled operand (kNoOperand: the work buffer;
// kDeferredBit | n: deferred expression n; else an expression-area offset).
// Lone and stored references give the address of the element in `memory`,
// other expressions the address of `result`, valid until the next call.
// `reps` is the repetition count checked against references and the value
// under test of CASE code. Returns null after a quiet fault, the address of
// a zero after a reported one. Resolves the table-field names of deferred
// code on first evaluation, shortening the code.
const float* evaluateOperand(Compilation& c, std::uint32_t operand, int reps);

}  // namespace vk6
