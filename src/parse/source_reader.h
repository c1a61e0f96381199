// Pass 1: reads the program source line by line, cuts lines into
// statements, routes declarations and hands every other statement to the
// parameter parser, which appends its record. Also the signature routine
// shared with the image writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vk6 {

struct Compilation;

constexpr std::uint16_t kSignatureSeed = 0xAAAA;
constexpr std::size_t kLineBufferSize = 512;
// Delimiters of statement tokens.
constexpr const char* kStatementDelimiters = ",:() =\n\r\t>";

// The program text as loaded by the driver; pass 1 reads lines from it.
struct SourceText {
  std::string path;  // as typed; empty when no file was named
  bool opened = false;
  std::string bytes;
  std::size_t cursor = 0;
};

struct Subroutine {
  std::uint16_t value = 0;  // filled in pass 2
  std::string name;
};

struct Pass1State {
  SourceText source;
  int scanCount = 0;
  std::uint16_t scanInterval = 0;
  std::uint16_t signature = 0;
  std::vector<Subroutine> subroutines;
};

// Builds the statement records from the loaded source.
void runPass1(Compilation& c);

// The next line of the source with its comment removed, or nullopt at the
// end of the source or after an over-long line (which is reported).
std::optional<std::string> readSourceLine(Compilation& c);

// Position of the ':' that ends the first statement of `text`, or npos.
// A colon inside the first quoted string does not end the statement.
std::size_t findStatementEnd(std::string_view text);

// `text` up to its first carriage return or line feed. Messages quote
// statement text this way: the last statement of a line is read with the
// line end, which would break the message's own line.
std::string withoutLineEnd(const std::string& text);

// 16-bit running checksum of a byte range.
std::uint16_t computeSignature(std::uint16_t seed, const std::uint8_t* bytes,
                               std::size_t count);

}  // namespace vk6
