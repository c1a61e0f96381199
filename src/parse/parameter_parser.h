// Turns one statement's text into a statement record by walking the kinds
// of its instruction-table entry.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace vk6 {

struct Compilation;

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

}  // namespace vk6
