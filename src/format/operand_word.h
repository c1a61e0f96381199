// The operand word of a compiled parameter and the marks a statement
// record's slot may carry beside it. In the image an operand is a 16-bit
// offset into the expression area, or 0xFFFF for none; between the passes
// a slot holds it in a 32-bit word whose upper bits say more.
#pragma once

#include <cstdint>

namespace vk6 {

// No operand: an absent parameter, or an expression that is not stored.
constexpr std::uint16_t kNoOperand = 0xFFFF;
// Set in an operand for the deferred expression of that number, whose code
// goes to the expression area only when pass 2 writes it.
constexpr std::uint16_t kDeferredBit = 0x8000;
// A slot whose optional parameter was not written.
constexpr std::uint32_t kAbsentMarker = 0x80000000u;
// Set in an expression slot when the parameter text contains "()".
constexpr std::uint32_t kEmptyParentheses = 0x40000000u;
// The bits of a slot that hold the operand itself.
constexpr std::uint32_t kOperandMask = 0x0FFFFFFFu;

}  // namespace vk6
