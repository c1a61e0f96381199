#include "core/memory.h"

#include <cstdlib>

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "core/text.h"

namespace vk6 {
namespace {

bool budgetAllows(Compilation& c, std::size_t size) {
  const std::size_t limit = c.options.memoryLimit;
  return limit == 0 || c.diag.bytesAllocated + size <= limit;
}

}  // namespace

void* trackedAlloc(Compilation& c, std::size_t size) {
  Diagnostics& d = c.diag;
  if (d.traceOn) {
    const int bytes = static_cast<int>(size);
    const std::string line =
        d.currentKeyword != nullptr
            ? formatString("line %d: %s = %d\r\n", d.currentLine,
                           d.currentKeyword, bytes)
            : formatString("line %d: %d\r\n", d.currentLine, bytes);
    d.memoryTrace += line;
  }
  void* block = budgetAllows(c, size) ? std::malloc(size == 0 ? 1 : size)
                                      : nullptr;
  if (block == nullptr) {
    reportError(c, "out of memory");
    d.outOfMemory = true;
    return nullptr;
  }
  d.bytesAllocated += size;
  return block;
}

void* trackedResize(Compilation& c, void* block, std::size_t size) {
  void* resized =
      budgetAllows(c, size) ? std::realloc(block, size == 0 ? 1 : size)
                            : nullptr;
  if (resized == nullptr) {
    reportError(c, "out of memory");
    c.diag.outOfMemory = true;
    return nullptr;
  }
  c.diag.bytesAllocated += size;
  return resized;
}

}  // namespace vk6
