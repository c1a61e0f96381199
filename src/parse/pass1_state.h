// The state of pass 1: the loaded source and the reader's place in it,
// and the subroutines declared so far.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vk6 {

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

}  // namespace vk6
