#include "symbols/variables.h"

#include <utility>

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "core/text.h"
#include "format/operand_word.h"
#include "symbols/constants.h"

namespace vk6 {
namespace {

constexpr std::size_t kNameCopyLength = kMaxNameLength + 1;

void makePublic(VariableTable& table, VariableRecord& record, bool last) {
  if (record.publicKind == kDeclarePublic) return;
  record.publicKind = kDeclarePublic;
  record.publicRank = table.publicCount++;
  if (!last) table.publicRanksStale = true;
}

}  // namespace

int declareVariable(Compilation& c, std::int32_t count, std::string_view text,
                    int kind) {
  std::size_t start = 0;
  while (start < text.size() && text[start] == ' ') ++start;
  if (start < text.size() && isDigit(text[start]))
    reportError(c, "Variable name %s illegal, starts with a number",
                std::string(text.substr(start)).c_str());
  std::string_view name = text.substr(start, kNameCopyLength);
  name = name.substr(0, name.find_first_of(" ("));
  if (name.size() >= kNameCopyLength)
    reportError(c, "Name %s is too large, limit is 16 characters",
                std::string(name).c_str());

  VariableTable& table = c.variables;
  if (const int i = findVariable(c, name); i >= 0) {
    VariableRecord& record = table.records[static_cast<std::size_t>(i)];
    if (count > record.elementCount)
      reportError(c, "%s already dimensioned smaller than %d",
                  std::string(name).c_str(), count);
    if (kind == kDeclarePublic)
      makePublic(table, record, static_cast<std::size_t>(i) + 1 == table.records.size());
    return i;
  }
  const std::int32_t firstIndex = table.totalElements;
  if (kind == kDeclareLookup) {
    reportError(c, "undeclared variable %s", std::string(name).c_str());
    return -1;
  }
  checkConstantName(c, name);
  VariableRecord record;
  record.elementCount = count;
  record.name = name;
  record.line = c.diag.currentLine;
  record.location = locationWord(static_cast<std::uint32_t>(firstIndex),
                                 static_cast<std::uint32_t>(count));
  if (kind == kDeclarePublic) makePublic(table, record, true);
  // An empty name is never found, so it stays out of the index.
  if (!record.name.empty()) table.byName.emplace(record.name, table.records.size());
  table.records.push_back(std::move(record));
  table.totalElements += count;
  return static_cast<int>(table.records.size() - 1);
}

int findVariable(const Compilation& c, std::string_view name) {
  return findVariable(c, HashedName(name));
}

int findVariable(const Compilation& c, const HashedName& name) {
  // Declared names hold no blank, so a name matches exactly, letters folded.
  const auto found = c.variables.byName.find(name);
  return found == c.variables.byName.end() ? -1 : static_cast<int>(found->second);
}

int publicPosition(Compilation& c, int index) {
  VariableTable& table = c.variables;
  if (table.publicRanksStale) {
    int rank = 0;
    for (VariableRecord& v : table.records)
      if (v.publicKind != 0) v.publicRank = rank++;
    table.publicRanksStale = false;
  }
  const VariableRecord& record = table.records[static_cast<std::size_t>(index)];
  return record.publicKind != 0 ? record.publicRank : -1;
}

std::uint16_t findVariableLocation(const Compilation& c, std::string_view name) {
  const int i = findVariable(c, name);
  return i < 0 ? kNoOperand : c.variables.records[static_cast<std::size_t>(i)].location;
}

std::string variableNameAt(Compilation& c, std::uint16_t location) {
  VariableTable& table = c.variables;
  for (; table.locatedCount < table.records.size(); ++table.locatedCount)
    table.byLocation.emplace(table.records[table.locatedCount].location,
                             table.locatedCount);  // the first stays
  const auto found = table.byLocation.find(location);
  return found == table.byLocation.end() ? " " : table.records[found->second].name;
}

}  // namespace vk6
