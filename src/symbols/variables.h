// The variable table: declared variables and arrays in declaration order,
// each with its place in the logger's 254-location variable memory, and the
// operand words by which compiled records refer to expressions, variables
// and array elements.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/text.h"

#include "symbols/variables_state.h"

namespace vk6 {

struct Compilation;

constexpr std::size_t kMaxNameLength = 16;
constexpr std::uint8_t kFloatDataType = 9;
constexpr int kDeclareLookup = 0;
constexpr int kDeclareDim = 9;
constexpr int kDeclarePublic = 10;

// Declares (kind 9 or 10) or looks up (kind 0) the variable named at the
// start of `text`. Returns its index in the table, or -1 for an undeclared
// name (reported as "undeclared variable %s").
int declareVariable(Compilation& c, std::int32_t count, std::string_view text,
                    int kind);
// Index of the named variable's record, or -1; no message.
int findVariable(const Compilation& c, std::string_view name);
int findVariable(const Compilation& c, const HashedName& name);
// Position of variable `index` among the public variables in table order,
// or -1 when it is not public.
int publicPosition(Compilation& c, int index);
// Location word of the named variable, or kNoOperand.
std::uint16_t findVariableLocation(const Compilation& c, std::string_view name);
// Name of the variable with exactly this location word, or " ".
std::string variableNameAt(Compilation& c, std::uint16_t location);

}  // namespace vk6
