// Text helpers every layer uses: the language's case folding and name
// comparison, character classes, and the limits of a source line.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

namespace vk6 {

// A source line is read into a buffer of this size, line end included.
constexpr std::size_t kLineBufferSize = 512;
// Delimiters of statement tokens.
constexpr const char* kStatementDelimiters = ",:() =\n\r\t>";

// Letters fold to upper case; names compare case-insensitively.
inline char upcaseChar(char ch) {
  return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
}
void upcaseText(std::string& text);

inline bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }

// Name comparison used by every keyword and name lookup: letters fold to
// upper case; `name` matches when it ends where `key` ends or reaches a
// blank there. A null or empty `name` never matches.
bool keywordCompare(const char* name, const char* key);
// As keywordCompare, but `name` must end exactly where `key` ends.
bool nameEquals(const char* name, const char* key);
// Letters of `name` folded to upper case, up to its end or, with
// `stopAtBlank`, its first blank. For a key that holds no blank,
// keywordCompare(name, key) is foldedName(name, true) == foldedName(key,
// false), and nameEquals likewise without the stop: so the growing tables
// can be searched through hashed folded names with the same answers.
std::string foldedName(const char* name, bool stopAtBlank);

// printf-style formatting into a string of any length.
std::string formatString(const char* format, ...)
    __attribute__((format(printf, 1, 2)));
std::string formatStringV(const char* format, va_list args);

// `text` up to its first carriage return or line feed. Messages quote
// statement text this way: the last statement of a line is read with the
// line end, which would break the message's own line.
std::string withoutLineEnd(const std::string& text);

}  // namespace vk6
