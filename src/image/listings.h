// The optional outputs that describe the data tables of a successful
// compile: a text listing for people (-l) and a byte copy of the
// table-definition block for tools (-z).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "format/byte_io.h"

namespace vk6 {

struct ListingField {
  std::string name;
  int count = 1;
  int subDimension = 0;
  int firstIndex = 1;
  std::string units;
};

struct ListingTable {
  std::string name;
  std::int32_t interval = 0;
  std::uint8_t flags = 0;
  std::vector<ListingField> fields;
};

constexpr std::uint8_t kTableHasInterval = 1;  // the table flags' interval bit

// The listing text of the tables (the first, the status table, is never
// listed).
std::string tableListingText(const std::vector<ListingTable>& tables);
// The table-definition file: one 0x01 byte, then the block.
Bytes definitionFileBytes(const Bytes& block);

}  // namespace vk6
