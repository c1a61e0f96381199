#include "vk6/compiler.h"

#include <utility>

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "core/text.h"
#include "image/listings.h"
#include "parse/pass1_state.h"
#include "symbols/aliases.h"
#include "symbols/constants_state.h"
#include "symbols/tables_state.h"
#include "symbols/variables.h"
#include "vk6/passes.h"

namespace vk6 {
namespace {

// The units a Units statement gives the name: the first that names it.
std::string unitsNamed(const Compilation& c, const std::string& name) {
  const UnitsRecord* u = findUnits(c, name);
  return u != nullptr ? u->units : std::string();
}

std::vector<TableSymbol> tableSymbols(const Compilation& c) {
  std::vector<TableSymbol> symbols;
  const std::vector<TableDescriptor>& tables = c.tables.tables;
  // The status table comes first and the public table, once added, last;
  // its position counts from 1.
  for (std::size_t i = 1; i < tables.size(); ++i) {
    if (static_cast<int>(i) + 1 == c.tables.publicPosition) continue;
    const TableDescriptor& table = tables[i];
    TableSymbol symbol{table.name, {}, 0, table.line};
    if ((table.flags & kTableFlagInterval) != 0) symbol.interval = table.interval;
    for (const FieldDescriptor& field : table.fields)
      symbol.fields.push_back(
          {field.name, field.count, field.firstIndex, field.units, field.processing});
    symbols.push_back(std::move(symbol));
  }
  return symbols;
}

ProgramSymbols programSymbols(const Compilation& c) {
  ProgramSymbols s;
  for (const VariableRecord& v : c.variables.records) {
    const VariableKind kind =
        v.publicKind == kDeclarePublic ? VariableKind::kPublic : VariableKind::kDim;
    s.variables.push_back(
        {v.name, kind, v.elementCount, v.line, unitsNamed(c, v.name), v.firstIndex()});
  }
  const std::vector<ConstantRecord>& constants = c.constants.records;
  for (std::size_t i = c.constants.predefinedCount; i < constants.size(); ++i)
    s.constants.push_back({constants[i].name, constants[i].value, constants[i].line});
  for (const AliasRecord& a : c.aliases.aliases)
    s.aliases.push_back({a.name, a.aliasedText, a.location, a.line});
  for (const UnitsRecord& u : c.aliases.units)
    s.units.push_back({u.name, u.units, u.line});
  for (const Subroutine& sub : c.pass1.subroutines)
    s.subroutines.push_back({sub.name, sub.line});
  s.tables = tableSymbols(c);
  return s;
}

}  // namespace

void CompileResult::addError(const std::string& message) {
  appendErrorText(errorText, errorCount == 0 && warningCount == 0, message);
  ++errorCount;
  diagnostics.push_back({Severity::kError, 0, message, ""});
}

CompileResult compileProgram(const ProgramSource& source, const BuildInfo& build,
                             const CompileOptions& options) {
  Compilation c;
  c.options.build = build;
  c.options.memoryLimit = options.memoryLimit;
  c.diag.traceOn = options.memoryTrace;
  c.code.keepLines = options.recordLines;
  if (!options.diagnosticRecords) c.diag.recordLimit = 0;
  loadProgram(c, source);
  runCompile(c);

  CompileResult r;
  Diagnostics& d = c.diag;
  r.errorCount = d.errorCount;
  r.warningCount = d.warningCount;
  r.errorText = std::move(d.errorText);
  r.warningText = std::move(d.warningText);
  r.diagnostics = std::move(d.records);
  r.omittedDiagnostics = d.omittedRecords;
  r.memoryTrace = std::move(d.memoryTrace);
  r.symbols = programSymbols(c);
  for (const auto& [offset, line] : c.code.lines) r.recordLines.push_back({offset, line});
  if (r.outcome() != Outcome::kCompiled) return r;
  if (!options.noImage) r.image = std::move(c.image);
  // The image writer has marked the definition block: the listings come
  // after it.
  if (options.listing) r.listing = tableListingText(c.tables.tables);
  if (options.definitionFile) r.definitionFile = definitionFileBytes(c.tables.definitions);
  return r;
}

}  // namespace vk6
