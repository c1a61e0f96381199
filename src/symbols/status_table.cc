#include "symbols/status_table.h"

#include "core/text.h"

namespace vk6 {
namespace {

struct StatusEntry {
  const char* name;
  std::uint8_t typeByte;
  std::int32_t byteSize;
};

// ORDER STATUS: field numbers 0..23 of Status.Field references.
constexpr StatusEntry kStatusFields[kStatusFieldCount] = {
    {"OSversion", 0x8B, 32},     {"OSDate", 0x8B, 8},
    {"OSSignature", 0x95, 2},    {"ProgName", 0x8B, 64},
    {"ProgSig", 0x95, 2},        {"CalOffset", 0x18, 4},
    {"HopnetAddress", 0x15, 2},  {"RfInstalled", 0x15, 2},
    {"RfNetAddr", 0x15, 2},      {"RfAddress", 0x15, 2},
    {"RfHopSeq", 0x15, 2},       {"RfPwrMode", 0x0B, 8},
    {"Rf_ForceOn", 0x15, 2},     {"Rf_Protocol", 0x15, 2},
    {"MaxTXPacket", 0x15, 2},    {"RfSignalLevel", 0x15, 2},
    {"RfRxHopnetCnt", 0x15, 2},  {"VarOutOfBounds", 0x15, 2},
    {"SkipScan", 0x15, 2},       {"TrapCode", 0x15, 2},
    {"WatchDogCnt", 0x15, 2},    {"ResetTables", 0x15, 2},
    {"BattVoltage", 0x18, 4},    {"SerialNum", 0x16, 4},
};

constexpr bool isText(const StatusEntry& e) {
  return (e.typeByte & ~kReadOnlyType) == kTextType;
}

constexpr FoldedIndex<64> kStatusIndex(kStatusFields, [](const StatusEntry& e) {
  return std::string_view(e.name);
});
static_assert(kStatusIndex.size() == kStatusFieldCount,
              "a second field of a name would never be found");

// Where each field starts in the record, and among the writable fields.
struct FieldOffsets {
  std::int32_t record[kStatusFieldCount] = {};
  std::int32_t writable[kStatusFieldCount] = {};
};

constexpr FieldOffsets makeFieldOffsets() {
  FieldOffsets o;
  std::int32_t record = 0;
  std::int32_t writable = 0;
  for (int i = 0; i < kStatusFieldCount; ++i) {
    o.record[i] = record;
    o.writable[i] = writable;
    record += kStatusFields[i].byteSize;
    if ((kStatusFields[i].typeByte & kReadOnlyType) == 0)
      writable += kStatusFields[i].byteSize;
  }
  return o;
}
constexpr FieldOffsets kFieldOffsets = makeFieldOffsets();
static_assert(makeFieldOffsets().record[kStatusFieldCount - 1] +
                  kStatusFields[kStatusFieldCount - 1].byteSize ==
              kStatusRecordSize);

}  // namespace

TableDescriptor statusTable() {
  TableDescriptor t;
  t.name = "Status";
  t.recordSize = kStatusRecordSize;
  t.size = 1;
  t.fieldCount = kStatusFieldCount;
  t.fields.resize(kStatusFieldCount);
  for (int i = 0; i < kStatusFieldCount; ++i) {
    const StatusEntry& e = kStatusFields[i];
    FieldDescriptor& f = t.fields[static_cast<std::size_t>(i)];
    f.name = e.name;
    f.dataType = e.typeByte;
    // A text field's dimensions are its characters.
    f.count = f.subDimension = isText(e) ? e.byteSize : 1;
    f.firstIndex = 1;
    f.byteSize = e.byteSize;
    f.byteOffset = kFieldOffsets.record[i];
  }
  return t;
}

StatusField findStatusField(std::string_view name) {
  const int i = kStatusIndex.find(beforeBlank(name));
  if (i < 0) return StatusField();
  const StatusEntry& e = kStatusFields[i];
  return {i, e.typeByte, e.byteSize, kFieldOffsets.record[i], kFieldOffsets.writable[i]};
}

}  // namespace vk6
