#include "symbols/aliases.h"

#include "driver/compilation.h"

namespace vk6 {

void defineAlias(Compilation&, const std::string&) {}
void defineUnits(Compilation&, const std::string&) {}
std::string substituteAliases(Compilation&, const std::string& text) {
  return text;
}
void resolveAliases(Compilation&) {}

}  // namespace vk6
