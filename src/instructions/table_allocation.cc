#include "instructions/table_allocation.h"

#include <cmath>
#include <cstdint>

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "core/text.h"
#include "format/byte_io.h"
#include "format/image_format.h"
#include "instructions/field_builder.h"
#include "symbols/tables.h"
#include "symbols/variables.h"

namespace vk6 {
namespace {

constexpr int kMaxPublic = 128;
constexpr std::int64_t kStorageBudget = 0x7FFF00;  // bytes for all tables
constexpr std::int32_t kAutoReserve = 512;        // bytes an automatic table keeps
constexpr std::int32_t kRecordsBlock = 512;       // records per this many bytes
constexpr std::int32_t kBlockBytes = 256;         // tables are sized in blocks
constexpr std::int32_t kMinBlocks = 4;
constexpr std::int32_t kMaxBlocks = 65535;
constexpr std::int32_t kVariableBytes = 4;

std::int32_t recordsPer512(std::int32_t recordSize) {
  return (kRecordsBlock + recordSize - 1) / recordSize;
}

// The public table's fields: each public variable counted, then written.
// Returns them; `elements` receives the public variables' element sum.
std::vector<FieldDescriptor> buildPublicFields(Compilation& c, int& elements) {
  std::vector<FieldDescriptor> fields;
  int counted = 0;
  elements = 0;
  for (const VariableRecord& v : c.variables.records) {
    if (v.publicKind == 0) continue;
    FieldSpec request;
    request.sourceName = v.name;
    request.hasSource = true;
    request.sourceFirst = v.firstIndex();
    request.elements = request.reps = v.elementCount;
    request.dataType = kFloatDataType;
    request.recordOffset = v.firstIndex() * kVariableBytes;
    request.kind = kKindPublic;
    request.subDimension = v.elementCount;
    counted += buildFields(c, request, nullptr);
    buildFields(c, request, &fields);
    elements += v.elementCount;
  }
  if (counted > kMaxPublic || elements > kMaxPublic)
    reportError(c, "Maximim number of public variables %d exceeded by %d.", kMaxPublic,
                elements - kMaxPublic);
  return fields;
}

void addPublicTable(Compilation& c) {
  int elements = 0;
  std::vector<FieldDescriptor> fields = buildPublicFields(c, elements);
  const int count = static_cast<int>(fields.size());
  c.header.publicFieldCount = static_cast<std::uint16_t>(count);
  if (count == 0) {
    c.tables.publicPosition = kNoPublicTable;
    reportError(c, "Must have at least public variable defined");
    return;
  }
  TableDescriptor table;
  table.name = "Public";
  table.fieldCount = count;
  table.fields = std::move(fields);
  table.recordSize = kVariableBytes * c.variables.totalElements;
  table.size = 1;
  c.tables.tables.push_back(std::move(table));
  indexTableName(c, c.tables.tables.size() - 1);
  c.tables.count += 1;
  c.tables.publicPosition = c.tables.count;
  if (count > kMaxPublic) reportError(c, "Too many public variables, max is %d.", kMaxPublic);
}

bool overlap(const FieldDescriptor& a, const FieldDescriptor& b) {
  return a.firstIndex < b.firstIndex + b.count && b.firstIndex < a.firstIndex + a.count;
}

void reportDuplicateFields(Compilation& c, const TableDescriptor& t) {
  for (std::size_t i = 0; i < t.fields.size(); ++i) {
    for (std::size_t j = i + 1; j < t.fields.size(); ++j) {
      if (nameEquals(t.fields[i].name.c_str(), t.fields[j].name.c_str()) &&
          overlap(t.fields[i], t.fields[j]))
        reportError(c, "Duplicate field name %s in DataTable %s.",
                    t.fields[j].name.c_str(), t.name.c_str());
    }
  }
}

// Sizes the data tables [1, end) from the storage budget; false at a stop.
bool sizeDataTables(Compilation& c, std::size_t end) {
  std::vector<TableDescriptor>& tables = c.tables.tables;
  std::int64_t budget = kStorageBudget;
  float rate = 0.0f;  // bytes per second of the automatic tables
  for (std::size_t i = 1; i < end; ++i) {
    TableDescriptor& t = tables[i];
    if ((t.flags & kTableFlagCalled) == 0) {
      reportError(c, "DataTable %s declared but not called.", t.name.c_str());
    } else if ((t.flags & kTableFlagAutoSize) != 0) {
      if ((t.flags & kTableFlagInterval) == 0) {
        reportError(c, "Table %s must use DataInterval to auto-allocate.", t.name.c_str());
        return false;
      }
      budget -= kAutoReserve;
      rate += static_cast<float>(t.recordSize) / static_cast<float>(t.interval);
    } else {
      t.recordsPer512 = recordsPer512(t.recordSize);
      t.size += t.recordsPer512;
      budget -= static_cast<std::int64_t>(t.size) * t.recordSize;
    }
  }
  float seconds = 0.0f;  // how long the automatic tables last
  if (rate != 0.0f) {
    seconds = static_cast<float>(budget) / rate;
    if (!(seconds > 0.0f)) {
      reportError(c, "Not enough memory for DataTables.");
      return false;
    }
  }
  for (std::size_t i = 1; i < end; ++i) {
    TableDescriptor& t = tables[i];
    reportDuplicateFields(c, t);
    if ((t.flags & kTableFlagCalled) == 0) continue;
    if ((t.flags & kTableFlagAutoSize) != 0) {
      const float bytes = static_cast<float>(t.recordSize) * seconds;
      const float perBlock = static_cast<float>(t.interval) * static_cast<float>(kBlockBytes);
      t.blocks = static_cast<std::int32_t>(std::floor(bytes / perBlock));
      t.recordsPer512 = recordsPer512(t.recordSize);
    } else {
      const std::int32_t blocks = t.size * t.recordSize / kBlockBytes + 1;
      t.blocks = blocks < kMinBlocks ? kMinBlocks : (blocks > kMaxBlocks ? kMaxBlocks : blocks);
    }
  }
  return true;
}

void putName(Bytes& b, const std::string& text) {
  b.insert(b.end(), text.begin(), text.end());
  b.push_back(0);
}

// One field of a table's entry (see format/image_format.h).
void putField(Bytes& b, const FieldDescriptor& f) {
  putU8(b, f.dataType);
  putName(b, f.name);
  putU8(b, 0);
  putName(b, f.processing);
  putName(b, f.units);
  putU8(b, 0);
  putU32Be(b, static_cast<std::uint32_t>(f.firstIndex));
  putU32Be(b, static_cast<std::uint32_t>(f.count));
  if (f.subDimension > 1) putU32Be(b, static_cast<std::uint32_t>(f.subDimension));
  putU32(b, 0);
}

}  // namespace

void buildDefinitionBlock(Compilation& c) {
  Bytes& b = c.tables.definitions;
  b.clear();
  putU8(b, definitions::kLeadingByte);
  bool first = true;
  for (TableDescriptor& t : c.tables.tables) {
    // The leading byte counts as part of the first table's name.
    t.entryStart = first ? 0 : b.size();
    first = false;
    putName(b, t.name);
    t.nameEnd = b.size();
    putU32(b, 0);  // entry length, filled below
    putU8(b, definitions::kTableByte);
    b.insert(b.end(), definitions::kTableZeroBytes, 0);
    for (const FieldDescriptor& f : t.fields) putField(b, f);
    putU8(b, definitions::kFieldListEnd);
    t.entryEnd = b.size();
    storeU32(b, t.nameEnd, static_cast<std::uint32_t>(t.entryEnd - t.nameEnd));
  }
  // Every part only grows the block, so checking once at the end finds
  // the same overflow as checking after each part.
  if (b.size() > kMaxDefinitionBlock) {
    reportError(c, "Table definitions exceed max size of %d.",
                static_cast<int>(kMaxDefinitionBlock));
    b.clear();
  }
}

void allocateTables(Compilation& c) {
  TableList& t = c.tables;
  if (t.depth != 0) {
    reportError(c, "DataTable ... EndTable not matched.");
    return;
  }
  const std::size_t dataTablesEnd = static_cast<std::size_t>(t.count);
  addPublicTable(c);
  if (!sizeDataTables(c, dataTablesEnd)) return;
  const int used = c.variables.totalElements + (kVariableLocations - c.header.locationPool);
  if (used > kVariableLocations) {
    reportError(c, "Insufficient Memory for variables and output processing, memory exceeded by %d locations.",
                used - kVariableLocations);
    return;
  }
  buildDefinitionBlock(c);
}

}  // namespace vk6
