#include "core/diagnostics.h"

#include <cstdarg>
#include <string_view>
#include <utility>

#include "core/compilation.h"
#include "core/text.h"

namespace vk6 {
namespace {

constexpr std::string_view kWarningPrefix = "Warning: ";

// Separators are written only while they leave room for more text.
void appendSeparator(std::string& text) {
  if (text.size() + 3 < kDiagnosticTextSize) text += "\r\n";
}

void addRecord(Diagnostics& d, Severity severity, std::string message) {
  d.records.push_back({severity, d.currentLine, std::move(message),
                       d.currentKeyword != nullptr ? d.currentKeyword : ""});
}

}  // namespace

void appendErrorText(std::string& text, bool firstMessage,
                     const std::string& message) {
  if (firstMessage) {
    text.clear();
  } else {
    appendSeparator(text);
  }
  if (text.size() + message.size() < kDiagnosticTextSize) text += message;
}

void reportError(Compilation& c, const char* format, ...) {
  Diagnostics& d = c.diag;
  va_list args;
  va_start(args, format);
  std::string message = formatStringV(format, args);
  va_end(args);
  const std::string prefix =
      d.currentLine != 0 ? formatString("line %d: ", d.currentLine) : std::string();
  appendErrorText(d.errorText, d.errorCount == 0 && d.warningCount == 0,
                  prefix + message);
  ++d.errorCount;
  addRecord(d, Severity::kError, std::move(message));
}

void reportWarning(Compilation& c, const char* format, ...) {
  Diagnostics& d = c.diag;
  if (!d.warningText.empty()) appendSeparator(d.warningText);
  va_list args;
  va_start(args, format);
  std::string message = formatStringV(format, args);
  va_end(args);
  ++d.warningCount;
  if (d.warningText.size() + message.size() + kWarningPrefix.size() <
      kDiagnosticTextSize) {
    d.warningText += kWarningPrefix;
    d.warningText += message;
  }
  addRecord(d, Severity::kWarning, std::move(message));
}

}  // namespace vk6
