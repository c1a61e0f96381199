// The constant table: the predefined constants, then the declared ones.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/text.h"

namespace vk6 {

struct ConstantRecord {
  std::string name;  // at most 16 characters
  float value = 0.0f;
  int line = 0;  // of the CONST; 0 for the predefined
};

struct ConstantTable {
  std::vector<ConstantRecord> records;
  std::size_t predefinedCount = 0;  // records before this are predefined
  // Name of a declared constant -> indices of its records in order; a
  // clashing CONST is still recorded, so a name can have several. Names
  // hold no blank. The predefined ones are found by a table of their own.
  FoldedMap<std::vector<std::size_t>> byName;
};

}  // namespace vk6
