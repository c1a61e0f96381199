// Program-structure state shared by the section, flow-control and table
// handlers: open scans and blocks, header fields set by them.
#pragma once

#include <cstdint>

namespace vk6 {

struct ProgramState {
  std::int16_t beginProgOffset = -1;
  std::uint8_t scanDepth = 0;
  std::uint16_t scanInterval = 0;
  bool interrupt = false;
  bool interruptHasDo = false;
  std::uint8_t subDepth = 0;
  std::uint8_t openBlocks = 0;  // open For, If/Select, Do and While blocks
};

}  // namespace vk6
