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

namespace {

template <typename List>
void keepMissing(List& now, const List& before) {
  const std::size_t count = now.size();
  for (const auto& old : before) {
    bool found = false;
    for (std::size_t i = 0; i < count && !found; ++i) found = now[i].name == old.name;
    if (!found) now.push_back(old);
  }
}

}  // namespace

void Document::setResult(CompileResult result) {
  ProgramSymbols known = result.symbols;
  if (result.errorCount == 0) {
    lastClean_ = result.symbols;
  } else {
    keepMissing(known.variables, lastClean_.variables);
    keepMissing(known.constants, lastClean_.constants);
    keepMissing(known.aliases, lastClean_.aliases);
    keepMissing(known.units, lastClean_.units);
    keepMissing(known.subroutines, lastClean_.subroutines);
    keepMissing(known.tables, lastClean_.tables);
  }
  known_ = std::move(known);
  result_ = std::move(result);
  compiled_ = true;
}

}  // namespace vk6::lsp
