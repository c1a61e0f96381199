#include "image/listings.h"

#include <algorithm>
#include <cstdlib>

namespace vk6 {

std::string tableListingText(const std::vector<ListingTable>& tables) {
  std::string text;
  for (std::size_t t = 1; t < tables.size(); ++t) {
    const ListingTable& table = tables[t];
    if (table.name.empty()) continue;
    text += std::string(52, '-') + "\r\n";
    text += "Table: " + table.name + "\r\n";
    if (table.interval != 0 && (table.flags & kTableHasInterval) != 0) {
      text += "Interval: " + std::to_string(std::llabs(table.interval)) +
              " Seconds\r\n";
    } else {
      text += "Interval: Event\r\n";
    }
    text += "Fields:\r\n";
    for (const ListingField& field : table.fields) {
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
  Bytes bytes(block.size() + 1, 0x01);
  std::copy(block.begin(), block.end(), bytes.begin() + 1);
  return bytes;
}

}  // namespace vk6
