// Text helpers every layer uses: the language's case folding and name
// comparison, character classes, and the limits of a source line.
#pragma once

#include <array>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vk6 {

// A source line is read into a buffer of this size, line end included.
constexpr std::size_t kLineBufferSize = 512;
// Delimiters of statement tokens.
constexpr const char* kStatementDelimiters = ",:() =\n\r\t>";

// Letters fold to upper case; names compare case-insensitively. Names are
// folded for every lookup, so by one table load.
constexpr std::array<char, 256> makeUpcaseTable() {
  std::array<char, 256> t{};
  for (int i = 0; i < 256; ++i) {
    const auto ch = static_cast<char>(i);
    t[static_cast<std::size_t>(i)] =
        (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
  }
  return t;
}
inline constexpr std::array<char, 256> kUpcaseTable = makeUpcaseTable();
constexpr char upcaseChar(char ch) { return kUpcaseTable[static_cast<unsigned char>(ch)]; }
void upcaseText(std::string& text);

constexpr bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }

// Character classes, one table lookup per character.
enum CharTrait : std::uint8_t {
  kCharLetter = 1,         // A-Z, a-z
  kCharDigit = 2,          // 0-9
  kCharNameMark = 4,       // # $ & [ ] _, which names hold like letters
  kCharDelimiter = 8,      // one of kStatementDelimiters
  kCharLineEnd = 16,       // carriage return, line feed
};

constexpr std::array<std::uint8_t, 256> makeCharTraits() {
  std::array<std::uint8_t, 256> t{};
  for (int ch = 'A'; ch <= 'Z'; ++ch) t[static_cast<std::size_t>(ch)] |= kCharLetter;
  for (int ch = 'a'; ch <= 'z'; ++ch) t[static_cast<std::size_t>(ch)] |= kCharLetter;
  for (int ch = '0'; ch <= '9'; ++ch) t[static_cast<std::size_t>(ch)] |= kCharDigit;
  for (char ch : std::string_view("#$&[]_")) t[static_cast<unsigned char>(ch)] |= kCharNameMark;
  for (char ch : std::string_view(kStatementDelimiters))
    t[static_cast<unsigned char>(ch)] |= kCharDelimiter;
  t['\r'] |= kCharLineEnd;
  t['\n'] |= kCharLineEnd;
  return t;
}
inline constexpr std::array<std::uint8_t, 256> kCharTraits = makeCharTraits();

// True when `ch` has any of `traits`.
constexpr bool hasCharTrait(char ch, unsigned traits) {
  return (kCharTraits[static_cast<unsigned char>(ch)] & traits) != 0;
}
constexpr bool isStatementDelimiter(char ch) { return hasCharTrait(ch, kCharDelimiter); }

// `text` up to its first carriage return or line feed.
constexpr std::string_view beforeLineEnd(std::string_view text) {
  std::size_t end = 0;
  while (end < text.size() && !hasCharTrait(text[end], kCharLineEnd)) ++end;
  return text.substr(0, end);
}

// ---- Folded names ------------------------------------------------------
// Hashing and comparing names with letters folded, over views, so a
// lookup builds no string.

// `text` up to its first blank: the part keywordCompare matches.
constexpr std::string_view beforeBlank(std::string_view text) {
  return text.substr(0, text.find(' '));
}

// FNV-1a over the folded letters.
constexpr std::size_t foldedHash(std::string_view name) {
  std::uint64_t h = 14695981039346656037ull;
  for (char ch : name) {
    h ^= static_cast<unsigned char>(upcaseChar(ch));
    h *= 1099511628211ull;
  }
  return static_cast<std::size_t>(h);
}

constexpr bool foldedEquals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (upcaseChar(a[i]) != upcaseChar(b[i])) return false;
  return true;
}

// A name with its folded hash: one name looked up in several tables is
// hashed once.
struct HashedName {
  constexpr explicit HashedName(std::string_view text)
      : name(text), hash(foldedHash(text)) {}
  std::string_view name;
  std::size_t hash;
};

// Hash and equality of folded names; transparent, so a map keyed by
// std::string is searched with a string_view or a HashedName.
struct FoldedHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view name) const { return foldedHash(name); }
  std::size_t operator()(const HashedName& key) const { return key.hash; }
};
struct FoldedEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const {
    return foldedEquals(a, b);
  }
  bool operator()(const HashedName& a, std::string_view b) const {
    return foldedEquals(a.name, b);
  }
  bool operator()(std::string_view a, const HashedName& b) const {
    return foldedEquals(a, b.name);
  }
};
// A map of names, letters folded: "Abc" and "ABC" are one key.
template <typename Value>
using FoldedMap = std::unordered_map<std::string, Value, FoldedHash, FoldedEqual>;

// A read-only index of the names of a constant table, built at compile
// time: row of a folded name by one hash probe (linear probing). The first
// row of a name wins, as a scan in row order finds it; empty names are
// left out. `kSlots` is a power of two, at least twice the rows.
template <std::size_t kSlots>
class FoldedIndex {
 public:
  template <typename Rows, typename NameOf>
  constexpr FoldedIndex(const Rows& rows, NameOf nameOf) {
    static_assert((kSlots & (kSlots - 1)) == 0, "slots must be a power of two");
    int row = 0;
    std::size_t used = 0;
    for (const auto& r : rows) {
      const std::string_view name = nameOf(r);
      if (!name.empty() && find(name) < 0) {
        // Too many rows store past the slots: no constant expression.
        if (2 * ++used > kSlots) slots_[kSlots] = {};
        std::size_t i = foldedHash(name) & (kSlots - 1);
        while (!slots_[i].name.empty()) i = (i + 1) & (kSlots - 1);
        slots_[i] = {name, row};
      }
      ++row;
    }
    size_ = used;
  }

  // Names indexed: fewer than the rows when some are empty or repeated.
  constexpr std::size_t size() const { return size_; }

  // Row of `name`, or -1.
  constexpr int find(std::string_view name) const { return find(HashedName(name)); }
  constexpr int find(const HashedName& key) const {
    if (key.name.empty()) return -1;
    for (std::size_t i = key.hash & (kSlots - 1); !slots_[i].name.empty();
         i = (i + 1) & (kSlots - 1)) {
      if (foldedEquals(slots_[i].name, key.name)) return slots_[i].row;
    }
    return -1;
  }

 private:
  struct Slot {
    std::string_view name;
    int row = -1;
  };
  std::array<Slot, kSlots> slots_{};
  std::size_t size_ = 0;
};

// Name comparison of the language: letters fold to upper case; `name`
// matches when it ends where `key` ends or reaches a blank there. A null
// or empty `name` never matches. For a non-empty key that holds no blank,
// keywordCompare(name, key) is foldedEquals(beforeBlank(name), key), and
// nameEquals(name, key) is foldedEquals(name, key): so the tables are
// searched through folded hashes with the same answers.
bool keywordCompare(const char* name, const char* key);
// As keywordCompare, but `name` must end exactly where `key` ends.
bool nameEquals(const char* name, const char* key);
// Letters of `name` folded to upper case, up to its end or, with
// `stopAtBlank`, its first blank.
std::string foldedName(const char* name, bool stopAtBlank);

// printf-style formatting into a string of any length.
std::string formatString(const char* format, ...)
    __attribute__((format(printf, 1, 2)));
std::string formatStringV(const char* format, va_list args);

// `text` up to its first carriage return or line feed. Messages quote
// statement text this way: the last statement of a line is read with the
// line end, which would break the message's own line.
inline std::string withoutLineEnd(std::string_view text) {
  return std::string(beforeLineEnd(text));
}

}  // namespace vk6
