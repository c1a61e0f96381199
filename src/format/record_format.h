// The records of the code section, written once: each record's opcode,
// its fixed length and the name the inspector shows. Every record starts
// with its u16 opcode and most go on with the u16 code offset just past
// the record; record_layouts.h describes the rest of their fields. The
// handlers build records by these opcodes and appendCode checks each
// against its length.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vk6 {

// X(Name, opcode, length in bytes, name shown). ORDER OPCODES: by opcode.
#define VK6_RECORDS(X)                                        \
  X(NextScan, 0, 4, "NextScan")                               \
  X(CallTable, 1, 6, "CallTable")                             \
  X(Scan, 2, 6, "Scan")                                       \
  X(Expression, 3, 6, "Expression")                           \
  X(VoltSe, 5, 16, "VoltSe")                                  \
  X(ExDelSe, 6, 20, "ExDelSE/ThermPrb")                       \
  X(PanelTemp, 7, 6, "PanelTemp")                             \
  X(Battery, 8, 6, "Battery")                                 \
  X(PeriodAvg, 9, 18, "PeriodAvg")                            \
  X(PulseCount, 10, 14, "PulseCount")                         \
  X(SwBatt, 11, 6, "SwBatt")                                  \
  X(ExciteV, 12, 6, "ExciteV")                                \
  X(ScanLedOff, 13, 4, "ScanLEDOff")                          \
  X(Sdi12Recorder, 14, 26, "SDI12Recorder")                   \
  X(RunningOutput, 15, 14, "Totalize/Average/StdDev")         \
  X(ExtremeOutput, 16, 16, "Maximum/Minimum")                 \
  X(Sample, 17, 10, "Sample")                                 \
  X(WindVector, 18, 14, "WindVector")                         \
  X(Eto, 19, 24, "ETo")                                       \
  X(PortGet, 20, 8, "PortGet")                                \
  X(PortSet, 21, 8, "PortSet")                                \
  X(Delay, 22, 8, "Delay")                                    \
  X(EndTable, 23, 6, "EndTable")                              \
  X(EndIf, 24, 4, "EndIf")                                    \
  X(ExitDo, 25, 6, "ExitDo")                                  \
  X(ExitFor, 26, 6, "ExitFor")                                \
  X(Loop, 27, 8, "Loop")                                      \
  X(Do, 28, 12, "Do")                                         \
  X(Branch, 29, 12, "Branch")                                 \
  X(If, 30, 10, "If")                                         \
  X(Next, 31, 6, "Next")                                      \
  X(For, 32, 16, "For")                                       \
  X(Print, 33, 130, "Print")                                  \
  X(Spatial, 34, 16, "Spatial")                               \
  X(Randomize, 35, 6, "Randomize")                            \
  X(AnalogPortGet, 36, 8, "AnalogPortGet")                    \
  X(AnalogPortSet, 37, 8, "AnalogPortSet")                    \
  X(SendGetData, 38, 30, "SendGetData")                       \
  X(DataTable, 39, 8, "DataTable")                            \
  X(Call, 40, 6, "Call")                                      \
  X(Sub, 41, 4, "Sub")                                        \
  X(EndSub, 42, 4, "EndSub")                                  \
  X(ExitSub, 43, 4, "ExitSub")                                \
  X(RectPolar, 44, 8, "RectPolar")                            \
  X(RealTime, 45, 8, "RealTime")                              \
  X(ClockSet, 46, 6, "ClockSet")                              \
  X(ReadSendGetInfo, 47, 8, "ReadSendGetInfo")                \
  X(SetValue, 48, 64, "SetValue")                             \
  X(GetValue, 49, 62, "GetValue")                             \
  X(SetStatus, 50, 16, "SetStatus")                           \
  X(RfPortTest, 51, 6, "RFPortTest")                          \
  X(Ticker250ms, 52, 6, "Ticker250ms")                        \
  X(GoesData, 53, 176, "GOESData")                            \
  X(GoesStatus, 54, 10, "GOESStatus")                         \
  X(GoesSetup, 55, 40, "GOESSetup")                           \
  X(GoesGps, 56, 8, "GOESGPS")                                \
  X(SerialInput, 57, 46, "SerialInput")                       \
  X(LoggerIdentify, 58, 50, "LoggerIdentify")                 \
  X(InterruptSequence, 59, 4, "InterruptSequence")            \
  X(Sdi12SensorSetup, 60, 18, "SDI12SensorSetup")             \
  X(Sdi12SensorResponse, 61, 18, "SDI12SensorResponse")       \
  X(SendData, 62, 26, "SendData")                             \
  X(Modbus, 63, 28, "ModBus")                                 \
  X(Jump, 64, 4, "Jump")

enum RecordOpcode : std::uint16_t {
#define VK6_RECORD_OPCODE(name, opcode, length, shown) kRecord##name = opcode,
  VK6_RECORDS(VK6_RECORD_OPCODE)
#undef VK6_RECORD_OPCODE
};

struct RecordInfo {
  RecordOpcode opcode;
  std::uint16_t length;
  const char* name;
};

inline constexpr RecordInfo kRecordInfos[] = {
#define VK6_RECORD_SPEC(name, opcode, length, shown) {kRecord##name, length, shown},
    VK6_RECORDS(VK6_RECORD_SPEC)
#undef VK6_RECORD_SPEC
};

// The record info of `opcode`, or nullptr when no record has it.
constexpr const RecordInfo* findRecordInfo(std::uint16_t opcode) {
  for (const RecordInfo& info : kRecordInfos)
    if (info.opcode == opcode) return &info;
  return nullptr;
}

// The longest record.
constexpr std::size_t maxRecordLength() {
  std::size_t longest = 0;
  for (const RecordInfo& info : kRecordInfos)
    if (info.length > longest) longest = info.length;
  return longest;
}

// The fixed length of the record of `opcode`; 0 when no record has it.
constexpr std::size_t recordLength(std::uint16_t opcode) {
  const RecordInfo* info = findRecordInfo(opcode);
  return info != nullptr ? info->length : 0;
}

// Where every record keeps its opcode and, in most, the next-record
// offset; a few put a code offset of their own there instead.
constexpr std::size_t kRecordOpcodeWord = 0;
constexpr std::size_t kRecordNextWord = 2;

// Words that other records point at or that are filled after appending.
constexpr std::size_t kJumpTargetWord = 2;
constexpr std::size_t kIfFalseWord = 8;
constexpr std::size_t kBranchFalseWord = 10;
constexpr std::size_t kDoModeWord = 4;  // LOOP and EXIT DO point here
constexpr std::size_t kDoConditionWord = 6;
constexpr std::size_t kDoExitWord = 10;
constexpr std::size_t kForVariableWord = 6;  // NEXT and EXIT FOR point here
constexpr std::size_t kForExitWord = 14;

// The Do record's mode word when the loop tests no condition.
constexpr std::uint16_t kDoNoCondition = 0x8000;

}  // namespace vk6
