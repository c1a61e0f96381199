// The variable table: declared variables and arrays in declaration order,
// each with its place in the logger's 254-location variable memory, and the
// operand words by which compiled records refer to expressions, variables
// and array elements.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "parse/statement_buffer.h"

namespace vk6 {

struct Compilation;
class RecordBuilder;

constexpr int kVariableLocations = 254;
constexpr std::size_t kMaxNameLength = 16;
constexpr std::uint8_t kFloatDataType = 9;
constexpr int kDeclareLookup = 0;
constexpr int kDeclareDim = 9;
constexpr int kDeclarePublic = 10;

struct VariableRecord {
  std::int32_t elementCount = 0;
  std::int32_t secondCount = 0;
  std::int32_t thirdCount = 1;
  std::int32_t elementSize = 4;
  std::int32_t byteOffset = 0;
  std::uint8_t dataType = kFloatDataType;
  std::string name;         // at most 16 (17 after an over-long declaration)
  std::string description;  // empty for variables
  std::uint16_t location = 0;  // low byte first index, high byte count
  std::int32_t publicKind = 0;  // 0 DIM, 10 PUBLIC

  int firstIndex() const { return location & 0xFF; }
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
// Location word of the named variable, or 0xFFFF.
std::uint16_t findVariableLocation(const Compilation& c, const std::string& name);
// Name of the variable with exactly this location word, or " ".
std::string variableNameAt(const Compilation& c, std::uint16_t location);

// Role of a reference for checkReps.
enum RepsRole : int { kRoleNone = 0, kRoleDestination = 1, kRoleSource = 2, kRoleSourceArray = 3 };

// Writes the operand word of a compiled parameter (resolving a deferred
// expression into the expression area first); returns the operand with its
// top four bits cleared.
std::uint32_t writeOperand(Compilation& c, RecordBuilder& r, std::uint32_t value);
// checkReps, then writeOperand.
std::uint32_t writeCheckedOperand(Compilation& c, RecordBuilder& r,
                                  std::uint32_t value, int role, int reps);
// Sets `mark` from bit 30 of the value, then writes its low 16 bits.
std::uint32_t writeFlaggedOperand(Compilation& c, RecordBuilder& r,
                                  std::uint32_t value, bool& mark);
// Resolves a deferred operand into the expression area; other values pass
// through with their top four bits cleared. For handlers that store the
// operand themselves.
std::uint16_t resolveOperand(Compilation& c, std::uint32_t value);
// Location word of a simple reference with room for `reps` elements, or
// 0xFFFF when the parameter is no simple reference.
std::uint16_t checkReps(Compilation& c, std::uint32_t value, int role, int reps);
// Location word a variable-or-array parameter designates; 0 for constant 0.
std::uint16_t parameterLocation(Compilation& c, std::uint32_t value,
                                const char* label);
// True when the code at the operand is a lone constant.
bool isLoneConstant(const Compilation& c, std::uint32_t value);

char upcaseChar(char ch);
void upcaseText(std::string& text);

}  // namespace vk6
