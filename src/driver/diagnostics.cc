#include "driver/diagnostics.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "driver/compilation.h"
#include "parse/instruction_table.h"

namespace vk6 {
namespace {

std::string formatText(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (length <= 0) return std::string();
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::vsnprintf(text.data(), text.size(), format, args);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

std::string formatLine(const char* format, ...)
    __attribute__((format(printf, 1, 2)));
std::string formatLine(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = formatText(format, args);
  va_end(args);
  return text;
}

// Separators are written only while they leave room for more text.
void appendSeparator(std::string& text) {
  if (text.size() + 3 < kDiagnosticTextSize) text += "\r\n";
}

bool budgetAllows(Compilation& c, std::size_t size) {
  const std::size_t limit = c.options.memoryLimit;
  return limit == 0 || c.diag.bytesAllocated + size <= limit;
}

}  // namespace

void reportError(Compilation& c, const char* format, ...) {
  Diagnostics& d = c.diag;
  std::string prefix;
  if (d.currentLine != 0) prefix = formatLine("line %d: ", d.currentLine);
  if (d.errorCount != 0 || d.warningCount != 0) {
    appendSeparator(d.errorText);
  } else {
    d.errorText.clear();
  }
  ++d.errorCount;
  va_list args;
  va_start(args, format);
  const std::string message = formatText(format, args);
  va_end(args);
  if (d.errorText.size() + prefix.size() + message.size() <
      kDiagnosticTextSize) {
    d.errorText += prefix;
    d.errorText += message;
  }
}

void reportWarning(Compilation& c, const char* format, ...) {
  Diagnostics& d = c.diag;
  if (!d.warningText.empty()) appendSeparator(d.warningText);
  va_list args;
  va_start(args, format);
  const std::string message = "Warning: " + formatText(format, args);
  va_end(args);
  ++d.warningCount;
  if (d.warningText.size() + message.size() < kDiagnosticTextSize)
    d.warningText += message;
}

void* trackedAlloc(Compilation& c, std::size_t size) {
  Diagnostics& d = c.diag;
  if (d.traceOn) {
    const int bytes = static_cast<int>(size);
    const std::string line =
        d.currentInstruction != 0
            ? formatLine("line %d: %s = %d\r\n", d.currentLine,
                         keywordAt(d.currentInstruction), bytes)
            : formatLine("line %d: %d\r\n", d.currentLine, bytes);
    while (d.memoryTrace.size() + line.size() >= d.traceCapacity)
      d.traceCapacity += kTraceGrowth;
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
