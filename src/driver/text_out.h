// Where the driver's messages go: a stdio stream as it runs, or a string
// that tests read back. Through stdio, not iostreams, whose set-up alone
// would cost the compiler a noticeable share of a small program's run.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace vk6 {

class TextOut {
 public:
  // Collects the text; text() returns it.
  TextOut() = default;
  // Writes to `file` as it goes.
  explicit TextOut(std::FILE* file) : file_(file) {}

  TextOut& operator<<(std::string_view s) {
    if (file_ != nullptr)
      std::fwrite(s.data(), 1, s.size(), file_);
    else
      text_ += s;
    return *this;
  }
  TextOut& operator<<(char ch) { return *this << std::string_view(&ch, 1); }

  const std::string& text() const { return text_; }

 private:
  std::FILE* file_ = nullptr;
  std::string text_;
};

}  // namespace vk6
