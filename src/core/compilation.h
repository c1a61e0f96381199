// The one object that holds all state of a compile. Every operation takes
// it first; a fresh object is a fresh compile, so tests can run many in
// one process.
#pragma once

#include "core/diagnostics_state.h"
#include "core/options.h"
#include "expr/evaluator_state.h"
#include "expr/expression_state.h"
#include "format/byte_io.h"  // Bytes
#include "instructions/code_buffer_state.h"
#include "instructions/communication_state.h"
#include "instructions/io_state.h"
#include "instructions/program_header.h"
#include "instructions/program_state.h"
#include "parse/pass1_state.h"
#include "parse/statement_buffer.h"
#include "symbols/aliases_state.h"
#include "symbols/constants_state.h"
#include "symbols/expression_area_state.h"
#include "symbols/tables_state.h"
#include "symbols/variables_state.h"

namespace vk6 {

struct Compilation {
  Options options;
  Diagnostics diag;
  Pass1State pass1;
  StatementBuffer statements;
  ExpressionArea exprArea;
  ExpressionState expr;
  EvaluatorState eval;
  VariableTable variables;
  ConstantTable constants;
  AliasTables aliases;
  CodeBuffer code;
  ProgramHeader header;
  Bytes image;  // the program image, once built
  ProgramState program;
  TableList tables;
  CommunicationState comm;
  IoState io;
};

}  // namespace vk6
