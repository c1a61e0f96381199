// Helpers shared by the communication handlers.
#pragma once

#include <cstdint>
#include <vector>

#include "format/operand_word.h"

namespace vk6 {

struct Compilation;
class RecordBuilder;

// Compile-time value of a compiled parameter, truncated toward zero; 0 when
// the evaluator gives no value, the integer minimum when it does not fit.
std::int32_t evaluateInteger(Compilation& c, std::uint32_t operand);

// The element count of a location word.
inline int elementsOf(std::uint16_t location) { return locationCount(location); }

// Appends `bytes` to the record as they are.
void appendBytes(RecordBuilder& r, const std::vector<std::uint8_t>& bytes);

// Reports "<keyword> is not accepted, requires different OS version" in
// the build for the model without a satellite transmitter.
void refuseWithoutGoes(Compilation& c, const char* keyword);

}  // namespace vk6
