// Pass-2 handlers, one function per instruction; the instruction list
// (parse/instruction_list.h) names them. Each checks its statement,
// reports, builds its record and appends it to the code buffer.
#pragma once

#include "parse/statement_buffer.h"

namespace vk6 {

struct Compilation;

// What a handler tells the pass-2 loop.
enum class HandlerResult {
  kStop,      // after an error that leaves later statements meaningless:
              // pass 2 ends here
  kNothing,   // no record appended (a declaration, or a refused statement)
  kCompiled,  // the statement's record is appended
};

using Handler = HandlerResult (*)(Compilation&, const Statement&);

// For statements whose work is all done in pass 1.
HandlerResult handleNothing(Compilation& c, const Statement& st);

}  // namespace vk6
