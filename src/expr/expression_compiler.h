// Compiles one expression text into the logger's stack code: 16-bit words,
// each instruction an opcode followed by its operand words. The first fault
// of an expression wins and is reported once, with the expression text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vk6 {

struct Compilation;

constexpr std::size_t kMaxExpressionLength = 256;  // texts must be shorter
constexpr int kMaxStackDepth = 30;
constexpr int kModePlain = 0;
constexpr int kModeAssignment = 1;
constexpr int kModeCase = 2;
constexpr int kModeVariable = 3;  // plain, for variable parameters
// Use counters kept for TIMEUNTILTRANSMIT arguments 1 .. this value.
constexpr int kTransmitTimers = 32;

// Stack-code opcodes. ORDER OPCODES: numbers are the logger's.
enum StackOp : std::uint16_t {
  kOpCall = 3,
  kOpAdd = 5,
  kOpSubtract = 6,
  kOpMultiply = 7,
  kOpDivide = 8,
  kOpMod = 9,
  kOpNegate = 10,
  kOpOr = 11,
  kOpXor = 12,
  kOpAnd = 13,
  kOpNot = 14,
  kOpGreater = 15,
  kOpGreaterEqual = 16,
  kOpNotEqual = 17,
  kOpLessEqual = 18,
  kOpLess = 19,
  kOpEqual = 20,
  kOpPushFloat = 35,
  kOpPushVariable = 36,
  kOpPushInteger = 37,
  kOpPushBlock = 38,
  kOpEnd = 39,
  kOpLoneConstant = 40,
  kOpEqv = 42,
  kOpImp = 43,
  kOpPushTested = 44,
  kOpRange = 45,
  kOpPushElement = 46,
  kOpStoreVariable = 47,
  kOpStoreElement = 48,
  kOpLoneVariable = 49,
  kOpLoneElement = 50,
  kOpTableField = 57,
  kOpEqualsTested = 58,
  kOpPower = 59,
  kOpTableFieldName = 60,
};

// Per-expression state; reset for every expression except where noted.
struct ExpressionState {
  std::vector<std::uint16_t> work;  // the code of the last expression
  int depth = 0;
  int maxDepth = 0;
  int error = 0;
  int mode = kModePlain;
  bool namesVariable = false;
  bool hasTableField = false;
  // Never reset: one use per argument within the program.
  bool transmitUsed[kTransmitTimers] = {};
};

// Compiles `text`; returns the expression error code (0 when sound).
// With `store` the code goes to the expression area and `operand` receives
// its offset (or 0x8000 | n for deferred expression n); without, the code
// stays in the work buffer and `operand` is 0xFFFF.
int compileExpression(Compilation& c, const std::string& text,
                      std::uint16_t& operand, int mode, bool store);
// compileExpression, reporting a nonzero code as "%s: %s.".
int compileAndReport(Compilation& c, const std::string& text,
                     std::uint16_t& operand, int mode, bool store);
// Message of an expression error code.
const char* expressionErrorText(int code);

}  // namespace vk6
