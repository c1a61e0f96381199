// Errors and warnings. Every check of the compiler reports here and goes
// on. Each message is kept twice: in the results texts, bounded the way
// the logger's tools expect (511 characters each; messages that do not
// fit are dropped but still counted, so a dropped error still fails the
// compile), and as a record of its own, unbounded, for tools that show
// messages one by one.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vk6 {

struct Compilation;

constexpr std::size_t kDiagnosticTextSize = 512;

enum class Severity { kError, kWarning };

// One message as reported.
struct Diagnostic {
  Severity severity = Severity::kError;
  int line = 0;          // 0 when the message belongs to no source line
  std::string message;   // without "line N: " and "Warning: "
  std::string keyword;   // the instruction compiled in pass 2, else empty
};

struct Diagnostics {
  int errorCount = 0;
  int warningCount = 0;
  int currentLine = 0;  // 0 = messages carry no line prefix
  // Keyword of the instruction being handled in pass 2, for the memory
  // trace and the records; null outside pass 2 and for the end record.
  const char* currentKeyword = nullptr;
  std::string errorText;       // at most kDiagnosticTextSize - 1 characters
  std::string warningText;     // at most kDiagnosticTextSize - 1 characters
  std::vector<Diagnostic> records;  // every message, in report order
  bool traceOn = false;
  std::string memoryTrace;
  std::size_t bytesAllocated = 0;
  // Set once an allocation has failed; the passes stop safely after it.
  bool outOfMemory = false;
};

void reportError(Compilation& c, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
void reportWarning(Compilation& c, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// Adds `message`, "line N: " prefix included, to an error text as
// reportError does: after a separator unless it is the run's first
// message, and only while it fits. Front ends use it for errors of their
// own that must read as the compiler's.
void appendErrorText(std::string& text, bool firstMessage,
                     const std::string& message);

}  // namespace vk6
