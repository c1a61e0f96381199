// Tracked allocation: the compiler's own blocks are counted against the
// test hook's budget and, with -m, traced one line each. Counters and the
// trace live in the diagnostics, which report a failed allocation.
#pragma once

#include <cstddef>

namespace vk6 {

struct Compilation;

// Allocates a block (released with std::free), adding a memory-trace line
// when the trace is on. Reports "out of memory" and returns null on failure.
void* trackedAlloc(Compilation& c, std::size_t size);
// Resizes a block from trackedAlloc; reports "out of memory" and returns null
// on failure (the old block then stays valid). Writes no trace line.
void* trackedResize(Compilation& c, void* block, std::size_t size);

}  // namespace vk6
