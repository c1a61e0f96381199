#include "lsp/framing.h"

#include <cctype>

namespace vk6::lsp {

namespace {

constexpr std::string_view kHeaderEnd = "\r\n\r\n";
constexpr std::string_view kLengthField = "content-length:";

// The Content-Length of a header block, or -1 when it has none or a bad
// one.
long long contentLength(std::string_view headers) {
  while (!headers.empty()) {
    std::size_t eol = headers.find("\r\n");
    if (eol == std::string_view::npos) eol = headers.size();
    std::string_view line = headers.substr(0, eol);
    headers.remove_prefix(eol == headers.size() ? eol : eol + 2);
    if (line.size() < kLengthField.size()) continue;
    bool match = true;
    for (std::size_t i = 0; i < kLengthField.size(); ++i)
      if (std::tolower(static_cast<unsigned char>(line[i])) != kLengthField[i]) match = false;
    if (!match) continue;
    line.remove_prefix(kLengthField.size());
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
    if (line.empty()) return -1;
    long long value = 0;
    for (char ch : line) {
      if (ch < '0' || ch > '9') return -1;
      value = value * 10 + (ch - '0');
      if (value > static_cast<long long>(kMaxMessageBytes)) return -1;
    }
    return value;
  }
  return -1;
}

}  // namespace

MessageReader::Status MessageReader::next(std::string* body) {
  const std::size_t headerEnd = buffer_.find(kHeaderEnd);
  if (headerEnd == std::string::npos) {
    if (buffer_.size() > kMaxHeaderBytes) {
      // Keep what may be the start of a header end split across reads.
      buffer_.erase(0, buffer_.size() - (kHeaderEnd.size() - 1));
      return Status::kBadHeader;
    }
    return Status::kNeedMore;
  }
  const long long length = contentLength(std::string_view(buffer_).substr(0, headerEnd));
  const std::size_t bodyStart = headerEnd + kHeaderEnd.size();
  if (length < 0) {
    buffer_.erase(0, bodyStart);
    return Status::kBadHeader;
  }
  const auto size = static_cast<std::size_t>(length);
  if (buffer_.size() - bodyStart < size) return Status::kNeedMore;
  body->assign(buffer_, bodyStart, size);
  buffer_.erase(0, bodyStart + size);
  return Status::kMessage;
}

std::string frameMessage(std::string_view body) {
  std::string framed = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  framed.append(body);
  return framed;
}

}  // namespace vk6::lsp
