#include "symbols/expression_area.h"

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "format/byte_io.h"
#include "format/operand_word.h"

namespace vk6 {

std::uint16_t appendExpressionCode(Compilation& c, const std::uint8_t* bytes,
                                   std::size_t length) {
  Bytes& area = c.exprArea.bytes;
  // Operand words reserve bit 15, so no block may reach offset 0x8000.
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
  area.insert(area.end(), bytes, bytes + length);
  return static_cast<std::uint16_t>(start);
}

std::uint16_t appendExpressionWords(Compilation& c,
                                    const std::vector<std::uint16_t>& words) {
  Bytes block;
  block.reserve(words.size() * 2);
  for (std::uint16_t w : words) putU16(block, w);
  return appendExpressionCode(c, block.data(), block.size());
}

std::uint16_t expressionWordAt(const Compilation& c, std::size_t offset) {
  const Bytes& area = c.exprArea.bytes;
  if (offset + 2 > area.size()) return 0;
  return loadU16(area.data() + offset);
}

}  // namespace vk6
