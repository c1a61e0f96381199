// The table list: the status table, the data tables in declaration order
// and, after the final allocation, the public table; each table with its
// field descriptors. Also the state of the table being declared (running
// record size and field count, the queue of field writers).
//
// What the image writer and the listings read, after allocateTables
// (instructions/table_allocation.h) has run without error:
//   c.tables.tables          every table in list order: [0] the status table,
//                            the data tables, the public table last
//                            (TableDescriptor: name, interval, offset, flags,
//                            recordSize, recordsPer512, blocks, fields and
//                            the three definition-block offsets)
//   TableDescriptor::fields  FieldDescriptor: name, byteOffset, byteSize,
//                            dataType, count, subDimension, firstIndex, units,
//                            processing
//   c.tables.publicPosition  the public table's position (the table count
//                            once it was added), 255 without one
//   c.header.publicFieldCount  number of public fields
//   c.tables.definitions     the table-definition block; its size() is the
//                            recorded length (empty after an error)
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/text.h"
#include "format/image_format.h"  // kNoPublicTable
#include "format/operand_word.h"  // kNoOperand

namespace vk6 {

// Table flag bits.
constexpr std::uint8_t kTableFlagInterval = 1;
constexpr std::uint8_t kTableFlagAutoSize = 2;
constexpr std::uint8_t kTableFlagCalled = 4;

struct FieldDescriptor {
  std::int32_t count = 0;         // elements (the dimension)
  std::int32_t subDimension = 1;  // written to the block only when above 1
  std::int32_t firstIndex = 1;
  std::int32_t byteSize = 0;      // count x the data type's size
  std::int32_t byteOffset = 0;    // of the first value in the record
  std::uint8_t dataType = 0;      // status fields: bit 7 marks read-only
  std::string name;               // at most 16 characters
  std::string units;              // at most 10 characters
  std::string processing;         // at most 64 characters
};

struct TableDescriptor {
  std::uint32_t interval = 0;  // seconds
  std::uint32_t offset = 0;    // seconds into the interval
  std::int32_t fieldCount = 0;
  std::int32_t recordSize = 0;
  std::int32_t size = 0;  // records as declared; negative: automatic
  std::vector<FieldDescriptor> fields;
  // Field name up to its first blank -> positions in `fields`, ascending,
  // letters folded; data tables only, set once their fields are written.
  FoldedMap<std::vector<std::size_t>> fieldsByName;
  std::uint16_t codeOffset = 0;  // of the DATATABLE record
  std::string name;
  int line = 0;  // of the DataTable statement
  std::uint8_t flags = 0;
  // Set by the final allocation.
  std::int32_t recordsPer512 = 0;  // 0 for the status and public tables
  std::int32_t blocks = 1;         // 256-byte blocks; 1 for status and public
  // Offsets in the table-definition block: where the entry starts (0 for
  // the first table: the block's leading byte), just past the name's NUL
  // (the entry-length field) and just past the field-list terminator.
  std::size_t entryStart = 0;
  std::size_t nameEnd = 0;
  std::size_t entryEnd = 0;
};

// One output instruction's saved context, written into field descriptors
// at EndTable (the table's field-writer queue).
struct OutputContext {
  int kind = 0;  // output kind (instructions/field_builder.h)
  int reps = 1;
  int k = 1;     // values per repetition; -1 value and time
  int subDimension = 1;
  std::uint16_t sourceOperand = kNoOperand;
  std::uint16_t disableOperand = kNoOperand;
  // The source's elements in variable memory, [first, first + reps x |k|);
  // first is -1 when the source is no variable (a Table.Field, the ETo value).
  int sourceFirst = -1;
  int recordOffset = 0;
  int beginIndex = 1;
  std::string sourceName;  // the variable's or field's name; "" without
  bool hasFieldNames = false;
  std::string fieldNames;  // the FieldNames text this output starts from
  std::uint8_t dataType = 9;
};

struct TableList {
  std::vector<TableDescriptor> tables;
  // Table name -> position of the first table of the name, letters folded;
  // empty names are left out (symbols/tables.h keeps it).
  FoldedMap<std::size_t> firstNamed;
  int count = 0;    // tables completed (their EndTable compiled)
  int depth = 0;    // 1 between DataTable and EndTable
  int current = 0;  // index of the table being declared
  int fieldCount = 0;   // running, of the table being declared
  int recordSize = 0;   // running, of the table being declared
  std::vector<OutputContext> writers;  // queued, of the table being declared
  int publicPosition = kNoPublicTable;
  std::vector<std::uint8_t> definitions;  // the table-definition block
};

}  // namespace vk6
