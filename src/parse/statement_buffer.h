// The statement records of pass 1: 32-bit words, one record per statement.
// Word 0 of a record is its header (instruction index in bits 0-9, length
// in words in bits 10-19, source line in bits 20-31); parameter slots follow.
// The buffer also keeps each record's true line number, which the 12-bit
// header field cannot hold for sources of more than 4095 lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "parse/instruction_index.h"

namespace vk6 {

struct Compilation;

constexpr std::size_t kStatementBufferStart = 10000;
constexpr std::size_t kStatementBufferGrowth = 10000;
constexpr std::size_t kStatementBufferReserve = 1000;
constexpr int kHeaderLengthShift = 10;
constexpr int kHeaderLineShift = 20;
constexpr std::uint32_t kHeaderIndexMask = 0x3FF;
constexpr std::uint32_t kHeaderLengthMask = 0x3FF;
constexpr std::uint32_t kHeaderLineMask = 0xFFF;

constexpr std::uint32_t makeHeader(InstructionIndex index, int length, int line) {
  return static_cast<std::uint32_t>(index) +
         (static_cast<std::uint32_t>(length) << kHeaderLengthShift) +
         ((static_cast<std::uint32_t>(line) & kHeaderLineMask)
          << kHeaderLineShift);
}

// A record as a handler sees it.
struct Statement {
  const std::uint32_t* words = nullptr;
  int line = 0;  // true source line

  InstructionIndex index() const {
    return static_cast<InstructionIndex>(words[0] & kHeaderIndexMask);
  }
  int length() const {
    return static_cast<int>((words[0] >> kHeaderLengthShift) &
                            kHeaderLengthMask);
  }
  std::uint32_t word(int i) const { return words[i]; }
  std::int32_t intAt(int i) const { return static_cast<std::int32_t>(words[i]); }
  // Text stored by the name and text kinds, starting at word i.
  std::string textAt(int i) const;
  // Number of words the text at word i takes, spare word included.
  int textWords(int i) const;
};

class StatementBuffer {
 public:
  StatementBuffer() = default;
  StatementBuffer(const StatementBuffer&) = delete;
  StatementBuffer& operator=(const StatementBuffer&) = delete;
  ~StatementBuffer();

  // Allocates the first block; false after "out of memory".
  bool start(Compilation& c);
  // Grows the buffer when less than the reserve is left before a statement.
  bool makeRoom(Compilation& c);
  // Ensures `words` more words fit after the write position.
  bool ensure(Compilation& c, std::size_t words);

  // Appends a header; returns its word position.
  std::size_t beginRecord(InstructionIndex index, int kindCount, int line);
  void setWord(std::size_t position, std::uint32_t value) {
    words_[position] = value;
  }
  std::uint32_t wordAt(std::size_t position) const { return words_[position]; }
  // Adds `extra` words to the length of the record at `header`.
  void extendRecord(std::size_t header, int extra);
  // Stores a NUL-terminated text from `position`; returns the words it takes
  // (length / 4 + 1 for the text, one spare word after it).
  int storeText(std::size_t position, std::string_view text);
  // Moves the write position to just past the record at `header`.
  void closeRecord(std::size_t header);

  int recordCount() const { return static_cast<int>(lines_.size()); }
  // Word position of the header of the record begun last.
  std::size_t lastRecord() const { return lastRecord_; }
  std::size_t size() const { return size_; }
  // Record number `n` in order, for pass 2.
  Statement record(std::size_t position, int n) const {
    return Statement{words_ + position, lines_[static_cast<std::size_t>(n)]};
  }

 private:
  std::uint32_t* words_ = nullptr;
  std::size_t capacity_ = 0;  // in words
  std::size_t size_ = 0;      // write position, in words
  std::size_t lastRecord_ = 0;
  std::vector<int> lines_;
};

}  // namespace vk6
