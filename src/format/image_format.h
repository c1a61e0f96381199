// The program image, as the writer builds it and the inspector reads it.
// In order:
//   the program header        kProgramHeaderSize bytes
//   the code                  records, see record_format.h
//   the expression area       stack code and constant blocks
//   the identification block  kIdentificationSize bytes
//   one header per table      kTableHeaderSize bytes each
//   one header per field      kFieldHeaderSize bytes each, table by table
//   the table-definition block
// Numbers are little-endian but the field numbers of the definition block.
// The image signature covers every byte from the length word to the end.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vk6 {

constexpr std::uint16_t kImageMagic = 0x5AFE;
constexpr std::uint16_t kSignatureSeed = 0xAAAA;
// Reserved words, the first word of all but the first table header and
// the signature of an unsigned definition entry.
constexpr std::uint16_t kUnsetWord = 0xFFFF;
constexpr std::uint32_t kUnsetLong = 0xFFFFFFFFu;
constexpr std::uint16_t kNoPublicTable = 255;  // the public table position
// Variable memory as the header states it; the location pool starts there.
constexpr std::uint16_t kImageLocations = 254;
// Fills the rest of a name field after the name's NUL.
constexpr std::uint8_t kNamePadding = 0xFF;

constexpr std::size_t kProgramHeaderSize = 46;
constexpr std::size_t kIdentificationSize = 108;
constexpr std::size_t kTableHeaderSize = 46;
constexpr std::size_t kFieldHeaderSize = 24;

// The program header: a u16 at each offset but the u32 at kReserved40.
namespace program_header {
constexpr std::size_t kMagic = 0;
constexpr std::size_t kModelSignature = 2;  // of the model string
constexpr std::size_t kReserved4 = 4;
constexpr std::size_t kImageSignature = 6;
constexpr std::size_t kImageLength = 8;  // bytes from this word to the end
constexpr std::size_t kCodeOffset = 10;
constexpr std::size_t kBeginProg = 12;  // a code offset
constexpr std::size_t kScan = 14;  // a code offset
constexpr std::size_t kAreaOffset = 16;
constexpr std::size_t kScanInterval = 18;
constexpr std::size_t kPublicFieldCount = 20;
constexpr std::size_t kLocationPool = 22;  // lowest pool location taken
constexpr std::size_t kLocations = 24;
constexpr std::size_t kTableHeaders = 26;
constexpr std::size_t kReserved28 = 28;
constexpr std::size_t kTableCount = 30;
constexpr std::size_t kPublicPosition = 32;  // 1-based; kNoPublicTable
constexpr std::size_t kDefinitions = 34;
constexpr std::size_t kDefinitionsLength = 36;
constexpr std::size_t kPulseConfig = 38;
constexpr std::size_t kReserved40 = 40;
constexpr std::size_t kInterrupt = 44;  // a code offset; 0 without one
}  // namespace program_header

// Header words that hold the same value in every image.
struct FixedHeaderWord {
  std::size_t offset;
  std::size_t width;
  std::uint32_t value;
};
inline constexpr FixedHeaderWord kFixedHeaderWords[] = {
    {program_header::kReserved4, 2, kUnsetWord},
    {program_header::kCodeOffset, 2, kProgramHeaderSize},
    {program_header::kLocations, 2, kImageLocations},
    {program_header::kReserved28, 2, kUnsetWord},
    {program_header::kReserved40, 4, kUnsetLong},
};

// The identification block: fixed-width texts, then the signature of the
// source text.
namespace identification {
constexpr std::size_t kModel = 0;  // NUL-terminated, padded with 0xFF
constexpr std::size_t kModelSize = 32;
constexpr std::size_t kBuildDate = 32;  // padded with NULs
constexpr std::size_t kBuildDateSize = 8;
constexpr std::size_t kReserved40 = 40;  // u16 kUnsetWord
constexpr std::size_t kProgramName = 42;  // padded with NULs
constexpr std::size_t kProgramNameSize = 64;
constexpr std::size_t kSourceSignature = 106;
}  // namespace identification

// A table header. The three entry offsets point into the definition block.
namespace table_header {
constexpr std::size_t kFirstWord = 0;  // the first table: the identification
                                       // block's offset; the others unset
constexpr std::size_t kReserved2 = 2;
constexpr std::size_t kRecordSize = 4;
constexpr std::size_t kRecordsPer512 = 6;
constexpr std::size_t kInterval = 8;  // u32 seconds
constexpr std::size_t kIntervalOffset = 12;  // u32 seconds
constexpr std::size_t kBlocks = 16;  // of 256 bytes
constexpr std::size_t kFieldHeaders = 18;  // image offset of its first
constexpr std::size_t kNameEnd = 20;  // just past the entry's name
constexpr std::size_t kEntryStart = 22;
constexpr std::size_t kEntryEnd = 24;
constexpr std::size_t kEntrySignature = 26;  // kUnsetWord when unsigned
constexpr std::size_t kName = 28;  // NUL-terminated, padded with 0xFF
constexpr std::size_t kNameSize = 16;
constexpr std::size_t kFlags = 44;  // u8
constexpr std::size_t kFieldCount = 45;  // u8
}  // namespace table_header

namespace field_header {
constexpr std::size_t kByteOffset = 0;  // in the record
constexpr std::size_t kByteSize = 2;
constexpr std::size_t kDataType = 4;
constexpr std::size_t kName = 6;  // NUL-terminated, padded with 0xFF
constexpr std::size_t kNameSize = 17;
constexpr std::size_t kReserved23 = 23;  // u8 0
}  // namespace field_header

// The table-definition block: kLeadingByte, then one entry per table:
//   name, NUL
//   u32 entry length, replaced in the image by kSignedMarker (the status
//       and the public table) or kDataTableMarker
//   u8 kTableByte, kTableZeroBytes zero bytes
//   per field: u8 data type, name NUL, u8 0, processing NUL, units NUL,
//       u8 0, u32be first index, u32be count, u32be sub-dimension (only
//       when above 1), u32 0
//   u8 kFieldListEnd
// The signature of a signed entry covers the bytes from the end of the
// entry before it (from 1 for the first) to its own end.
namespace definitions {
constexpr std::uint8_t kLeadingByte = 0x01;
constexpr std::size_t kFirstSigned = 1;  // the leading byte is never signed
constexpr std::size_t kMarkerSize = 4;
constexpr std::uint32_t kSignedMarker = 0x01000000u;
constexpr std::uint32_t kDataTableMarker = 0xFFFFFFFFu;
constexpr std::uint8_t kTableByte = 0x0C;
constexpr std::size_t kTableZeroBytes = 16;
constexpr std::uint8_t kFieldListEnd = 0;
}  // namespace definitions

}  // namespace vk6
