// What the server needs to know of a program's text beyond the compile
// result: where on a line the names stand (outside comments and string
// literals, which the compiler never reads as names), where statements
// start, and the blocks a line leaves open. The meaning of every name
// still comes from the compile.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vk6::lsp {

// A run of bytes within one line.
struct Span {
  std::size_t begin = 0;
  std::size_t end = 0;
};

// The line up to its first apostrophe: the compiler cuts the comment
// there even inside a string literal.
std::string_view codeOf(std::string_view line);

// The names of a line's code outside string literals, in order.
std::vector<Span> namesOf(std::string_view line);

// The statements of a line's code: its text cut at each colon outside a
// string literal.
std::vector<Span> statementsOf(std::string_view line);

// The name at or just before byte `at` of `line`, if any.
bool nameAt(std::string_view line, std::size_t at, Span* name);

bool equalsFolded(std::string_view a, std::string_view b);
std::string folded(std::string_view text);

// True when `statement` of `line` (whose names are `names`) is an If with
// statements after its Then on the same line.
bool isSingleLineIf(std::string_view line, Span statement, const std::vector<Span>& names);

// The blocks the compiler matches: opener and closer.
enum class BlockKind { kNone, kFor, kDo, kIf, kSub, kTable, kScan };

struct Block {
  BlockKind kind;
  int line;       // of the opener, from 0
  Span keyword;   // the opener's keyword
  int endLine;    // of the closer; -1 while open at the end
};

// The blocks of `lines` in the order they open. A closer closes the
// innermost open block of its kind.
std::vector<Block> blocksOf(const std::vector<std::string_view>& lines);

}  // namespace vk6::lsp
