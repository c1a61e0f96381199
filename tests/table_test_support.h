// Pass 2 over statement records built by hand, for the table and output
// tests: the records hold exactly the slots the parser would store, so the
// handlers run without the expression compiler.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/compilation.h"
#include "instructions/table_allocation.h"
#include "instructions/dispatch.h"
#include "parse/instruction_table.h"
#include "symbols/constants.h"
#include "symbols/tables.h"
#include "symbols/variables.h"

namespace vk6::test {

constexpr std::uint32_t kNone = 0xFFFF;  // an operand with no stored code

// One parameter slot: an integer or operand word, or a text.
struct Slot {
  Slot(int v) : value(static_cast<std::uint32_t>(v)) {}
  Slot(std::uint32_t v) : value(v) {}
  Slot(const char* t) : isText(true), text(t) {}
  bool isText = false;
  std::uint32_t value = 0;
  std::string text;
};

class TablesProgram {
 public:
  TablesProgram() {
    c.options.build = {"VK617Q.Std.03", "131104"};
    startConstants(c);
    startTables(c);
  }
  TablesProgram& variable(const std::string& name, int count, int kind = kDeclarePublic) {
    declareVariable(c, count, name, kind);
    return *this;
  }
  // Appends a statement record; records are on lines 1, 2, ... in order.
  TablesProgram& add(InstructionIndex index, const std::vector<Slot>& slots) {
    const std::size_t header = words_.size();
    words_.push_back(0);
    for (const Slot& s : slots) {
      if (!s.isText) {
        words_.push_back(s.value);
        continue;
      }
      const std::size_t at = words_.size();
      words_.resize(at + s.text.size() / 4 + 2, 0);
      std::memcpy(&words_[at], s.text.c_str(), s.text.size() + 1);
    }
    lines_.push_back(static_cast<int>(lines_.size()) + 1);
    words_[header] = makeHeader(index, static_cast<int>(words_.size() - header), lines_.back());
    return *this;
  }
  // Pass 2 over the records (stopping where a handler says so), then the
  // final allocation when no error was reported.
  void run(bool allocate = true) {
    words_.push_back(makeHeader(kEndOfProgram, 1, static_cast<int>(lines_.size()) + 1));
    std::size_t at = 0;
    for (int line : lines_) {
      const Statement st{words_.data() + at, line};
      c.diag.currentLine = line;
      if (handleStatement(c, st) == HandlerResult::kStop) break;
      at += static_cast<std::size_t>(st.length());
    }
    c.diag.currentLine = 0;
    if (allocate && c.diag.errorCount == 0) allocateTables(c);
  }
  const std::string& errors() const { return c.diag.errorText; }
  const TableDescriptor& table(std::size_t i) const { return c.tables.tables.at(i); }
  // As after a compiled Scan with this interval.
  void scanEvery(std::uint16_t seconds) {
    c.header.scanInterval = seconds;
    c.program.scan = ScanState::kCompiled;
  }

  Compilation c;

 private:
  std::vector<std::uint32_t> words_;
  std::vector<int> lines_;
};

}  // namespace vk6::test
