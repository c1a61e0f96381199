#include "vk6/formatter.h"

namespace vk6 {

std::string formatProgram(std::string_view text, const FormatOptions&) {
  return std::string(text);
}

}  // namespace vk6
