#include "symbols/tables.h"

#include "driver/compilation.h"

namespace vk6 {

// Filled in with the data tables; until then no field resolves.
void resolveTableField(Compilation& c, const std::string& name, std::int32_t,
                       int, std::uint16_t& table, std::uint16_t& field) {
  reportError(c, "Invalid table field %s.", name.c_str());
  table = kPublicTableNumber;
  field = 0;
}

}  // namespace vk6
