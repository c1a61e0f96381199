// Errors and warnings. Every check of the compiler reports here and goes
// on. Each message is kept twice: in the results texts, bounded the way
// the logger's tools expect (511 characters each; messages that do not
// fit are dropped but still counted, so a dropped error still fails the
// compile), and as a record of its own, unbounded, for tools that show
// messages one by one.
#pragma once

#include <cstddef>
#include <string>

#include "core/diagnostics_state.h"

namespace vk6 {

struct Compilation;

void reportError(Compilation& c, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
void reportWarning(Compilation& c, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
// Reports a message formatted already, as reportError does: for one
// message reported again and again.
void reportErrorMessage(Compilation& c, std::string message);
// True once no further error can join the results text or the records:
// one reported from then on is only counted, so a caller that would
// report many may count them at once with countErrors.
bool errorsOnlyCounted(const Compilation& c);
// REQUIRES: errorsOnlyCounted(c).
void countErrors(Compilation& c, std::size_t count);

// Adds `message`, "line N: " prefix included, to an error text as
// reportError does: after a separator unless it is the run's first
// message, and only while it fits. Front ends use it for errors of their
// own that must read as the compiler's.
void appendErrorText(std::string& text, bool firstMessage,
                     const std::string& message);

}  // namespace vk6
