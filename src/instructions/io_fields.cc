#include "instructions/io_fields.h"

#include "core/compilation.h"
#include "expr/operands.h"
#include "format/operand_word.h"

namespace vk6 {

namespace {
constexpr int kHighByteShift = 8;
}  // namespace

void putEncoded(Compilation& c, RecordBuilder& r, std::uint32_t slot) {
  writeOperand(c, r, slot);
}

void putChecked(Compilation& c, RecordBuilder& r, std::uint32_t slot, int reps) {
  writeCheckedOperand(c, r, slot, kRoleDestination, reps);
}

void checkDestination(Compilation& c, std::uint32_t slot, int reps) {
  checkReps(c, slot, kRoleDestination, reps);
}

void putAsParsed(Compilation& c, RecordBuilder& r, std::uint32_t slot) {
  r.u16(resolveOperand(c, slotOperand(slot)));
}

std::uint8_t putFlagged(Compilation& c, RecordBuilder& r, std::uint32_t slot) {
  bool perRepetition = false;
  writeFlaggedOperand(c, r, slot, perRepetition);
  return perRepetition ? 1 : 0;
}

std::uint32_t channelHighByte(std::int32_t channel) {
  return (static_cast<std::uint32_t>(channel) - 1u) << kHighByteShift;
}

}  // namespace vk6
