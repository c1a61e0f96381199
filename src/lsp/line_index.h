// Converts between byte offsets of a document and the (line, UTF-16
// column) positions of the editor protocol. Lines end at a line feed only,
// as the compiler counts them; a carriage return before it belongs to the
// line's end. Bytes that are no valid UTF-8 count one column each.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace vk6::lsp {

struct Position {
  int line = 0;       // from 0
  int character = 0;  // UTF-16 code units from the line's start
  bool operator==(const Position&) const = default;
};

class LineIndex {
 public:
  LineIndex() = default;
  explicit LineIndex(std::string_view text);

  int lineCount() const { return static_cast<int>(starts_.size()); }
  // Byte offset of the line's first byte; the text's size past the last.
  std::size_t lineStart(int line) const;
  // The line without its line end; empty for a line outside the text.
  std::string_view lineText(int line) const;

  Position positionOf(std::size_t offset) const;
  // The offset of `p`, clamped to its line's text and to the document.
  std::size_t offsetOf(Position p) const;
  // Position just past the last byte.
  Position end() const { return positionOf(text_.size()); }

 private:
  std::string_view text_;
  std::vector<std::size_t> starts_{0};
};

// UTF-16 units of the UTF-8 bytes of `text`.
int utf16Length(std::string_view text);
// Bytes of `text` taken by its first `units` UTF-16 units (all of it when
// the text is shorter).
std::size_t bytesOfUnits(std::string_view text, int units);

}  // namespace vk6::lsp
