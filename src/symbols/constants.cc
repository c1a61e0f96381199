#include "symbols/constants.h"

#include "driver/compilation.h"

namespace vk6 {

void defineConstant(Compilation&, const std::string&) {}

std::int32_t unitsToSeconds(Compilation& c, std::int32_t value,
                            std::int32_t code) {
  constexpr std::int32_t kSecondsPerMinute = 60;
  constexpr std::int32_t kSecondsPerHour = 3600;
  constexpr std::int32_t kSecondsPerDay = 86400;
  switch (code) {
    case kUnitsUsec:
      reportError(c, "Units of usec not supported.");
      return 0;
    case kUnitsMsec:
      reportError(c, "Units of msec not supported.");
      return 0;
    case kUnitsSec:
      return value;
    case kUnitsMin:
      return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) * kSecondsPerMinute);
    case kUnitsHr:
      return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) * kSecondsPerHour);
    case kUnitsDay:
      return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) * kSecondsPerDay);
    default:
      return 0;
  }
}

}  // namespace vk6
