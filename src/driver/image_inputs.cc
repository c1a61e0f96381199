#include "driver/image_inputs.h"

#include "driver/compilation.h"

namespace vk6 {

void runFinalAllocation(Compilation&) {}

ImageInputs collectImageInputs(Compilation&) { return ImageInputs{}; }

std::vector<ListingTable> collectListingTables(const Compilation&) { return {}; }

Bytes definitionBlock(const Compilation&) { return {}; }

}  // namespace vk6
