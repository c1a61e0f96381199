#include "core/diagnostics.h"

#include <cstdarg>
#include <cstdio>

#include "core/compilation.h"
#include "core/text.h"

namespace vk6 {
namespace {

// Separators are written only while they leave room for more text.
void appendSeparator(std::string& text) {
  if (text.size() + 3 < kDiagnosticTextSize) text += "\r\n";
}

}  // namespace

void reportError(Compilation& c, const char* format, ...) {
  Diagnostics& d = c.diag;
  std::string prefix;
  if (d.currentLine != 0) prefix = formatString("line %d: ", d.currentLine);
  if (d.errorCount != 0 || d.warningCount != 0) {
    appendSeparator(d.errorText);
  } else {
    d.errorText.clear();
  }
  ++d.errorCount;
  va_list args;
  va_start(args, format);
  const std::string message = formatStringV(format, args);
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
  const std::string message = "Warning: " + formatStringV(format, args);
  va_end(args);
  ++d.warningCount;
  if (d.warningText.size() + message.size() < kDiagnosticTextSize)
    d.warningText += message;
}

}  // namespace vk6
