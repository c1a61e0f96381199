// The stack code of the expression area, written once for the expression
// compiler, the compile-time evaluator and the inspector's disassembler.
// Code is a run of 16-bit words: an opcode, then its operand words. An
// expression ends with kOpEnd or with one of the lone or store opcodes,
// which also name what the expression stands for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace vk6 {

// X(Name, opcode, operand words). ORDER OPCODES: numbers are the logger's.
#define VK6_STACK_OPS(X)                                                  \
  X(Call, 3, 2)            /* u32 function code */                        \
  X(Add, 5, 0)                                                            \
  X(Subtract, 6, 0)                                                       \
  X(Multiply, 7, 0)                                                       \
  X(Divide, 8, 0)                                                         \
  X(Mod, 9, 0)                                                            \
  X(Negate, 10, 0)                                                        \
  X(Or, 11, 0)                                                            \
  X(Xor, 12, 0)                                                           \
  X(And, 13, 0)                                                           \
  X(Not, 14, 0)                                                           \
  X(Greater, 15, 0)                                                       \
  X(GreaterEqual, 16, 0)                                                  \
  X(NotEqual, 17, 0)                                                      \
  X(LessEqual, 18, 0)                                                     \
  X(Less, 19, 0)                                                          \
  X(Equal, 20, 0)                                                         \
  X(PushFloat, 35, 2)      /* f32 */                                      \
  X(PushVariable, 36, 1)   /* location word */                            \
  X(PushInteger, 37, 1)    /* s16 */                                      \
  X(PushBlock, 38, 2)      /* u32 area offset of a constant block */      \
  X(End, 39, 0)                                                           \
  X(LoneConstant, 40, 2)   /* f32 */                                      \
  X(Eqv, 42, 0)                                                           \
  X(Imp, 43, 0)                                                           \
  X(PushTested, 44, 0)     /* the CASE value under test */                \
  X(Range, 45, 0)                                                         \
  X(PushElement, 46, 1)    /* location word; the index is on the stack */ \
  X(StoreVariable, 47, 1)  /* location word */                            \
  X(StoreElement, 48, 1)   /* location word */                            \
  X(LoneVariable, 49, 1)   /* location word */                            \
  X(LoneElement, 50, 1)    /* location word */                            \
  X(TableField, 57, 2)     /* table word, field word */                   \
  X(EqualsTested, 58, 0)                                                  \
  X(Power, 59, 0)                                                         \
  X(TableFieldName, 60, 14) /* "Table.Field", NUL-padded */

enum StackOp : std::uint16_t {
#define VK6_STACK_OP(name, opcode, words) kOp##name = opcode,
  VK6_STACK_OPS(VK6_STACK_OP)
#undef VK6_STACK_OP
};

constexpr std::size_t kCodeWordBytes = 2;

// Number of operand words after `op`; 0 for an opcode no code has.
constexpr std::size_t operandWords(std::uint16_t op) {
  switch (op) {
#define VK6_STACK_OP_WORDS(name, opcode, words) \
  case opcode:                                  \
    return words;
    VK6_STACK_OPS(VK6_STACK_OP_WORDS)
#undef VK6_STACK_OP_WORDS
    default:
      return 0;
  }
}

// Bytes of an instruction: its opcode and its operand words.
constexpr std::size_t instructionBytes(std::uint16_t op) {
  return (1 + operandWords(op)) * kCodeWordBytes;
}

// The longest name kOpTableFieldName holds, its NUL aside.
constexpr std::size_t kMaxFieldReferenceName =
    operandWords(kOpTableFieldName) * kCodeWordBytes - 1;

// The table and field words of kOpTableField.
constexpr std::uint16_t kPublicTableNumber = 0xFFFF;
constexpr std::uint16_t kStatusTableNumber = 0xFFFE;
constexpr std::uint16_t kDataTableNumberBase = 0x8000;  // + the list index
constexpr std::uint16_t kFieldOutput = 0x8001;  // fields below: positions
constexpr std::uint16_t kFieldRecord = 0x8002;
constexpr std::uint16_t kFieldTimestamp = 0x8003;
constexpr std::uint16_t kFieldTableSize = 0x8004;
constexpr std::uint16_t kFieldTableFull = 0x8005;

struct SpecialField {
  const char* name;
  std::uint16_t word;
};
// ORDER SPECIAL FIELDS: by field word.
inline constexpr SpecialField kSpecialFields[] = {
    {"OUTPUT", kFieldOutput},       {"RECORD", kFieldRecord},
    {"TIMESTAMP", kFieldTimestamp}, {"TABLESIZE", kFieldTableSize},
    {"TABLEFULL", kFieldTableFull},
};

// The built-in functions of kOpCall: X(Name, code, name, arguments), the
// arguments being the values the call takes from the stack. ORDER
// FUNCTIONS: codes are the logger's, from 1 without a gap.
#define VK6_FUNCTIONS(X)                 \
  X(Sin, 1, "SIN", 1)                    \
  X(Cos, 2, "COS", 1)                    \
  X(Exp, 3, "EXP", 1)                    \
  X(Int, 4, "INT", 1)                    \
  X(Abs, 5, "ABS", 1)                    \
  X(Sqr, 6, "SQR", 1)                    \
  X(Log, 7, "LOG", 1)                    \
  X(Atn, 8, "ATN", 1)                    \
  X(Sgn, 9, "SGN", 1)                    \
  X(Tan, 10, "TAN", 1)                   \
  X(Randomize, 11, "RANDOMIZE", 1)       \
  X(Rnd, 12, "RND", 0)                   \
  X(Frac, 13, "FRAC", 1)                 \
  X(Fix, 14, "FIX", 1)                   \
  X(Asin, 15, "ASIN", 1)                 \
  X(Atn2, 16, "ATN2", 2)                 \
  X(Acos, 17, "ACOS", 1)                 \
  X(Log10, 18, "LOG10", 1)               \
  X(Sinh, 19, "SINH", 1)                 \
  X(Tanh, 20, "TANH", 1)                 \
  X(Cosh, 21, "COSH", 1)                 \
  X(Iif, 22, "IIF", 3)                   \
  X(IfTime, 23, "IFTIME", 1)             \
  X(TimeUntilTransmit, 24, "TIMEUNTILTRANSMIT", 1)

enum FunctionCode : std::uint16_t {
#define VK6_FUNCTION_CODE(name, code, text, arguments) kFunction##name = code,
  VK6_FUNCTIONS(VK6_FUNCTION_CODE)
#undef VK6_FUNCTION_CODE
};

struct BuiltinFunction {
  std::uint16_t code;
  const char* name;
  int arguments;
};

inline constexpr BuiltinFunction kBuiltinFunctions[] = {
#define VK6_FUNCTION_ROW(name, code, text, arguments) {kFunction##name, text, arguments},
    VK6_FUNCTIONS(VK6_FUNCTION_ROW)
#undef VK6_FUNCTION_ROW
};
constexpr std::size_t kFunctionCount = std::size(kBuiltinFunctions);

constexpr bool functionsFollowTheirCodes() {
  for (std::size_t i = 0; i < kFunctionCount; ++i)
    if (kBuiltinFunctions[i].code != i + 1) return false;
  return true;
}
static_assert(functionsFollowTheirCodes());

// The function of `code`, or nullptr.
constexpr const BuiltinFunction* findFunction(std::uint32_t code) {
  return code >= 1 && code <= kFunctionCount ? &kBuiltinFunctions[code - 1]
                                             : nullptr;
}

// The constant blocks that kOpPushBlock pushes for two functions.
// IFTIME: u32 seconds into the interval, then the u32 interval in seconds.
constexpr std::size_t kIfTimeBlockSize = 8;
constexpr std::size_t kIfTimeInterval = 4;
// TIMEUNTILTRANSMIT: u32 its argument minus 1.
constexpr std::size_t kTransmitBlockSize = 4;

}  // namespace vk6
