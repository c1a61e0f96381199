// One open document: its text, the editor's version of it and, once
// compiled, the compile result for that text and the server's model.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lsp/line_index.h"
#include "vk6/compiler.h"

namespace vk6::lsp {

class Document {
 public:
  explicit Document(std::string text, int version = 0) { setText(std::move(text), version); }
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  void setText(std::string text, int version);
  const std::string& text() const { return text_; }
  int version() const { return version_; }
  const LineIndex& index() const { return index_; }
  // Every line without its line end, from line 0.
  const std::vector<std::string_view>& lines() const { return lines_; }

  // True while the result belongs to the text.
  bool compiled() const { return compiled_; }
  void setResult(CompileResult result);
  const CompileResult& result() const { return result_; }
  // The names of the newest compile; while the text fails to compile,
  // with those of the last clean compile it lacks (a failed compile stops
  // before it learns the tables, and a half-typed line fails it).
  const ProgramSymbols& symbols() const { return known_; }

 private:
  std::string text_;
  int version_ = 0;
  LineIndex index_;
  std::vector<std::string_view> lines_;
  CompileResult result_;
  ProgramSymbols known_;
  ProgramSymbols lastClean_;
  bool compiled_ = false;
};

}  // namespace vk6::lsp
