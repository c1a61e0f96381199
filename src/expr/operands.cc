#include "expr/operands.h"

#include <cmath>

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "expr/constant_eval.h"
#include "format/byte_io.h"
#include "format/operand_word.h"
#include "format/stack_code.h"
#include "symbols/expression_area.h"

namespace vk6 {
namespace {


// The first operand word of the instruction at `at`, and the two of a
// 32-bit operand.
std::uint16_t operandAt(const Compilation& c, std::size_t at) {
  return expressionWordAt(c, at + kCodeWordBytes);
}
std::uint32_t operand32At(const Compilation& c, std::size_t at) {
  return joinWords(operandAt(c, at), operandAt(c, at + kCodeWordBytes));
}

// Start element and location word of a simple reference, or false: a lone
// variable, or a constant index pushed before a lone element.
bool simpleReference(const Compilation& c, std::uint32_t value,
                     std::int32_t& start, std::uint16_t& location) {
  if (value >= kDeferredBit) return false;
  const std::uint16_t op = expressionWordAt(c, value);
  if (op == kOpLoneVariable) {
    start = 1;
    location = operandAt(c, value);
    return true;
  }
  const std::size_t element = value + instructionBytes(kOpPushFloat);
  if (op == kOpPushFloat && expressionWordAt(c, element) == kOpLoneElement) {
    const double index = std::trunc(static_cast<double>(floatFromBits(operand32At(c, value))));
    start = (index >= -2147483648.0 && index <= 2147483647.0)
                ? static_cast<std::int32_t>(index)
                : static_cast<std::int32_t>(0x80000000u);
    location = operandAt(c, element);
    return true;
  }
  return false;
}

}  // namespace

std::uint16_t resolveOperand(Compilation& c, std::uint32_t value) {
  value &= kOperandMask;
  if ((value & kDeferredBit) == 0 || value == kNoOperand)
    return static_cast<std::uint16_t>(value);
  const std::size_t n = deferredIndex(value);
  if (n >= c.exprArea.deferred.size()) return kNoOperand;
  // Evaluating once resolves the table-field names in the code.
  c.eval.quietMode = 2;
  evaluateOperand(c, deferredOperand(n), 0);
  const DeferredExpression& entry = c.exprArea.deferred[n];
  Bytes block;
  for (std::uint16_t w : entry.code) putU16(block, w);
  block.resize(entry.lengthBytes, 0);
  const std::uint16_t offset = appendExpressionCode(c, block.data(), block.size());
  c.eval.quietMode = 0;
  c.eval.quietCount = 0;
  return offset;
}

std::uint32_t writeOperand(Compilation& c, RecordBuilder& r, std::uint32_t value) {
  r.u16(resolveOperand(c, value));
  return value & kOperandMask;
}

std::uint32_t writeCheckedOperand(Compilation& c, RecordBuilder& r,
                                  std::uint32_t value, int role, int reps) {
  checkReps(c, value, role, reps);
  return writeOperand(c, r, value);
}

std::uint32_t writeFlaggedOperand(Compilation& c, RecordBuilder& r,
                                  std::uint32_t value, bool& mark) {
  mark = (value & kEmptyParentheses) != 0;
  return writeOperand(c, r, slotOperand(value));
}

std::uint16_t checkReps(Compilation& c, std::uint32_t value, int role, int reps) {
  std::int32_t start = 0;
  std::uint16_t location = kNoOperand;
  if (!simpleReference(c, value & kOperandMask, start, location)) return kNoOperand;
  const std::int64_t last = static_cast<std::int64_t>(start) + reps - 1;
  if (role != kRoleNone && last > locationCount(location)) {
    if (role == kRoleDestination) {
      reportError(c, "Reps too large for Destination variable.");
    } else if (role == kRoleSource) {
      reportError(c, "Reps too large for Source variable.");
    } else {
      reportError(c, "Source variable array not big enough.");
    }
  }
  return location;
}

std::uint16_t parameterLocation(Compilation& c, std::uint32_t value,
                                const char* label) {
  value &= kOperandMask;
  std::int32_t start = 0;
  std::uint16_t location = kNoOperand;
  if (simpleReference(c, value, start, location)) {
    if (expressionWordAt(c, value) == kOpLoneVariable) return location;
    // The run from the start element; both bytes wrap as the logger's do.
    const int k = static_cast<std::uint8_t>(start) - 1;
    const auto count = static_cast<std::uint8_t>(locationCount(location) - k);
    const auto first = static_cast<std::uint8_t>(locationFirst(location) + k);
    return locationWord(first, count);
  }
  if (value < kDeferredBit && expressionWordAt(c, value) == kOpLoneConstant &&
      floatFromBits(operand32At(c, value)) == 0.0f)
    return 0;
  reportError(c, "Invalid %s param.", label);
  return kNoOperand;
}

bool isLoneConstant(const Compilation& c, std::uint32_t value) {
  value &= kOperandMask;
  return value < kDeferredBit && expressionWordAt(c, value) == kOpLoneConstant;
}

}  // namespace vk6
