// The one object that holds all state of a compile. Every operation takes
// it first; a fresh object is a fresh compile, so tests can run many in
// one process.
#pragma once

#include "core/diagnostics.h"
#include "core/options.h"
#include "expr/constant_eval.h"
#include "expr/expression_compiler.h"
#include "instructions/code_buffer.h"
#include "instructions/program_header.h"
#include "instructions/communication_state.h"
#include "instructions/io_state.h"
#include "instructions/program_state.h"
#include "parse/source_reader.h"
#include "parse/statement_buffer.h"
#include "symbols/aliases.h"
#include "symbols/constants.h"
#include "symbols/expression_area.h"
#include "symbols/tables.h"
#include "symbols/variables.h"

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
