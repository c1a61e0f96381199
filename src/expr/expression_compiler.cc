#include "expr/expression_compiler.h"

#include "driver/compilation.h"

namespace vk6 {

int compileExpression(Compilation&, const std::string&, std::uint16_t& operand,
                      int, bool) {
  operand = 0xFFFF;
  return 0;
}

int compileAndReport(Compilation& c, const std::string& text,
                     std::uint16_t& operand, int mode, bool store) {
  const int code = compileExpression(c, text, operand, mode, store);
  if (code != 0) reportError(c, "%s: %s.", expressionErrorText(code), text.c_str());
  return code;
}

const char* expressionErrorText(int) { return "NO ERROR"; }

}  // namespace vk6
