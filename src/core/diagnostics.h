// Errors and warnings. Every check of the compiler reports here and goes
// on; the texts are bounded the way the logger's tools expect (511
// characters each), and messages that do not fit are dropped but still
// counted, so a dropped error still fails the compile.
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
  int currentLine = 0;  // 0 = messages carry no line prefix
  // Keyword of the instruction being handled in pass 2, for the memory
  // trace; null outside pass 2 and for the end record.
  const char* currentKeyword = nullptr;
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

}  // namespace vk6
