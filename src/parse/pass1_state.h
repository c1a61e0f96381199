// The state of pass 1: the loaded source and the reader's place in it,
// and the subroutines declared so far.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/text.h"

namespace vk6 {

// The program text as loaded by the driver; pass 1 reads lines from it.
struct SourceText {
  std::string path;  // as typed; empty when no file was named
  bool opened = false;
  // The caller's text, read in place: it outlives the compile, and a large
  // program is not held twice.
  std::string_view bytes;
  std::size_t cursor = 0;
};

struct Subroutine {
  std::uint16_t value = 0;  // filled in pass 2
  std::string name;
  int line = 0;  // of the Sub statement
};

// The subroutines in declaration order, with their names indexed: every
// statement that is no instruction asks whether it names one.
class SubroutineList {
 public:
  void push_back(Subroutine sub) {
    // The first of a name stays; an empty name is never found.
    if (!sub.name.empty()) firstNamed_.emplace(sub.name, list_.size());
    list_.push_back(std::move(sub));
  }
  void clear() {
    list_.clear();
    firstNamed_.clear();
  }
  // Position of the first subroutine named `name` (letters folded; names
  // hold no blank), or -1.
  int find(std::string_view name) const {
    const auto found = firstNamed_.find(name);
    return found == firstNamed_.end() ? -1 : static_cast<int>(found->second);
  }

  std::size_t size() const { return list_.size(); }
  Subroutine& operator[](std::size_t i) { return list_[i]; }
  const Subroutine& operator[](std::size_t i) const { return list_[i]; }
  std::vector<Subroutine>::const_iterator begin() const { return list_.begin(); }
  std::vector<Subroutine>::const_iterator end() const { return list_.end(); }

 private:
  std::vector<Subroutine> list_;
  FoldedMap<std::size_t> firstNamed_;
};

struct Pass1State {
  SourceText source;
  int scanCount = 0;
  SubroutineList subroutines;
};

}  // namespace vk6
