// Bridges the compiled tables to the image writer and the listings.
#pragma once

#include "image/image_writer.h"

namespace vk6 {

struct Compilation;

// The final allocation and checks after pass 2: table sizes, public table,
// table-definition block.
void runFinalAllocation(Compilation& c);
// What the image writer needs, taken from the compiled tables.
ImageInputs collectImageInputs(Compilation& c);

}  // namespace vk6
