// Turns one statement's text into a statement record by walking the kinds
// of its instruction-table entry: constants become integers, expressions
// and variables operand words, names texts. Handlers read the record by
// position, so the layout here is their contract.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "format/operand_word.h"

namespace vk6 {

struct Compilation;

// Parameter kinds, the codes of the instruction table's kind lists.
enum ParamKind : int {
  kKindConstant = 1,
  kKindExpression = 2,
  kKindForClause = 3,
  kKindOptionalConstant = 4,
  kKindName = 6,
  kKindCondition = 7,
  kKindVariable = 8,
  kKindDimList = 9,
  kKindPublicList = 10,
  kKindText = 11,
  kKindSubName = 12,
  kKindEnd = 16,
  kKindNext = 17,
  kKindRawText = 18,
};

// Slot of a NEXT that closes the scan, and of any other NEXT.
constexpr std::int32_t kNextScanKind = 6;
constexpr std::int32_t kNextLoopKind = 10;

// One statement as the reader hands it over.
struct StatementInput {
  std::string keyword;     // the first token (for Expression: the whole text)
  std::string text;        // the statement, aliases substituted after the keyword
  std::size_t afterKeyword = 0;  // position in `text` just past the keyword
  std::string copy;        // the statement as read, untouched
  bool parenFollows = false;     // keyword directly followed by '('
};

// Appends the record of `input` with instruction `index`; a null input
// appends the end record. Returns the THEN text of a condition line.
std::optional<std::string> parseParameters(Compilation& c,
                                           const StatementInput* input,
                                           int index);

// Compiles `text` as a constant integer parameter; false (reported) when
// it names a variable, is not whole or does not compile.
bool evaluateConstantInteger(Compilation& c, const std::string& text,
                             std::int32_t& value);

}  // namespace vk6
