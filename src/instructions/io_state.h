// Program-wide state of the serial and SDI-12 instructions: each of these
// may appear once per program, and the SDI-12 sensor responses copy the
// fields of the one sensor setup. Set by the first statement of its kind
// and never reset during a compile.
#pragma once

#include <cstddef>

namespace vk6 {

struct IoState {
  bool serialInputSeen = false;
  bool loggerIdentifySeen = false;
  bool sensorSetupSeen = false;
  std::size_t sensorSetupOffset = 0;  // code offset of the setup record
};

}  // namespace vk6
