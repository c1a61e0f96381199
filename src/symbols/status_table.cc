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

bool isText(const StatusEntry& e) {
  return (e.typeByte & ~kReadOnlyType) == kTextType;
}

}  // namespace

TableDescriptor statusTable() {
  TableDescriptor t;
  t.name = "Status";
  t.recordSize = kStatusRecordSize;
  t.size = 1;
  t.fieldCount = kStatusFieldCount;
  std::int32_t offset = 0;
  for (const StatusEntry& e : kStatusFields) {
    FieldDescriptor f;
    f.name = e.name;
    f.dataType = e.typeByte;
    // A text field's dimensions are its characters.
    f.count = f.subDimension = isText(e) ? e.byteSize : 1;
    f.firstIndex = 1;
    f.byteSize = e.byteSize;
    f.byteOffset = offset;
    offset += e.byteSize;
    t.fields.push_back(f);
  }
  return t;
}

StatusField findStatusField(const std::string& name) {
  StatusField found;
  std::int32_t recordOffset = 0;
  std::int32_t writableOffset = 0;
  for (int i = 0; i < kStatusFieldCount; ++i) {
    const StatusEntry& e = kStatusFields[i];
    if (keywordCompare(name.c_str(), e.name)) {
      found = {i, e.typeByte, e.byteSize, recordOffset, writableOffset};
      return found;
    }
    recordOffset += e.byteSize;
    if ((e.typeByte & kReadOnlyType) == 0) writableOffset += e.byteSize;
  }
  return found;
}

}  // namespace vk6
