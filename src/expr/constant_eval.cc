#include "expr/constant_eval.h"

#include <array>
#include <cmath>
#include <cstring>

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "expr/expression_compiler.h"
#include "expr/expression_state.h"
#include "format/byte_io.h"
#include "format/operand_word.h"
#include "format/stack_code.h"
#include "symbols/expression_area.h"
#include "symbols/tables.h"
#include "symbols/variables.h"

namespace vk6 {
namespace {

constexpr std::size_t kStackCapacity = kMaxStackDepth;
constexpr std::uint32_t kRandomMultiplier = 214013u;
constexpr std::uint32_t kRandomIncrement = 2531011u;
constexpr std::uint32_t kRandomMask = 0x7FFFu;
constexpr double kRandomRange = 32768.0;
constexpr std::uint16_t kDefaultTransmitInterval = 60;
constexpr std::uint8_t kTimerRunning = 0x01;
constexpr std::size_t kFieldNameWords = operandWords(kOpTableFieldName);
// The name of a field-name reference shrinks to the table and field words.
constexpr std::size_t kFreedFieldWords = kFieldNameWords - operandWords(kOpTableField);
// A constant push this far before a field-name reference is a candidate
// element number: the first argument when the second is one push too.
constexpr std::size_t kElementPushDistance = 2 * (1 + operandWords(kOpPushFloat));

float truth(bool b) { return b ? kTrue : kFalse; }

// An instruction's length: its opcode and its operand words.
std::size_t instructionWords(std::uint16_t op) { return 1 + operandWords(op); }

// Overflow sets a flag instead of writing past the end: code reported as
// too deep is still stored and may be evaluated.
struct Stack {
  std::array<float, kStackCapacity> values{};
  std::size_t size = 0;
  bool overflow = false;

  void push(float v) {
    if (size < values.size()) values[size++] = v;
    else overflow = true;
  }
  // Code compiled after an error may pop more than it pushed; that reads 0.
  float pop() { return size > 0 ? values[--size] : 0.0f; }
  double popDouble() { return static_cast<double>(pop()); }
  std::int32_t popInteger() { return truncateToInt32(pop()); }
  std::size_t popOffset() {
    return static_cast<std::uint16_t>(truncateToInt32(pop()));
  }
};

std::uint32_t areaU32(const Compilation& c, std::size_t offset) {
  return joinWords(expressionWordAt(c, offset),
                   expressionWordAt(c, offset + kCodeWordBytes));
}

// ---- Function table -----------------------------------------------------

using Function = float (*)(Compilation&, Stack&);

float fnNone(Compilation&, Stack&) { return 0.0f; }
float fnSin(Compilation&, Stack& s) { return static_cast<float>(std::sin(s.popDouble())); }
float fnCos(Compilation&, Stack& s) { return static_cast<float>(std::cos(s.popDouble())); }
float fnExp(Compilation&, Stack& s) { return static_cast<float>(std::exp(s.popDouble())); }
float fnInt(Compilation&, Stack& s) { return static_cast<float>(std::floor(s.popDouble())); }
float fnAbs(Compilation&, Stack& s) { return static_cast<float>(std::fabs(s.popDouble())); }
float fnSqr(Compilation&, Stack& s) {
  const double x = s.popDouble();
  return x < 0.0 ? 0.0f : static_cast<float>(std::sqrt(x));
}
float fnLog(Compilation&, Stack& s) {
  const double x = s.popDouble();
  return x <= 0.0 ? 0.0f : static_cast<float>(std::log(x));
}
float fnAtn(Compilation&, Stack& s) { return static_cast<float>(std::atan(s.popDouble())); }
float fnSgn(Compilation&, Stack& s) {
  const float x = s.pop();
  if (x > 0.0f) return 1.0f;
  if (x < 0.0f) return -1.0f;
  return x;
}
float fnTan(Compilation&, Stack& s) { return static_cast<float>(std::tan(s.popDouble())); }
float fnRandomize(Compilation& c, Stack& s) {
  const std::int32_t n = s.popInteger();
  c.eval.randomState = static_cast<std::uint32_t>(n);
  return static_cast<float>(n);
}
float fnRnd(Compilation& c, Stack&) {
  std::uint32_t& state = c.eval.randomState;
  state = state * kRandomMultiplier + kRandomIncrement;
  return static_cast<float>(static_cast<double>((state >> 16) & kRandomMask) /
                            kRandomRange);
}
float fnFrac(Compilation&, Stack& s) {
  const double x = s.popDouble();
  return static_cast<float>(x - std::trunc(x));
}
float fnFix(Compilation&, Stack& s) { return static_cast<float>(std::trunc(s.popDouble())); }
float fnAsin(Compilation&, Stack& s) { return static_cast<float>(std::asin(s.popDouble())); }
float fnAtn2(Compilation&, Stack& s) {
  const double x = s.popDouble();
  const double y = s.popDouble();
  return static_cast<float>(std::atan2(y, x));
}
float fnAcos(Compilation&, Stack& s) { return static_cast<float>(std::acos(s.popDouble())); }
float fnLog10(Compilation&, Stack& s) {
  const double x = s.popDouble();
  return x <= 0.0 ? 0.0f : static_cast<float>(std::log10(x));
}
float fnUnchanged(Compilation&, Stack& s) { return s.pop(); }
float fnIif(Compilation&, Stack& s) {
  const float otherwise = s.pop();
  const float then = s.pop();
  const std::int32_t test = s.popInteger();
  return test != 0 && test != INT32_MIN ? then : otherwise;
}
float fnIfTime(Compilation& c, Stack& s) {
  const std::size_t offset = s.popOffset();
  const auto into = static_cast<std::int32_t>(areaU32(c, offset));
  const auto interval = static_cast<std::int32_t>(areaU32(c, offset + kIfTimeInterval));
  if (interval == 0) return kTrue;
  const std::int64_t now = c.eval.clock;
  return truth(now % interval == into);
}
float fnTimeUntilTransmit(Compilation& c, Stack& s) {
  const auto k = static_cast<std::int32_t>(areaU32(c, s.popOffset()));
  if (k < 0 || k >= kTransmitTimers) return 0.0f;
  TransmitTimer& t = c.eval.transmitTimers[k];
  const auto restart = [&t] {
    t.interval = kDefaultTransmitInterval;
    t.nextSecond = 0;
    t.flags |= kTimerRunning;
    return kTrue;
  };
  if (t.interval == 0) return restart();
  std::int32_t d = t.nextSecond - static_cast<std::int32_t>(c.eval.clock % t.interval);
  if (d < 0) d += t.interval;
  if (d < 0) return restart();
  if (d == t.interval)
    t.nextSecond = static_cast<std::int16_t>(t.nextSecond - t.interval);
  return static_cast<float>(d);
}

// ORDER FUNCTIONS: indexed by the function codes of VK6_FUNCTIONS.
constexpr Function kFunctions[] = {
    /*  0 */ fnNone,
    /*  1 */ fnSin,
    /*  2 */ fnCos,
    /*  3 */ fnExp,
    /*  4 */ fnInt,
    /*  5 */ fnAbs,
    /*  6 */ fnSqr,
    /*  7 */ fnLog,
    /*  8 */ fnAtn,
    /*  9 */ fnSgn,
    /* 10 */ fnTan,
    /* 11 */ fnRandomize,
    /* 12 */ fnRnd,
    /* 13 */ fnFrac,
    /* 14 */ fnFix,
    /* 15 */ fnAsin,
    /* 16 */ fnAtn2,
    /* 17 */ fnAcos,
    /* 18 */ fnLog10,
    /* 19 */ fnUnchanged,
    /* 20 */ fnUnchanged,
    /* 21 */ fnUnchanged,
    /* 22 */ fnIif,
    /* 23 */ fnIfTime,
    /* 24 */ fnTimeUntilTransmit,
};
static_assert(std::size(kFunctions) == kFunctionCount + 1);

// ---- Code access ----------------------------------------------------------

enum class CodeSource { kWork, kDeferred, kArea };

// Where the code being evaluated lives. Held as an index, not a pointer,
// since resolving a field name may touch the tables.
struct Code {
  Compilation& c;
  CodeSource source;
  std::size_t index;  // deferred entry or area offset

  std::vector<std::uint16_t>* words() const {
    switch (source) {
      case CodeSource::kWork: return &c.expr.work;
      case CodeSource::kDeferred: return &c.exprArea.deferred[index].code;
      default: return nullptr;
    }
  }
  std::uint16_t at(std::size_t i) const {
    const std::vector<std::uint16_t>* w = words();
    if (w == nullptr) return expressionWordAt(c, index + kCodeWordBytes * i);
    return i < w->size() ? (*w)[i] : 0;
  }
  std::uint32_t u32(std::size_t i) const { return joinWords(at(i), at(i + 1)); }
  float f32(std::size_t i) const { return floatFromBits(u32(i)); }
};

const float* fault(Compilation& c, std::uint16_t location) {
  if (c.eval.quietMode != 0) {
    ++c.eval.quietCount;
    return nullptr;
  }
  reportError(c, "Variable %s out of bounds.", variableNameAt(c, location).c_str());
  return &c.eval.zero;
}

int elementCount(std::uint16_t location) { return locationCount(location); }

// Element k (from 0) of the variable at `location`, or null outside memory.
float* element(Compilation& c, std::uint16_t location, std::int64_t k) {
  const std::int64_t at = locationFirst(location) + k;
  if (at < 0 || at >= kVariableLocations) return nullptr;
  return &c.eval.memory[at];
}

// Index popped for an element reference, as k from 0.
std::int64_t popIndex(Stack& s) {
  return static_cast<std::int64_t>(s.popInteger()) - 1;
}

bool indexFaults(std::uint16_t location, std::int64_t k) {
  return k < 0 || k >= elementCount(location);
}

// Resolves the field name of the field-name reference at `pc` and rewrites
// it into a resolved one where the code can be rewritten.
void resolveFieldAt(Code& code, std::size_t pc, const Stack& stack) {
  Compilation& c = code.c;
  std::int32_t elementNumber = kNoElement;
  if (pc >= kElementPushDistance && stack.size >= 2 &&
      code.at(pc - kElementPushDistance) == kOpPushFloat) {
    const float first = code.f32(pc - kElementPushDistance + 1);
    if (first == stack.values[stack.size - 2]) elementNumber = truncateToInt32(first);
  }
  Bytes text;
  for (std::size_t i = 0; i < kFieldNameWords; ++i) putU16(text, code.at(pc + 1 + i));
  std::string name;
  for (std::uint8_t ch : text) {
    if (ch == 0) break;
    name += static_cast<char>(ch);
  }
  std::uint16_t table = 0;
  std::uint16_t field = 0;
  resolveTableField(c, name, elementNumber, 1, table, field);
  std::vector<std::uint16_t>* words = code.words();
  if (words == nullptr || words->size() < pc + 1 + kFieldNameWords) return;
  (*words)[pc] = kOpTableField;
  (*words)[pc + 1] = table;
  (*words)[pc + 2] = field;
  const auto from =
      words->begin() + static_cast<std::ptrdiff_t>(pc + instructionWords(kOpTableField));
  words->erase(from, from + static_cast<std::ptrdiff_t>(kFreedFieldWords));
  if (code.source == CodeSource::kDeferred) {
    std::uint16_t& length = c.exprArea.deferred[code.index].lengthBytes;
    length = static_cast<std::uint16_t>(length - kFreedFieldWords * kCodeWordBytes);
  }
}

float binary(std::uint16_t op, float a, float b) {
  const double x = a;
  const double y = b;
  switch (op) {
    case kOpAdd: return a + b;
    case kOpSubtract: return a - b;
    case kOpMultiply: return a * b;
    case kOpDivide:
      return b == 0.0f ? floatFromBits(kLoggerNanBits) : static_cast<float>(x / y);
    case kOpMod:
      return b == 0.0f ? floatFromBits(kLoggerNanBits) : static_cast<float>(std::fmod(x, y));
    case kOpPower: return static_cast<float>(std::pow(x, y));
    case kOpGreater: return truth(a > b);
    case kOpGreaterEqual: return truth(a >= b);
    case kOpNotEqual: return truth(a != b);
    case kOpLessEqual: return truth(a <= b);
    case kOpLess: return truth(a < b);
    case kOpEqual: return truth(a == b);
    default: break;
  }
  const std::int32_t i = truncateToInt32(a);
  const std::int32_t j = truncateToInt32(b);
  switch (op) {
    case kOpOr: return static_cast<float>(i | j);
    case kOpXor: return static_cast<float>(i ^ j);
    case kOpAnd: return static_cast<float>(i & j);
    case kOpEqv: return truth(i == j);
    case kOpImp: return truth(!(i != 0 && j == 0));
    default: return 0.0f;
  }
}

bool isBinary(std::uint16_t op) {
  return (op >= kOpAdd && op <= kOpMod) || (op >= kOpOr && op <= kOpAnd) ||
         (op >= kOpGreater && op <= kOpEqual) || op == kOpEqv || op == kOpImp ||
         op == kOpPower;
}

}  // namespace

std::int32_t truncateToInt32(float value) {
  constexpr double kLimit = 2147483648.0;
  const double v = value;
  if (!(v >= -kLimit && v < kLimit)) return INT32_MIN;
  return static_cast<std::int32_t>(v);
}

const float* evaluateOperand(Compilation& c, std::uint32_t operand, int reps) {
  const auto word = static_cast<std::uint16_t>(operand);
  Code code{c, CodeSource::kArea, word};
  if (word == kNoOperand) {
    code.source = CodeSource::kWork;
  } else if ((word & kDeferredBit) != 0) {
    code.source = CodeSource::kDeferred;
    code.index = deferredIndex(word);
    if (code.index >= c.exprArea.deferred.size()) return &c.eval.zero;
  }
  const auto tested = static_cast<float>(reps);
  Stack s;
  std::size_t pc = 0;
  while (!s.overflow) {
    const std::uint16_t op = code.at(pc);
    if (isBinary(op)) {
      const float b = s.pop();
      const float a = s.pop();
      s.push(binary(op, a, b));
      pc += instructionWords(op);
      continue;
    }
    switch (op) {
      case kOpCall: {
        const std::uint32_t fn = code.u32(pc + 1);
        if (fn >= std::size(kFunctions)) return &c.eval.zero;
        s.push(kFunctions[fn](c, s));
        break;
      }
      case kOpNegate:
        s.push(-s.pop());
        break;
      case kOpNot:
        s.push(static_cast<float>(~s.popInteger()));
        break;
      case kOpPushFloat:
        s.push(code.f32(pc + 1));
        break;
      case kOpPushVariable: {
        const float* v = element(c, code.at(pc + 1), 0);
        s.push(v != nullptr ? *v : 0.0f);
        break;
      }
      case kOpPushInteger:
        s.push(static_cast<float>(static_cast<std::int16_t>(code.at(pc + 1))));
        break;
      case kOpPushBlock:
        s.push(static_cast<float>(code.at(pc + 1)));
        break;
      case kOpPushTested:
        s.push(tested);
        break;
      case kOpRange: {
        const float high = s.pop();
        const float low = s.pop();
        s.push(truth(low <= tested && tested <= high));
        break;
      }
      case kOpEqualsTested:
        s.push(truth(s.pop() == tested));
        break;
      case kOpPushElement: {
        const std::uint16_t location = code.at(pc + 1);
        const std::int64_t k = popIndex(s);
        const float* v = element(c, location, k);
        if (indexFaults(location, k) || v == nullptr) return fault(c, location);
        s.push(*v);
        break;
      }
      case kOpEnd:
        c.eval.result = s.pop();
        return &c.eval.result;
      case kOpLoneConstant:
        c.eval.result = code.f32(pc + 1);
        return &c.eval.result;
      case kOpStoreVariable: {
        const std::uint16_t location = code.at(pc + 1);
        float* v = element(c, location, 0);
        if (v == nullptr) return fault(c, location);
        *v = s.pop();
        return v;
      }
      case kOpStoreElement: {
        const std::uint16_t location = code.at(pc + 1);
        const float value = s.pop();
        const std::int64_t k = popIndex(s);
        float* v = element(c, location, k);
        if (indexFaults(location, k) || v == nullptr) return fault(c, location);
        *v = value;
        return v;
      }
      case kOpLoneVariable: {
        const std::uint16_t location = code.at(pc + 1);
        float* v = element(c, location, 0);
        if (reps > elementCount(location) || reps < 0 || v == nullptr)
          return fault(c, location);
        return v;
      }
      case kOpLoneElement: {
        const std::uint16_t location = code.at(pc + 1);
        const std::int64_t k = popIndex(s);
        const std::int64_t end = k + reps;
        float* v = element(c, location, k);
        if (indexFaults(location, k) || end > elementCount(location) || end < 0 ||
            v == nullptr)
          return fault(c, location);
        return v;
      }
      case kOpTableFieldName:
        // Area code is always resolved before it is stored, so only the
        // work buffer and deferred code are rewritten.
        if (code.words() != nullptr) resolveFieldAt(code, pc, s);
        s.pop();
        break;
      case kOpTableField:
        // No table values exist at compile time: the first argument's
        // slot keeps its value.
        s.pop();
        break;
      default:
        // Not emitted by the compiler: no defined result.
        return &c.eval.zero;
    }
    // Read again: a field-name reference may just have been resolved.
    pc += instructionWords(code.at(pc));
  }
  return &c.eval.zero;
}

}  // namespace vk6
