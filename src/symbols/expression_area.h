// The expression area: the append-only byte buffer of compiled expression
// code and small constant blocks that the program image carries, and the
// deferred expressions whose table-field references are resolved only when
// their operand is written. Code is a sequence of 16-bit words stored low
// byte first; a 4-byte float operand is stored as its low word, then its
// high word (so the float's bytes are little-endian too).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "symbols/expression_area_state.h"

namespace vk6 {

struct Compilation;

constexpr std::size_t kExpressionAreaGrowth = 10000;

// Appends a block; returns its start offset. Reports (once) and returns
// kNoOperand when the area would reach offsets that operand words cannot
// hold.
std::uint16_t appendExpressionCode(Compilation& c, const std::uint8_t* bytes,
                                   std::size_t length);
// Appends code words (low byte first).
std::uint16_t appendExpressionWords(Compilation& c,
                                    const std::vector<std::uint16_t>& words);
// The 16-bit word at byte `offset` of the area (0 past its end).
std::uint16_t expressionWordAt(const Compilation& c, std::size_t offset);

}  // namespace vk6
