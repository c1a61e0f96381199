// Pass-2 handlers, one function per instruction; the instruction table
// names them. Each checks its statement, reports, builds its record and
// appends it to the code buffer.
#pragma once

#include "parse/statement_buffer.h"

namespace vk6 {

struct Compilation;

// For statements whose work is all done in pass 1.
int handleNothing(Compilation& c, const Statement& st);

}  // namespace vk6
