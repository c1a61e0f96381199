#include "instructions/communication_support.h"

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "expr/constant_eval.h"
#include "format/byte_io.h"
#include "format/operand_word.h"

namespace vk6 {

std::int32_t evaluateInteger(Compilation& c, std::uint32_t operand) {
  const float* value = evaluateOperand(c, slotOperand(operand), 0);
  if (value == nullptr) return 0;
  const double v = static_cast<double>(*value);
  if (!(v >= -2147483648.0 && v < 2147483648.0))
    return static_cast<std::int32_t>(0x80000000u);
  return static_cast<std::int32_t>(v);
}

void appendBytes(RecordBuilder& r, const std::vector<std::uint8_t>& bytes) {
  for (std::uint8_t b : bytes) r.u8(b);
}

void refuseWithoutGoes(Compilation& c, const char* keyword) {
  if (!c.options.hasGoes())
    reportError(c, "%s %s", keyword, "is not accepted, requires different OS version");
}

}  // namespace vk6
