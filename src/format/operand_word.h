// The operand word of a compiled parameter and the marks a statement
// record's slot may carry beside it. In the image an operand is a 16-bit
// offset into the expression area, or 0xFFFF for none; between the passes
// a slot holds it in a 32-bit word whose upper bits say more.
#pragma once

#include <cstddef>
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

// The 16-bit operand of a slot, without the marks above it.
constexpr std::uint16_t slotOperand(std::uint32_t slot) {
  return static_cast<std::uint16_t>(slot);
}
// The operand of deferred expression `n`.
constexpr std::uint16_t deferredOperand(std::size_t n) {
  return static_cast<std::uint16_t>(kDeferredBit | n);
}
// The number of the deferred expression an operand names.
constexpr std::uint16_t deferredIndex(std::uint32_t operand) {
  return static_cast<std::uint16_t>(slotOperand(operand) & ~kDeferredBit);
}

// A location word names a run of variable locations: the first location in
// its low byte, the number of elements in its high byte.
constexpr std::uint16_t locationWord(std::uint32_t first, std::uint32_t count) {
  return static_cast<std::uint16_t>(first | (count << 8));
}
constexpr int locationFirst(std::uint16_t location) { return location & 0xFF; }
constexpr int locationCount(std::uint16_t location) { return location >> 8; }

}  // namespace vk6
