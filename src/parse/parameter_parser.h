// Turns one statement's text into a statement record by walking the
// parameter kinds of its instruction (parse/instruction_list.h): constants
// become integers, expressions and variables operand words, names texts.
// Handlers read the record by position, so the layout here is their
// contract.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "parse/instruction_index.h"

namespace vk6 {

struct Compilation;

// Slot of a NEXT that closes the scan, and of any other NEXT.
constexpr std::int32_t kNextScanKind = 6;
constexpr std::int32_t kNextLoopKind = 10;

// One statement as the reader hands it over: views into texts the reader
// keeps while the statement is parsed.
struct StatementInput {
  std::string_view keyword;  // the first token (for Expression: the whole text)
  std::string_view text;     // the statement, aliases substituted after the keyword
  std::size_t afterKeyword = 0;  // position in `text` just past the keyword
  std::string_view copy;     // the statement as read, untouched
  bool parenFollows = false;     // keyword directly followed by '('
};

// Appends the record of `input` with instruction `index`; a null input
// appends the end record. Returns the THEN text of a condition line.
std::optional<std::string> parseParameters(Compilation& c,
                                           const StatementInput* input,
                                           InstructionIndex index);

// Compiles `text` as a constant integer parameter; false (reported) when
// it names a variable, is not whole or does not compile.
bool evaluateConstantInteger(Compilation& c, std::string_view text,
                             std::int32_t& value);

}  // namespace vk6
