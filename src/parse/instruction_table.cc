#include "parse/instruction_table.h"

#include <iterator>
#include <string_view>
#include <unordered_map>
#include <vector>

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

// Every statement is looked up, so the token is folded on the stack.
constexpr std::size_t kLongestKeyword = 31;

constexpr char foldedLetter(char ch) {
  return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
}

constexpr bool sameKeyword(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (foldedLetter(a[i]) != foldedLetter(b[i])) return false;
  return true;
}

// The lookup's promises: rows in order, a keyword on every row but the
// first and the last, none longer than the fold buffer, holding a blank or
// named twice (a second row of a name could never be found).
constexpr bool rowsAreSound() {
  for (int i = 0; i < kInstructionCount; ++i) {
    const std::string_view keyword = kInstructions[i].keyword;
    const bool end = i == kEndOfProgram || i == kEndOfKeywords;
    if (kInstructions[i].index != i || keyword.empty() != end ||
        keyword.size() > kLongestKeyword || keyword.find(' ') != keyword.npos)
      return false;
    for (int j = 1; j < i; ++j)
      if (sameKeyword(kInstructions[j].keyword, keyword)) return false;
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
  // Immutable and shared by every compilation. The first row of a folded
  // name is kept, as a scan in row order finds it.
  struct Index {
    std::vector<std::string> keys;
    std::unordered_map<std::string_view, InstructionIndex> rows;
  };
  static const Index index = [] {
    Index built;
    for (int i = 1; i < kInstructionCount && kInstructions[i].keyword[0] != '\0';
         ++i)
      built.keys.push_back(foldedName(kInstructions[i].keyword, false));
    // The views are taken once the keys no longer move.
    for (std::size_t k = 0; k < built.keys.size(); ++k)
      built.rows.emplace(built.keys[k], static_cast<InstructionIndex>(k + 1));
    return built;
  }();
  if (token == nullptr) return kEndOfProgram;
  char folded[kLongestKeyword + 1];
  std::size_t n = 0;
  for (; token[n] != '\0' && token[n] != ' '; ++n) {
    if (n == kLongestKeyword) return kEndOfProgram;
    folded[n] = upcaseChar(token[n]);
  }
  if (n == 0) return kEndOfProgram;
  const auto found = index.rows.find(std::string_view(folded, n));
  return found == index.rows.end() ? kEndOfProgram : found->second;
}

const char* keywordAt(int index) {
  if (index < 0 || index >= kInstructionCount) return "";
  return kInstructions[index].keyword;
}

}  // namespace vk6
