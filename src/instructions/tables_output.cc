#include "instructions/tables_output.h"

#include <cstdint>
#include <functional>
#include <string>

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "core/text.h"
#include "expr/constant_eval.h"
#include "expr/expression_compiler.h"
#include "expr/expression_state.h"
#include "expr/operands.h"
#include "format/byte_io.h"
#include "format/operand_word.h"
#include "format/record_format.h"
#include "format/stack_code.h"
#include "instructions/code_buffer.h"
#include "instructions/field_builder.h"
#include "instructions/locations.h"
#include "instructions/program_state.h"
#include "instructions/sections_flow.h"
#include "parse/instruction_index.h"
#include "parse/instruction_table.h"
#include "symbols/constants.h"
#include "symbols/tables.h"
#include "symbols/variables.h"

namespace vk6 {
namespace {

constexpr int kRecordStart = 4;  // bytes of a record before its values
constexpr int kMaxFields = 16;
constexpr int kMaxRecordSize = 256;
constexpr int kMaxTables = 9;     // the status table and eight data tables
constexpr std::uint32_t kMinInterval = 60;
constexpr int kValueBytes = 4;
constexpr int kNoSourceIndex = 10001;
constexpr std::uint32_t kSlotMask = 0xFFFFu;

// Kind bytes of the records.
constexpr std::uint8_t kRunningStdDev = 0;
constexpr std::uint8_t kRunningAverage = 1;
constexpr std::uint8_t kRunningTotalize = 2;

constexpr int kWindVectorLocations = 5;
constexpr int kEToLocations = 7;
constexpr int kEToDailyLocations = 11;

int slotAfterText(const Statement& st, int slot) { return slot + st.textWords(slot); }

TableDescriptor& currentTable(Compilation& c) {
  return c.tables.tables[static_cast<std::size_t>(c.tables.current)];
}

// Number of the table being declared, as records carry it.
std::uint32_t tableNumber(const Compilation& c) {
  return static_cast<std::uint32_t>(c.tables.current - 1) & kSlotMask;
}

bool insideConditional(const Compilation& c) {
  const ProgramState& p = c.program;
  return !p.ifStack.empty() || !p.doStack.empty() || !p.forStack.empty();
}


// The name a new table takes: checked, cut to 16 characters, replaced by
// T$<index> when another table has it.
std::string newTableName(Compilation& c, const std::string& written, int index) {
  if (written.size() > kMaxNameLength) {
    reportError(c, "DataTable name %s is %d chars too long.", written.c_str(),
                static_cast<int>(written.size() - kMaxNameLength));
  } else if (written.find_first_of("\\.") != std::string::npos) {
    reportError(c, "DataTable name %s is illegal.", written.c_str());
  } else if (!written.empty() && isDigit(written[0])) {
    reportError(c, "Table name %s illegal, starts with a number.", written.c_str());
  }
  const std::string name = written.substr(0, kMaxNameLength);
  const int earlier = findTableNamed(c, name);
  const bool duplicate = nameEquals(name.c_str(), "Public") || (earlier >= 0 && earlier < index);
  if (!duplicate) return name;
  reportError(c, "Duplicate table name %s.", name.c_str());
  return "T$" + std::to_string(index);
}

// What naming and counting an instruction's fields needs; writing them
// needs the record placement too.
FieldSpec namingSpecOf(const OutputContext& o) {
  FieldSpec request;
  request.sourceName = o.sourceName;
  request.hasSource = !o.sourceName.empty();
  request.sourceFirst = o.sourceFirst;
  request.elements = o.reps * std::abs(o.k);
  request.reps = o.reps;
  request.kind = o.kind;
  request.k = o.k;
  request.hasFieldNames = o.hasFieldNames;
  request.fieldNames = o.fieldNames;
  return request;
}

// Runs the queued field writers of the table just closed; each fills the
// next free descriptors, never past the array counted for the table.
void writeQueuedFields(Compilation& c, TableDescriptor& table) {
  std::size_t cursor = 0;
  for (const OutputContext& o : c.tables.writers) {
    FieldSpec request = namingSpecOf(o);
    request.dataType = o.dataType;
    request.recordOffset = o.recordOffset;
    request.beginIndex = o.beginIndex;
    request.subDimension = o.subDimension;
    std::vector<FieldDescriptor> built;
    buildFields(c, request, &built);
    for (const FieldDescriptor& f : built) {
      if (cursor == table.fields.size()) return;
      table.fields[cursor++] = f;
    }
  }
}

// What a handler hands the shared setup of an output instruction.
struct OutputRequest {
  InstructionIndex index = kEndOfProgram;  // row of the (sub-)output
  int reps = 1;
  int k = 1;
  int subDimension = 1;
  std::string source;  // "" for the ETo value
  bool hasDisable = false;
  std::uint32_t disable = 0;  // the disable parameter's slot
  bool hasFieldNames = false;
  std::string fieldNames;
};

OutputRequest requestFor(const Statement& st, InstructionIndex index, int reps,
                         const std::string& source) {
  OutputRequest q;
  q.index = index;
  q.reps = reps;
  q.source = source;
  // The record after this one; the end record always follows the last.
  const Statement next{st.words + st.length(), st.line};
  if (next.index() == kFieldNames) {
    q.hasFieldNames = true;
    q.fieldNames = next.textAt(1);
  }
  return q;
}

// Position of `address` in compile-time variable memory, or -1.
int memoryPosition(const Compilation& c, const float* address) {
  const float* memory = c.eval.memory;
  const std::less<const float*> before;
  if (address == nullptr || before(address, memory) ||
      !before(address, memory + kVariableLocations))
    return -1;
  return static_cast<int>(address - memory);
}

// A Table.Field(i, j) source: resolves the field that stands in for the
// variable. Its name names the fields, its first index (or the index i
// written after it) is their begin index; aliases do not apply, as the
// field has no place in variable memory. The source operand stays the
// compiled reference to the field.
void resolveFieldSource(Compilation& c, const OutputRequest& q, OutputContext& o) {
  const std::size_t cut = q.source.find_first_of("( ");
  const std::string reference = q.source.substr(0, cut);
  std::int32_t element = kNoElement;
  const std::size_t open = q.source.find('(');
  if (open != std::string::npos) {
    const std::size_t close = q.source.find_first_of(",)", open);
    std::int32_t value = 0;
    const std::string text = q.source.substr(
        open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
    if (parseConstantInteger(c, text, value)) element = value;
  }
  std::uint16_t table = 0;
  std::uint16_t field = 0;
  if (resolveTableField(c, reference, element, kResolveRange, table, field) == 1) {
    if (!q.hasFieldNames)
      reportError(c, "Must use FieldNames with .OUTPUT, .RECORD, or .TIMESTAMP.");
    return;
  }
  o.sourceName = reference.substr(reference.find('.') + 1);
  int first = 1;
  if (table >= kDataTableNumberBase && table < kStatusTableNumber && field != kNoOperand) {
    const TableDescriptor& t = c.tables.tables[table - kDataTableNumberBase];
    if (field < t.fields.size()) {
      o.sourceName = t.fields[field].name;
      first = t.fields[field].firstIndex;
    }
  }
  o.beginIndex = element != kNoElement ? element : first;
}

// A variable source: its name and the place of its first element, from
// the evaluated source when that lies in variable memory, else the
// variable's first element. False for an undeclared variable.
bool resolveVariableSource(Compilation& c, const OutputRequest& q,
                           const float* address, OutputContext& o) {
  const int variable = declareVariable(c, 1, q.source, kDeclareLookup);
  if (variable < 0) return false;
  const VariableRecord& v = c.variables.records[static_cast<std::size_t>(variable)];
  o.sourceName = v.name;
  const int position = memoryPosition(c, address);
  o.sourceFirst = position >= 0 ? position : v.firstIndex();
  o.beginIndex = o.sourceFirst - v.firstIndex() + 1;
  return true;
}

// The shared setup of every output instruction: checks, source, record
// bytes and the field count, then queues the instruction's context.
// Returns its position in the queue, or -1 to stop pass 2. `namesLeft`
// receives the FieldNames text its fields did not use.
int setUpOutput(Compilation& c, const OutputRequest& q,
                std::string* namesLeft = nullptr) {
  TableList& t = c.tables;
  if (insideConditional(c))
    reportError(c, "Data Processing instruction is inside of conditional statement.");
  if (t.depth == 0)
    reportError(c, "Data Processing instruction is outside of DataTable declaration.");
  OutputContext o;
  o.kind = outputKind(q.index);
  o.hasFieldNames = q.hasFieldNames;
  o.fieldNames = q.fieldNames;
  o.reps = q.reps;
  o.k = q.k;
  o.subDimension = q.subDimension;
  o.beginIndex = kNoSourceIndex;
  if (o.kind != kKindETo) {
    compileAndReport(c, q.source, o.sourceOperand, kModePlain, true);
    const float* address = evaluateOperand(c, o.sourceOperand, o.reps);
    if (q.source.find('.') != std::string::npos) {
      resolveFieldSource(c, q, o);
    } else if (!resolveVariableSource(c, q, address, o)) {
      return -1;
    }
  }
  if (q.hasDisable) o.disableOperand = resolveOperand(c, q.disable);
  o.recordOffset = t.recordSize;
  t.recordSize += o.reps * (kValueBytes * std::abs(o.k) + (o.k < 0 ? kValueBytes : 0));

  t.fieldCount += buildFields(c, namingSpecOf(o), nullptr, namesLeft);
  t.writers.push_back(o);
  return static_cast<int>(t.writers.size() - 1);
}

// Totalize, Average and StdDev: `stateValues` locations per repetition
// besides the sample count.
HandlerResult compileRunningOutput(Compilation& c, const Statement& st,
                                   std::uint8_t kindByte, int stateValues) {
  if (outsideTableDeclaration(c, keywordAt(st.index())))
    return HandlerResult::kNothing;
  OutputRequest q = requestFor(st, st.index(), st.intAt(1), st.textAt(2));
  q.hasDisable = true;
  q.disable = st.word(slotAfterText(st, 2));
  const int at = setUpOutput(c, q);
  if (at < 0) return HandlerResult::kStop;
  const OutputContext o = c.tables.writers[static_cast<std::size_t>(at)];
  // 0 u16 opcode 15, 2 u16 next, 4 u16 source, 6 u16 disable, 8 u16 reps,
  // 10 u16 table number, 12 u8 first state location, 13 u8 kind byte
  RecordBuilder r(kRecordRunningOutput);
  writeCheckedOperand(c, r, o.sourceOperand, kRoleSource, o.reps);
  r.u16(o.disableOperand).u16(static_cast<std::uint32_t>(o.reps)).u16(tableNumber(c));
  r.u8(static_cast<std::uint32_t>(takeLocations(c, 1 + stateValues * o.reps)));
  r.u8(kindByte);
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

// Maximum and Minimum, optionally with the time of each extreme.
HandlerResult compileExtremeOutput(Compilation& c, const Statement& st,
                                   std::uint8_t isMaximum) {
  if (outsideTableDeclaration(c, keywordAt(st.index())))
    return HandlerResult::kNothing;
  const int disableSlot = slotAfterText(st, 2);
  const bool withTime = st.intAt(disableSlot + 1) != 0;
  OutputRequest q = requestFor(st, st.index(), st.intAt(1), st.textAt(2));
  q.hasDisable = true;
  q.disable = st.word(disableSlot);
  q.k = withTime ? -1 : 1;
  const int at = setUpOutput(c, q);
  if (at < 0) return HandlerResult::kStop;
  const OutputContext o = c.tables.writers[static_cast<std::size_t>(at)];
  // 0 u16 opcode 16, 2 u16 next, 4 u16 source, 6 u16 disable, 8 u16 table
  // number, 10 u16 reps, 12 u8 first state location, 13 u8 1 Maximum /
  // 0 Minimum, 14 u8 time option, 15 u8 reserved (0)
  RecordBuilder r(kRecordExtremeOutput);
  writeCheckedOperand(c, r, o.sourceOperand, kRoleSource, o.reps);
  r.u16(o.disableOperand).u16(tableNumber(c)).u16(static_cast<std::uint32_t>(o.reps));
  const int locations = 1 + o.reps * (withTime ? 2 : 1);
  r.u8(static_cast<std::uint32_t>(takeLocations(c, locations)));
  r.u8(isMaximum).u8(withTime ? 1 : 0).u8(0);
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

// Values per repetition of a WindVector output option, 0 for none.
int windVectorValues(std::int32_t option) {
  switch (option) {
    case 0: return 3;
    case 1: return 2;
    case 2: return 4;
    default: return 0;
  }
}

struct SubOutput {
  InstructionIndex index;  // the output it is set up as
  int input;  // which of the four input texts; -1 for the ETo value
  int k;
};

constexpr int kEToInputs = 4;
// The ETo value is set up as an ETo output of its own.
constexpr SubOutput kEToOutputs[] = {
    {kAverage, 0, 1}, {kAverage, 1, 1}, {kAverage, 2, 1}, {kAverage, 3, 1},
    {kETo, -1, 1}};
constexpr int kEToRecordSources[kEToInputs] = {0, 1, 2, 3};
constexpr SubOutput kEToDailyOutputs[] = {
    {kMaximum, 0, -1}, {kMinimum, 0, -1}, {kMaximum, 1, 1}, {kMinimum, 1, 1},
    {kAverage, 2, 1},  {kTotalize, 3, 1}, {kETo, -1, 1}};
constexpr int kEToDailyRecordSources[kEToInputs] = {0, 2, 4, 5};

// ETo and EToDaily: sub-outputs of one input each, set up one after the
// other; a FieldNames text names their fields in that order.
template <std::size_t N>
HandlerResult compileEvapotranspiration(Compilation& c, const Statement& st,
                                        const SubOutput (&outputs)[N],
                                        const int (&recordSources)[kEToInputs],
                                        int locations, std::uint8_t daily) {
  int slots[kEToInputs + kEToInputs];
  slots[0] = 1;
  for (int i = 1; i <= kEToInputs; ++i) slots[i] = slotAfterText(st, slots[i - 1]);
  for (int i = kEToInputs + 1; i < kEToInputs + kEToInputs; ++i) slots[i] = slots[i - 1] + 1;
  std::uint16_t sources[N] = {};
  std::string names;
  for (std::size_t i = 0; i < N; ++i) {
    const SubOutput& s = outputs[i];
    OutputRequest q = requestFor(st, s.index, 1, s.input < 0 ? "" : st.textAt(slots[s.input]));
    q.k = s.k;
    if (i > 0) q.fieldNames = names;
    const int at = setUpOutput(c, q, &names);
    if (at < 0) return HandlerResult::kStop;
    OutputContext& o = c.tables.writers[static_cast<std::size_t>(at)];
    if (s.input < 0) o.beginIndex = 1;
    sources[i] = o.sourceOperand;
  }
  // 0 u16 opcode 19, 2 u16 next, 4-10 u16 x4 sources of four sub-outputs,
  // 12 u16 eighth parameter, 14-18 u16 x3 fifth to seventh parameters,
  // 20 u8 table number, 21 u8 first state location, 22 u8 reserved (0),
  // 23 u8 1 EToDaily / 0 ETo
  RecordBuilder r(kRecordEto);
  for (int source : recordSources) writeOperand(c, r, sources[source]);
  writeOperand(c, r, st.word(slots[kEToInputs + 3]));
  for (int i = 0; i < 3; ++i) writeOperand(c, r, st.word(slots[kEToInputs + i]));
  r.u8(tableNumber(c)).u8(static_cast<std::uint32_t>(takeLocations(c, locations)));
  r.u8(0).u8(daily);
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

}  // namespace

bool outsideTableDeclaration(Compilation& c, const char* keyword) {
  if (c.tables.depth != 0) return false;
  reportError(c, "%s must be used inside a table declaration.", keyword);
  return true;
}

HandlerResult handleDataTable(Compilation& c, const Statement& st) {
  TableList& t = c.tables;
  if (t.depth != 0) {
    reportError(c, "DataTable without EndTable.");
    return HandlerResult::kStop;
  }
  t.depth += 1;
  const int index = t.count;
  t.tables.resize(static_cast<std::size_t>(index) + 1);
  t.current = index;
  t.fieldCount = 0;
  t.recordSize = kRecordStart;
  t.writers.clear();
  TableDescriptor& table = currentTable(c);
  table = TableDescriptor{};
  table.name = newTableName(c, st.textAt(1), index);
  indexTableName(c, static_cast<std::size_t>(index));
  table.codeOffset = static_cast<std::uint16_t>(codeOffset(c));
  table.line = c.diag.currentLine;
  const int triggerSlot = slotAfterText(st, 1);
  table.size = st.intAt(triggerSlot + 1);
  if (table.size < 0) table.flags |= kTableFlagAutoSize;
  // 0 u16 opcode 39, 2 u16 next, 4 u16 table number, 6 u16 trigger operand
  RecordBuilder r(kRecordDataTable);
  r.u16(static_cast<std::uint32_t>(index - 1) & kSlotMask);
  // The record must hold an expression-area offset even for a deferred
  // trigger; a plain operand passes unchanged.
  r.u16(resolveOperand(c, st.word(triggerSlot)));
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

HandlerResult handleDataInterval(Compilation& c, const Statement& st) {
  if (outsideTableDeclaration(c, "DataInterval")) return HandlerResult::kNothing;
  TableDescriptor& table = currentTable(c);
  const std::int32_t units = st.intAt(3);
  table.interval = static_cast<std::uint32_t>(unitsToSeconds(c, st.intAt(2), units));
  table.offset = static_cast<std::uint32_t>(unitsToSeconds(c, st.intAt(1), units));
  table.flags |= kTableFlagInterval;
  if (table.interval < kMinInterval)
    reportError(c, "DataTable interval %d too short, must be at least one minute.",
                static_cast<int>(table.interval));
  return HandlerResult::kNothing;
}

HandlerResult handleEndTable(Compilation& c, const Statement&) {
  TableList& t = c.tables;
  if (t.depth == 0) {
    reportError(c, "EndTable without DataTable.");
    return HandlerResult::kStop;
  }
  t.depth -= 1;
  if (t.depth != 0) {
    reportError(c, "EndTable without DataTable or nested DataTables.");
    return HandlerResult::kStop;
  }
  TableDescriptor& table = currentTable(c);
  table.fieldCount = t.fieldCount;
  if (table.fieldCount > kMaxFields)
    reportError(c, "Table %s number of fields exceeds max. of %d by %d fields.",
                table.name.c_str(), kMaxFields, table.fieldCount - kMaxFields);
  table.recordSize = t.recordSize;
  if (table.recordSize > kMaxRecordSize)
    reportError(c, "Table %s record size exceeds max. of %d by %d bytes.",
                table.name.c_str(), kMaxRecordSize, table.recordSize - kMaxRecordSize);
  if (table.recordSize == 0 || table.fieldCount == 0) {
    reportError(c, "Table %s declared with no output fields.", table.name.c_str());
    return HandlerResult::kStop;
  }
  table.fields.assign(static_cast<std::size_t>(table.fieldCount), FieldDescriptor{});
  t.count += 1;
  if (t.count > kMaxTables)
    reportError(c, "Maximum number of tables %d exceeded.", kMaxTables - 1);
  writeQueuedFields(c, table);
  indexTableFields(c, static_cast<std::size_t>(t.current));
  // 0 u16 opcode 23, 2 u16 unused (0), 4 u16 table number
  RecordBuilder r(kRecordEndTable);
  r.u16(tableNumber(c));
  appendCode(c, r, !kPatchNext);
  return HandlerResult::kCompiled;
}

HandlerResult handleCallTable(Compilation& c, const Statement& st) {
  // 0 u16 opcode 1, 2 u16 the table's DATATABLE offset (instead of a
  // next-record offset), 4 u16 return offset (just past this record)
  RecordBuilder r(kRecordCallTable);
  refuseInInterruptSequence(c);
  const std::string name = st.textAt(1);
  if (const int i = findTableNamed(c, name); i >= 0) {
    TableDescriptor& table = c.tables.tables[static_cast<std::size_t>(i)];
    if (i == 0) return HandlerResult::kNothing;  // the status table is never called
    const std::uint16_t scan = compiledScanInterval(c);
    const bool timed = (table.flags & kTableFlagInterval) != 0;
    if (scan != 0 && timed && table.interval % scan != 0) {
      reportError(c, "DataTable interval %d sec not integrally divisible by scan interval %d sec.",
                  static_cast<int>(table.interval), static_cast<int>(scan));
    } else if (scan == 0 && timed) {
      reportError(c, "Interval table must be called within a scan.");
    }
    table.flags |= kTableFlagCalled;
    r.patchU16(2, table.codeOffset);
    r.u16(static_cast<std::uint32_t>(codeOffset(c) + recordLength(kRecordCallTable)));
    appendCode(c, r, !kPatchNext);
    return HandlerResult::kCompiled;
  }
  reportError(c, "Could not find DataTable %s.", name.c_str());
  return HandlerResult::kNothing;
}

HandlerResult handleResetTable(Compilation&, const Statement&) {
  return HandlerResult::kNothing;
}

HandlerResult handleTotalize(Compilation& c, const Statement& st) {
  return compileRunningOutput(c, st, kRunningTotalize, 1);
}

HandlerResult handleAverage(Compilation& c, const Statement& st) {
  return compileRunningOutput(c, st, kRunningAverage, 1);
}

HandlerResult handleStdDev(Compilation& c, const Statement& st) {
  return compileRunningOutput(c, st, kRunningStdDev, 3);
}

HandlerResult handleMaximum(Compilation& c, const Statement& st) {
  return compileExtremeOutput(c, st, 1);
}

HandlerResult handleMinimum(Compilation& c, const Statement& st) {
  return compileExtremeOutput(c, st, 0);
}

HandlerResult handleSample(Compilation& c, const Statement& st) {
  if (outsideTableDeclaration(c, "Sample")) return HandlerResult::kNothing;
  const int at = setUpOutput(c, requestFor(st, st.index(), st.intAt(1), st.textAt(2)));
  if (at < 0) return HandlerResult::kStop;
  const OutputContext o = c.tables.writers[static_cast<std::size_t>(at)];
  // 0 u16 opcode 17, 2 u16 next, 4 u16 source, 6 u16 table number, 8 u16 reps
  RecordBuilder r(kRecordSample);
  writeCheckedOperand(c, r, o.sourceOperand, kRoleSource, o.reps);
  r.u16(tableNumber(c)).u16(static_cast<std::uint32_t>(o.reps));
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

HandlerResult handleWindVector(Compilation& c, const Statement& st) {
  if (outsideTableDeclaration(c, "WindVector")) return HandlerResult::kNothing;
  const int secondSlot = slotAfterText(st, 1);
  const std::int32_t option = st.intAt(secondSlot + 3);
  int values = windVectorValues(option);
  if (values == 0) {
    reportError(c, "Invalid Output Option in WindVector");
    values = 1;  // one plain value per repetition keeps the table sound
  }
  const int location = takeLocations(c, kWindVectorLocations);
  OutputRequest q = requestFor(st, st.index(), 1, st.textAt(1));
  q.hasDisable = true;
  q.disable = st.word(secondSlot + 1);
  q.k = q.subDimension = values;
  const int at = setUpOutput(c, q);
  if (at < 0) return HandlerResult::kStop;
  const OutputContext o = c.tables.writers[static_cast<std::size_t>(at)];
  // 0 u16 opcode 18, 2 u16 next, 4 u16 source, 6 u16 second input,
  // 8 u16 disable, 10 u8 table number, 11 u8 first state location,
  // 12 u8 output option, 13 u8 fourth parameter
  RecordBuilder r(kRecordWindVector);
  writeOperand(c, r, o.sourceOperand);
  writeOperand(c, r, st.word(secondSlot));
  r.u16(o.disableOperand).u8(tableNumber(c)).u8(static_cast<std::uint32_t>(location));
  r.u8(static_cast<std::uint32_t>(option)).u8(st.word(secondSlot + 2));
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

HandlerResult handleETo(Compilation& c, const Statement& st) {
  return compileEvapotranspiration(c, st, kEToOutputs, kEToRecordSources,
                                   kEToLocations, 0);
}

HandlerResult handleEToDaily(Compilation& c, const Statement& st) {
  return compileEvapotranspiration(c, st, kEToDailyOutputs, kEToDailyRecordSources,
                                   kEToDailyLocations, 1);
}

}  // namespace vk6
