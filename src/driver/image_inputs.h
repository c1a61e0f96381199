// Bridges the compiled tables to the image writer and the listings.
#pragma once

#include "driver/listings.h"
#include "image/image_writer.h"

namespace vk6 {

struct Compilation;

// The final allocation and checks after pass 2: table sizes, public table,
// table-definition block.
void runFinalAllocation(Compilation& c);
// What the image writer needs, taken from the compiled tables.
ImageInputs collectImageInputs(Compilation& c);
// What the listing needs, taken from the compiled tables.
std::vector<ListingTable> collectListingTables(const Compilation& c);
// The table-definition block as the image writer left it.
Bytes definitionBlock(const Compilation& c);

}  // namespace vk6
