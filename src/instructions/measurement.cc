#include "instructions/measurement.h"

#include <cstdint>
#include <iterator>

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "format/byte_io.h"
#include "format/record_format.h"
#include "instructions/code_buffer.h"
#include "instructions/io_fields.h"
#include "instructions/locations.h"
#include "instructions/sections_flow.h"

namespace vk6 {
namespace {

constexpr std::int32_t kAnalogChannels = 6;
constexpr std::int32_t kExcitationChannels = 2;
constexpr std::int32_t kLowExcitationMv = 2500;
constexpr std::int32_t kHighExcitationMv = 5000;
constexpr std::uint32_t kLowExcitationCode = 2;
constexpr std::uint32_t kHighExcitationCode = 5;
constexpr std::uint32_t kMinDelayUs = 500;
constexpr std::int32_t kMaxDelayUs = 65000;
constexpr std::uint32_t kDelayBiasUs = 400;
constexpr std::uint32_t kThermistorDelay = 6000;
constexpr std::uint8_t kExDelSEKind = 0;
constexpr std::uint8_t kThermPrbKind = 1;
constexpr int kExDelSEMultiplierSlot = 7;
constexpr int kThermPrbMultiplierSlot = 5;

constexpr std::int32_t kPConfigCount = 0;
constexpr std::int32_t kPConfigLowLevel = 1;
constexpr std::int32_t kPConfigSwitch = 2;
constexpr std::int32_t kMaxPOption = 1;
constexpr int kPConfigShift = 12;
constexpr int kPOptionShift = 8;
constexpr std::uint32_t kPOptionMask = 15;

// Pulse-configuration bits per pulse channel: the bits PConfig 0 sets and
// those of the one other configuration the channel's input can take.
struct PulseChannel {
  std::int32_t channel;
  std::uint16_t countBits;
  std::int32_t otherConfig;
  std::uint16_t otherBits;
};
constexpr PulseChannel kPulseChannels[] = {
    {0, 0x0003, kPConfigLowLevel, 0x0003},
    {1, 0x000C, kPConfigSwitch, 0x0004},
    {2, 0x0030, kPConfigSwitch, 0x0010},
    {6, 0x00C0, kPConfigSwitch, 0x0040},
};
// Set by every PeriodAvg, whatever its channel.
constexpr std::uint16_t kPeriodAvgBit = 0x8000;

constexpr std::uint32_t kPeriodChannels = 4;
constexpr std::uint32_t kMaxCycles = 65000;
// Range flag words of range codes 1..6; any other code gives 0.
constexpr std::uint16_t kRangeFlags[] = {0x4000, 0x8000, 0x0400, 0x0800, 0x1000, 0x2000};

constexpr std::uint32_t kLow8 = 0xFFu;
constexpr std::uint32_t kLow16 = 0xFFFFu;

void checkAnalogChannel(Compilation& c, std::int32_t channel) {
  if (channel < 1 || channel > kAnalogChannels)
    reportError(c, "Invalid Channel %d, must be 1..6.", channel);
}

// The channel, then the last channel measured; both can fire.
void checkAnalogSpan(Compilation& c, std::int32_t channel, std::int32_t reps) {
  checkAnalogChannel(c, channel);
  if (static_cast<std::int64_t>(channel) + reps - 1 > kAnalogChannels)
    reportError(c, "Reps %d plus channel %d is outside of measurement boundry",
                reps, channel);
}

void checkExcitationChannel(Compilation& c, std::int32_t channel) {
  if (channel != 1 && channel != kExcitationChannels)
    reportError(c, "Invalid Excitation channel %d, must be %d or %d.", channel, 1,
                kExcitationChannels);
}

// The parts in which ExDelSE and ThermPrb differ.
struct ExcitedRecord {
  std::uint32_t excitationCode;
  std::uint32_t delayField;
  std::uint8_t kind;
  int multiplierSlot;
};

// Layout (20 bytes): 0 u16 opcode 6 | 2 u16 next | 4 u16 (channel-1)<<8 |
// 6 u16 (excitation channel-1)<<8 + excitation code | 8 u16 destination,
// checked first | 10 u16 offset | 12 u16 multiplier | 14 u16 delay field |
// 16 u8 reps | 17 u8 kind (0 ExDelSE, 1 ThermPrb) | 18 u8 offset flag |
// 19 u8 multiplier flag.
void appendExcited(Compilation& c, const Statement& st, const ExcitedRecord& e) {
  const std::uint8_t reps = static_cast<std::uint8_t>(st.word(2) & kLow8);
  RecordBuilder r(kRecordExDelSe);
  r.u16(channelHighByte(st.intAt(3)));
  r.u16(channelHighByte(st.intAt(4)) + e.excitationCode);
  putEncoded(c, r, st.word(1));  // checked by the caller, before its other checks
  const std::uint8_t offsetFlag = putFlagged(c, r, st.word(e.multiplierSlot + 1));
  const std::uint8_t multiplierFlag = putFlagged(c, r, st.word(e.multiplierSlot));
  r.u16(e.delayField).u8(reps).u8(e.kind).u8(offsetFlag).u8(multiplierFlag);
  appendCode(c, r, kPatchNext);
}

// Layout (6 bytes): 0 u16 opcode | 2 u16 next | 4 u16 the parameter, as
// parsed.
HandlerResult appendSingleParameter(Compilation& c, const Statement& st,
                                    std::uint16_t opcode) {
  RecordBuilder r(opcode);
  putAsParsed(c, r, st.word(1));
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

// Sets the channel's bits in the pulse configuration word, or refuses the
// channel or its configuration.
void configurePulseChannel(Compilation& c, std::int32_t channel, std::int32_t config) {
  for (const PulseChannel& p : kPulseChannels) {
    if (p.channel != channel) continue;
    if (config == kPConfigCount) {
      c.header.pulseConfig |= p.countBits;
    } else if (config == p.otherConfig) {
      c.header.pulseConfig |= p.otherBits;
    } else if (p.otherConfig == kPConfigLowLevel) {
      reportError(c, "Channel %d cannot be used for Switch Closure.", channel);
    } else {
      reportError(c, "Channel %d cannot be used for Low Level Pulse.", channel);
    }
    return;
  }
  reportError(c, "Invalid Channel %d, must be 0..2, or 6.", channel);
}

std::uint16_t rangeFlag(std::int32_t code) {
  constexpr std::int32_t kCodes = static_cast<std::int32_t>(std::size(kRangeFlags));
  return code >= 1 && code <= kCodes ? kRangeFlags[code - 1] : 0;
}

}  // namespace

// Layout (16 bytes): 0 u16 opcode 5 | 2 u16 next | 4 u16 (channel-1)<<8 |
// 6 u16 destination, checked | 8 u16 offset | 10 u16 multiplier |
// 12 u16 reps | 14 u8 offset flag | 15 u8 multiplier flag.
HandlerResult handleVoltSe(Compilation& c, const Statement& st) {
  const std::int32_t reps = st.intAt(2);
  const std::int32_t channel = st.intAt(3);
  RecordBuilder r(kRecordVoltSe);
  r.u16(channelHighByte(channel));
  putChecked(c, r, st.word(1), reps);
  checkAnalogSpan(c, channel, reps);
  const std::uint8_t offsetFlag = putFlagged(c, r, st.word(5));
  const std::uint8_t multiplierFlag = putFlagged(c, r, st.word(4));
  r.u16(static_cast<std::uint32_t>(reps) & kLow16).u8(offsetFlag).u8(multiplierFlag);
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

// Record: see appendExcited.
HandlerResult handleExDelSE(Compilation& c, const Statement& st) {
  // The reps check and the span check see the byte the record keeps.
  const std::int32_t reps = static_cast<std::int32_t>(st.word(2) & kLow8);
  const std::int32_t millivolts = st.intAt(5);
  const std::int32_t delay = st.intAt(6);
  checkDestination(c, st.word(1), reps);
  checkAnalogSpan(c, st.intAt(3), reps);
  checkExcitationChannel(c, st.intAt(4));
  if (millivolts != kHighExcitationMv && millivolts != kLowExcitationMv)
    reportError(c, "Invalid Excitation voltage %d, must be 2500 or 5000.", millivolts);
  const std::uint32_t delay16 = static_cast<std::uint32_t>(delay) & kLow16;
  if (delay16 < kMinDelayUs)
    reportError(c, "Delay %d too small, must be at least 500uSec.", delay);
  if (delay > kMaxDelayUs)
    reportError(c, "Delay %d too large, must be less than 65000uSec.", delay);
  const ExcitedRecord e{
      millivolts == kLowExcitationMv ? kLowExcitationCode : kHighExcitationCode,
      (delay16 - kDelayBiasUs) & kLow16, kExDelSEKind, kExDelSEMultiplierSlot};
  appendExcited(c, st, e);
  return HandlerResult::kCompiled;
}

// No span check and no voltage or delay parameter: the record always
// carries the 2500 mV code and the fixed value of the delay field.
HandlerResult handleThermPrb(Compilation& c, const Statement& st) {
  const std::int32_t reps = static_cast<std::int32_t>(st.word(2) & kLow8);
  const std::int32_t channel = st.intAt(3);
  checkDestination(c, st.word(1), reps);
  checkAnalogChannel(c, channel);
  checkExcitationChannel(c, st.intAt(4));
  appendExcited(c, st,
                {kLowExcitationCode, kThermistorDelay, kThermPrbKind,
                 kThermPrbMultiplierSlot});
  return HandlerResult::kCompiled;
}

HandlerResult handlePanelTemp(Compilation& c, const Statement& st) {
  return appendSingleParameter(c, st, kRecordPanelTemp);
}

HandlerResult handleBattery(Compilation& c, const Statement& st) {
  return appendSingleParameter(c, st, kRecordBattery);
}

HandlerResult handleSwBatt(Compilation& c, const Statement& st) {
  return appendSingleParameter(c, st, kRecordSwBatt);
}

// Layout (6 bytes): 0 u16 opcode 12 | 2 u16 next | 4 u16 (excitation
// channel-1)<<8 + level code (0, 2 or 5).
HandlerResult handleExciteV(Compilation& c, const Statement& st) {
  const std::int32_t channel = st.intAt(1);
  const std::int32_t millivolts = st.intAt(2);
  std::uint32_t level = 0;
  if (channel < 1 || channel > kExcitationChannels) {
    reportError(c, "Incorrect Excitation channel %d must be 1 or 2.", channel);
  } else if (millivolts == kLowExcitationMv) {
    level = kLowExcitationCode;
  } else if (millivolts == kHighExcitationMv) {
    level = kHighExcitationCode;
  } else if (millivolts != 0) {
    reportError(c, "Incorrect excitation voltage level %d must be 0, 2500 or 5000.",
                millivolts);
  }
  RecordBuilder r(kRecordExciteV);
  r.u16(channelHighByte(channel) + level);
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

// Layout (4 bytes): 0 u16 opcode 13 | 2 u16 next.
HandlerResult handleScanLEDOff(Compilation& c, const Statement&) {
  RecordBuilder r(kRecordScanLedOff);
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

// Layout (14 bytes): 0 u16 opcode 10 | 2 u16 next | 4 u16 PConfig<<12 +
// (POption & 15)<<8, OR the pulse channel | 6 u16 destination, as parsed |
// 8 u16 offset | 10 u16 multiplier | 12 u8 the location taken from the
// pool | 13 u8 reserved 0.
HandlerResult handlePulsecount(Compilation& c, const Statement& st) {
  const std::int32_t channel = st.intAt(2);
  const std::int32_t config = st.intAt(3);
  const std::int32_t option = st.intAt(4);
  refuseInInterruptSequence(c);
  RecordBuilder r(kRecordPulseCount);
  r.u16(((static_cast<std::uint32_t>(config) << kPConfigShift) +
         ((static_cast<std::uint32_t>(option) & kPOptionMask) << kPOptionShift)) |
        static_cast<std::uint32_t>(channel));
  putAsParsed(c, r, st.word(1));
  const std::uint32_t location = static_cast<std::uint32_t>(takeLocations(c, 1));
  if (config < kPConfigCount || config > kPConfigSwitch)
    reportError(c, "Invalid PConfig %d, PConfig must be 0,1 or 2.", config);
  configurePulseChannel(c, channel, config);
  if (option < 0 || option > kMaxPOption) {
    reportError(c, "Invalid POption %d, POption must be 0 or 1.", option);
  } else if (c.program.openBlocks != 0) {
    reportWarning(c, "PulseCount will not work within WHILE or FOR loop.");
  }
  putEncoded(c, r, st.word(6));
  putEncoded(c, r, st.word(5));
  r.u8(location & kLow8).u8(0);
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

// Layout (18 bytes): 0 u16 opcode 9 | 2 u16 next | 4 u16 destination |
// 6 u16 multiplier | 8 u16 offset | 10 u16 cycles | 12 u16 timeout |
// 14 u16 range flag word | 16 u8 channel | 17 u8 option byte, unchecked.
HandlerResult handlePeriodAvg(Compilation& c, const Statement& st) {
  const std::uint32_t channel = st.word(2) & kLow8;
  const std::uint32_t cycles = st.word(4) & kLow16;
  const std::uint32_t timeout = st.word(5) & kLow16;
  RecordBuilder r(kRecordPeriodAvg);
  putEncoded(c, r, st.word(1));
  if (channel < 1 || channel > kPeriodChannels)
    reportError(c, "Invalid channel %d, must be 1..4.", static_cast<int>(channel));
  if (cycles > kMaxCycles) {
    reportError(c, "Max number of cycles for PeriodAvg is 65000.");
  } else if (cycles == 0) {
    reportError(c, "Must have at least one cycle.");
  }
  if (timeout == 0) reportError(c, "Time out must be greater than zero.");
  putEncoded(c, r, st.word(7));
  putEncoded(c, r, st.word(8));
  r.u16(cycles).u16(timeout).u16(rangeFlag(st.intAt(6)));
  r.u8(channel).u8(st.word(3) & kLow8);
  c.header.pulseConfig |= kPeriodAvgBit;
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

}  // namespace vk6
