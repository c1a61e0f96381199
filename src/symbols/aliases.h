// Aliases (other names for variables and elements) and units texts.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace vk6 {

struct Compilation;

struct AliasRecord {
  std::string aliasedText;  // at most 21 characters
  std::string name;         // at most 16 characters
  std::int32_t location = 0;
  std::int32_t elementCount = 0;
  int line = 0;  // of the Alias statement
};

struct UnitsRecord {
  std::string name;   // at most 21 characters
  std::string units;  // at most 16 characters
  int line = 0;       // of the Units statement
};

struct AliasTables {
  std::vector<AliasRecord> aliases;
  std::vector<UnitsRecord> units;
  // Positions in `aliases` by upper-cased alias name and by upper-cased
  // aliased text, ascending; they cover the first `indexedCount` records and
  // are rebuilt when the table is reordered.
  std::unordered_map<std::string, std::vector<std::size_t>> byName;
  std::unordered_map<std::string, std::vector<std::size_t>> byText;
  std::size_t indexedCount = 0;
};

// Records the alias of an Alias statement (`text`: the statement after its
// keyword) whose name's element count the caller has evaluated.
void addAlias(Compilation& c, const std::string& text, std::int32_t elementCount);
// The Units statement; `text` is the statement after its keyword.
void defineUnits(Compilation& c, const std::string& text);
// Replaces alias names in `text` by their aliased text: each alias in table
// order replaces the whole names equal to it (ignoring case), and the text
// it inserts is seen by the later aliases only. A result that would not fit
// a line is reported and left partly substituted.
std::string substituteAliases(Compilation& c, const std::string& text);
// Once every alias has its location: orders the table by location.
void orderAliases(Compilation& c);

}  // namespace vk6
