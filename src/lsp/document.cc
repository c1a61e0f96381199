#include "lsp/document.h"

namespace vk6::lsp {

void Document::setText(std::string text, int version) {
  text_ = std::move(text);
  version_ = version;
  index_ = LineIndex(text_);
  lines_.clear();
  lines_.reserve(static_cast<std::size_t>(index_.lineCount()));
  for (int line = 0; line < index_.lineCount(); ++line) lines_.push_back(index_.lineText(line));
  result_ = {};
  compiled_ = false;
}

void Document::setResult(CompileResult result) {
  result_ = std::move(result);
  compiled_ = true;
}

}  // namespace vk6::lsp
