// The variable table: declared variables and arrays in declaration order,
// each with its place in the logger's 254-location variable memory, and the
// operand words by which compiled records refer to expressions, variables
// and array elements.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "format/operand_word.h"

namespace vk6 {

struct Compilation;

constexpr int kVariableLocations = 254;
constexpr std::size_t kMaxNameLength = 16;
constexpr std::uint8_t kFloatDataType = 9;
constexpr int kDeclareLookup = 0;
constexpr int kDeclareDim = 9;
constexpr int kDeclarePublic = 10;

// Every variable holds 4-byte floats (kFloatDataType).
struct VariableRecord {
  std::int32_t elementCount = 0;
  std::string name;  // at most 16 (17 after an over-long declaration)
  std::uint16_t location = 0;  // low byte first index, high byte count
  std::int32_t publicKind = 0;  // 0 DIM, 10 PUBLIC
  int line = 0;                 // of the first declaration

  int firstIndex() const { return locationFirst(location); }
};

struct VariableTable {
  std::vector<VariableRecord> records;
  // Folded name -> index of its record; names are unique and hold no blank.
  std::unordered_map<std::string, std::size_t> byName;
  std::int32_t totalElements = 0;
};

// Declares (kind 9 or 10) or looks up (kind 0) the variable named at the
// start of `text`. Returns its index in the table, or -1 for an undeclared
// name (reported as "undeclared variable %s").
int declareVariable(Compilation& c, std::int32_t count, const std::string& text,
                    int kind);
// Index of the named variable's record, or -1; no message.
int findVariable(const Compilation& c, const std::string& name);
// Location word of the named variable, or kNoOperand.
std::uint16_t findVariableLocation(const Compilation& c, const std::string& name);
// Name of the variable with exactly this location word, or " ".
std::string variableNameAt(const Compilation& c, std::uint16_t location);

}  // namespace vk6
