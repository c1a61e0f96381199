#include "instructions/code_buffer.h"

#include <cassert>

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "format/record_format.h"

namespace vk6 {

std::size_t appendCode(Compilation& c, const std::uint8_t* record,
                       std::size_t length, bool patchNext) {
  CodeBuffer& code = c.code;
  const std::size_t padded = length + (length & 1u);
  const std::size_t start = code.bytes.size();
  if (code.keepLines) code.lines.emplace_back(start, c.diag.currentLine);
  code.bytes.insert(code.bytes.end(), record, record + length);
  if (padded != length) code.bytes.push_back(0);
  const std::size_t end = start + padded;
  if (end > kMaxCodeLength && !code.tooLongReported) {
    code.tooLongReported = true;
    reportError(c, "Program code exceeds 65535 bytes.");
  }
  if (patchNext) storeU16(code.bytes, start + 2, static_cast<std::uint32_t>(end));
  return end;
}

std::size_t appendCode(Compilation& c, const RecordBuilder& r, bool patchNext) {
  // A handler cannot build a record other than the one the list describes.
  assert(r.size() == recordLength(r.opcode()));
  return appendCode(c, r.data(), r.size(), patchNext);
}

std::size_t codeOffset(const Compilation& c) { return c.code.bytes.size(); }

void patchCodeWord(Compilation& c, std::size_t offset, std::uint16_t value) {
  storeU16(c.code.bytes, offset, value);
}

}  // namespace vk6
