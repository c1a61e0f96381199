#include "image/checksum.h"

#include <bit>

#include "format/image_format.h"

namespace vk6 {

std::uint16_t computeSignature(std::uint16_t seed, const std::uint8_t* bytes,
                               std::size_t count) {
  // Each step makes the low byte high and (high + low rotated left + byte)
  // the new low. Two steps at a time let the two bytes trade roles instead
  // of moving: the source is signed whole on every compile.
  std::uint8_t high = static_cast<std::uint8_t>(seed >> 8);
  std::uint8_t low = static_cast<std::uint8_t>(seed);
  std::size_t i = 0;
  for (; i + 2 <= count; i += 2) {
    high = static_cast<std::uint8_t>(high + std::rotl(low, 1) + bytes[i]);
    low = static_cast<std::uint8_t>(low + std::rotl(high, 1) + bytes[i + 1]);
  }
  if (i < count) {
    const auto next = static_cast<std::uint8_t>(high + std::rotl(low, 1) + bytes[i]);
    high = low;
    low = next;
  }
  return static_cast<std::uint16_t>((high << 8) | low);
}

std::uint16_t textSignature(std::string_view text) {
  return computeSignature(kSignatureSeed,
                          reinterpret_cast<const std::uint8_t*>(text.data()),
                          text.size());
}

}  // namespace vk6
