// The protocol's framing: each message is a header block ("Content-Length:
// N", other headers ignored, a blank line) and then N bytes of JSON. The
// reader takes bytes as they come and hands out whole message bodies; it
// never holds more than one message of at most kMaxMessageBytes, so a
// stream of garbage cannot make it grow.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vk6::lsp {

constexpr std::size_t kMaxMessageBytes = 64 * 1024 * 1024;
// A header block longer than this is garbage and dropped.
constexpr std::size_t kMaxHeaderBytes = 8 * 1024;

class MessageReader {
 public:
  enum class Status { kMessage, kNeedMore, kBadHeader };

  void feed(std::string_view bytes) { buffer_.append(bytes); }
  // kMessage with the next body in `body`; kBadHeader when a header block
  // was dropped (no usable Content-Length); kNeedMore when no whole
  // message is buffered.
  Status next(std::string* body);
  std::size_t buffered() const { return buffer_.size(); }

 private:
  std::string buffer_;
};

// `body` with its header block.
std::string frameMessage(std::string_view body);

}  // namespace vk6::lsp
