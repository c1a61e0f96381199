// Lays a program's text out: indentation by block, keywords in their
// canonical spelling, no trailing blanks. Comments, string literals and
// line ends stay as they are, and the program compiles to the same image
// (but for its signatures) before and after. Used by vk6fmt and by the
// language server's formatting request.
#pragma once

#include <string>
#include <string_view>

namespace vk6 {

struct FormatOptions {
  int tabSize = 2;          // columns of one indentation step
  bool insertSpaces = true;  // false: one tab per step
};

// The formatted text; `text` itself when nothing changes.
std::string formatProgram(std::string_view text, const FormatOptions& options = {});

}  // namespace vk6
