// Errors, warnings and tracked allocation. Every check of the compiler
// reports here and goes on; the texts are bounded the way the logger's
// tools expect (511 characters each), and messages that do not fit are
// dropped but still counted, so a dropped error still fails the compile.
#pragma once

#include <cstddef>
#include <string>

namespace vk6 {

struct Compilation;

constexpr std::size_t kDiagnosticTextSize = 512;
constexpr std::size_t kTraceGrowth = 1024;

struct Diagnostics {
  int errorCount = 0;
  int warningCount = 0;
  int currentLine = 0;         // 0 = messages carry no line prefix
  int currentInstruction = 0;  // instruction-table index being handled
  std::string errorText;       // at most kDiagnosticTextSize - 1 characters
  std::string warningText;     // at most kDiagnosticTextSize - 1 characters
  bool traceOn = false;
  std::string memoryTrace;
  std::size_t traceCapacity = kTraceGrowth;
  std::size_t bytesAllocated = 0;
  // Set once an allocation has failed; the passes stop safely after it.
  bool outOfMemory = false;
};

void reportError(Compilation& c, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
void reportWarning(Compilation& c, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// Allocates a block (released with std::free), adding a memory-trace line
// when the trace is on. Reports "out of memory" and returns null on failure.
void* trackedAlloc(Compilation& c, std::size_t size);
// Resizes a block from trackedAlloc; reports "out of memory" and returns null
// on failure (the old block then stays valid). Writes no trace line.
void* trackedResize(Compilation& c, void* block, std::size_t size);

}  // namespace vk6
