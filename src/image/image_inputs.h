// Bridges the compiled tables to the image writer and the listings: both
// read the table list's own descriptors.
#pragma once

#include <span>

#include "image/image_writer.h"

namespace vk6 {

struct Compilation;

// What the image writer needs of the compiled tables: the table list and
// its definition block, which the writer marks in place.
ImageInputs collectImageInputs(Compilation& c);
// The tables the listing lists: the table list itself.
std::span<const TableDescriptor> collectListingTables(const Compilation& c);

}  // namespace vk6
