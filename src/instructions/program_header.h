// Program-header fields that handlers set while they compile, and the
// location pool: state locations that instructions take from the top of
// variable memory (254 downward) while variables fill it from 0 upward.
#pragma once

#include <cstdint>

#include "format/image_format.h"

namespace vk6 {

// The pool starts where the image header says variable memory ends.
constexpr int kLocationPoolStart = kImageLocations;

struct ProgramHeader {
  std::uint16_t beginProgOffset = 0;
  std::uint16_t scanOffset = 0;
  // Seconds: the interval of the Scan as pass 1 read it, for the
  // TimeUntilTransmit check; pass 2 reads it through compiledScanInterval,
  // which also knows whether its Scan was compiled yet.
  std::uint16_t scanInterval = 0;
  std::uint16_t publicFieldCount = 0;
  std::uint16_t pulseConfig = 0;
  std::uint16_t interruptOffset = 0;
  int locationPool = kLocationPoolStart;  // counts down
};

}  // namespace vk6
