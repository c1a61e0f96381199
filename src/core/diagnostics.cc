#include "core/diagnostics.h"

#include <cstdarg>
#include <algorithm>
#include <cstdio>
#include <limits>
#include <string_view>
#include <utility>

#include "core/compilation.h"
#include "core/text.h"

namespace vk6 {
namespace {

constexpr std::string_view kWarningPrefix = "Warning: ";
constexpr std::size_t kLinePrefixSize = 24;  // "line " and any int, ": "
constexpr std::size_t kRecordsBeforeFullCapacity = 2048;

// One vsnprintf for the messages that fit the capped texts, which are
// nearly all of them; longer ones are measured and formatted again.
std::string formatMessage(const char* format, va_list args) {
  char buffer[kDiagnosticTextSize];
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(buffer, sizeof buffer, format, copy);
  va_end(copy);
  if (length < 0) return std::string();
  if (static_cast<std::size_t>(length) < sizeof buffer)
    return std::string(buffer, static_cast<std::size_t>(length));
  return formatStringV(format, args);
}

// Separators are written only while they leave room for more text.
void appendSeparator(std::string& text) {
  if (text.size() + 3 < kDiagnosticTextSize) text += "\r\n";
}

// `prefix` + `message` joins `text` only while it fits; a message that no
// longer fits is dropped without being built.
void appendMessage(std::string& text, std::string_view prefix,
                   std::string_view message) {
  if (text.size() + prefix.size() + message.size() < kDiagnosticTextSize) {
    text += prefix;
    text += message;
  }
}

// True once a message of `text` can change neither `text` nor the records:
// no room for a separator and, with a prefix due, none for a message.
bool onlyCounted(const Diagnostics& d, const std::string& text, bool prefixed) {
  const std::size_t room = kDiagnosticTextSize - 1 - text.size();
  return d.records.size() >= d.recordLimit && room < 3 &&
         (prefixed || room == 0);
}

void addRecord(Diagnostics& d, Severity severity, std::string&& message) {
  if (d.records.size() >= d.recordLimit) {
    ++d.omittedRecords;
    return;
  }
  // A program with this many messages is most likely declaring one name
  // again and again and will reach the limit: taking the whole capacity
  // now saves moving the records at every doubling, and the room the last
  // doubling would have wasted.
  if (d.records.size() == kRecordsBeforeFullCapacity)
    d.records.reserve(d.recordLimit);
  Diagnostic& record = d.records.emplace_back();
  record.severity = severity;
  record.line = d.currentLine;
  record.message = std::move(message);
  if (d.currentKeyword != nullptr) record.keyword = d.currentKeyword;
}

}  // namespace

void appendErrorText(std::string& text, bool firstMessage,
                     const std::string& message) {
  if (firstMessage) {
    text.clear();
  } else {
    appendSeparator(text);
  }
  appendMessage(text, {}, message);
}

bool errorsOnlyCounted(const Compilation& c) {
  return onlyCounted(c.diag, c.diag.errorText, c.diag.currentLine != 0);
}

void countErrors(Compilation& c, std::size_t count) {
  // One declaration repeated some 66,000 times draws more messages than an
  // int holds: the count stops at the largest, still a failed compile.
  const auto room =
      static_cast<std::size_t>(std::numeric_limits<int>::max() - c.diag.errorCount);
  c.diag.errorCount += static_cast<int>(std::min(count, room));
  c.diag.omittedRecords += count;
}

void reportErrorMessage(Compilation& c, std::string message) {
  Diagnostics& d = c.diag;
  if (d.errorCount == 0 && d.warningCount == 0) {
    d.errorText.clear();
  } else {
    appendSeparator(d.errorText);
  }
  // The prefix is written only for a message that may still fit.
  char prefix[kLinePrefixSize];
  int prefixSize = 0;
  if (d.currentLine != 0 && d.errorText.size() + message.size() < kDiagnosticTextSize)
    prefixSize = std::snprintf(prefix, sizeof prefix, "line %d: ", d.currentLine);
  appendMessage(d.errorText,
                std::string_view(prefix, static_cast<std::size_t>(prefixSize)), message);
  ++d.errorCount;
  addRecord(d, Severity::kError, std::move(message));
}

void reportError(Compilation& c, const char* format, ...) {
  if (errorsOnlyCounted(c)) {
    countErrors(c, 1);
    return;
  }
  va_list args;
  va_start(args, format);
  std::string message = formatMessage(format, args);
  va_end(args);
  reportErrorMessage(c, std::move(message));
}

void reportWarning(Compilation& c, const char* format, ...) {
  Diagnostics& d = c.diag;
  if (onlyCounted(d, d.warningText, true)) {
    ++d.warningCount;
    ++d.omittedRecords;
    return;
  }
  if (!d.warningText.empty()) appendSeparator(d.warningText);
  va_list args;
  va_start(args, format);
  std::string message = formatMessage(format, args);
  va_end(args);
  ++d.warningCount;
  appendMessage(d.warningText, kWarningPrefix, message);
  addRecord(d, Severity::kWarning, std::move(message));
}

}  // namespace vk6
