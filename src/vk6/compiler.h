// The compiler as a library: a program's text in, everything the compile
// found and made out. Every front end compiles through this header; it
// never touches the file system, so an editor can compile a buffer that
// was never saved and a tool can compile many programs in one process.
//
//   vk6::CompileResult r = vk6::compileProgram(
//       {text, "station.vk6"}, {"VK617Q.Std.03", "131104"});
//   for (const vk6::Diagnostic& d : r.diagnostics) ...
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/diagnostics_state.h"
#include "core/options.h"
#include "format/byte_io.h"

namespace vk6 {

// The program to compile.
struct ProgramSource {
  std::string_view bytes;
  // The name as the user typed it: messages, the results text and the
  // image's identification block show it. Empty: no program was named,
  // reported as "No Program File.".
  std::string name;
  // False when the named file could not be read: reported as
  // "Could not open <name>." and the bytes are ignored.
  bool readable = true;
};

struct CompileOptions {
  bool noImage = false;         // check the image but keep no bytes of it
  bool listing = false;         // make the table listing text
  bool definitionFile = false;  // make the table-definition file's bytes
  bool memoryTrace = false;     // one line per tracked allocation
  bool recordLines = false;     // the source line of each compiled record
  bool diagnosticRecords = true;  // each message in `diagnostics`, not only the texts
  // Test hook: tracked allocations fail once this many bytes have been
  // handed out in total (0 = no limit).
  std::size_t memoryLimit = 0;
};

enum class Outcome { kCompiled, kFailed };

// A compiled record: its offset in the code and the source line of the
// statement it was compiled for (0 for none).
struct RecordLine {
  std::size_t offset = 0;
  int line = 0;
};

enum class VariableKind { kDim, kPublic };

struct VariableSymbol {
  std::string name;
  VariableKind kind = VariableKind::kDim;
  int size = 1;  // elements; 1 for a single value
  int line = 0;  // of the first declaration
  std::string units;  // from a Units statement naming it, else empty
  int location = 0;  // its first element of variable memory
};

// A constant the program declares; the predefined ones are not listed.
struct ConstantSymbol {
  std::string name;
  float value = 0.0f;
  int line = 0;
};

struct AliasSymbol {
  std::string name;
  std::string aliasedText;  // what it stands for, e.g. "Temp(3)"
  int location = 0;  // its element of variable memory, once pass 1 succeeded
  int line = 0;
};

struct UnitsSymbol {
  std::string name;
  std::string units;
  int line = 0;
};

struct SubroutineSymbol {
  std::string name;
  int line = 0;
};

struct FieldSymbol {
  std::string name;
  int count = 1;       // elements
  int firstIndex = 1;  // of the first element, as Table.Field(i) names it
  std::string units;
  std::string processing;
};

// A data table; its fields are known once the compile got past EndTable.
struct TableSymbol {
  std::string name;
  std::vector<FieldSymbol> fields;
  std::uint32_t interval = 0;  // seconds; 0 without DataInterval
  int line = 0;
};

// The names the program declares, each list in declaration order (the
// aliases in the order of their locations once they are resolved).
struct ProgramSymbols {
  std::vector<VariableSymbol> variables;
  std::vector<ConstantSymbol> constants;
  std::vector<AliasSymbol> aliases;
  std::vector<UnitsSymbol> units;
  std::vector<SubroutineSymbol> subroutines;
  std::vector<TableSymbol> tables;
};

struct CompileResult {
  int errorCount = 0;
  int warningCount = 0;
  // The texts the results file shows after the outcome line, each capped
  // at 511 characters; messages that did not fit are only counted.
  std::string errorText;
  std::string warningText;
  // Every message in the order reported, not capped in length; after
  // kMaxDiagnosticRecords of them the rest are only counted.
  std::vector<Diagnostic> diagnostics;
  std::size_t omittedDiagnostics = 0;
  Bytes image;             // empty after a failure or with noImage
  std::string listing;     // with listing, after a successful compile
  Bytes definitionFile;    // with definitionFile, after a successful compile
  std::string memoryTrace;  // with memoryTrace
  ProgramSymbols symbols;
  std::vector<RecordLine> recordLines;  // with recordLines, in code order

  Outcome outcome() const {
    return errorCount == 0 ? Outcome::kCompiled : Outcome::kFailed;
  }
  // Adds an error of the caller's own (one with no source line, such as an
  // image that could not be saved) exactly as the compiler adds its own.
  void addError(const std::string& message);
};

// Compiles `source` for the model of `build` (its model string and build
// date go into the image).
CompileResult compileProgram(const ProgramSource& source, const BuildInfo& build,
                             const CompileOptions& options = {});

}  // namespace vk6
