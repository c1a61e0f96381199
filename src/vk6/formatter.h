// Lays a program's text out: indentation by block, keywords in their
// canonical spelling, no trailing blanks. Comments, string literals and
// line ends stay as they are, and the program compiles to the same image
// (but for its signatures) before and after. Used by vk6fmt and by the
// language server's formatting request.
#pragma once

#include <string>
#include <string_view>

#include "core/options.h"

namespace vk6 {

struct FormatOptions {
  int tabSize = 2;          // columns of one indentation step
  bool insertSpaces = true;  // false: one tab per step
  // The model the program is compiled for to check that formatting keeps
  // its image; the larger model by default, which accepts every
  // instruction.
  std::string model = kModelStrings[0];
};

// The formatted text; `text` itself when nothing changes. A program that
// does not compile gets its indentation and trailing blanks mended only;
// a layout that would change a compiled program's image is not made (the
// respelling goes first, then the whole layout).
std::string formatProgram(std::string_view text, const FormatOptions& options = {});

// What formatProgram makes of `text` before its check against the
// compiler: the indentation, the trailing blanks and, with `respell`, the
// keywords' spelling. The tests call it to show the check never needed.
std::string layOutProgram(std::string_view text, const FormatOptions& options, bool respell);

}  // namespace vk6
