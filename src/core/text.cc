#include "core/text.h"

#include <cstdio>

namespace vk6 {
namespace {

// Shared walk of keywordCompare and nameEquals.
bool compareNames(const char* name, const char* key, bool stopAtBlank) {
  if (name == nullptr || key == nullptr || name[0] == '\0') return false;
  std::size_t i = 0;
  for (; key[i] != '\0'; ++i) {
    if (upcaseChar(name[i]) != upcaseChar(key[i])) return false;
  }
  return name[i] == '\0' || (stopAtBlank && name[i] == ' ');
}

}  // namespace

void upcaseText(std::string& text) {
  for (char& ch : text) ch = upcaseChar(ch);
}

bool keywordCompare(const char* name, const char* key) {
  return compareNames(name, key, true);
}

bool nameEquals(const char* name, const char* key) {
  return compareNames(name, key, false);
}

std::string foldedName(const char* name, bool stopAtBlank) {
  std::string key;
  if (name == nullptr) return key;
  for (std::size_t i = 0; name[i] != '\0' && !(stopAtBlank && name[i] == ' '); ++i)
    key.push_back(upcaseChar(name[i]));
  return key;
}

std::string formatStringV(const char* format, va_list args) {
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

std::string formatString(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = formatStringV(format, args);
  va_end(args);
  return text;
}

}  // namespace vk6
