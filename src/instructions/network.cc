// Data exchange with other loggers over the network (through the radio or
// the RS-232 port) and writes to the logger's status table. GetValue,
// SetValue and SendData carry the packet the logger sends, big-endian.

#include <string>

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "core/text.h"
#include "expr/operands.h"
#include "format/byte_io.h"
#include "format/record_format.h"
#include "instructions/code_buffer.h"
#include "instructions/communication.h"
#include "instructions/communication_support.h"
#include "instructions/handlers.h"
#include "instructions/sections_flow.h"
#include "parse/statement_buffer.h"
#include "symbols/status_table.h"
#include "symbols/tables.h"
#include "symbols/tables_state.h"

namespace vk6 {
namespace {

constexpr std::uint8_t kMaxPortIndex = 1;  // port - 1: radio 0, RS-232 1
constexpr int kMaxInfoPort = 2;
constexpr std::uint16_t kMaxAddress = 4094;
constexpr std::uint16_t kAddressMask = 0x0FFF;
constexpr std::uint16_t kSelfNeighbor = 0xFFFF;  // written -1
constexpr int kMaxGetCount = 17;
constexpr int kMaxSendCount = 48;

// Address tags of the network packets.
constexpr std::uint16_t kTagRepeaterSgd = 0xB000;
constexpr std::uint16_t kTagRepeater = 0xA000;
constexpr std::uint16_t kTagHost = 0x1000;
constexpr std::uint16_t kTagNeighbor = 0x8000;
constexpr std::uint16_t kTagNeighborTo = 0x2000;
constexpr std::uint16_t kSendGetDataCommand = 0x2200;
constexpr std::uint16_t kSendDataCommand = 0x1401;
constexpr std::uint8_t kGetValueCommand = 0x1A;
constexpr std::uint8_t kSetValueCommand = 0x1B;
constexpr std::uint8_t kValueFieldCount = 1;
constexpr const char* kRemoteTable = "Public";
constexpr std::uint8_t kRemoteFieldType = 9;
constexpr std::size_t kMaxRemoteField = 16;
constexpr std::size_t kPacketSpace = 37;  // the longest packet
constexpr std::size_t kGetValueTail = 9;  // reserved bytes after the packet
constexpr std::size_t kSetValueTail = 9;
constexpr std::size_t kDataReserved = 5;

constexpr std::uint8_t kDataTypeMask = 0x7F;
constexpr const char* kPowerModeField = "RfPwrMode";
constexpr const char* kPowerModes[] = {"RF_ON",   "RFpinEn", "RF1_Sec", "RF8_Sec",
                                       "RF1S_LH", "RF8S_LH", "NO_RF",   ""};
constexpr int kMaxPowerMode = 7;
constexpr std::size_t kPowerModeText = 8;

// Checks port - 1 as the record holds it; returns it.
std::uint8_t checkedPort(Compilation& c, std::uint32_t port, const char* message) {
  const std::uint8_t index = static_cast<std::uint8_t>(port - 1);
  if (index > kMaxPortIndex) reportError(c, message, static_cast<std::int32_t>(port));
  return index;
}

// Checks a network address (its low 16 bits); returns them.
std::uint16_t checkedAddress(Compilation& c, std::uint32_t address, const char* message) {
  const std::uint16_t value = static_cast<std::uint16_t>(address);
  if (value == 0 || value > kMaxAddress) reportError(c, message, value);
  return value;
}

// Addresses and packet code of GetValue and SetValue, after the name.
struct ValueTarget {
  std::uint8_t port = 0;
  std::uint16_t host = 0, repeater = 0, code = 0;
};

// The packet of GetValue (0x1A) and SetValue (0x1B): 0 u16be repeater tag,
// 2 u16be repeater, 4 u16be host tag, 6 u16be host, 8 u8 command, 9 u8 1,
// 10 u16be packet code, 12 "Public" and 0, 19 u8 9, 20 field name and 0.
Bytes valuePacket(const ValueTarget& t, std::uint8_t command, const std::string& field) {
  Bytes p;
  putU16Be(p, kTagRepeater | t.repeater);
  putU16Be(p, t.repeater);
  putU16Be(p, kTagHost | t.host);
  putU16Be(p, t.host);
  p.insert(p.end(), {command, kValueFieldCount});
  putU16Be(p, t.code);
  putText(p, kRemoteTable, std::string(kRemoteTable).size() + 1);
  putU8(p, kRemoteFieldType);
  putText(p, field, field.size() + 1);
  return p;
}

// GetValue and SetValue alike; null `target` when the name is refused.
struct ValueOperands {
  std::uint16_t first = 0, value = 0, array = 0;
  std::string field;
};
bool readValueStatement(Compilation& c, const Statement& st, const char* label,
                        ValueOperands& v, ValueTarget& t) {
  v.first = resolveOperand(c, st.word(1));
  v.value = resolveOperand(c, st.word(3));
  v.array = parameterLocation(c, st.word(2), label);
  v.field = st.textAt(4);
  if (v.field.empty() || v.field.size() > kMaxRemoteField) {
    reportError(c, "Invalid FieldName string. The Max characters is %d & Min is 1).",
                static_cast<int>(kMaxRemoteField));
    return false;
  }
  const int next = 4 + st.textWords(4);
  t.port = checkedPort(c, st.word(next), "Invalid Port %d must be either 1-RF or 2-RS232.");
  t.host = checkedAddress(c, st.word(next + 1),
                          "Invalid host address %d must greater than zero or less than 4095.");
  t.repeater = checkedAddress(c, st.word(next + 2),
                              "Invalid repeater address %d must be (0 < address < 4095).");
  t.code = static_cast<std::uint16_t>(st.word(next + 3));
  return true;
}

void appendPadded(RecordBuilder& r, const Bytes& bytes, std::size_t width) {
  appendBytes(r, bytes);
  for (std::size_t i = bytes.size(); i < width; ++i) r.u8(0);
}

}  // namespace

HandlerResult handleSendGetData(Compilation& c, const Statement& st) {
  refuseInInterruptSequence(c);
  // 0 u16 opcode; 2 u16 next; 4 u16 first variable; 6 u16 receiving
  // array; 8 u16 sent array; 10 u16 0xB000|repeater; 12 u16 0; 14 u16
  // 0x1000|host; 16 u16 0; 18 u16 0x2200; 20 u16 last parameter; 22 u16 0;
  // 24 u16 received count; 26 u16 sent count; 28 u8 port - 1; 29 u8 0.
  RecordBuilder r(kRecordSendGetData);
  writeOperand(c, r, st.word(1));
  const std::uint16_t in = parameterLocation(c, st.word(2), "Input Dest");
  if (elementsOf(in) > kMaxGetCount)
    reportError(c, "The VK6xx cannot get %d number of variables, must be <= %d.",
                elementsOf(in), kMaxGetCount);
  const std::uint16_t out = parameterLocation(c, st.word(3), "Output Source");
  if (elementsOf(out) > kMaxSendCount)
    reportError(c, "The VK6xx cannot send %d number of variables, must be <= %d.",
                elementsOf(out), kMaxSendCount);
  const std::uint8_t port =
      checkedPort(c, st.word(4), "Invalid Port %d must be either 1->RF or 2->RS232.");
  const std::uint16_t host = checkedAddress(
      c, st.word(5), "Invalid host address %d must be (0 < address < 4095).");
  const std::uint16_t repeater = checkedAddress(
      c, st.word(6), "Invalid repeater address %d must be (0 < address < 4095).");
  r.u16(in).u16(out).u16(kTagRepeaterSgd | repeater).u16(0).u16(kTagHost | host).u16(0);
  r.u16(kSendGetDataCommand).u16(st.word(7)).u16(0);
  r.u16(static_cast<std::uint32_t>(elementsOf(in)));
  r.u16(static_cast<std::uint32_t>(elementsOf(out)));
  r.u8(port).u8(0);
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

HandlerResult handleGetValue(Compilation& c, const Statement& st) {
  ValueOperands v;
  ValueTarget t;
  if (!readValueStatement(c, st, "Input Location Dst", v, t))
    return HandlerResult::kNothing;
  const Bytes packet = valuePacket(t, kGetValueCommand, v.field);
  // 0 u16 opcode; 2 u16 next; 4 u16 first variable; 6 u16 value; 8 u16
  // receiving array; 10 u16 host; 12 u16 repeater; 14 packet (37 bytes
  // room); 51 9 bytes 0; 60 u8 packet length; 61 u8 port - 1.
  RecordBuilder r(kRecordGetValue);
  r.u16(v.first).u16(v.value).u16(v.array).u16(t.host).u16(t.repeater);
  appendPadded(r, packet, kPacketSpace + kGetValueTail);
  r.u8(static_cast<std::uint32_t>(packet.size())).u8(t.port);
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

HandlerResult handleSetValue(Compilation& c, const Statement& st) {
  ValueOperands v;
  ValueTarget t;
  if (!readValueStatement(c, st, "Output Location Src", v, t))
    return HandlerResult::kNothing;
  const Bytes packet = valuePacket(t, kSetValueCommand, v.field);
  // 0 u16 opcode; 2 u16 next; 4 u16 host; 6 u16 repeater; 8 packet (37
  // bytes room); 45 9 bytes 0; 54 u16 first variable; 56 u16 value; 58 u16
  // sent array; 60 u16 packet length; 62 u8 port - 1; 63 u8 0.
  RecordBuilder r(kRecordSetValue);
  r.u16(t.host).u16(t.repeater);
  appendPadded(r, packet, kPacketSpace + kSetValueTail);
  r.u16(v.first).u16(v.value).u16(v.array);
  r.u16(static_cast<std::uint32_t>(packet.size())).u8(t.port).u8(0);
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

HandlerResult handleSendData(Compilation& c, const Statement& st) {
  // The status table first, then the user tables.
  const std::vector<TableDescriptor>& tables = c.tables.tables;
  refuseInInterruptSequence(c);
  const std::uint8_t port =
      checkedPort(c, st.word(1), "Invalid Port %d must be either 1-RF or 2-RS232.");
  const std::uint16_t host = checkedAddress(
      c, st.word(3), "Invalid host address %d must be must be (0 < address < 4095).");
  std::uint16_t neighbor = static_cast<std::uint16_t>(st.word(2));
  if (neighbor == kSelfNeighbor) {
    neighbor = host;
  } else {
    checkedAddress(c, neighbor, "Invalid Neighbor address %d must be (0 < address < 4095).");
  }
  const std::string name = st.textAt(4);
  const int found = findTableKeyword(c, name);
  const std::size_t index = found < 0 ? tables.size() : static_cast<std::size_t>(found);
  // The public table joins the list after the last data table.
  if (found < 0 && !keywordCompare(name.c_str(), kRemoteTable)) {
    reportError(c, "Table %s, not found", name.c_str());
    return HandlerResult::kNothing;
  }
  // 0 u16 opcode; 2 u16 next; 4 u16 host; 6 u16 neighbor; 8 u16 table
  // index; 10 packet: u16be 0x8000|neighbor, u16be 0x2000|neighbor, u16be
  // 0x1000|host, u16be host, u16be 0x1401; 20 5 bytes 0; 25 u8 port - 1.
  RecordBuilder r(kRecordSendData);
  r.u16(host).u16(neighbor).u16(static_cast<std::uint32_t>(index));
  r.u16Be(kTagNeighbor | (neighbor & kAddressMask));
  r.u16Be(kTagNeighborTo | (neighbor & kAddressMask));
  r.u16Be(kTagHost | (host & kAddressMask)).u16Be(host & kAddressMask);
  r.u16Be(kSendDataCommand);
  for (std::size_t i = 0; i < kDataReserved; ++i) r.u8(0);
  r.u8(port);
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

HandlerResult handleReadSendGetInfo(Compilation& c, const Statement& st) {
  // 0 u16 opcode; 2 u16 next; 4 u16 destination; 6 u16 port - 1.
  RecordBuilder r(kRecordReadSendGetInfo);
  writeOperand(c, r, st.word(1));
  const std::uint16_t port = static_cast<std::uint16_t>(st.word(2));
  if (port == 0 || port > kMaxInfoPort)
    reportError(c, "Invalid Port: %d, must be 1 or 2.", port);
  r.u16(static_cast<std::uint16_t>(port - 1));
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

HandlerResult handleSetStatus(Compilation& c, const Statement& st) {
  const std::string name = st.textAt(1);
  const std::uint32_t value = st.word(1 + st.textWords(1));
  const StatusField field = findStatusField(name);
  if (field.index < 0) {
    reportError(c, "Field %s not found in status table.", name.c_str());
    return HandlerResult::kNothing;
  }
  std::uint16_t operand = 0;
  std::string mode;
  if ((field.typeByte & kDataTypeMask) == kTextType && keywordCompare(name.c_str(), kPowerModeField)) {
    const std::int32_t setting = evaluateInteger(c, value);
    if (setting < 0 || setting > kMaxPowerMode) {
      reportError(c, "Invalid setting for %s.", name.c_str());
    } else {
      mode = kPowerModes[setting];
    }
  } else {
    operand = resolveOperand(c, value);
  }
  if ((field.typeByte & kReadOnlyType) != 0) reportError(c, "Field %s cannot be written to.", name.c_str());
  // 0 u16 opcode; 2 u16 next; 4 u16 value; 6 u8 type byte; 7 u8 offset
  // among the writable fields; 8 8 bytes power-mode name.
  RecordBuilder r(kRecordSetStatus);
  r.u16(operand).u8(field.typeByte).u8(static_cast<std::uint32_t>(field.writableOffset));
  r.text(mode, kPowerModeText);
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

}  // namespace vk6
