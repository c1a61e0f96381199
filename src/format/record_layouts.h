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
  kOperandOrZero,  // an operand word where 0 stands for "none"; with a guard,
                   // only while the guard holds
  kLocation,     // a location word: low byte first location, high byte count
  kJumpTarget,   // a code offset where execution goes on
  kLoopWord,     // the code offset of a word inside a For or Do record
  kTableNumber,  // a table's list index minus 1
  kTableIndex,   // a table's list index
  kText,         // NUL-terminated text of a fixed width
  kPacketBe,     // bytes of a big-endian packet, shown as they stand
  // Parameters the handlers encode; each shows as the source wrote it.
  kChannelWord,     // (channel - 1) * 256
  kExcitationWord,  // (channel - 1) * 256 + level code (0, 2 = 2500, 5 = 5000 mV)
  kPulseWord,       // PConfig * 4096 + POption * 256 + pulse channel
  kRangeFlags,      // a PeriodAvg range code as its flag bit
  kDelayLess400,    // an ExDelSE delay in microseconds, less 400
  kTimeUnits,       // usec, msec, sec ...
  kControlPortBit,  // 0x2000 shifted left by the control port
  kAnalogGetBit,    // 4 shifted left by the analog channel
  kAnalogSetBit,    // 128 shifted left by the analog channel
  kPortLess1,       // a port number less 1
  kPrintPort,       // Print's port code: 0 port 1, 1 port 2, 2 C1, 3 C2
  kSerialPort,      // SerialInput's port code: 1 port 2, 3 port 4
  kStatusOffset,    // a status field's offset among the writable fields
  kPoolLocation,    // the first of the locations taken from the pool
  kPrintKind,       // a Print item: 0 expression, 1 string, 2 character code
  kSeparator,       // the character after a Print item: ',' ';' or 0 at the end
  kUnused,          // written as 0, meaning nothing
};

// A field means nothing while the field at `offset` holds `value` (kEqual),
// does not hold it (kNotEqual) or holds at most it (kAtMost). Width 0: no
// guard.
enum class GuardTest : std::uint8_t { kEqual, kNotEqual, kAtMost };
struct FieldGuard {
  std::uint8_t offset = 0;
  std::uint8_t width = 0;
  std::uint16_t value = 0;
  GuardTest test = GuardTest::kEqual;
};

struct RecordField {
  const char* name;
  std::uint8_t offset;
  std::uint8_t width;
  FieldKind kind;
  FieldGuard guard = {};
  FieldGuard alsoGuard = {};  // a second condition under which it is unused
};

// Records that several instructions share tell them apart by one byte,
// which indexes `names`. No names: the record serves one instruction.
struct RecordVariant {
  std::uint8_t offset = 0;
  std::span<const char* const> names;
};

struct RecordLayout {
  std::uint16_t opcode;
  const char* name;
  std::uint16_t length;  // every record has a fixed length
  std::span<const RecordField> fields;  // in offset order, opcode first
  RecordVariant variant = {};
};

// All layouts, in opcode order.
std::span<const RecordLayout> recordLayouts();
// The layout of `opcode`, or nullptr when no record has it.
const RecordLayout* findRecordLayout(std::uint16_t opcode);
// The instruction a record of `layout` was compiled from: its variant
// byte's name, or the layout's name.
const char* instructionName(const RecordLayout& layout, const std::uint8_t* record);
// Name of a field kind as the inspector prints it ("operand", "u16", ...).
const char* fieldKindName(FieldKind kind);

}  // namespace vk6
