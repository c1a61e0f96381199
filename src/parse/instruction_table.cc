#include "parse/instruction_table.h"

#include <iterator>
#include <string_view>

#include "core/text.h"
#include "parse/statement_buffer.h"

namespace vk6 {
namespace {

using enum ParamKind;
using enum InstructionFamily;

#define VK6_PARAMETERS(...) \
  ParameterList { __VA_ARGS__ }
constexpr InstructionInfo kInstructions[] = {
#define INSTRUCTION(name, keyword, handler, family, description, parameters) \
  {InstructionIndex::k##name, keyword, family, description, VK6_PARAMETERS parameters},
#include "parse/instruction_list.h"
#undef INSTRUCTION
};
#undef VK6_PARAMETERS
static_assert(std::size(kInstructions) == kInstructionCount);
static_assert(kInstructionCount - 1 <= static_cast<int>(kHeaderIndexMask),
              "statement records hold the index in their header");

// Every statement is looked up: one probe of an index built at compile
// time.
constexpr FoldedIndex<256> kKeywordIndex(kInstructions, [](const InstructionInfo& row) {
  return std::string_view(row.keyword);
});

// The lookup's promises: rows in order, a keyword on every row but the
// first and the last, none holding a blank or named twice (a second row of
// a name could never be found).
constexpr bool rowsAreSound() {
  for (int i = 0; i < kInstructionCount; ++i) {
    const std::string_view keyword = kInstructions[i].keyword;
    const bool end = i == kEndOfProgram || i == kEndOfKeywords;
    if (kInstructions[i].index != i || keyword.empty() != end ||
        keyword.find(' ') != keyword.npos || (!end && kKeywordIndex.find(keyword) != i))
      return false;
  }
  return true;
}
static_assert(rowsAreSound());

// ORDER FAMILIES: indexed by InstructionFamily.
constexpr const char* kFamilyNames[] = {
    "Program structure", "Declarations",       "Flow control",
    "Measurement",       "Data tables",        "Output processing",
    "Ports and timing",  "Communication",      "SDI-12 and serial",
    "Satellite",         "Spatial statistics",
};
static_assert(std::size(kFamilyNames) ==
              static_cast<std::size_t>(InstructionFamily::kSpatialStatistics) + 1);

}  // namespace

const InstructionInfo& instructionInfo(InstructionIndex index) {
  return kInstructions[index];
}

const char* familyName(InstructionFamily family) {
  return kFamilyNames[static_cast<std::size_t>(family)];
}

InstructionIndex lookupKeyword(const char* token) {
  if (token == nullptr) return kEndOfProgram;
  return lookupKeyword(std::string_view(token));
}

InstructionIndex lookupKeyword(std::string_view token) {
  // A NUL ends the token as it ends a C string; a blank ends the keyword.
  std::size_t end = 0;
  while (end < token.size() && token[end] != '\0' && token[end] != ' ') ++end;
  const int row = kKeywordIndex.find(token.substr(0, end));
  return row < 0 ? kEndOfProgram : static_cast<InstructionIndex>(row);
}

const char* keywordAt(int index) {
  if (index < 0 || index >= kInstructionCount) return "";
  return kInstructions[index].keyword;
}

}  // namespace vk6
