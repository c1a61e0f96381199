// The data-table list as far as expressions need it: resolving a
// Table.Field name into table and field numbers.
#pragma once

#include <cstdint>
#include <string>

namespace vk6 {

struct Compilation;

constexpr std::uint16_t kPublicTableNumber = 0xFFFF;
constexpr std::uint16_t kStatusTableNumber = 0xFFFE;
constexpr std::int32_t kNoElement = static_cast<std::int32_t>(0x80000000u);

// Resolves `name` ("Table.Field"), with an element number or kNoElement,
// into the table and field numbers of a resolved table-field reference.
// `flag` 1 is the evaluator's first resolution. Reports what it cannot
// resolve.
void resolveTableField(Compilation& c, const std::string& name,
                       std::int32_t element, int flag, std::uint16_t& table,
                       std::uint16_t& field);

}  // namespace vk6
