// Tables and their fields as the compile builds them (symbols/tables_state.h
// says what each holds and what the image writer reads), and the
// resolution of Table.Field names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "symbols/tables_state.h"

namespace vk6 {

struct Compilation;

constexpr std::int32_t kNoElement = static_cast<std::int32_t>(0x80000000u);

// Modes of resolveTableField.
constexpr int kResolveRange = 0;  // output sources: a within the field's indices
constexpr int kResolveIndex = 1;  // expressions: 0 < a <= the field's count

constexpr std::size_t kMaxFieldNameLength = 16;
constexpr std::size_t kMaxUnitsLength = 10;
constexpr std::size_t kMaxProcessingLength = 64;

// Start of pass 2: an empty list holding only the status table.
void startTables(Compilation& c);
// Indexes the name of table `index` once it is set, for findTableNamed.
// REQUIRES: each table is named once.
void indexTableName(Compilation& c, std::size_t index);
// Position of the first table named `name` (letters folded, the whole
// name), or -1.
int findTableNamed(const Compilation& c, std::string_view name);
// As findTableNamed, but `name` is matched up to its first blank or NUL,
// as keywordCompare matches it.
int findTableKeyword(const Compilation& c, const std::string& name);

// Indexes the fields of data table `index` once they are written, for
// resolveTableField.
void indexTableFields(Compilation& c, std::size_t index);

// Resolves `name` ("Table.Field") with an element number or kNoElement,
// in kResolveIndex or kResolveRange mode, into the table word
// (kPublicTableNumber, kStatusTableNumber, kDataTableNumberBase + index)
// and the field word (the field's position, or a special field). Returns 1
// for a special field, else 0; reports what it cannot resolve.
int resolveTableField(Compilation& c, const std::string& name,
                      std::int32_t element, int mode, std::uint16_t& table,
                      std::uint16_t& field);

}  // namespace vk6
