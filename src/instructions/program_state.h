// Program-structure state shared by the section, flow-control and table
// handlers: open scans and blocks. The header fields they set (the
// BeginProg offset, the scan interval) live in ProgramHeader. Block entries
// hold code offsets of patch slots, never pointers into the code buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vk6 {

// An open For: where its loop variable word and its exit slot are.
struct ForEntry {
  std::size_t variableWord = 0;  // word 3 of the FOR record
  std::size_t exitSlot = 0;      // word 7, filled by Next
  std::size_t bodyOffset = 0;    // just past the FOR record
};

// An open Do or While: the offset of the DO record's word 2 (mode); its
// condition word and exit slot follow it.
struct DoEntry {
  std::size_t modeWord = 0;
};

// An open If or Select Case.
struct IfEntry {
  std::size_t falseSlot = 0;  // IF word 4, then the newest BRANCH word 5
  std::uint16_t openingOperand = 0;
  bool elseSeen = false;
  std::vector<std::size_t> jumpSlots;  // word 1 of each JUMP, in order
};

// The Scan as pass 2 compiled it; an accepted interval is in the header.
enum class ScanState : std::uint8_t { kNone, kCompiled, kRefused };

struct ProgramState {
  bool beginProgSeen = false;
  std::uint8_t scanDepth = 0;
  ScanState scan = ScanState::kNone;
  bool interrupt = false;
  bool interruptHasDo = false;
  std::uint8_t subDepth = 0;

  std::uint8_t openBlocks = 0;  // wraps, as the logger's tools count it
  std::vector<ForEntry> forStack;
  std::vector<DoEntry> doStack;
  std::vector<IfEntry> ifStack;
  std::size_t subroutineCursor = 0;  // next pass-1 subroutine entry to fill
};

}  // namespace vk6
