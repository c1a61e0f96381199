// Pass 2: each statement record goes to the handler of its instruction,
// which checks it, reports, builds its record and appends it.
#pragma once

#include "parse/instruction_table.h"
#include "parse/statement_buffer.h"

namespace vk6 {

struct Compilation;

// Result < 0 stops pass 2; 0 means nothing was compiled.
using Handler = int (*)(Compilation&, const Statement&);

// Calls the handler of the statement's instruction.
int handleStatement(Compilation& c, const Statement& st);
// Runs every handler over the statement records of pass 1.
void runPass2(Compilation& c);

}  // namespace vk6
