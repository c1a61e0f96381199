// How the language's words are written in a tidy program. The instruction
// list stores some keywords as the compiler's messages print them (WHILE,
// BEGINPROG, CONST); the formatter and the editor tools write them as
// given here. Lookup ignores letter case, so a canonical spelling differs
// from the stored keyword in case alone.
#pragma once

#include <string_view>

#include "parse/instruction_index.h"

namespace vk6 {

// The keyword of `index` as a program writes it, e.g. "BeginProg" for the
// row stored as "BEGINPROG"; "" for the rows without a keyword.
const char* canonicalSpelling(InstructionIndex index);

// A word that completes a statement without being one (Then, To, Step, the
// block word after End, Exit and Next, ...) as a program writes it, matched
// ignoring case; nullptr for any other word.
const char* canonicalWord(std::string_view word);

}  // namespace vk6
