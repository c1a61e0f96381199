#include "symbols/expression_area.h"

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "format/byte_io.h"
#include "format/operand_word.h"
#include "format/stack_code.h"

namespace vk6 {

namespace {

// Makes room for `length` more bytes; returns where they will start.
// Reports (once) and returns kNoOperand when the area would reach offsets
// that operand words cannot hold (bit 15 is reserved).
std::uint16_t openBlock(Compilation& c, std::size_t length) {
  Bytes& area = c.exprArea.bytes;
  if (area.size() + length > kDeferredBit) {
    if (!c.exprArea.full) {
      reportError(c, "Program too large: compiled expressions exceed %d bytes.",
                  static_cast<int>(kDeferredBit));
      c.exprArea.full = true;
    }
    return kNoOperand;
  }
  const std::size_t start = area.size();
  if (area.capacity() < start + length)
    area.reserve(area.capacity() + kExpressionAreaGrowth + length);
  return static_cast<std::uint16_t>(start);
}

}  // namespace

std::uint16_t appendExpressionCode(Compilation& c, const std::uint8_t* bytes,
                                   std::size_t length) {
  const std::uint16_t start = openBlock(c, length);
  if (start != kNoOperand)
    c.exprArea.bytes.insert(c.exprArea.bytes.end(), bytes, bytes + length);
  return start;
}

// Written in place: the common path allocates nothing.
std::uint16_t appendExpressionWords(Compilation& c,
                                    const std::vector<std::uint16_t>& words) {
  const std::uint16_t start = openBlock(c, words.size() * kCodeWordBytes);
  if (start != kNoOperand)
    for (std::uint16_t w : words) putU16(c.exprArea.bytes, w);
  return start;
}

std::uint16_t expressionWordAt(const Compilation& c, std::size_t offset) {
  const Bytes& area = c.exprArea.bytes;
  if (offset + 2 > area.size()) return 0;
  return loadU16(area.data() + offset);
}

}  // namespace vk6
