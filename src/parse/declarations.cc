#include "parse/declarations.h"

#include <algorithm>
#include <cstdint>

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "core/text.h"
#include "expr/constant_eval.h"
#include "expr/expression_compiler.h"
#include "expr/expression_state.h"
#include "format/operand_word.h"
#include "symbols/aliases.h"
#include "symbols/constants.h"
#include "symbols/variables.h"

namespace vk6 {
namespace {

constexpr float kMaxConstant = 16777216.0f;

// Skips to the value expression of a CONST: blanks and '=' signs, then the
// text up to the first comma outside parentheses.
std::string constValueText(const std::string& rest) {
  std::size_t i = 0;
  while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t' || rest[i] == '='))
    ++i;
  int depth = 0;
  std::size_t end = i;
  for (; end < rest.size(); ++end) {
    const char ch = rest[end];
    if (ch == '\r' || ch == '\n') break;
    if (ch == '(') ++depth;
    if (ch == ')') --depth;
    if (ch == ',' && depth <= 0) break;
  }
  return rest.substr(i, end - i);
}

bool isEmptyExpression(const std::string& text) {
  for (char ch : text) {
    if (ch == '\r' || ch == '\n') return true;
    if (ch != ' ' && ch != '\t') return false;
  }
  return true;
}

// Element count of an alias name written with one in parentheses.
std::int32_t aliasElementCount(Compilation& c, const std::string& right) {
  const std::size_t open = right.find('(');
  if (open == std::string::npos) return 0;
  std::uint16_t operand = kNoOperand;
  if (compileAndReport(c, right.substr(open), operand, kModePlain, false) != 0)
    return 0;
  const float* value = evaluateOperand(c, kNoOperand, 0);
  if (value == nullptr) return 0;
  const double v = static_cast<double>(*value);
  return (v >= -2147483648.0 && v < 2147483648.0) ? static_cast<std::int32_t>(v)
                                                   : 0;
}

}  // namespace

void defineConstant(Compilation& c, const std::string& text) {
  ConstantTable& table = c.constants;
  const std::size_t start = text.find_first_not_of(kStatementDelimiters);
  if (start == std::string::npos) {
    reportError(c, "Const with no declaration.");
    return;
  }
  const std::size_t end = std::min(text.find_first_of(kStatementDelimiters, start),
                                   text.size());
  std::string name = text.substr(start, end - start);
  if (name.size() > kMaxNameLength) {
    reportError(c, "Const Name %s is too large, limit is 16 characters.",
                name.c_str());
    name.resize(kMaxNameLength);
  }
  if (findVariableLocation(c, name) != kNoOperand)
    reportError(c, "%s already declared as a variable.", name.c_str());
  checkConstantName(c, name);
  if (isDigit(name[0]))
    reportError(c, "Const name %s illegal, starts with a number.", name.c_str());

  const std::string valueText = constValueText(text.substr(end));
  if (isEmptyExpression(valueText)) {
    reportError(c, "CONST needs assignment.");
    return;
  }
  std::uint16_t operand = kNoOperand;
  if (compileAndReport(c, valueText, operand, kModePlain, false) != 0) return;
  if (c.expr.namesVariable) {
    reportError(c, "Variable used in CONST expression.");
    return;
  }
  const float* value = evaluateOperand(c, kNoOperand, 0);
  const float v = value != nullptr ? *value : 0.0f;
  if (v >= kMaxConstant) reportError(c, "Maximum CONST is 16777215.");
  addConstant(table, name, v, c.diag.currentLine);
}

void defineAlias(Compilation& c, const std::string& text) {
  const std::size_t equals = text.find('=');
  const std::int32_t count =
      equals == std::string::npos ? 0 : aliasElementCount(c, text.substr(equals + 1));
  addAlias(c, text, count);
}

void resolveAliases(Compilation& c) {
  std::vector<AliasRecord>& aliases = c.aliases.aliases;
  const float* memory = c.eval.memory;
  for (AliasRecord& alias : aliases) {
    if (alias.aliasedText.empty()) continue;
    std::uint16_t operand = kNoOperand;
    const float* element = nullptr;
    if (compileExpression(c, alias.aliasedText, operand, kModePlain, false) == 0)
      element = evaluateOperand(c, kNoOperand, 0);
    if (element != nullptr && element >= memory &&
        element < memory + kVariableLocations) {
      alias.location = static_cast<std::int32_t>(element - memory);
    } else {
      reportError(c, "Illegal alias %s.", alias.aliasedText.c_str());
    }
  }
  orderAliases(c);
}

}  // namespace vk6
