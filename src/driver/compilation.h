// The one object that holds all state of a compile. Every operation takes
// it first; a fresh object is a fresh compile, so tests can run many in
// one process.
#pragma once

#include "driver/diagnostics.h"
#include "driver/options.h"
#include "parse/source_reader.h"
#include "parse/statement_buffer.h"

namespace vk6 {

struct Compilation {
  Options options;
  Diagnostics diag;
  Pass1State pass1;
  StatementBuffer statements;
};

}  // namespace vk6
