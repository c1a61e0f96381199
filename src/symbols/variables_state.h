// The variable table: declared variables and arrays in declaration order,
// each with its place in the logger's variable memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/text.h"
#include "format/operand_word.h"  // locationFirst

namespace vk6 {

constexpr int kVariableLocations = 254;

// Every variable holds 4-byte floats (kFloatDataType).
struct VariableRecord {
  std::int32_t elementCount = 0;
  std::string name;  // at most 16 (17 after an over-long declaration)
  std::uint16_t location = 0;  // low byte first index, high byte count
  std::int32_t publicKind = 0;  // 0 DIM, 10 PUBLIC
  int line = 0;                 // of the first declaration
  // Among the public variables in table order; valid while the table's
  // publicRanksStale is false.
  int publicRank = -1;

  int firstIndex() const { return locationFirst(location); }
};

struct VariableTable {
  std::vector<VariableRecord> records;
  // Name -> index of its record, letters folded; names are unique and hold
  // no blank.
  FoldedMap<std::size_t> byName;
  // Location word -> first record of it, over the first `locatedCount`
  // records; extended only when a message names a variable by location.
  std::unordered_map<std::uint16_t, std::size_t> byLocation;
  std::size_t locatedCount = 0;
  std::int32_t totalElements = 0;
  int publicCount = 0;
  // Set when a variable turns public after later ones were declared public.
  bool publicRanksStale = false;
};

}  // namespace vk6
