#include "expr/operands.h"

#include <cmath>

#include "core/compilation.h"
#include "expr/constant_eval.h"
#include "expr/expression_compiler.h"
#include "format/byte_io.h"
#include "format/operand_word.h"
#include "symbols/expression_area.h"

namespace vk6 {
namespace {


// Start element and location word of a simple reference, or false.
bool simpleReference(const Compilation& c, std::uint32_t value,
                     std::int32_t& start, std::uint16_t& location) {
  if (value >= kDeferredBit) return false;
  const std::uint16_t op = expressionWordAt(c, value);
  if (op == kOpLoneVariable) {
    start = 1;
    location = expressionWordAt(c, value + 2);
    return true;
  }
  if (op == kOpPushFloat && expressionWordAt(c, value + 6) == kOpLoneElement) {
    const std::uint32_t bits = expressionWordAt(c, value + 2) |
                               (static_cast<std::uint32_t>(expressionWordAt(c, value + 4)) << 16);
    const double index = std::trunc(static_cast<double>(floatFromBits(bits)));
    start = (index >= -2147483648.0 && index <= 2147483647.0)
                ? static_cast<std::int32_t>(index)
                : static_cast<std::int32_t>(0x80000000u);
    location = expressionWordAt(c, value + 8);
    return true;
  }
  return false;
}

}  // namespace

std::uint16_t resolveOperand(Compilation& c, std::uint32_t value) {
  value &= kOperandMask;
  if ((value & kDeferredBit) == 0 || value == kNoOperand)
    return static_cast<std::uint16_t>(value);
  const std::size_t n = value & ~static_cast<std::uint32_t>(kDeferredBit) & 0xFFFFu;
  if (n >= c.exprArea.deferred.size()) return kNoOperand;
  // Evaluating once resolves the table-field names in the code.
  c.eval.quietMode = 2;
  evaluateOperand(c, kDeferredBit | static_cast<std::uint32_t>(n), 0);
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
  return writeOperand(c, r, value & 0xFFFFu);
}

std::uint16_t checkReps(Compilation& c, std::uint32_t value, int role, int reps) {
  std::int32_t start = 0;
  std::uint16_t location = kNoOperand;
  if (!simpleReference(c, value & kOperandMask, start, location)) return kNoOperand;
  const std::int64_t last = static_cast<std::int64_t>(start) + reps - 1;
  if (role != kRoleNone && last > (location >> 8)) {
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
    const int k = static_cast<std::uint8_t>(start) - 1;
    const int count = (location >> 8) - k;
    const int first = ((location & 0xFF) + k) & 0xFF;
    return static_cast<std::uint16_t>(((count & 0xFF) << 8) | first);
  }
  if (value < kDeferredBit && expressionWordAt(c, value) == kOpLoneConstant) {
    const std::uint32_t bits = expressionWordAt(c, value + 2) |
        (static_cast<std::uint32_t>(expressionWordAt(c, value + 4)) << 16);
    if (floatFromBits(bits) == 0.0f) return 0;
  }
  reportError(c, "Invalid %s param.", label);
  return kNoOperand;
}

bool isLoneConstant(const Compilation& c, std::uint32_t value) {
  value &= kOperandMask;
  return value < kDeferredBit && expressionWordAt(c, value) == kOpLoneConstant;
}

}  // namespace vk6
