// The inspector's two renderings of one inspected image: a readable text
// report and the same content as one JSON document.
#pragma once

#include <string>

#include "dump/image_reader.h"

namespace vk6 {

std::string reportText(const ImageDump& dump);
std::string reportJson(const ImageDump& dump);

}  // namespace vk6
