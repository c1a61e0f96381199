// Aliases (other names for variables and elements) and units texts.
#pragma once

#include <cstdint>
#include <string>

#include "symbols/aliases_state.h"

namespace vk6 {

struct Compilation;

// Records the alias of an Alias statement (`text`: the statement after its
// keyword) whose name's element count the caller has evaluated.
void addAlias(Compilation& c, const std::string& text, std::int32_t elementCount);
// The Units statement; `text` is the statement after its keyword.
void defineUnits(Compilation& c, const std::string& text);
// The first Units record naming `name` (letters folded, up to a NUL), or
// nullptr; an empty name has none.
const UnitsRecord* findUnits(const Compilation& c, const std::string& name);
// Appends `text` to `out` with alias names replaced by their aliased text:
// each alias in table order replaces the whole names equal to it (ignoring
// case), and the text it inserts is seen by the later aliases only. A
// result that would not fit a line is reported and left partly substituted.
void substituteAliases(Compilation& c, std::string_view text, std::string& out);
// Once every alias has its location: orders the table by location.
void orderAliases(Compilation& c);

}  // namespace vk6
