#include "symbols/variables.h"

#include <cmath>

#include "driver/compilation.h"
#include "expr/constant_eval.h"
#include "expr/expression_compiler.h"
#include "image/byte_io.h"
#include "parse/instruction_table.h"
#include "symbols/constants.h"

namespace vk6 {
namespace {

constexpr std::uint32_t kOperandMask = 0x0FFFFFFFu;
constexpr std::uint32_t kEmptyParenthesesBit = 0x40000000u;
constexpr std::size_t kNameCopyLength = kMaxNameLength + 1;

bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }

// Start element and location word of a simple reference, or false.
bool simpleReference(const Compilation& c, std::uint32_t value,
                     std::int32_t& start, std::uint16_t& location) {
  if (value >= kDeferredBit) return false;
  const std::uint16_t op = expressionWordAt(c, value);
  if (op == kOpLoneVariable) {
    start = 1;
    location = expressionWordAt(c, value + 2);
    return true;
  }
  if (op == kOpPushFloat && expressionWordAt(c, value + 6) == kOpLoneElement) {
    const std::uint32_t bits = expressionWordAt(c, value + 2) |
                               (static_cast<std::uint32_t>(expressionWordAt(c, value + 4)) << 16);
    const double index = std::trunc(static_cast<double>(floatFromBits(bits)));
    start = (index >= -2147483648.0 && index <= 2147483647.0)
                ? static_cast<std::int32_t>(index)
                : static_cast<std::int32_t>(0x80000000u);
    location = expressionWordAt(c, value + 8);
    return true;
  }
  return false;
}

}  // namespace

char upcaseChar(char ch) {
  return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
}

void upcaseText(std::string& text) {
  for (char& ch : text) ch = upcaseChar(ch);
}

int declareVariable(Compilation& c, std::int32_t count, const std::string& text,
                    int kind) {
  std::size_t start = 0;
  while (start < text.size() && text[start] == ' ') ++start;
  if (start < text.size() && isDigit(text[start]))
    reportError(c, "Variable name %s illegal, starts with a number",
                text.c_str() + start);
  std::string name = text.substr(start, kNameCopyLength);
  const std::size_t cut = name.find_first_of(" (");
  if (cut != std::string::npos) name.resize(cut);
  if (name.size() >= kNameCopyLength)
    reportError(c, "Name %s is too large, limit is 16 characters", name.c_str());

  VariableTable& table = c.variables;
  if (const int i = findVariable(c, name); i >= 0) {
    VariableRecord& record = table.records[static_cast<std::size_t>(i)];
    if (count > record.elementCount)
      reportError(c, "%s already dimensioned smaller than %d", name.c_str(), count);
    if (kind == kDeclarePublic) record.publicKind = kDeclarePublic;
    return i;
  }
  const std::int32_t firstIndex = table.totalElements;
  if (kind == kDeclareLookup) {
    reportError(c, "undeclared variable %s", name.c_str());
    return -1;
  }
  checkConstantName(c, name);
  VariableRecord record;
  record.elementCount = record.secondCount = count;
  record.byteOffset = firstIndex * record.elementSize;
  record.name = name;
  record.location = static_cast<std::uint16_t>(
      static_cast<std::uint32_t>(firstIndex) |
      (static_cast<std::uint32_t>(count) << 8));
  if (kind == kDeclarePublic) record.publicKind = kDeclarePublic;
  // An empty name is never found, so it stays out of the index.
  if (!record.name.empty())
    table.byName.emplace(foldedName(record.name.c_str(), false), table.records.size());
  table.records.push_back(record);
  table.totalElements += count;
  return static_cast<int>(table.records.size() - 1);
}

int findVariable(const Compilation& c, const std::string& name) {
  // Declared names hold no blank, so a name matches exactly, letters folded.
  const auto found = c.variables.byName.find(foldedName(name.c_str(), false));
  return found == c.variables.byName.end() ? -1 : static_cast<int>(found->second);
}

std::uint16_t findVariableLocation(const Compilation& c, const std::string& name) {
  const int i = findVariable(c, name);
  return i < 0 ? kNoOperand : c.variables.records[static_cast<std::size_t>(i)].location;
}

std::string variableNameAt(const Compilation& c, std::uint16_t location) {
  for (const VariableRecord& record : c.variables.records) {
    if (record.location == location) return record.name;
  }
  return " ";
}

std::uint16_t resolveOperand(Compilation& c, std::uint32_t value) {
  value &= kOperandMask;
  if ((value & kDeferredBit) == 0 || value == kNoOperand)
    return static_cast<std::uint16_t>(value);
  const std::size_t n = value & ~static_cast<std::uint32_t>(kDeferredBit) & 0xFFFFu;
  if (n >= c.exprArea.deferred.size()) return kNoOperand;
  // Evaluating once resolves the table-field names in the code.
  c.eval.quietMode = 2;
  evaluateOperand(c, kDeferredBit | static_cast<std::uint32_t>(n), 0);
  const DeferredExpression& entry = c.exprArea.deferred[n];
  Bytes block;
  for (std::uint16_t w : entry.code) putU16(block, w);
  block.resize(entry.lengthBytes, 0);
  const std::uint16_t offset = appendExpressionCode(c, block.data(), block.size());
  c.eval.quietMode = 0;
  c.eval.quietCount = 0;
  return offset;
}

std::uint32_t writeOperand(Compilation& c, RecordBuilder& r, std::uint32_t value) {
  r.u16(resolveOperand(c, value));
  return value & kOperandMask;
}

std::uint32_t writeCheckedOperand(Compilation& c, RecordBuilder& r,
                                  std::uint32_t value, int role, int reps) {
  checkReps(c, value, role, reps);
  return writeOperand(c, r, value);
}

std::uint32_t writeFlaggedOperand(Compilation& c, RecordBuilder& r,
                                  std::uint32_t value, bool& mark) {
  mark = (value & kEmptyParenthesesBit) != 0;
  return writeOperand(c, r, value & 0xFFFFu);
}

std::uint16_t checkReps(Compilation& c, std::uint32_t value, int role, int reps) {
  std::int32_t start = 0;
  std::uint16_t location = kNoOperand;
  if (!simpleReference(c, value & kOperandMask, start, location)) return kNoOperand;
  const std::int64_t last = static_cast<std::int64_t>(start) + reps - 1;
  if (role != kRoleNone && last > (location >> 8)) {
    if (role == kRoleDestination) {
      reportError(c, "Reps too large for Destination variable.");
    } else if (role == kRoleSource) {
      reportError(c, "Reps too large for Source variable.");
    } else {
      reportError(c, "Source variable array not big enough.");
    }
  }
  return location;
}

std::uint16_t parameterLocation(Compilation& c, std::uint32_t value,
                                const char* label) {
  value &= kOperandMask;
  std::int32_t start = 0;
  std::uint16_t location = kNoOperand;
  if (simpleReference(c, value, start, location)) {
    if (expressionWordAt(c, value) == kOpLoneVariable) return location;
    const int k = static_cast<std::uint8_t>(start) - 1;
    const int count = (location >> 8) - k;
    const int first = ((location & 0xFF) + k) & 0xFF;
    return static_cast<std::uint16_t>(((count & 0xFF) << 8) | first);
  }
  if (value < kDeferredBit && expressionWordAt(c, value) == kOpLoneConstant) {
    const std::uint32_t bits = expressionWordAt(c, value + 2) |
        (static_cast<std::uint32_t>(expressionWordAt(c, value + 4)) << 16);
    if (floatFromBits(bits) == 0.0f) return 0;
  }
  reportError(c, "Invalid %s param.", label);
  return kNoOperand;
}

bool isLoneConstant(const Compilation& c, std::uint32_t value) {
  value &= kOperandMask;
  return value < kDeferredBit && expressionWordAt(c, value) == kOpLoneConstant;
}

}  // namespace vk6
