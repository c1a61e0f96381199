#include "image/image_inputs.h"

#include "core/compilation.h"
#include "symbols/tables_state.h"

namespace vk6 {

ImageInputs collectImageInputs(Compilation& c) {
  ImageInputs inputs;
  inputs.tables = c.tables.tables;
  inputs.definitions = &c.tables.definitions;
  inputs.publicTablePosition = static_cast<std::uint16_t>(c.tables.publicPosition);
  return inputs;
}

}  // namespace vk6
