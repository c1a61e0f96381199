#include "parse/parameter_parser.h"

#include <cstdlib>

#include "driver/compilation.h"
#include "parse/instruction_table.h"

namespace vk6 {
namespace {

int countKinds(const char* kinds) {
  if (kinds[0] == '\0') return 0;
  int count = 1;
  for (const char* p = kinds; *p != '\0'; ++p) count += (*p == ',');
  return count;
}

}  // namespace

std::optional<std::string> parseParameters(Compilation& c,
                                           const StatementInput* input,
                                           int index) {
  StatementBuffer& buffer = c.statements;
  if (!buffer.makeRoom(c)) return std::nullopt;
  const int kindCount =
      input == nullptr ? 0 : countKinds(kInstructionTable[index].kinds);
  if (!buffer.ensure(c, static_cast<std::size_t>(kindCount) + 1))
    return std::nullopt;
  const std::size_t header =
      buffer.beginRecord(index, kindCount, c.diag.currentLine);
  for (int i = 1; i <= kindCount; ++i)
    buffer.setWord(header + static_cast<std::size_t>(i), kAbsentMarker);
  buffer.closeRecord(header);
  return std::nullopt;
}

}  // namespace vk6
