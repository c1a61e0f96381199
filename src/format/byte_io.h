// Byte order of records and images: everything little-endian except the
// few packets that say big-endian. All multi-byte stores go through here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "format/record_format.h"

namespace vk6 {

using Bytes = std::vector<std::uint8_t>;

inline void putU8(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
}
inline void putU16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void putU32(Bytes& out, std::uint32_t v) {
  putU16(out, v & 0xFFFFu);
  putU16(out, v >> 16);
}
inline std::uint32_t floatBits(float f) {
  std::uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  return bits;
}
// Bit pattern of the not-a-number value the logger uses.
constexpr std::uint32_t kLoggerNanBits = 0xFF8F8F8Fu;
inline float floatFromBits(std::uint32_t bits) {
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}
inline void putF32(Bytes& out, float f) { putU32(out, floatBits(f)); }
// A 32-bit value as two 16-bit words, the low word first.
inline std::uint16_t lowWord(std::uint32_t v) {
  return static_cast<std::uint16_t>(v);
}
inline std::uint16_t highWord(std::uint32_t v) {
  return static_cast<std::uint16_t>(v >> 16);
}
inline std::uint32_t joinWords(std::uint16_t low, std::uint16_t high) {
  return static_cast<std::uint32_t>(low) | (static_cast<std::uint32_t>(high) << 16);
}
inline void putU16Be(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}
inline void putU32Be(Bytes& out, std::uint32_t v) {
  putU16Be(out, v >> 16);
  putU16Be(out, v & 0xFFFFu);
}
inline void storeU16(Bytes& out, std::size_t at, std::uint32_t v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void storeU32(Bytes& out, std::size_t at, std::uint32_t v) {
  storeU16(out, at, v & 0xFFFFu);
  storeU16(out, at + 2, v >> 16);
}
inline std::uint16_t loadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t loadU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(loadU16(p)) |
         (static_cast<std::uint32_t>(loadU16(p + 2)) << 16);
}
inline std::uint16_t loadU16Be(const std::uint8_t* p) {
  return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}
inline std::uint32_t loadU32Be(const std::uint8_t* p) {
  return (static_cast<std::uint32_t>(loadU16Be(p)) << 16) | loadU16Be(p + 2);
}
// A NUL-padded text field of exactly `width` bytes (text cut to fit).
inline void putText(Bytes& out, const std::string& text, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i)
    out.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
}
inline void storeText(Bytes& out, std::size_t at, const std::string& text,
                      std::size_t width) {
  for (std::size_t i = 0; i < width; ++i)
    out[at + i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0;
}

// One compiled record: the opcode, a zero next-record offset word that
// appendCode fills, then the fields the handler adds. appendCode checks
// the finished record against its length in format/record_format.h.
// Records have fixed lengths, so the bytes live in the builder itself.
class RecordBuilder {
 public:
  explicit RecordBuilder(std::uint16_t opcode) : opcode_(opcode) {
    u16(opcode);
    u16(0);
  }
  RecordBuilder& u8(std::uint32_t v) { put(v); return *this; }
  RecordBuilder& u16(std::uint32_t v) { put(v); put(v >> 8); return *this; }
  RecordBuilder& u32(std::uint32_t v) { u16(v & 0xFFFFu); return u16(v >> 16); }
  RecordBuilder& f32(float v) { return u32(floatBits(v)); }
  RecordBuilder& u16Be(std::uint32_t v) { put(v >> 8); put(v); return *this; }
  RecordBuilder& u32Be(std::uint32_t v) { u16Be(v >> 16); return u16Be(v & 0xFFFFu); }
  RecordBuilder& text(const std::string& t, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) put(i < t.size() ? static_cast<std::uint8_t>(t[i]) : 0);
    return *this;
  }
  // Position of the next field, from the start of the record.
  std::size_t size() const { return size_; }
  void patchU16(std::size_t at, std::uint32_t v) {
    bytes_[at] = static_cast<std::uint8_t>(v);
    bytes_[at + 1] = static_cast<std::uint8_t>(v >> 8);
  }
  const std::uint8_t* data() const { return bytes_.data(); }
  std::uint16_t opcode() const { return opcode_; }

 private:
  // A field past the longest record is dropped; appendCode's length check
  // catches the handler that wrote it.
  void put(std::uint32_t v) {
    if (size_ < bytes_.size()) bytes_[size_++] = static_cast<std::uint8_t>(v);
  }

  std::uint16_t opcode_;
  std::array<std::uint8_t, maxRecordLength()> bytes_{};
  std::size_t size_ = 0;
};

}  // namespace vk6
