// Operand fields shared by the measurement, port and serial records. A
// record takes a compiled parameter in one of three ways:
//   encoded      the operand word, a deferred expression resolved first;
//   checked      encoded, after the destination has been checked for room
//                for the repetitions;
//   as parsed    the low 16 bits the parser stored; only a deferred word
//                is resolved, as no image may hold one.
// An expression written with "()" carries a per-repetition flag: 1 makes
// the logger step through the array once per repetition.
#pragma once

#include <cstdint>

#include "format/byte_io.h"

namespace vk6 {

struct Compilation;

void putEncoded(Compilation& c, RecordBuilder& r, std::uint32_t slot);
// Reports "Reps too large for Destination variable." when the destination
// has fewer than `reps` elements from the named one on.
void putChecked(Compilation& c, RecordBuilder& r, std::uint32_t slot, int reps);
// The check of putChecked alone, for records that write the destination
// after checks that must report first.
void checkDestination(Compilation& c, std::uint32_t slot, int reps);
void putAsParsed(Compilation& c, RecordBuilder& r, std::uint32_t slot);
using OperandWriter = void (*)(Compilation&, RecordBuilder&, std::uint32_t);

// Encoded; returns the per-repetition flag byte (0 or 1).
std::uint8_t putFlagged(Compilation& c, RecordBuilder& r, std::uint32_t slot);

// (channel - 1) in the high byte, as the channel fields of the analog
// records hold it; wraps like the 16-bit field it goes into.
std::uint32_t channelHighByte(std::int32_t channel);

}  // namespace vk6
