// The declarations of pass 1 whose values are expressions: Const, and the
// element counts and locations of aliases. They evaluate through the
// expression compiler and record into the symbol tables.
#pragma once

#include <string>

namespace vk6 {

struct Compilation;

// The CONST statement; `text` is the statement after its keyword.
void defineConstant(Compilation& c, const std::string& text);
// The Alias statement; `text` is the statement after its keyword.
void defineAlias(Compilation& c, const std::string& text);
// After pass 1: resolves each alias to its location.
void resolveAliases(Compilation& c);

}  // namespace vk6
