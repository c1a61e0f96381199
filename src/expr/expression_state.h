// The state of the expression compiler: the code of the expression being
// compiled and what it has seen so far.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vk6 {

constexpr int kModePlain = 0;
constexpr int kModeAssignment = 1;
constexpr int kModeCase = 2;
constexpr int kModeVariable = 3;  // plain, for variable parameters
// Use counters kept for TIMEUNTILTRANSMIT arguments 1 .. this value.
constexpr int kTransmitTimers = 32;

constexpr std::size_t kNoOpcode = static_cast<std::size_t>(-1);

// Per-expression state; reset for every expression except where noted.
struct ExpressionState {
  std::vector<std::uint16_t> work;  // the code of the last expression
  std::size_t lastOpAt = kNoOpcode;  // where the last opcode of `work` starts
  int depth = 0;
  int maxDepth = 0;
  int error = 0;
  int mode = kModePlain;
  bool namesVariable = false;
  bool hasTableField = false;
  // Never reset: one use per argument within the program.
  bool transmitUsed[kTransmitTimers] = {};
};

}  // namespace vk6
