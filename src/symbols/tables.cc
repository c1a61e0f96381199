#include "symbols/tables.h"

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "core/text.h"
#include "format/operand_word.h"
#include "format/stack_code.h"
#include "symbols/status_table.h"
#include "symbols/variables_state.h"

namespace vk6 {
namespace {

bool acceptsElement(const FieldDescriptor& f, std::int32_t element, int mode) {
  if (element == kNoElement) return true;
  if (mode == kResolveIndex) return element > 0 && element <= f.count;
  return element >= f.firstIndex && element < f.firstIndex + f.count;
}

// Position of the first public variable named `field`, or -1.
int publicVariableIndex(const Compilation& c, const std::string& field) {
  int index = 0;
  for (const VariableRecord& v : c.variables.records) {
    if (v.publicKind == 0) continue;
    if (keywordCompare(field.c_str(), v.name.c_str())) return index;
    ++index;
  }
  return -1;
}

}  // namespace

void startTables(Compilation& c) {
  c.tables = TableList{};
  c.tables.tables.push_back(statusTable());
  indexTableName(c, 0);
  c.tables.count = 1;
}

void indexTableName(Compilation& c, std::size_t index) {
  const std::string& name = c.tables.tables[index].name;
  if (!name.empty()) c.tables.firstNamed.emplace(name, index);  // the first stays
}

int findTableNamed(const Compilation& c, std::string_view name) {
  const auto found = c.tables.firstNamed.find(name);
  return found == c.tables.firstNamed.end() ? -1 : static_cast<int>(found->second);
}

int resolveTableField(Compilation& c, const std::string& name,
                      std::int32_t element, int mode, std::uint16_t& table,
                      std::uint16_t& field) {
  const std::size_t dot = name.find('.');
  const std::string tableName = name.substr(0, dot);
  const std::string fieldName =
      dot == std::string::npos ? std::string() : name.substr(dot + 1);
  table = kPublicTableNumber;
  field = kNoOperand;
  std::string shownName = tableName;
  int position = -1;
  if (nameEquals(tableName.c_str(), "Public")) {
    position = publicVariableIndex(c, fieldName);
  } else if (nameEquals(tableName.c_str(), "status")) {
    table = kStatusTableNumber;
    position = findStatusField(fieldName).index;
  } else {
    const int index = findTableNamed(c, tableName);
    if (index < 0) {
      reportError(c, "Could not find DataTable %s.", tableName.c_str());
      return 0;
    }
    const TableDescriptor& t = c.tables.tables[static_cast<std::size_t>(index)];
    table = static_cast<std::uint16_t>(kDataTableNumberBase + index);
    shownName = t.name;
    for (std::size_t i = 0; i < t.fields.size() && position < 0; ++i) {
      if (keywordCompare(fieldName.c_str(), t.fields[i].name.c_str()) &&
          acceptsElement(t.fields[i], element, mode))
        position = static_cast<int>(i);
    }
  }
  if (position >= 0) {
    field = static_cast<std::uint16_t>(position);
    return 0;
  }
  // A special field only when no field of the table has the name.
  for (const SpecialField& s : kSpecialFields) {
    if (nameEquals(fieldName.c_str(), s.name)) {
      field = s.word;
      return 1;
    }
  }
  if (element != kNoElement) {
    reportError(c, "Could not find %s.%s(%d).", shownName.c_str(),
                fieldName.c_str(), element);
  } else {
    reportError(c, "Could not find %s.%s.", shownName.c_str(), fieldName.c_str());
  }
  return 0;
}

}  // namespace vk6
