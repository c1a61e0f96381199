// Data tables and output processing: the pass-2 handlers of DataTable,
// DataInterval, EndTable (also End Table), CallTable, ResetTable and of
// the output-processing instructions, which share one setup and queue
// field writers that fill the table's field descriptors at EndTable.
#pragma once

#include "instructions/handlers.h"
#include "parse/statement_buffer.h"

namespace vk6 {

struct Compilation;

// The in-table test: outside a table declaration reports "%s must be used
// inside a table declaration." with `keyword` and answers true (the
// caller then compiles nothing).
bool outsideTableDeclaration(Compilation& c, const char* keyword);

HandlerResult handleDataTable(Compilation& c, const Statement& st);
HandlerResult handleDataInterval(Compilation& c, const Statement& st);
// EndTable (kEndTable), and End Table through the dispatch of End.
HandlerResult handleEndTable(Compilation& c, const Statement& st);
HandlerResult handleCallTable(Compilation& c, const Statement& st);
HandlerResult handleResetTable(Compilation& c, const Statement& st);

HandlerResult handleTotalize(Compilation& c, const Statement& st);
HandlerResult handleAverage(Compilation& c, const Statement& st);
HandlerResult handleStdDev(Compilation& c, const Statement& st);
HandlerResult handleMaximum(Compilation& c, const Statement& st);
HandlerResult handleMinimum(Compilation& c, const Statement& st);
HandlerResult handleSample(Compilation& c, const Statement& st);
HandlerResult handleWindVector(Compilation& c, const Statement& st);
HandlerResult handleETo(Compilation& c, const Statement& st);
HandlerResult handleEToDaily(Compilation& c, const Statement& st);

}  // namespace vk6
