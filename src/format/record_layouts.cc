#include "format/record_layouts.h"

#include <algorithm>
#include <iterator>

#include "format/record_format.h"

namespace vk6 {
namespace {

using K = FieldKind;

constexpr RecordField kOp = {"opcode", kRecordOpcodeWord, 2, K::kOpcode};
constexpr RecordField kNext = {"next", kRecordNextWord, 2, K::kNextOffset};

// A field that is "none" while the u16 at `offset` equals `value`.
constexpr FieldGuard noneWhenU16(std::uint8_t offset, std::uint16_t value) {
  return {offset, 2, value, GuardTest::kEqual};
}
// A field that is "none" while the u8 at `offset` equals `value`.
constexpr FieldGuard noneWhenU8(std::uint8_t offset, std::uint16_t value) {
  return {offset, 1, value, GuardTest::kEqual};
}
// A field that is "none" unless the u8 at `offset` equals `value`.
constexpr FieldGuard noneUnlessU8(std::uint8_t offset, std::uint16_t value) {
  return {offset, 1, value, GuardTest::kNotEqual};
}

// Records with no field but the opcode and the next-record offset.
constexpr RecordField kPlain[] = {kOp, kNext};

// Program sections.
constexpr RecordField kScan[] = {kOp, kNext, {"interval", 4, 2, K::kU16}};
constexpr RecordField kExpression[] = {kOp, kNext,
                                       {"expression", 4, 2, K::kOperand}};

// Flow control and subroutines.
constexpr RecordField kIf[] = {kOp, kNext,
                               {"condition", 4, 2, K::kOperand},
                               {"kind", 6, 2, K::kU16},
                               {"false", kIfFalseWord, 2, K::kJumpTarget}};
constexpr RecordField kBranch[] = {
    kOp, kNext,
    {"own", 4, 2, K::kOperand, noneWhenU16(8, 2)},
    {"opening", 6, 2, K::kOperand},
    {"kind", 8, 2, K::kU16},
    {"false", kBranchFalseWord, 2, K::kJumpTarget}};
constexpr RecordField kJump[] = {kOp, {"target", kJumpTargetWord, 2, K::kJumpTarget}};
constexpr RecordField kLoopReference[] = {kOp, kNext,
                                          {"loop", 4, 2, K::kLoopWord}};
constexpr RecordField kDo[] = {
    kOp, kNext,
    {"mode", kDoModeWord, 2, K::kU16},
    {"condition", kDoConditionWord, 2, K::kOperand,
     noneWhenU16(kDoModeWord, kDoNoCondition)},
    {"loopBack", 8, 2, K::kJumpTarget},
    {"exit", kDoExitWord, 2, K::kJumpTarget}};
constexpr RecordField kLoop[] = {kOp, kNext,
                                 {"loop", 4, 2, K::kLoopWord},
                                 {"mode", 6, 2, K::kU16}};
constexpr RecordField kFor[] = {kOp, kNext,
                                {"start", 4, 2, K::kOperand},
                                {"variable", kForVariableWord, 2, K::kOperand},
                                {"step", 8, 2, K::kOperandOrZero},
                                {"end", 10, 2, K::kOperand},
                                {"body", 12, 2, K::kJumpTarget},
                                {"exit", kForExitWord, 2, K::kJumpTarget}};
constexpr RecordField kCall[] = {kOp, {"body", kRecordNextWord, 2, K::kJumpTarget},
                                 {"return", 4, 2, K::kJumpTarget}};

// Data tables and output processing.
constexpr RecordField kDataTable[] = {kOp, kNext,
                                      {"table", 4, 2, K::kTableNumber},
                                      {"trigger", 6, 2, K::kOperand}};
constexpr RecordField kEndTable[] = {kOp, {"unused", 2, 2, K::kUnused},
                                     {"table", 4, 2, K::kTableNumber}};
constexpr RecordField kCallTable[] = {kOp, {"table", kRecordNextWord, 2, K::kJumpTarget},
                                      {"return", 4, 2, K::kJumpTarget}};
constexpr RecordField kAverage[] = {kOp, kNext,
                                    {"source", 4, 2, K::kOperand},
                                    {"disable", 6, 2, K::kOperand},
                                    {"reps", 8, 2, K::kU16},
                                    {"table", 10, 2, K::kTableNumber},
                                    {"location", 12, 1, K::kPoolLocation},
                                    {"kind", 13, 1, K::kU8}};
constexpr const char* kAverageKinds[] = {"StdDev", "Average", "Totalize"};
constexpr RecordField kMaximum[] = {kOp, kNext,
                                    {"source", 4, 2, K::kOperand},
                                    {"disable", 6, 2, K::kOperand},
                                    {"table", 8, 2, K::kTableNumber},
                                    {"reps", 10, 2, K::kU16},
                                    {"location", 12, 1, K::kPoolLocation},
                                    {"maximum", 13, 1, K::kU8},
                                    {"timeOption", 14, 1, K::kU8},
                                    {"reserved", 15, 1, K::kUnused}};
constexpr const char* kExtremeKinds[] = {"Minimum", "Maximum"};
constexpr RecordField kSample[] = {kOp, kNext,
                                   {"source", 4, 2, K::kOperand},
                                   {"table", 6, 2, K::kTableNumber},
                                   {"reps", 8, 2, K::kU16}};
constexpr RecordField kWindVector[] = {kOp, kNext,
                                       {"source", 4, 2, K::kOperand},
                                       {"second", 6, 2, K::kOperand},
                                       {"disable", 8, 2, K::kOperand},
                                       {"table", 10, 1, K::kTableNumber},
                                       {"location", 11, 1, K::kPoolLocation},
                                       {"option", 12, 1, K::kU8},
                                       {"fourth", 13, 1, K::kU8}};
constexpr RecordField kEto[] = {kOp, kNext,
                                {"source1", 4, 2, K::kOperand},
                                {"source2", 6, 2, K::kOperand},
                                {"source3", 8, 2, K::kOperand},
                                {"source4", 10, 2, K::kOperand},
                                {"parameter8", 12, 2, K::kOperand},
                                {"parameter5", 14, 2, K::kOperand},
                                {"parameter6", 16, 2, K::kOperand},
                                {"parameter7", 18, 2, K::kOperand},
                                {"table", 20, 1, K::kTableNumber},
                                {"location", 21, 1, K::kPoolLocation},
                                {"reserved", 22, 1, K::kUnused},
                                {"daily", 23, 1, K::kU8}};
constexpr const char* kEtoKinds[] = {"ETo", "EToDaily"};

// Analog, pulse and period measurements.
constexpr RecordField kVoltSe[] = {kOp, kNext,
                                   {"channel", 4, 2, K::kChannelWord},
                                   {"destination", 6, 2, K::kOperand},
                                   {"offset", 8, 2, K::kOperand},
                                   {"multiplier", 10, 2, K::kOperand},
                                   {"reps", 12, 2, K::kU16},
                                   {"offsetPerRep", 14, 1, K::kU8},
                                   {"multiplierPerRep", 15, 1, K::kU8}};
constexpr RecordField kExDelSe[] = {kOp, kNext,
                                    {"channel", 4, 2, K::kChannelWord},
                                    {"excitation", 6, 2, K::kExcitationWord},
                                    {"destination", 8, 2, K::kOperand},
                                    {"offset", 10, 2, K::kOperand},
                                    {"multiplier", 12, 2, K::kOperand},
                                    // ThermPrb has no delay; it stores 6000.
                                    {"delay", 14, 2, K::kDelayLess400,
                                     noneWhenU8(17, 1)},
                                    {"reps", 16, 1, K::kU8},
                                    {"probe", 17, 1, K::kU8},
                                    {"offsetPerRep", 18, 1, K::kU8},
                                    {"multiplierPerRep", 19, 1, K::kU8}};
constexpr const char* kExDelSeKinds[] = {"ExDelSE", "ThermPrb"};
constexpr RecordField kSingleOperand[] = {kOp, kNext,
                                          {"operand", 4, 2, K::kOperand}};
constexpr RecordField kDestination[] = {kOp, kNext,
                                        {"destination", 4, 2, K::kOperand}};
constexpr RecordField kPeriodAvg[] = {kOp, kNext,
                                      {"destination", 4, 2, K::kOperand},
                                      {"multiplier", 6, 2, K::kOperand},
                                      {"offset", 8, 2, K::kOperand},
                                      {"cycles", 10, 2, K::kU16},
                                      {"timeout", 12, 2, K::kU16},
                                      {"range", 14, 2, K::kRangeFlags},
                                      {"channel", 16, 1, K::kU8},
                                      {"option", 17, 1, K::kU8}};
constexpr RecordField kPulseCount[] = {kOp, kNext,
                                       {"config", 4, 2, K::kPulseWord},
                                       {"destination", 6, 2, K::kOperand},
                                       {"offset", 8, 2, K::kOperand},
                                       {"multiplier", 10, 2, K::kOperand},
                                       {"location", 12, 1, K::kPoolLocation},
                                       {"reserved", 13, 1, K::kUnused}};
constexpr RecordField kExciteV[] = {kOp, kNext,
                                    {"excitation", 4, 2, K::kExcitationWord}};

// Ports, timing and system instructions.
constexpr RecordField kPortGet[] = {kOp, kNext,
                                    {"port", 4, 2, K::kU16},
                                    {"destination", 6, 2, K::kOperand}};
constexpr RecordField kPortSet[] = {kOp, kNext,
                                    {"value", 4, 2, K::kOperand},
                                    {"port", 6, 2, K::kControlPortBit}};
constexpr RecordField kAnalogPortSet[] = {kOp, kNext,
                                          {"channel", 4, 2, K::kAnalogSetBit},
                                          {"value", 6, 2, K::kOperand}};
constexpr RecordField kAnalogPortGet[] = {kOp, kNext,
                                          {"channel", 4, 2, K::kAnalogGetBit},
                                          {"destination", 6, 2, K::kOperand}};
constexpr RecordField kDelay[] = {kOp, kNext,
                                  {"amount", 4, 2, K::kU16},
                                  {"units", 6, 2, K::kTimeUnits}};
constexpr RecordField kRealTime[] = {kOp, kNext,
                                     {"destination", 4, 2, K::kOperand},
                                     {"element", 6, 2, K::kU16}};

// SDI-12 and serial instructions.
constexpr RecordField kSdi12Recorder[] = {kOp, kNext,
                                          {"destination", 4, 2, K::kOperand},
                                          {"multiplier", 6, 2, K::kOperand},
                                          {"offset", 8, 2, K::kOperand},
                                          {"substitution", 10, 2, K::kU16},
                                          {"command", 12, 12, K::kText},
                                          {"offsetPerRep", 24, 1, K::kU8},
                                          {"multiplierPerRep", 25, 1, K::kU8}};
constexpr RecordField kSdi12SensorSetup[] = {kOp, kNext,
                                             {"operand", 4, 2, K::kOperand},
                                             {"zero", 6, 2, K::kUnused},
                                             {"responseTime", 8, 2, K::kU16},
                                             {"reps", 10, 1, K::kU8},
                                             {"port", 11, 1, K::kU8},
                                             {"location1", 12, 1, K::kPoolLocation},
                                             {"location2", 13, 1, K::kPoolLocation},
                                             {"zero2", 14, 2, K::kUnused},
                                             {"zero3", 16, 2, K::kUnused}};
constexpr RecordField kSdi12SensorResponse[] = {
    kOp, kNext,
    {"operand", 4, 2, K::kOperand},
    {"response", 6, 2, K::kOperand},
    {"responseTime", 8, 2, K::kU16},
    {"reps", 10, 1, K::kU8},
    {"port", 11, 1, K::kU8},
    {"location1", 12, 1, K::kPoolLocation},
    {"location2", 13, 1, K::kPoolLocation},
    {"zero2", 14, 2, K::kUnused},
    {"zero3", 16, 2, K::kUnused}};
constexpr RecordField kSerialInput[] = {kOp, kNext,
                                        {"destination", 4, 2, K::kOperand},
                                        {"reps", 6, 2, K::kU16},
                                        {"baud", 8, 2, K::kU16},
                                        {"filter", 10, 32, K::kText},
                                        {"byte", 42, 1, K::kU8},
                                        {"location1", 43, 1, K::kPoolLocation},
                                        {"port", 44, 1, K::kSerialPort},
                                        {"location2", 45, 1, K::kPoolLocation}};
constexpr RecordField kLoggerIdentify[] = {kOp, kNext,
                                           {"filter", 4, 6, K::kText},
                                           {"response", 10, 40, K::kText}};

// Network data exchange and status settings.
constexpr RecordField kSendGetData[] = {kOp, kNext,
                                        {"first", 4, 2, K::kOperand},
                                        {"received", 6, 2, K::kLocation},
                                        {"sent", 8, 2, K::kLocation},
                                        {"repeater", 10, 2, K::kU16},
                                        {"zero", 12, 2, K::kUnused},
                                        {"host", 14, 2, K::kU16},
                                        {"zero2", 16, 2, K::kUnused},
                                        {"code", 18, 2, K::kU16},
                                        {"last", 20, 2, K::kU16},
                                        {"zero3", 22, 2, K::kUnused},
                                        {"receivedCount", 24, 2, K::kU16},
                                        {"sentCount", 26, 2, K::kU16},
                                        {"port", 28, 1, K::kU8},
                                        {"reserved", 29, 1, K::kUnused}};
constexpr RecordField kSetValue[] = {kOp, kNext,
                                     {"host", 4, 2, K::kU16},
                                     {"repeater", 6, 2, K::kU16},
                                     {"packet", 8, 37, K::kPacketBe},
                                     {"first", 54, 2, K::kOperand},
                                     {"value", 56, 2, K::kOperand},
                                     {"sent", 58, 2, K::kLocation},
                                     {"packetLength", 60, 2, K::kU16},
                                     {"port", 62, 1, K::kU8}};
constexpr RecordField kGetValue[] = {kOp, kNext,
                                     {"first", 4, 2, K::kOperand},
                                     {"value", 6, 2, K::kOperand},
                                     {"received", 8, 2, K::kLocation},
                                     {"host", 10, 2, K::kU16},
                                     {"repeater", 12, 2, K::kU16},
                                     {"packet", 14, 37, K::kPacketBe},
                                     {"packetLength", 60, 1, K::kU8},
                                     {"port", 61, 1, K::kU8}};
constexpr RecordField kReadSendGetInfo[] = {kOp, kNext,
                                            {"destination", 4, 2, K::kOperand},
                                            {"port", 6, 2, K::kPortLess1}};
// RfPwrMode, the one text field SetStatus writes, carries its setting as
// a name instead of an operand.
constexpr std::uint16_t kRfPowerModeType = 0x0B;
constexpr RecordField kSetStatus[] = {
    kOp, kNext,
    {"value", 4, 2, K::kOperand, noneWhenU8(6, kRfPowerModeType)},
    {"type", 6, 1, K::kU8},
    {"field", 7, 1, K::kStatusOffset},
    {"mode", 8, 8, K::kText, noneUnlessU8(6, kRfPowerModeType)}};
constexpr RecordField kSendData[] = {kOp, kNext,
                                     {"host", 4, 2, K::kU16},
                                     {"neighbor", 6, 2, K::kU16},
                                     {"table", 8, 2, K::kU16},
                                     {"packet", 10, 10, K::kPacketBe},
                                     {"port", 25, 1, K::kU8}};

// Modbus.
constexpr RecordField kModBus[] = {kOp, kNext,
                                   {"operand1", 4, 2, K::kOperand},
                                   // Only ModBusSlave, whose function word is 0,
                                   // writes 0 for no variable.
                                   {"operand2", 6, 2, K::kOperandOrZero,
                                    noneWhenU16(12, 0)},
                                   {"operand3", 8, 2, K::kOperand},
                                   {"port", 10, 2, K::kPortLess1},
                                   {"function", 12, 2, K::kU16},
                                   {"baud", 14, 2, K::kU16},
                                   {"word16", 16, 2, K::kU16},
                                   {"word18", 18, 2, K::kU16},
                                   {"timeout", 20, 2, K::kU16},
                                   {"bufferSize", 22, 2, K::kU16},
                                   {"location", 24, 1, K::kPoolLocation},
                                   {"byte25", 25, 1, K::kU8},
                                   {"dataType", 26, 1, K::kU8},
                                   {"flag", 27, 1, K::kU8}};

// Print and spatial/vector math. Item i (from 1) is unused past the
// item count; its operand holds code only for kind 0, its slot text only
// for the kinds 1 (a string) and 2 (a character code in the first byte).
constexpr FieldGuard pastItems(std::uint8_t item) {
  return {14, 2, static_cast<std::uint16_t>(item - 1), GuardTest::kAtMost};
}
constexpr RecordField printOperand(const char* name, std::uint8_t item) {
  return {name, static_cast<std::uint8_t>(2 + 2 * item), 2, K::kOperand,
          noneUnlessU8(static_cast<std::uint8_t>(117 + item), 0), pastItems(item)};
}
constexpr RecordField printSlot(const char* name, std::uint8_t item) {
  return {name, static_cast<std::uint8_t>(18 + 20 * (item - 1)), 20, K::kText,
          noneWhenU8(static_cast<std::uint8_t>(117 + item), 0), pastItems(item)};
}
constexpr RecordField printByte(const char* name, std::uint8_t offset, FieldKind kind,
                                std::uint8_t item) {
  return {name, offset, 1, kind, pastItems(item)};
}
constexpr RecordField kPrint[] = {
    kOp, kNext,
    printOperand("item1", 1),
    printOperand("item2", 2),
    printOperand("item3", 3),
    printOperand("item4", 4),
    printOperand("item5", 5),
    {"items", 14, 2, K::kU16},
    {"baud", 16, 2, K::kU16},
    printSlot("slot1", 1),
    printSlot("slot2", 2),
    printSlot("slot3", 3),
    printSlot("slot4", 4),
    printSlot("slot5", 5),
    printByte("kind1", 118, K::kPrintKind, 1),
    printByte("kind2", 119, K::kPrintKind, 2),
    printByte("kind3", 120, K::kPrintKind, 3),
    printByte("kind4", 121, K::kPrintKind, 4),
    printByte("kind5", 122, K::kPrintKind, 5),
    printByte("separator1", 123, K::kSeparator, 1),
    printByte("separator2", 124, K::kSeparator, 2),
    printByte("separator3", 125, K::kSeparator, 3),
    printByte("separator4", 126, K::kSeparator, 4),
    printByte("separator5", 127, K::kSeparator, 5),
    {"port", 128, 1, K::kPrintPort},
    {"negativePort", 129, 1, K::kU8}};
constexpr RecordField kSpatial[] = {kOp, kNext,
                                    {"source", 4, 2, K::kOperand},
                                    {"second", 6, 2, K::kOperandOrZero},
                                    {"destination", 8, 2, K::kOperand},
                                    {"count", 10, 2, K::kU16},
                                    {"results", 12, 2, K::kU16},
                                    {"statistic", 14, 1, K::kU8},
                                    {"reserved", 15, 1, K::kUnused}};
constexpr RecordField kRectPolar[] = {kOp, kNext,
                                      {"rectangular", 4, 2, K::kOperand},
                                      {"polar", 6, 2, K::kOperand}};

// GOES satellite instructions.
constexpr RecordField kGoesData[] = {
    kOp, kNext,
    {"first", 4, 2, K::kOperand},
    {"operand", 6, 2, K::kOperand},
    {"table", 8, 2, K::kTableIndex},
    {"countSum", 10, 2, K::kU16},
    {"slot1Value", 12, 2, K::kU16}, {"slot1Text", 14, 13, K::kText},
    {"slot2Value", 28, 2, K::kU16}, {"slot2Text", 30, 13, K::kText},
    {"slot3Value", 44, 2, K::kU16}, {"slot3Text", 46, 13, K::kText},
    {"slot4Value", 60, 2, K::kU16}, {"slot4Text", 62, 13, K::kText},
    {"slot5Value", 76, 2, K::kU16}, {"slot5Text", 78, 13, K::kText},
    {"slot6Value", 92, 2, K::kU16}, {"slot6Text", 94, 13, K::kText},
    {"slot7Value", 108, 2, K::kU16}, {"slot7Text", 110, 13, K::kText},
    {"slot8Value", 124, 2, K::kU16}, {"slot8Text", 126, 13, K::kText},
    {"slot9Value", 140, 2, K::kU16}, {"slot9Text", 142, 13, K::kText},
    {"slot10Value", 156, 2, K::kU16}, {"slot10Text", 158, 13, K::kText},
    {"location", 172, 1, K::kPoolLocation},
    {"bufferOption", 173, 1, K::kU8},
    {"format", 174, 1, K::kU8},
    {"reserved", 175, 1, K::kUnused}};
constexpr RecordField kGoesStatus[] = {kOp, kNext,
                                       {"destination", 4, 2, K::kOperand},
                                       {"reserved", 6, 1, K::kUnused},
                                       {"second", 7, 1, K::kU8},
                                       {"required", 8, 1, K::kU8},
                                       {"request", 9, 1, K::kU8}};
constexpr RecordField kGoesSetup[] = {kOp, kNext,
                                      {"first", 4, 2, K::kOperand},
                                      {"stSetup", 6, 16, K::kPacketBe},
                                      {"rSetup", 22, 10, K::kPacketBe},
                                      {"platform", 32, 7, K::kPacketBe},
                                      {"reserved", 39, 1, K::kUnused}};
constexpr RecordField kGoesGps[] = {kOp, kNext,
                                    {"first", 4, 2, K::kOperand},
                                    {"second", 6, 2, K::kOperand}};

// A record's layout: its opcode, name and length from the record list.
constexpr RecordLayout layout(RecordOpcode opcode, std::span<const RecordField> fields,
                              RecordVariant variant = {}) {
  const RecordInfo* info = findRecordInfo(opcode);
  return {opcode, info->name, info->length, fields, variant};
}

// ORDER OPCODES: the order of VK6_RECORDS, so lookup can search.
constexpr RecordLayout kLayouts[] = {
    layout(kRecordNextScan, kPlain),
    layout(kRecordCallTable, kCallTable),
    layout(kRecordScan, kScan),
    layout(kRecordExpression, kExpression),
    layout(kRecordVoltSe, kVoltSe),
    layout(kRecordExDelSe, kExDelSe, {17, kExDelSeKinds}),
    layout(kRecordPanelTemp, kDestination),
    layout(kRecordBattery, kDestination),
    layout(kRecordPeriodAvg, kPeriodAvg),
    layout(kRecordPulseCount, kPulseCount),
    layout(kRecordSwBatt, kSingleOperand),
    layout(kRecordExciteV, kExciteV),
    layout(kRecordScanLedOff, kPlain),
    layout(kRecordSdi12Recorder, kSdi12Recorder),
    layout(kRecordRunningOutput, kAverage, {13, kAverageKinds}),
    layout(kRecordExtremeOutput, kMaximum, {13, kExtremeKinds}),
    layout(kRecordSample, kSample),
    layout(kRecordWindVector, kWindVector),
    layout(kRecordEto, kEto, {23, kEtoKinds}),
    layout(kRecordPortGet, kPortGet),
    layout(kRecordPortSet, kPortSet),
    layout(kRecordDelay, kDelay),
    layout(kRecordEndTable, kEndTable),
    layout(kRecordEndIf, kPlain),
    layout(kRecordExitDo, kLoopReference),
    layout(kRecordExitFor, kLoopReference),
    layout(kRecordLoop, kLoop),
    layout(kRecordDo, kDo),
    layout(kRecordBranch, kBranch),
    layout(kRecordIf, kIf),
    layout(kRecordNext, kLoopReference),
    layout(kRecordFor, kFor),
    layout(kRecordPrint, kPrint),
    layout(kRecordSpatial, kSpatial),
    layout(kRecordRandomize, kSingleOperand),
    layout(kRecordAnalogPortGet, kAnalogPortGet),
    layout(kRecordAnalogPortSet, kAnalogPortSet),
    layout(kRecordSendGetData, kSendGetData),
    layout(kRecordDataTable, kDataTable),
    layout(kRecordCall, kCall),
    layout(kRecordSub, kPlain),
    layout(kRecordEndSub, kPlain),
    layout(kRecordExitSub, kPlain),
    layout(kRecordRectPolar, kRectPolar),
    layout(kRecordRealTime, kRealTime),
    layout(kRecordClockSet, kSingleOperand),
    layout(kRecordReadSendGetInfo, kReadSendGetInfo),
    layout(kRecordSetValue, kSetValue),
    layout(kRecordGetValue, kGetValue),
    layout(kRecordSetStatus, kSetStatus),
    layout(kRecordRfPortTest, kDestination),
    layout(kRecordTicker250ms, kSingleOperand),
    layout(kRecordGoesData, kGoesData),
    layout(kRecordGoesStatus, kGoesStatus),
    layout(kRecordGoesSetup, kGoesSetup),
    layout(kRecordGoesGps, kGoesGps),
    layout(kRecordSerialInput, kSerialInput),
    layout(kRecordLoggerIdentify, kLoggerIdentify),
    layout(kRecordInterruptSequence, kPlain),
    layout(kRecordSdi12SensorSetup, kSdi12SensorSetup),
    layout(kRecordSdi12SensorResponse, kSdi12SensorResponse),
    layout(kRecordSendData, kSendData),
    layout(kRecordModbus, kModBus),
    layout(kRecordJump, kJump),
};

// One layout per record, in the list's order, each field inside its record.
constexpr bool layoutsFollowTheRecordList() {
  if (std::size(kLayouts) != std::size(kRecordInfos)) return false;
  for (std::size_t i = 0; i < std::size(kLayouts); ++i) {
    const RecordLayout& l = kLayouts[i];
    if (l.opcode != kRecordInfos[i].opcode) return false;
    if (i > 0 && l.opcode <= kLayouts[i - 1].opcode) return false;
    for (const RecordField& f : l.fields)
      if (f.offset + f.width > l.length) return false;
  }
  return true;
}
static_assert(layoutsFollowTheRecordList());

}  // namespace

std::span<const RecordLayout> recordLayouts() { return kLayouts; }

const RecordLayout* findRecordLayout(std::uint16_t opcode) {
  const RecordLayout* end = std::end(kLayouts);
  const RecordLayout* it = std::lower_bound(
      std::begin(kLayouts), end, opcode,
      [](const RecordLayout& l, std::uint16_t op) { return l.opcode < op; });
  return it != end && it->opcode == opcode ? it : nullptr;
}

const char* instructionName(const RecordLayout& layout, const std::uint8_t* record) {
  const RecordVariant& v = layout.variant;
  if (v.names.empty()) return layout.name;
  const std::uint8_t value = record[v.offset];
  return value < v.names.size() ? v.names[value] : layout.name;
}

const char* fieldKindName(FieldKind kind) {
  switch (kind) {
    case K::kOpcode: return "opcode";
    case K::kNextOffset: return "next offset";
    case K::kU8: return "u8";
    case K::kU16: return "u16";
    case K::kU32: return "u32";
    case K::kOperand: return "operand";
    case K::kOperandOrZero: return "operand or 0";
    case K::kLocation: return "location";
    case K::kJumpTarget: return "jump target";
    case K::kLoopWord: return "loop word";
    case K::kTableNumber: return "table number";
    case K::kTableIndex: return "table index";
    case K::kText: return "text";
    case K::kPacketBe: return "big-endian packet";
    case K::kChannelWord: return "channel";
    case K::kExcitationWord: return "excitation";
    case K::kPulseWord: return "pulse configuration";
    case K::kRangeFlags: return "range";
    case K::kDelayLess400: return "delay";
    case K::kTimeUnits: return "time units";
    case K::kControlPortBit: return "control port";
    case K::kAnalogGetBit:
    case K::kAnalogSetBit: return "analog channel";
    case K::kPortLess1:
    case K::kPrintPort:
    case K::kSerialPort: return "port";
    case K::kStatusOffset: return "status field";
    case K::kPoolLocation: return "pool location";
    case K::kPrintKind: return "print item kind";
    case K::kSeparator: return "separator";
    case K::kUnused: return "unused";
  }
  return "?";
}

}  // namespace vk6
