// Operand words of compiled parameters: a statement record holds, for each
// expression parameter, the offset of its code in the expression area (or a
// deferred expression's number); handlers resolve and write these words and
// check what they designate.
#pragma once

#include <cstdint>

namespace vk6 {

struct Compilation;
class RecordBuilder;

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
// kNoOperand when the parameter is no simple reference.
std::uint16_t checkReps(Compilation& c, std::uint32_t value, int role, int reps);
// Location word a variable-or-array parameter designates; 0 for constant 0.
std::uint16_t parameterLocation(Compilation& c, std::uint32_t value,
                                const char* label);
// True when the code at the operand is a lone constant.
bool isLoneConstant(const Compilation& c, std::uint32_t value);

}  // namespace vk6
