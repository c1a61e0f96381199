#include "driver/image_inputs.h"

#include "driver/compilation.h"

namespace vk6 {

void runFinalAllocation(Compilation&) {}

ImageInputs collectImageInputs(Compilation&) { return ImageInputs{}; }

}  // namespace vk6
