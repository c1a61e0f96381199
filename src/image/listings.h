// The optional outputs that describe the data tables of a successful
// compile: a text listing for people (-l) and a byte copy of the
// table-definition block for tools (-z).
#pragma once

#include <span>
#include <string>

#include "format/byte_io.h"
#include "symbols/tables_state.h"

namespace vk6 {

// The listing text of the tables of the table list (the first, the status
// table, is never listed).
std::string tableListingText(std::span<const TableDescriptor> tables);
// The table-definition file: one 0x01 byte, then the block.
Bytes definitionFileBytes(const Bytes& block);

}  // namespace vk6
