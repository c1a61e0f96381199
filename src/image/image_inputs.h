// Bridges the compiled tables to the image writer and the listings.
#pragma once

#include <vector>

#include "image/listings.h"
#include "image/image_writer.h"

namespace vk6 {

struct Compilation;

// What the image writer needs, taken from the compiled tables; the
// definitions point at the table list's block, which the writer marks.
ImageInputs collectImageInputs(Compilation& c);
// What the listing needs, taken from the compiled tables.
std::vector<ListingTable> collectListingTables(const Compilation& c);

}  // namespace vk6
