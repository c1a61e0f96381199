// Bridges the compiled tables to the image writer, which reads the table
// list's own descriptors.
#pragma once

#include "image/image_writer.h"

namespace vk6 {

struct Compilation;

// What the image writer needs of the compiled tables: the table list and
// its definition block, which the writer marks in place.
ImageInputs collectImageInputs(Compilation& c);

}  // namespace vk6
