// Pass 1: reads the program source line by line, cuts lines into
// statements, routes declarations and hands every other statement to the
// parameter parser, which appends its record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vk6 {

struct Compilation;


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
  int line = 0;  // of the Sub statement
};

struct Pass1State {
  SourceText source;
  int scanCount = 0;
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


}  // namespace vk6
