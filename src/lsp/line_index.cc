#include "lsp/line_index.h"

#include <algorithm>

namespace vk6::lsp {

namespace {

// Bytes of the UTF-8 sequence at the start of `text` and its UTF-16 units;
// a malformed sequence is one byte of one unit.
struct Sequence {
  std::size_t bytes;
  int units;
};

Sequence sequenceAt(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 && lead < 0xF8 ? 4
                     : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
  if (length == 0 || length > text.size()) return {1, 1};
  for (std::size_t i = 1; i < length; ++i)
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return {1, 1};
  return {length, length == 4 ? 2 : 1};
}

}  // namespace

int utf16Length(std::string_view text) {
  int units = 0;
  while (!text.empty()) {
    const Sequence s = sequenceAt(text);
    units += s.units;
    text.remove_prefix(s.bytes);
  }
  return units;
}

std::size_t bytesOfUnits(std::string_view text, int units) {
  std::size_t at = 0;
  while (at < text.size() && units > 0) {
    const Sequence s = sequenceAt(text.substr(at));
    units -= s.units;
    at += s.bytes;
  }
  return at;
}

LineIndex::LineIndex(std::string_view text) : text_(text) {
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n') starts_.push_back(i + 1);
}

std::size_t LineIndex::lineStart(int line) const {
  if (line < 0) return 0;
  return line < lineCount() ? starts_[static_cast<std::size_t>(line)] : text_.size();
}

std::string_view LineIndex::lineText(int line) const {
  if (line < 0 || line >= lineCount()) return {};
  const std::size_t begin = lineStart(line);
  std::size_t end = line + 1 < lineCount() ? lineStart(line + 1) - 1 : text_.size();
  if (end > begin && text_[end - 1] == '\r' && end < text_.size()) --end;
  return text_.substr(begin, end - begin);
}

Position LineIndex::positionOf(std::size_t offset) const {
  offset = std::min(offset, text_.size());
  const auto after = std::upper_bound(starts_.begin(), starts_.end(), offset);
  const int line = static_cast<int>(after - starts_.begin()) - 1;
  const std::size_t begin = starts_[static_cast<std::size_t>(line)];
  const std::string_view shown = lineText(line);
  const std::size_t within = std::min(offset - begin, shown.size());
  return {line, utf16Length(shown.substr(0, within))};
}

std::size_t LineIndex::offsetOf(Position p) const {
  if (p.line >= lineCount()) return text_.size();
  if (p.line < 0) return 0;
  return lineStart(p.line) + bytesOfUnits(lineText(p.line), p.character);
}

}  // namespace vk6::lsp
