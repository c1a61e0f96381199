#include "expr/expression_compiler.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "core/text.h"
#include "expr/constant_eval.h"
#include "format/byte_io.h"
#include "format/operand_word.h"
#include "format/stack_code.h"
#include "symbols/constants.h"
#include "symbols/expression_area.h"
#include "symbols/variables.h"

namespace vk6 {
namespace {

// Expression error codes. ORDER ERRORS: index into kErrorTexts.
enum ExpressionError : int {
  kErrNone = 0,
  kErrInvalid = 1,
  kErrSymbol = 3,
  kErrParenthesis = 12,
  kErrExpectsOpen = 13,
  kErrIncomplete = 14,
  kErrPoint = 15,
  kErrExpectsComma = 16,
  kErrConstant = 17,
  kErrNumber = 19,
  kErrAssignment = 20,
  kErrDimension = 22,
};

constexpr const char* kErrorTexts[] = {
    /*  0 */ "NO ERROR",
    /*  1 */ "Invalid, or out of place expression",
    /*  2 */ "Parameter Must be a variable",
    /*  3 */ "Invalid symbol in expression",
    /*  4 */ "ERR_IDENT",
    /*  5 */ "ERR_FUNC",
    /*  6 */ "Divide by zero in expression",
    /*  7 */ "ERR_OUT_OF_RANGE",
    /*  8 */ "Negative log in expression",
    /*  9 */ "Negative sqr in expression",
    /* 10 */ "Negative Exponent in expression",
    /* 11 */ "ERR_OP",
    /* 12 */ "No Matching, or out of place ) in expression",
    /* 13 */ "Expression expects ( ",
    /* 14 */ "Incomplete expression",
    /* 15 */ "Invalid . in expression",
    /* 16 */ "Expression expects , ",
    /* 17 */ "Invalid constant in expression",
    /* 18 */ "Insufficient memory",
    /* 19 */ "Invalid number",
    /* 20 */ "Invalid assignment in expression",
    /* 21 */ "ERR_PTR",
    /* 22 */ "Invalid dimension",
    /* 23 */ "ERR_INTERNAL",
};
static_assert(std::size(kErrorTexts) == 24);

// The hyperbolic functions compile, refused, as the first of them.
constexpr std::uint16_t kFunctionRefusedHyperbolic = kFunctionSinh;

// A deferred operand must stay below kNoOperand.
constexpr std::size_t kMaxDeferred = kNoOperand - kDeferredBit;

// ---- Lexer -------------------------------------------------------------

enum CharClass : std::uint8_t {
  kClassInvalid,
  kClassEnd,
  kClassBlank,
  kClassName,
  kClassDigit,
  kClassPoint,
  kClassOperator,
};

constexpr std::array<CharClass, 256> makeCharClasses() {
  std::array<CharClass, 256> t{};
  // Control characters and blanks separate tokens; bytes above 127 are
  // invalid.
  for (std::size_t ch = 0; ch < 128; ++ch) t[ch] = kClassBlank;
  for (char ch : {'\0', '\n', '\r'}) t[static_cast<unsigned char>(ch)] = kClassEnd;
  for (int ch : {14, 33, 34, 37, 39, 58, 59, 64, 92}) t[static_cast<std::size_t>(ch)] = kClassInvalid;
  for (int ch = 'A'; ch <= 'Z'; ++ch) t[static_cast<std::size_t>(ch)] = kClassName;
  for (int ch = 'a'; ch <= 'z'; ++ch) t[static_cast<std::size_t>(ch)] = kClassName;
  for (char ch : {'#', '$', '&', '[', ']', '_'}) t[static_cast<unsigned char>(ch)] = kClassName;
  for (int ch = '0'; ch <= '9'; ++ch) t[static_cast<std::size_t>(ch)] = kClassDigit;
  t['.'] = kClassPoint;
  for (char ch : {'(', ')', '=', '+', '-', '*', '/', '<', '>', ',', '^'})
    t[static_cast<unsigned char>(ch)] = kClassOperator;
  return t;
}
constexpr std::array<CharClass, 256> kCharClasses = makeCharClasses();

CharClass classOf(char ch) { return kCharClasses[static_cast<unsigned char>(ch)]; }

enum class TokenKind { kEnd, kNumber, kVariable, kDotted, kWord, kOperator, kInvalid };

// Two-character operators get codes outside the character range.
constexpr int kOpNotEqualToken = 256;
constexpr int kOpLessEqualToken = 257;
constexpr int kOpGreaterEqualToken = 258;

struct Token {
  TokenKind kind = TokenKind::kEnd;
  float number = 0.0f;
  std::uint16_t location = 0;
  std::string_view name;  // dotted names, cut to kMaxFieldReferenceName
  int word = 0;           // index into kWords
  int op = 0;        // operator character or two-character code
};

struct Parser;
using SpecialParser = std::uint16_t (*)(Parser&, std::uint16_t code);

enum WordToken : int { kWordOperator = 1, kWordCase, kWordFunction };

struct BuiltinWord {
  const char* name;
  std::uint16_t code;  // function code, or the opcode of an operator word
  int token;
  int arguments;  // of a function: the values it takes
};

std::uint16_t parseRefusedHyperbolic(Parser& p, std::uint16_t code);
std::uint16_t parseIfTime(Parser& p, std::uint16_t code);
std::uint16_t parseTimeUntilTransmit(Parser& p, std::uint16_t code);

constexpr BuiltinWord kWords[] = {
    {"NOT", kOpNot, kWordOperator, 0},
    {"MOD", kOpMod, kWordOperator, 0},
    {"OR", kOpOr, kWordOperator, 0},
    {"XOR", kOpXor, kWordOperator, 0},
    {"AND", kOpAnd, kWordOperator, 0},
    {"IMP", kOpImp, kWordOperator, 0},
    {"EQV", kOpEqv, kWordOperator, 0},
    {"IS", 0, kWordCase, 0},
    {"TO", 0, kWordCase, 0},
#define VK6_FUNCTION_WORD(name, code, text, arguments) \
  {text, kFunction##name, kWordFunction, arguments},
    VK6_FUNCTIONS(VK6_FUNCTION_WORD)
#undef VK6_FUNCTION_WORD
    {"LN", kFunctionLog, kWordFunction, 1},
};

// Functions whose arguments are read otherwise than as values.
SpecialParser specialParser(std::uint16_t code) {
  switch (code) {
    case kFunctionSinh:
    case kFunctionTanh:
    case kFunctionCosh:
      return parseRefusedHyperbolic;
    case kFunctionIfTime:
      return parseIfTime;
    case kFunctionTimeUntilTransmit:
      return parseTimeUntilTransmit;
    default:
      return nullptr;
  }
}

constexpr FoldedIndex<128> kWordIndex(kWords, [](const BuiltinWord& w) {
  return std::string_view(w.name);
});
constexpr int kWordIs = kWordIndex.find("IS");
constexpr int kWordTo = kWordIndex.find("TO");
constexpr int kWordMod = kWordIndex.find("MOD");

// Depth change of each opcode as emitted, by opcode; a call is adjusted
// further by its function code once its peak has been counted.
constexpr std::size_t kOpcodeLimit = 64;
static_assert(kOpTableFieldName < kOpcodeLimit);
constexpr std::array<std::int8_t, kOpcodeLimit> kDepthChanges = [] {
  std::array<std::int8_t, kOpcodeLimit> t{};
  for (std::uint16_t op : {kOpCall, kOpPushFloat, kOpPushVariable, kOpPushInteger,
                           kOpPushBlock, kOpPushTested})
    t[op] = 1;
  for (std::uint16_t op :
       {kOpAdd, kOpSubtract, kOpMultiply, kOpDivide, kOpMod, kOpOr, kOpXor,
        kOpAnd, kOpGreater, kOpGreaterEqual, kOpNotEqual, kOpLessEqual, kOpLess,
        kOpEqual, kOpEqv, kOpImp, kOpRange, kOpStoreElement, kOpPower})
    t[op] = -1;
  return t;
}();

int depthChange(std::uint16_t op) {
  return op < kOpcodeLimit ? kDepthChanges[op] : 0;
}

// A call takes its arguments off the stack.
int callAdjustment(std::uint16_t code) {
  const BuiltinFunction* f = findFunction(code);
  return f != nullptr ? -f->arguments : -1;
}


// One expression's lexer and parser. Lives on the stack of
// compileExpression; the results go to c.expr.
struct Parser {
  Parser(Compilation& compilation, std::string_view source)
      : c(compilation), text(source) {}

  Compilation& c;
  std::string_view text;
  std::size_t pos = 0;
  Token tok;
  bool isSeen = false;
  bool toSeen = false;

  void fail(int code) {
    if (c.expr.error == kErrNone) c.expr.error = code;
  }

  char peek(std::size_t ahead = 0) const {
    return pos + ahead < text.size() ? text[pos + ahead] : '\0';
  }

  // ---- Lexer ----

  void next() {
    for (;;) {
      while (classOf(peek()) == kClassBlank) ++pos;
      if (peek() == '(' && peek(1) == ')') {
        pos += 2;
        continue;
      }
      break;
    }
    tok = Token();
    const char ch = peek();
    switch (classOf(ch)) {
      case kClassEnd:
        tok.kind = TokenKind::kEnd;
        return;
      case kClassName:
        readName();
        return;
      case kClassDigit:
      case kClassPoint:
        readNumber();
        return;
      case kClassOperator:
        readOperator();
        return;
      default:
        ++pos;
        tok.kind = TokenKind::kInvalid;
        fail(kErrSymbol);
        return;
    }
  }

  void readName() {
    const std::size_t start = pos;
    bool dotted = false;
    for (;; ++pos) {
      const CharClass k = classOf(peek());
      if (k == kClassPoint) dotted = true;
      else if (k != kClassName && k != kClassDigit) break;
    }
    const std::string_view name = text.substr(start, pos - start);
    // A name holds no blank; it is hashed once for all its lookups.
    const HashedName key(name);
    float value = 0.0f;
    if (parseConstant(c, key, name, value, kConstantFloat)) {
      tok.kind = TokenKind::kNumber;
      tok.number = value;
      return;
    }
    const int wordIndex = kWordIndex.find(key);
    if (wordIndex >= 0) {
      tok.kind = TokenKind::kWord;
      tok.word = wordIndex;
      return;
    }
    c.expr.namesVariable = true;
    if (dotted) {
      tok.kind = TokenKind::kDotted;
      tok.name = name.substr(0, kMaxFieldReferenceName);
      return;
    }
    tok.kind = TokenKind::kVariable;
    // An unknown or over-long name takes the long way, for its messages.
    int index = name.size() <= kMaxNameLength ? findVariable(c, key) : -1;
    if (index < 0) index = declareVariable(c, 1, name, kDeclareLookup);
    // An undeclared name is already reported; location 0 keeps the code
    // well formed while the compile fails.
    if (index >= 0)
      tok.location = c.variables.records[static_cast<std::size_t>(index)].location;
  }

  void skipDigits() {
    while (classOf(peek()) == kClassDigit) ++pos;
  }

  void readNumber() {
    const std::size_t start = pos;
    bool whole = true;  // digits only
    skipDigits();
    if (peek() == '.') {
      whole = false;
      ++pos;
      skipDigits();
      if (peek() == '.') fail(kErrPoint);
    }
    if (peek() == 'E' || peek() == 'e') {
      whole = false;
      ++pos;
      if (peek() == '+' || peek() == '-') ++pos;
      if (classOf(peek()) != kClassDigit) fail(kErrNumber);
      skipDigits();
    }
    tok.kind = TokenKind::kNumber;
    tok.number = numberValue(text.substr(start, pos - start), whole);
  }

  // The value strtod gives, rounded to a float. Whole numbers of up to
  // kExactDigits digits are exact doubles, so they skip strtod.
  static float numberValue(std::string_view digits, bool whole) {
    constexpr std::size_t kExactDigits = 15;
    if (whole && digits.size() <= kExactDigits) {
      std::uint64_t value = 0;
      for (char ch : digits) value = value * 10 + static_cast<std::uint64_t>(ch - '0');
      return static_cast<float>(static_cast<double>(value));
    }
    // strtod wants its text ended; an expression is shorter than the buffer.
    char ended[kMaxExpressionLength];
    ended[digits.copy(ended, digits.size())] = '\0';
    return static_cast<float>(std::strtod(ended, nullptr));
  }

  void readOperator() {
    const char ch = peek();
    const char after = peek(1);
    ++pos;
    tok.kind = TokenKind::kOperator;
    tok.op = static_cast<unsigned char>(ch);
    if (ch == '<' && after == '>') {
      tok.op = kOpNotEqualToken;
      ++pos;
    } else if (ch == '<' && after == '=') {
      tok.op = kOpLessEqualToken;
      ++pos;
    } else if (ch == '>' && after == '=') {
      tok.op = kOpGreaterEqualToken;
      ++pos;
    }
  }

  bool isOperator(int op) const {
    return tok.kind == TokenKind::kOperator && tok.op == op;
  }
  bool isWord(int index) const {
    return tok.kind == TokenKind::kWord && tok.word == index;
  }
  const BuiltinWord* word() const {
    return tok.kind == TokenKind::kWord ? &kWords[tok.word] : nullptr;
  }

  // ---- Emitting ----

  void emit(std::uint16_t op) {
    c.expr.lastOpAt = c.expr.work.size();
    c.expr.work.push_back(op);
    c.expr.depth += depthChange(op);
    c.expr.maxDepth = std::max(c.expr.maxDepth, c.expr.depth);
  }
  void emitWord(std::uint16_t w) { c.expr.work.push_back(w); }
  void emit32(std::uint32_t v) {
    emitWord(lowWord(v));
    emitWord(highWord(v));
  }
  void emitFloat(std::uint16_t op, float value) {
    emit(op);
    emit32(floatBits(value));
  }
  void emitCall(std::uint16_t code) {
    emit(kOpCall);
    emit32(code);
    c.expr.depth += callAdjustment(code);
  }
  int lastOp() const {
    return c.expr.lastOpAt == kNoOpcode ? -1 : c.expr.work[c.expr.lastOpAt];
  }

  // ---- Parse levels ----

  void parseLogical(bool top) {
    parseRelational(top);
    for (;;) {
      const BuiltinWord* w = word();
      if (w != nullptr && w->token == kWordOperator && w->code != kOpNot &&
          w->code != kOpMod) {
        next();
        parseRelational(top);
        emit(w->code);
      } else if (tok.kind == TokenKind::kEnd) {
        return;
      } else if (!top) {
        return;  // ")" or ","; the caller checks which
      } else if (isOperator(',') && c.expr.mode == kModeCase) {
        next();
        parseRelational(top);
        emit(kOpOr);
      } else {
        fail(kErrIncomplete);
        return;
      }
    }
  }

  std::uint16_t relationalOpcode() const {
    if (tok.kind == TokenKind::kOperator) {
      switch (tok.op) {
        case '=': return kOpEqual;
        case kOpNotEqualToken: return kOpNotEqual;
        case '<': return kOpLess;
        case '>': return kOpGreater;
        case kOpLessEqualToken: return kOpLessEqual;
        case kOpGreaterEqualToken: return kOpGreaterEqual;
        default: return 0;
      }
    }
    return isWord(kWordTo) ? kOpRange : 0;
  }

  // `top`: called from the top level, where CASE items get their test.
  void parseRelational(bool top) {
    if (top) isSeen = toSeen = false;
    parseAdditive();
    if (c.expr.mode == kModeAssignment && isOperator('=')) {
      parseAssignment();
      return;
    }
    const std::uint16_t op = relationalOpcode();
    if (op != 0) {
      if (op == kOpRange) toSeen = true;
      next();
      parseAdditive();
      emit(op);
    }
    if (top && c.expr.mode == kModeCase && !isSeen && !toSeen) emit(kOpEqualsTested);
  }

  // The left side was compiled as a push; take it back and store instead.
  void parseAssignment() {
    c.expr.mode = kModePlain;
    std::uint16_t store = 0;
    std::uint16_t location = 0;
    const int op = lastOp();
    if (op == kOpPushVariable || op == kOpPushElement) {
      const std::size_t at = c.expr.lastOpAt;
      location = c.expr.work[at + 1];
      c.expr.work.resize(at);
      // The store that ends the expression becomes its last opcode.
      c.expr.lastOpAt = kNoOpcode;
      c.expr.depth -= depthChange(static_cast<std::uint16_t>(op));
      store = op == kOpPushVariable ? kOpStoreVariable : kOpStoreElement;
    } else {
      fail(kErrAssignment);
    }
    next();
    parseLogical(true);
    if (store != 0) {
      emit(store);
      emitWord(location);
    }
  }

  void parseAdditive() {
    parseTerm();
    while (isOperator('+') || isOperator('-')) {
      const std::uint16_t op = isOperator('+') ? kOpAdd : kOpSubtract;
      next();
      parseTerm();
      emit(op);
    }
  }

  void parseTerm() {
    parseFactor();
    for (;;) {
      std::uint16_t op = 0;
      if (isOperator('*')) op = kOpMultiply;
      else if (isOperator('/')) op = kOpDivide;
      else if (isWord(kWordMod)) op = kOpMod;
      else return;
      next();
      parseFactor();
      emit(op);
    }
  }

  // Consumes ")" or sets error 12.
  void expectClose() {
    if (isOperator(')')) next();
    else fail(kErrParenthesis);
  }

  void parseFactor() {
    parsePrimary();
    if (isOperator('^')) {
      next();
      parseFactor();  // right-associative: 2^3^2 is 2^9
      emit(kOpPower);
    }
  }

  void parsePrimary() {
    switch (tok.kind) {
      case TokenKind::kNumber: {
        const float value = tok.number;
        next();
        emitFloat(kOpPushFloat, value);
        return;
      }
      case TokenKind::kVariable:
        parseVariable();
        return;
      case TokenKind::kDotted:
        parseTableField();
        return;
      case TokenKind::kWord:
        parseWord();
        return;
      case TokenKind::kOperator:
        if (isOperator('(')) {
          next();
          parseLogical(false);
          expectClose();
        } else if (isOperator('+')) {
          next();
          parseFactor();
        } else if (isOperator('-')) {
          next();
          parseFactor();
          emit(kOpNegate);
        } else {
          fail(kErrInvalid);
        }
        return;
      default:
        fail(kErrInvalid);
        return;
    }
  }

  void parseVariable() {
    const std::uint16_t location = tok.location;
    next();
    if (!isOperator('(')) {
      emit(kOpPushVariable);
      emitWord(location);
      return;
    }
    next();
    parseLogical(false);
    if (isOperator(',')) {
      fail(kErrDimension);
      next();
      parseLogical(false);
    }
    expectClose();
    emit(kOpPushElement);
    emitWord(location);
  }

  void parseTableField() {
    const std::string_view name = tok.name;
    next();
    if (!isOperator('(')) {
      fail(kErrExpectsOpen);
      return;
    }
    next();
    parseLogical(false);
    if (isOperator(',')) {
      next();
      parseLogical(false);
      expectClose();
    } else {
      fail(kErrParenthesis);
    }
    emit(kOpTableFieldName);
    std::array<std::uint8_t, operandWords(kOpTableFieldName) * kCodeWordBytes> bytes{};
    std::memcpy(bytes.data(), name.data(), name.size());
    for (std::size_t i = 0; i < operandWords(kOpTableFieldName); ++i)
      emitWord(loadU16(bytes.data() + kCodeWordBytes * i));
    c.expr.hasTableField = true;
  }

  void parseWord() {
    const BuiltinWord& w = kWords[tok.word];
    if (w.token == kWordOperator && w.code == kOpNot) {
      next();
      parseFactor();
      emit(kOpNot);
      return;
    }
    if (tok.word == kWordIs) {
      next();
      emit(kOpPushTested);
      isSeen = true;
      return;
    }
    if (w.token != kWordFunction) {
      fail(kErrInvalid);
      return;
    }
    next();
    const bool open = isOperator('(');
    const SpecialParser special = specialParser(w.code);
    if (open) {
      next();
    } else if (special != nullptr || w.arguments > 0) {
      fail(kErrExpectsOpen);
      return;
    }
    if (special != nullptr) {
      emitCall(special(*this, w.code));
      return;
    }
    if (open) parseArguments(w.arguments);
    emitCall(w.code);
  }

  void parseArguments(int count) {
    for (int i = 0; i < count; ++i) {
      if (i > 0) {
        if (!isOperator(',')) {
          fail(kErrExpectsComma);
          return;
        }
        next();
      }
      parseLogical(false);
    }
    expectClose();
  }

  // A number token (literal or constant name) as an integer, else error 17.
  bool constantArgument(std::int32_t& value) {
    if (tok.kind != TokenKind::kNumber) {
      fail(kErrConstant);
      return false;
    }
    value = truncateToInt32(tok.number);
    next();
    return true;
  }

  bool expectComma() {
    if (isOperator(',')) {
      next();
      return true;
    }
    fail(kErrExpectsComma);
    return false;
  }

  // Appends a constant block to the expression area and pushes its offset.
  void emitBlock(const Bytes& block) {
    const std::uint16_t offset = appendExpressionCode(c, block.data(), block.size());
    emit(kOpPushBlock);
    emit32(offset);
  }
};

std::uint16_t parseRefusedHyperbolic(Parser& p, std::uint16_t) {
  reportError(p.c, "Cosh, Sinh, Tanh funtions are no longer supported.");
  // The argument is read as usual so the refusal is the only report.
  p.parseArguments(1);
  return kFunctionRefusedHyperbolic;
}

std::uint16_t parseIfTime(Parser& p, std::uint16_t code) {
  std::int32_t into = 0;
  std::int32_t interval = 0;
  std::int32_t units = 0;
  if (!p.constantArgument(into) || !p.expectComma() ||
      !p.constantArgument(interval) || !p.expectComma() ||
      !p.constantArgument(units))
    return code;
  p.expectClose();
  Bytes block;
  putU32(block, static_cast<std::uint32_t>(unitsToSeconds(p.c, into, units)));
  putU32(block, static_cast<std::uint32_t>(unitsToSeconds(p.c, interval, units)));
  p.emitBlock(block);
  return code;
}

std::uint16_t parseTimeUntilTransmit(Parser& p, std::uint16_t code) {
  Compilation& c = p.c;
  if (c.header.scanInterval != 1)
    reportError(c, "TimeUntilTransmit must be used in a scan with a 1 second interval.");
  std::int32_t n = 0;
  if (!p.constantArgument(n)) return code;
  if (n < 1 || n > kTransmitTimers) {
    reportError(c, "TimeUntilTransmit argument %d out of range 1 to %d.", n,
                kTransmitTimers);
  } else {
    bool& used = c.expr.transmitUsed[n - 1];
    if (used) reportError(c, "TimeUntilTransmit can only be used once within a scan.");
    used = true;
  }
  p.expectClose();
  Bytes block;
  putU32(block, static_cast<std::uint32_t>(n) - 1u);
  p.emitBlock(block);
  return code;
}

// Makes the last instruction the end of the expression.
void rewriteEnd(Parser& p) {
  std::vector<std::uint16_t>& work = p.c.expr.work;
  switch (p.lastOp()) {
    case kOpPushFloat: work[p.c.expr.lastOpAt] = kOpLoneConstant; break;
    case kOpPushVariable: work[p.c.expr.lastOpAt] = kOpLoneVariable; break;
    case kOpPushElement: work[p.c.expr.lastOpAt] = kOpLoneElement; break;
    default: p.emit(kOpEnd); break;
  }
}

std::uint16_t placeCode(Compilation& c, bool store) {
  const std::vector<std::uint16_t>& work = c.expr.work;
  if (c.expr.hasTableField) {
    std::vector<DeferredExpression>& deferred = c.exprArea.deferred;
    if (deferred.size() >= kMaxDeferred) {
      reportError(c, "Too many expressions with table field references.");
      return kNoOperand;
    }
    DeferredExpression entry;
    entry.code = work;
    // Two spare words follow the code; they are never executed.
    entry.code.push_back(0);
    entry.code.push_back(0);
    entry.lengthBytes = static_cast<std::uint16_t>(entry.code.size() * kCodeWordBytes);
    deferred.push_back(std::move(entry));
    return deferredOperand(deferred.size() - 1);
  }
  if (store) return appendExpressionWords(c, work);
  return kNoOperand;
}

}  // namespace

int compileExpression(Compilation& c, std::string_view text,
                      std::uint16_t& operand, int mode, bool store) {
  ExpressionState& e = c.expr;
  e.work.clear();
  e.lastOpAt = kNoOpcode;
  e.depth = 0;
  e.maxDepth = 0;
  e.error = kErrNone;
  e.mode = mode;
  e.namesVariable = false;
  e.hasTableField = false;
  operand = kNoOperand;

  // A NUL ends the text.
  text = text.substr(0, text.find('\0'));
  if (text.size() >= kMaxExpressionLength) {
    reportError(c, "Expression exceeds max length of %d.",
                static_cast<int>(kMaxExpressionLength));
    return kErrNone;
  }
  Parser p(c, text);
  p.next();
  p.parseLogical(true);
  rewriteEnd(p);
  operand = placeCode(c, store);
  if (e.maxDepth > kMaxStackDepth)
    reportError(c, "Expression exceeds stack depth, it must be broken up.");
  return e.error;
}

int compileAndReport(Compilation& c, std::string_view text,
                     std::uint16_t& operand, int mode, bool store) {
  const int code = compileExpression(c, text, operand, mode, store);
  if (code != kErrNone)
    reportError(c, "%s: %s.", expressionErrorText(code),
                withoutLineEnd(std::string(text)).c_str());
  return code;
}

const char* expressionErrorText(int code) {
  if (code < 0 || code >= static_cast<int>(std::size(kErrorTexts)))
    return kErrorTexts[std::size(kErrorTexts) - 1];
  return kErrorTexts[code];
}

}  // namespace vk6
