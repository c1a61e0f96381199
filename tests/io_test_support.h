// Hand-made statement records and operands for the tests of the
// measurement, port and serial handlers, so that each handler runs on
// exactly the slots the parser would give it.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/compilation.h"
#include "format/byte_io.h"
#include "format/operand_word.h"
#include "instructions/dispatch.h"
#include "parse/instruction_table.h"
#include "symbols/constants.h"
#include "symbols/expression_area.h"
#include "symbols/variables.h"

namespace vk6::test {

// A statement record: header, then slots and texts in parser layout.
class Record {
 public:
  explicit Record(InstructionIndex index) : index_(index), words_{0} {}
  Record& slot(std::uint32_t w) {
    words_.push_back(w);
    return *this;
  }
  Record& text(const std::string& t) {
    std::vector<std::uint32_t> packed(t.size() / 4 + 2, 0);
    std::memcpy(packed.data(), t.data(), t.size());
    words_.insert(words_.end(), packed.begin(), packed.end());
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

// A compile with constants in place, line 1 current, nothing compiled.
inline void startTest(Compilation& c) {
  startConstants(c);
  c.diag.currentLine = 1;
}

// Runs the handler of the record's instruction as pass 2 would.
inline HandlerResult run(Compilation& c, Record& r) {
  const Statement st = r.statement();
  return handleStatement(c, st);
}

// Operand of a reference to the whole variable `name`.
inline std::uint16_t variableRef(Compilation& c, const char* name) {
  return appendExpressionWords(c, {49, findVariableLocation(c, name)});
}

// Operand of a reference to element `index` of `name`.
inline std::uint16_t elementRef(Compilation& c, const char* name, float index) {
  const std::uint32_t bits = floatBits(index);
  return appendExpressionWords(c, {35, static_cast<std::uint16_t>(bits),
                                   static_cast<std::uint16_t>(bits >> 16), 50,
                                   findVariableLocation(c, name)});
}

// A deferred expression pushing 1.0; returns its word 0x8000 | n.
inline std::uint32_t deferredOperand(Compilation& c) {
  c.exprArea.deferred.push_back({{35, 0x0000, 0x3F80, 39}, 8});
  return kDeferredBit | static_cast<std::uint32_t>(c.exprArea.deferred.size() - 1);
}

}  // namespace vk6::test
