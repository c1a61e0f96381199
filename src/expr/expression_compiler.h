// Compiles one expression text into the logger's stack code
// (format/stack_code.h). The first fault of an expression wins and is
// reported once, with the expression text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vk6 {

struct Compilation;

constexpr std::size_t kMaxExpressionLength = 256;  // texts must be shorter
constexpr int kMaxStackDepth = 30;
constexpr int kModePlain = 0;
constexpr int kModeAssignment = 1;
constexpr int kModeCase = 2;
constexpr int kModeVariable = 3;  // plain, for variable parameters
// Use counters kept for TIMEUNTILTRANSMIT arguments 1 .. this value.
constexpr int kTransmitTimers = 32;

// Per-expression state; reset for every expression except where noted.
struct ExpressionState {
  std::vector<std::uint16_t> work;  // the code of the last expression
  int depth = 0;
  int maxDepth = 0;
  int error = 0;
  int mode = kModePlain;
  bool namesVariable = false;
  bool hasTableField = false;
  // Never reset: one use per argument within the program.
  bool transmitUsed[kTransmitTimers] = {};
};

// Compiles `text`; returns the expression error code (0 when sound).
// With `store` the code goes to the expression area and `operand` receives
// its offset (or kDeferredBit | n for deferred expression n); without, the
// code stays in the work buffer and `operand` is kNoOperand.
int compileExpression(Compilation& c, const std::string& text,
                      std::uint16_t& operand, int mode, bool store);
// compileExpression, reporting a nonzero code as "%s: %s.".
int compileAndReport(Compilation& c, const std::string& text,
                     std::uint16_t& operand, int mode, bool store);
// Message of an expression error code.
const char* expressionErrorText(int code);

}  // namespace vk6
