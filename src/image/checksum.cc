#include "image/checksum.h"

#include "format/image_format.h"

namespace vk6 {

std::uint16_t computeSignature(std::uint16_t seed, const std::uint8_t* bytes,
                               std::size_t count) {
  unsigned high = seed >> 8;
  unsigned low = seed & 0xFFu;
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned rotated = ((low << 1) | (low >> 7)) & 0xFFu;
    const unsigned newLow = (high + rotated + bytes[i]) & 0xFFu;
    high = low;
    low = newLow;
  }
  return static_cast<std::uint16_t>((high << 8) | low);
}

std::uint16_t textSignature(const std::string& text) {
  return computeSignature(kSignatureSeed,
                          reinterpret_cast<const std::uint8_t*>(text.data()),
                          text.size());
}

}  // namespace vk6
