#include "vk6/passes.h"

#include "core/compilation.h"
#include "image/image_inputs.h"
#include "image/image_writer.h"
#include "instructions/dispatch.h"
#include "instructions/table_allocation.h"
#include "parse/pass1_state.h"
#include "parse/source_reader.h"
#include "symbols/tables.h"
#include "vk6/compiler.h"

namespace vk6 {

void loadProgram(Compilation& c, const ProgramSource& source) {
  SourceText& text = c.pass1.source;
  text.path = source.name;
  text.opened = source.readable;
  if (source.readable) text.bytes = source.bytes;
}

void runCompile(Compilation& c) {
  runPass1(c);
  startTables(c);
  if (c.diag.errorCount != 0) return;
  runPass2(c);
  c.diag.currentLine = 0;
  c.diag.currentKeyword = nullptr;
  if (c.diag.errorCount == 0) allocateTables(c);
  if (c.diag.errorCount != 0) return;
  ImageInputs inputs = collectImageInputs(c);
  buildProgramImage(c, inputs, c.image);
}

}  // namespace vk6
