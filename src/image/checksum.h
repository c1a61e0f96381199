// The running checksum that signs the program image, its identification
// block, the table definitions and the source the image was built from.
// The writer signs with it and the inspector checks with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>


namespace vk6 {

// 16-bit running checksum of a byte range.
std::uint16_t computeSignature(std::uint16_t seed, const std::uint8_t* bytes,
                               std::size_t count);
// The signature of a whole text, as the identification block records the
// source's: every byte of the file, a byte-order mark included.
std::uint16_t textSignature(std::string_view text);

}  // namespace vk6
