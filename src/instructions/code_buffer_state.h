// The code buffer's contents: compiled records in program order.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "format/byte_io.h"

namespace vk6 {

struct CodeBuffer {
  Bytes bytes;
  bool tooLongReported = false;
  // Asked for by an inspector: each record's offset and the source line
  // it was compiled from, in code order.
  bool keepLines = false;
  std::vector<std::pair<std::size_t, int>> lines;
};

}  // namespace vk6
