// The alias and units tables, in declaration order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/text.h"

namespace vk6 {

struct AliasRecord {
  std::string aliasedText;  // at most 21 characters
  std::string name;         // at most 16 characters
  std::int32_t location = 0;
  std::int32_t elementCount = 0;
  int line = 0;  // of the Alias statement
};

struct UnitsRecord {
  std::string name;   // at most 21 characters
  std::string units;  // at most 16 characters
  int line = 0;       // of the Units statement
};

struct AliasTables {
  std::vector<AliasRecord> aliases;
  std::vector<UnitsRecord> units;
  // Units name -> position of the first record of the name, letters
  // folded; empty names are left out.
  FoldedMap<std::size_t> unitsByName;
  // Positions in `aliases` by alias name and by aliased text, letters
  // folded, ascending; they cover the first `indexedCount` records and
  // are rebuilt when the table is reordered.
  FoldedMap<std::vector<std::size_t>> byName;
  FoldedMap<std::vector<std::size_t>> byText;
  std::size_t indexedCount = 0;
};

}  // namespace vk6
