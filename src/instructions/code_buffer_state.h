// The code buffer's contents: compiled records in program order.
#pragma once

#include "format/byte_io.h"

namespace vk6 {

struct CodeBuffer {
  Bytes bytes;
  bool tooLongReported = false;
};

}  // namespace vk6
