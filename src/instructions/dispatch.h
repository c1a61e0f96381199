// Pass 2: each statement record goes to the handler of its instruction,
// which checks it, reports, builds its record and appends it.
#pragma once

#include "instructions/handlers.h"
#include "parse/statement_buffer.h"

namespace vk6 {

struct Compilation;

// Calls the handler of the statement's instruction.
HandlerResult handleStatement(Compilation& c, const Statement& st);
// Runs every handler over the statement records of pass 1.
void runPass2(Compilation& c);

}  // namespace vk6
