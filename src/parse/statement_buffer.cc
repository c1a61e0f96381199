#include "parse/statement_buffer.h"

#include <cstdlib>
#include <cstring>

#include "core/memory.h"

namespace vk6 {

std::string Statement::textAt(int i) const {
  const char* text = reinterpret_cast<const char*>(words + i);
  return std::string(text);
}

int Statement::textWords(int i) const {
  return static_cast<int>(textAt(i).size() / 4) + 2;
}

StatementBuffer::~StatementBuffer() { std::free(words_); }

bool StatementBuffer::start(Compilation& c) {
  std::free(words_);
  words_ = nullptr;
  capacity_ = size_ = 0;
  lines_.clear();
  void* block = trackedAlloc(c, kStatementBufferStart);
  if (block == nullptr) return false;
  words_ = static_cast<std::uint32_t*>(block);
  capacity_ = kStatementBufferStart / sizeof(std::uint32_t);
  return true;
}

bool StatementBuffer::makeRoom(Compilation& c) {
  if ((capacity_ - size_) * sizeof(std::uint32_t) >= kStatementBufferReserve)
    return true;
  const std::size_t bytes =
      capacity_ * sizeof(std::uint32_t) + kStatementBufferGrowth;
  void* block = trackedResize(c, words_, bytes);
  if (block == nullptr) return false;
  words_ = static_cast<std::uint32_t*>(block);
  capacity_ = bytes / sizeof(std::uint32_t);
  return true;
}

bool StatementBuffer::ensure(Compilation& c, std::size_t words) {
  while (size_ + words > capacity_) {
    const std::size_t bytes =
        capacity_ * sizeof(std::uint32_t) + kStatementBufferGrowth;
    void* block = trackedResize(c, words_, bytes);
    if (block == nullptr) return false;
    words_ = static_cast<std::uint32_t*>(block);
    capacity_ = bytes / sizeof(std::uint32_t);
  }
  return true;
}

std::size_t StatementBuffer::beginRecord(InstructionIndex index, int kindCount,
                                          int line) {
  const std::size_t header = size_;
  lastRecord_ = header;
  words_[header] = makeHeader(index, kindCount + 1, line);
  for (int i = 1; i <= kindCount; ++i) words_[header + static_cast<std::size_t>(i)] = 0;
  lines_.push_back(line);
  return header;
}

void StatementBuffer::extendRecord(std::size_t header, int extra) {
  words_[header] += static_cast<std::uint32_t>(extra) << kHeaderLengthShift;
}

int StatementBuffer::storeText(std::size_t position, std::string_view text) {
  const std::size_t textWords = text.size() / 4 + 1;
  char* bytes = reinterpret_cast<char*>(words_ + position);
  std::memset(bytes, 0, (textWords + 1) * sizeof(std::uint32_t));
  // An empty view may have no data at all.
  if (!text.empty()) std::memcpy(bytes, text.data(), text.size());
  return static_cast<int>(textWords + 1);
}

void StatementBuffer::closeRecord(std::size_t header) {
  size_ = header + ((words_[header] >> kHeaderLengthShift) & kHeaderLengthMask);
}

}  // namespace vk6
