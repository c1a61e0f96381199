// The layout of every compiled record: its opcode, its fixed length and
// the place, width and kind of each of its fields. Opcodes, lengths and
// names come from the record list (record_format.h), which the handlers
// build by; this table describes the fields for the image inspector, and a
// test holds the two together by checking compiled programs against it.
#pragma once

#include <cstdint>
#include <span>

namespace vk6 {

enum class FieldKind : std::uint8_t {
  kOpcode,       // bytes 0-1 of every record
  kNextOffset,   // the code offset just past the record
  kU8,
  kU16,
  kU32,
  kOperand,      // an operand word: an expression-area offset, or 0xFFFF
  kOperandOrZero,  // an operand word where 0 stands for "none"
  kLocation,     // a location word: low byte first location, high byte count
  kJumpTarget,   // a code offset where execution goes on
  kLoopWord,     // the code offset of a word inside a For or Do record
  kTableNumber,  // a table's list index minus 1
  kTableIndex,   // a table's list index
  kText,         // NUL-terminated text of a fixed width
  kPacketBe,     // bytes of a big-endian packet, shown as they stand
};

// A field that means nothing while another field of the record holds (or,
// with `noneWhenEqual` false, does not hold) `value`. Width 0: no guard.
struct FieldGuard {
  std::uint8_t offset = 0;
  std::uint8_t width = 0;
  std::uint16_t value = 0;
  bool noneWhenEqual = true;
};

struct RecordField {
  const char* name;
  std::uint8_t offset;
  std::uint8_t width;
  FieldKind kind;
  FieldGuard guard = {};
};

struct RecordLayout {
  std::uint16_t opcode;
  const char* name;
  std::uint16_t length;  // every record has a fixed length
  std::span<const RecordField> fields;  // in offset order, opcode first
};

// All layouts, in opcode order.
std::span<const RecordLayout> recordLayouts();
// The layout of `opcode`, or nullptr when no record has it.
const RecordLayout* findRecordLayout(std::uint16_t opcode);
// Name of a field kind as the inspector prints it ("operand", "u16", ...).
const char* fieldKindName(FieldKind kind);

}  // namespace vk6
