// The expression area's contents: compiled expression code and constant
// blocks, and the deferred expressions.
#pragma once

#include <cstdint>
#include <vector>

namespace vk6 {

struct DeferredExpression {
  std::vector<std::uint16_t> code;  // the code words, ending in 39
  std::uint16_t lengthBytes = 0;    // code length in bytes + 4, shrinks on rewrite
};

struct ExpressionArea {
  std::vector<std::uint8_t> bytes;
  std::vector<DeferredExpression> deferred;
  bool full = false;  // the size error has been reported
};

}  // namespace vk6
