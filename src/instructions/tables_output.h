// Data tables and output processing: the pass-2 handlers of DataTable,
// DataInterval, EndTable (also End Table), CallTable, ResetTable and of
// the output-processing instructions, which share one setup and queue
// field writers that fill the table's field descriptors at EndTable.
#pragma once

#include "parse/statement_buffer.h"

namespace vk6 {

struct Compilation;

// The in-table test: outside a table declaration reports "%s must be used
// inside a table declaration." with `keyword` and answers true (the
// caller then compiles nothing).
bool outsideTableDeclaration(Compilation& c, const char* keyword);

int handleDataTable(Compilation& c, const Statement& st);
int handleDataInterval(Compilation& c, const Statement& st);
// EndTable, and End Table through End's dispatch (row 53 of the table).
int handleEndTable(Compilation& c, const Statement& st);
int handleCallTable(Compilation& c, const Statement& st);
int handleResetTable(Compilation& c, const Statement& st);

int handleTotalize(Compilation& c, const Statement& st);
int handleAverage(Compilation& c, const Statement& st);
int handleStdDev(Compilation& c, const Statement& st);
int handleMaximum(Compilation& c, const Statement& st);
int handleMinimum(Compilation& c, const Statement& st);
int handleSample(Compilation& c, const Statement& st);
int handleWindVector(Compilation& c, const Statement& st);
int handleETo(Compilation& c, const Statement& st);
int handleEToDaily(Compilation& c, const Statement& st);

}  // namespace vk6
