#include "image/listings.h"

#include <algorithm>
#include <cstdlib>


namespace vk6 {

std::string tableListingText(std::span<const TableDescriptor> tables) {
  std::string text;
  for (std::size_t t = 1; t < tables.size(); ++t) {
    const TableDescriptor& table = tables[t];
    if (table.name.empty()) continue;
    text += std::string(52, '-') + "\r\n";
    text += "Table: " + table.name + "\r\n";
    // A negative interval, kept as its 32-bit pattern, is listed by its size.
    const auto interval = static_cast<std::int32_t>(table.interval);
    if (interval != 0 && (table.flags & kTableFlagInterval) != 0) {
      text += "Interval: " + std::to_string(std::llabs(interval)) + " Seconds\r\n";
    } else {
      text += "Interval: Event\r\n";
    }
    text += "Fields:\r\n";
    for (const FieldDescriptor& field : table.fields) {
      for (int j = field.firstIndex; j < field.firstIndex + field.count; ++j) {
        text += " " + field.name;
        if (field.subDimension > 1) text += "(" + std::to_string(j) + ")";
        if (!field.units.empty()) text += "\tUnits: " + field.units;
        text += "\r\n";
      }
    }
    text += "\r\n";
  }
  return text;
}

Bytes definitionFileBytes(const Bytes& block) {
  Bytes bytes(block.size() + 1, definitions::kLeadingByte);
  std::copy(block.begin(), block.end(), bytes.begin() + 1);
  return bytes;
}

}  // namespace vk6
