// Hand-built statement records and operands for the communication tests,
// so each handler can be driven with exactly the parameters a case needs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/compilation.h"
#include "parse/instruction_table.h"
#include "symbols/constants.h"
#include "symbols/expression_area.h"
#include "symbols/variables.h"
#include "test_support.h"

namespace vk6::test {

// A statement record: header, then the slots and texts given in order.
class RecordMaker {
 public:
  explicit RecordMaker(InstructionIndex index) : index_(index) { words_.push_back(0); }
  RecordMaker& word(std::uint32_t w) {
    words_.push_back(w);
    return *this;
  }
  RecordMaker& text(const std::string& t) {
    std::vector<std::uint32_t> block(t.size() / 4 + 2, 0);
    for (std::size_t i = 0; i < t.size(); ++i)
      block[i / 4] |= static_cast<std::uint32_t>(static_cast<unsigned char>(t[i]))
                      << (8 * (i % 4));
    words_.insert(words_.end(), block.begin(), block.end());
    return *this;
  }
  Statement statement() {
    words_[0] = makeHeader(index_, static_cast<int>(words_.size()), 1);
    return Statement{words_.data(), 1};
  }

 private:
  InstructionIndex index_;
  std::vector<std::uint32_t> words_;
};

// A compilation at line 1 of a program, for one model.
inline void startAtLine1(Compilation& c, const BuildInfo& build = modelVK617Q()) {
  c.options.build = build;
  startConstants(c);
  c.diag.currentLine = 1;
}

inline std::uint16_t floatWord(float f, int half) {
  return static_cast<std::uint16_t>(floatBits(f) >> (16 * half));
}
// Operand of a lone reference to the named variable.
inline std::uint32_t varRef(Compilation& c, const std::string& name) {
  return appendExpressionWords(c, {49, findVariableLocation(c, name)});
}
// Operand of element `index` (from 1) of the named array.
inline std::uint32_t elementRef(Compilation& c, const std::string& name, float index) {
  return appendExpressionWords(c, {35, floatWord(index, 0), floatWord(index, 1), 50,
                                   findVariableLocation(c, name)});
}
inline std::uint32_t constantRef(Compilation& c, float value) {
  return appendExpressionWords(c, {40, floatWord(value, 0), floatWord(value, 1)});
}
inline void dim(Compilation& c, const std::string& name, int count) {
  declareVariable(c, count, name, kDeclareDim);
}
}  // namespace vk6::test
