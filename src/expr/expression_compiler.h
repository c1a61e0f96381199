// Compiles one expression text into the logger's stack code
// (format/stack_code.h). The first fault of an expression wins and is
// reported once, with the expression text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "expr/expression_state.h"

namespace vk6 {

struct Compilation;

constexpr std::size_t kMaxExpressionLength = 256;  // texts must be shorter
constexpr int kMaxStackDepth = 30;
// Compiles `text`; returns the expression error code (0 when sound).
// With `store` the code goes to the expression area and `operand` receives
// its offset (or kDeferredBit | n for deferred expression n); without, the
// code stays in the work buffer and `operand` is kNoOperand.
int compileExpression(Compilation& c, std::string_view text,
                      std::uint16_t& operand, int mode, bool store);
// compileExpression, reporting a nonzero code as "%s: %s.".
int compileAndReport(Compilation& c, std::string_view text,
                     std::uint16_t& operand, int mode, bool store);
// Message of an expression error code.
const char* expressionErrorText(int code);

}  // namespace vk6
