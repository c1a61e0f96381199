// Turns the two kinds of compiled code of an image back into readable
// form: the stack code of the expression area into instructions and the
// expression they compute, and the code section into records whose fields
// are decoded by the layouts of format/record_layouts.h. Every read is
// bounds-checked; faults become problem lines, never crashes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "format/record_layouts.h"

namespace vk6 {

using ByteSpan = std::span<const std::uint8_t>;

// Names a resolved table-field reference (table word, field word).
using FieldNamer = std::function<std::string(std::uint16_t, std::uint16_t)>;

// A variable: its run of locations and its name.
struct NamedVariable {
  int first = 0;
  int count = 1;
  std::string name;
};

// The names code refers to: table fields and variables.
struct Naming {
  FieldNamer fields;
  std::vector<NamedVariable> variables;  // the first that holds a location names it

  // A location word by the variable that holds it: "AirT", "Temp(3)",
  // "Temp(2..3)"; "v[3]", "v[3..5]" where no variable holds all of it.
  std::string location(std::uint16_t word) const;
};

struct StackInstruction {
  std::size_t offset = 0;  // in the expression area
  std::uint16_t opcode = 0;
  std::string text;        // e.g. "push 1.0"
};

// A constant block that IFTIME or TIMEUNTILTRANSMIT code points at.
struct ConstantBlock {
  std::size_t offset = 0;
  std::size_t length = 0;
};

struct Disassembly {
  std::size_t start = 0;
  std::size_t end = 0;      // just past the last instruction read
  std::string expression;   // e.g. "v[0] + 1.0"
  std::vector<StackInstruction> code;
  std::vector<ConstantBlock> blocks;
  std::string problem;      // empty when the code is sound
};

// Location word as text: "v[3]" for one location, "v[3..5]" for three.
std::string locationText(std::uint16_t location);
// A float in its shortest exact form, always with a point or exponent.
std::string floatText(float value);
// Text bytes in double quotes: as they stand when they are valid UTF-8,
// control characters and the bytes of invalid UTF-8 escaped as \xNN.
std::string quotedText(std::string_view text);
// The text itself when it is valid UTF-8, else its escaped form unquoted.
std::string utf8Text(std::string_view text);

// Disassembles the code that starts at `start` of the expression area.
Disassembly disassembleExpression(ByteSpan area, std::size_t start,
                                  const Naming& naming);

struct DecodedField {
  const RecordField* layout = nullptr;
  std::uint32_t value = 0;  // the field as a number (0 for texts, packets)
  std::string text;         // how the report shows it
  bool unused = false;      // the record does not use it
};

struct DecodedRecord {
  std::size_t offset = 0;  // code offset
  std::uint16_t opcode = 0;
  const RecordLayout* layout = nullptr;  // nullptr for an unknown opcode
  const char* instruction = "unknown";  // the instruction compiled into it
  std::vector<DecodedField> fields;
};

// What decoding the code section needs to know about the rest of the image.
struct CodeContext {
  ByteSpan code;
  ByteSpan area;
  std::vector<std::string> tableNames;  // in list order
  Naming naming;
};

struct CodeListing {
  std::vector<DecodedRecord> records;
  std::vector<std::size_t> operandOffsets;  // distinct, in first-use order
  std::vector<std::string> problems;
};

// Walks the code section record by record and checks next-record offsets,
// jump targets, loop words, operands and table numbers.
CodeListing disassembleCode(const CodeContext& context);

}  // namespace vk6
