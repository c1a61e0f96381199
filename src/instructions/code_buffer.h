// The code buffer: compiled records in program order. Positions in it are
// code offsets (bytes from its start), never pointers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "format/byte_io.h"
#include "instructions/code_buffer_state.h"

namespace vk6 {

struct Compilation;

constexpr bool kPatchNext = true;
// Records hold code offsets in 16-bit fields, so the code may not grow
// past the last offset they can name.
constexpr std::size_t kMaxCodeLength = 0xFFFF;

// Appends a record; with `patchNext` its bytes 2-3 receive the code offset
// just past it. Returns that offset. Code that grows past kMaxCodeLength
// is reported once; appending goes on, so later offsets stay consistent.
// REQUIRES: `r` has the length of its opcode's record.
std::size_t appendCode(Compilation& c, const RecordBuilder& r, bool patchNext);
std::size_t appendCode(Compilation& c, const std::uint8_t* record,
                       std::size_t length, bool patchNext);
// Offset at which the next record will be placed.
std::size_t codeOffset(const Compilation& c);
// Overwrites the 16-bit word at `offset` of an appended record.
void patchCodeWord(Compilation& c, std::size_t offset, std::uint16_t value);

}  // namespace vk6
