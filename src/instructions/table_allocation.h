// The final allocation, run once after pass 2 when no error was reported:
// the public table, the checks of the declared tables, their sizes from
// the storage budget, the location-pool check, and the table-definition
// block that the image and the definition file carry.
#pragma once

#include <cstddef>

namespace vk6 {

struct Compilation;

constexpr std::size_t kMaxDefinitionBlock = 15360;

// Stops at its first fatal check, leaving the later steps undone. Results
// are in c.tables (see symbols/tables.h) and c.header.publicFieldCount.
void allocateTables(Compilation& c);

// Builds the table-definition block of every table in the list into
// c.tables.definitions and records each table's entry offsets; reports a
// block over kMaxDefinitionBlock bytes and then leaves it empty.
void buildDefinitionBlock(Compilation& c);

}  // namespace vk6
