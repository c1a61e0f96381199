// Aliases (other names for variables and elements) and units texts.
#pragma once

#include <string>

namespace vk6 {

struct Compilation;

// The Alias statement; `text` is the statement after its keyword.
void defineAlias(Compilation& c, const std::string& text);
// The Units statement; `text` is the statement after its keyword.
void defineUnits(Compilation& c, const std::string& text);
// Replaces alias names in `text` by their aliased text.
std::string substituteAliases(Compilation& c, const std::string& text);
// After pass 1: resolves each alias to its location.
void resolveAliases(Compilation& c);

}  // namespace vk6
