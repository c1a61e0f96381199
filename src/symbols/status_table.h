// The logger's fixed status record, known to the compiler as table 0,
// "Status": 24 fields in a 158-byte record. Registered at the start of
// pass 2 so that it stands in the image and the definition block like a
// data table, and looked up by SetStatus and Status.Field references.
#pragma once

#include <cstdint>
#include <string_view>

#include "symbols/tables_state.h"

namespace vk6 {

constexpr int kStatusFieldCount = 24;
constexpr std::int32_t kStatusRecordSize = 158;
constexpr std::uint8_t kReadOnlyType = 0x80;  // bit of the type byte
constexpr std::uint8_t kTextType = 11;        // one byte per character

// The status table's descriptor: name, fields with their record offsets,
// record size 158, size 1 record, no interval.
TableDescriptor statusTable();

struct StatusField {
  int index = -1;           // 0..23, -1 when no field has the name
  std::uint8_t typeByte = 0;
  std::int32_t byteSize = 0;
  std::int32_t recordOffset = 0;
  std::int32_t writableOffset = 0;  // among the writable fields before it
};

// The first status field whose name matches (keywordCompare, so case is
// ignored).
StatusField findStatusField(std::string_view name);

}  // namespace vk6
