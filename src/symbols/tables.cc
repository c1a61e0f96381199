#include "symbols/tables.h"

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "core/text.h"
#include "format/operand_word.h"
#include "format/stack_code.h"
#include "symbols/status_table.h"
#include "symbols/variables.h"

namespace vk6 {
namespace {

bool acceptsElement(const FieldDescriptor& f, std::int32_t element, int mode) {
  if (element == kNoElement) return true;
  if (mode == kResolveIndex) return element > 0 && element <= f.count;
  return element >= f.firstIndex && element < f.firstIndex + f.count;
}

// Position among the public variables of the one named `field` up to its
// first blank (declared names are unique and hold no blank), or -1.
int publicVariableIndex(Compilation& c, const std::string& field) {
  const int index = findVariable(c, beforeBlank(field.c_str()));
  return index < 0 ? -1 : publicPosition(c, index);
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

void indexTableFields(Compilation& c, std::size_t index) {
  TableDescriptor& t = c.tables.tables[index];
  t.fieldsByName.clear();
  for (std::size_t i = 0; i < t.fields.size(); ++i)
    t.fieldsByName[std::string(beforeBlank(t.fields[i].name.c_str()))].push_back(i);
}

int findTableKeyword(const Compilation& c, const std::string& name) {
  return findTableNamed(c, beforeBlank(name.c_str()));
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
    // Every field keywordCompare can match is listed under the reference's
    // name up to its first blank; the test itself stays the same.
    const auto named = t.fieldsByName.find(beforeBlank(fieldName.c_str()));
    if (named != t.fieldsByName.end() && !fieldName.empty()) {
      for (const std::size_t i : named->second) {
        if (keywordCompare(fieldName.c_str(), t.fields[i].name.c_str()) &&
            acceptsElement(t.fields[i], element, mode)) {
          position = static_cast<int>(i);
          break;
        }
      }
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
