// The index of each row of parse/instruction_list.h, which every statement
// record carries in its header.
#pragma once

namespace vk6 {

// ORDER INSTRUCTIONS: one enumerator per row of instruction_list.h.
enum InstructionIndex : int {
#define INSTRUCTION(name, keyword, handler, family, description, parameters) \
  k##name,
#include "parse/instruction_list.h"
#undef INSTRUCTION
  kInstructionCount
};

static_assert(kEndOfProgram == 0, "index 0 is the end record");
static_assert(kEndOfKeywords == kInstructionCount - 1,
              "the keyword lookup stops at the last row");

}  // namespace vk6
