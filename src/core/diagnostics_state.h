// The state of error and warning reporting: the counts, the bounded
// results texts and one record per message (core/diagnostics.h reports
// into it).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vk6 {

constexpr std::size_t kDiagnosticTextSize = 512;

enum class Severity { kError, kWarning };

// One message as reported.
struct Diagnostic {
  Severity severity = Severity::kError;
  int line = 0;          // 0 when the message belongs to no source line
  std::string message;   // without "line N: " and "Warning: "
  std::string keyword;   // the instruction compiled in pass 2, else empty
};

constexpr std::size_t kMaxDiagnosticRecords = 10000;

struct Diagnostics {
  int errorCount = 0;
  int warningCount = 0;
  int currentLine = 0;  // 0 = messages carry no line prefix
  // Keyword of the instruction being handled in pass 2, for the memory
  // trace and the records; null outside pass 2 and for the end record.
  const char* currentKeyword = nullptr;
  std::string errorText;       // at most kDiagnosticTextSize - 1 characters
  std::string warningText;     // at most kDiagnosticTextSize - 1 characters
  // Every message in report order, up to kMaxDiagnosticRecords; a program
  // that declares one name again and again draws messages by the square of
  // its size, and those past the limit are only counted.
  std::vector<Diagnostic> records;
  std::size_t recordLimit = kMaxDiagnosticRecords;  // 0: only the texts are kept
  std::size_t omittedRecords = 0;
  bool traceOn = false;
  std::string memoryTrace;
  std::size_t bytesAllocated = 0;
  // Set once an allocation has failed; the passes stop safely after it.
  bool outOfMemory = false;
};

}  // namespace vk6
