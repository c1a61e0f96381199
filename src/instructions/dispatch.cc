#include "instructions/dispatch.h"

#include <iterator>

#include "core/compilation.h"
#include "instructions/communication.h"
#include "instructions/handlers.h"
#include "instructions/measurement.h"
#include "instructions/ports_timing.h"
#include "instructions/sdi12_serial.h"
#include "instructions/sections_flow.h"
#include "instructions/tables_output.h"
#include "parse/instruction_index.h"
#include "parse/instruction_table.h"

namespace vk6 {
namespace {

// ORDER INSTRUCTIONS: the list expanded with its handlers, so row i of
// this table is instruction index i.
constexpr Handler kHandlers[] = {
#define INSTRUCTION(name, keyword, handler, family, description, parameters) handler,
#include "parse/instruction_list.h"
#undef INSTRUCTION
};
static_assert(std::size(kHandlers) == kInstructionCount);

}  // namespace

HandlerResult handleStatement(Compilation& c, const Statement& st) {
  return kHandlers[st.index()](c, st);
}

void runPass2(Compilation& c) {
  StatementBuffer& buffer = c.statements;
  std::size_t position = 0;
  startProgramState(c);
  for (int n = 0; n < buffer.recordCount(); ++n) {
    const Statement st = buffer.record(position, n);
    c.diag.currentLine = st.line;
    c.diag.currentKeyword =
        st.index() != kEndOfProgram ? keywordAt(st.index()) : nullptr;
    if (handleStatement(c, st) == HandlerResult::kStop) break;
    checkAfterNextScan(c, st);
    if (c.diag.outOfMemory) break;
    if (st.length() == 0) break;
    position += static_cast<std::size_t>(st.length());
  }
}

}  // namespace vk6
