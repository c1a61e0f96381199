// Byte order of records and images: everything little-endian except the
// few packets that say big-endian. All multi-byte stores go through here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

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
class RecordBuilder {
 public:
  static constexpr std::size_t kTypicalRecordSize = 64;

  explicit RecordBuilder(std::uint16_t opcode) : opcode_(opcode) {
    bytes_.reserve(kTypicalRecordSize);  // one allocation for most records
    putU16(bytes_, opcode);
    putU16(bytes_, 0);
  }
  RecordBuilder& u8(std::uint32_t v) { putU8(bytes_, v); return *this; }
  RecordBuilder& u16(std::uint32_t v) { putU16(bytes_, v); return *this; }
  RecordBuilder& u32(std::uint32_t v) { putU32(bytes_, v); return *this; }
  RecordBuilder& f32(float v) { putF32(bytes_, v); return *this; }
  RecordBuilder& u16Be(std::uint32_t v) { putU16Be(bytes_, v); return *this; }
  RecordBuilder& u32Be(std::uint32_t v) { putU32Be(bytes_, v); return *this; }
  RecordBuilder& text(const std::string& t, std::size_t width) {
    putText(bytes_, t, width);
    return *this;
  }
  // Position of the next field, from the start of the record.
  std::size_t size() const { return bytes_.size(); }
  void patchU16(std::size_t at, std::uint32_t v) { storeU16(bytes_, at, v); }
  const Bytes& bytes() const { return bytes_; }
  std::uint16_t opcode() const { return opcode_; }

 private:
  std::uint16_t opcode_;
  Bytes bytes_;
};

}  // namespace vk6
