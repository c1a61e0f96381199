#include "parse/parameter_parser.h"

#include <cmath>
#include <string_view>

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "core/text.h"
#include "expr/constant_eval.h"
#include "expr/expression_compiler.h"
#include "expr/expression_state.h"
#include "expr/operands.h"
#include "format/operand_word.h"
#include "parse/instruction_index.h"
#include "parse/instruction_table.h"
#include "parse/pass1_state.h"
#include "parse/statement_buffer.h"
#include "symbols/aliases.h"
#include "symbols/constants.h"
#include "symbols/variables.h"

namespace vk6 {
namespace {

constexpr std::size_t kRecordReserveWords = 16;
constexpr std::int32_t kEndKindMissing = 4;
constexpr std::int32_t kEndKindUnknown = 10;
constexpr int kMaxDimensions = 1;
constexpr std::int32_t kMinArraySize = 1;

constexpr bool isOneOf(char ch, std::string_view set) {
  for (char member : set)
    if (ch == member) return true;
  return false;
}

// Walks one statement's text with the three ways of taking parameters.
// Parameters are views into the statement, which outlives the cursor.
class ParamCursor {
 public:
  explicit ParamCursor(const StatementInput& in)
      : text_(beforeLineEnd(in.text)),
        pos_(std::min(in.afterKeyword, text_.size())),
        firstSplit_(true),
        current_(in.keyword) {
    // Token splitting consumes the delimiter after the keyword.
    if (in.parenFollows && pos_ < text_.size()) ++pos_;
    skipParen_ = !in.parenFollows;
  }

  std::string_view current() const { return current_; }
  std::size_t position() const { return pos_; }

  // Pre-fetch; nullopt when no further token is there.
  std::optional<std::string_view> prefetch() {
    while (pos_ < text_.size() && isOneOf(text_[pos_], "( ,")) ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '"') {
      std::string_view param;
      if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '"') {
        param = text_.substr(pos_);
        pos_ += 2;
      } else {
        const std::size_t close = text_.find('"', pos_ + 1);
        const std::size_t end = close == std::string_view::npos ? text_.size() : close;
        param = text_.substr(pos_ + 1, end - pos_ - 1);
        pos_ = std::min(end + 1, text_.size());
      }
      firstSplit_ = false;
      return current_ = param;
    }
    std::optional<std::string_view> token = nextToken();
    if (token) current_ = *token;
    return token;
  }

  // Comma split; nullopt when the statement has no further text.
  std::optional<std::string_view> commaSplit() {
    while (pos_ < text_.size() && isOneOf(text_[pos_], " ,\t")) ++pos_;
    if (firstSplit_ && skipParen_ && pos_ < text_.size() && text_[pos_] == '(') ++pos_;
    firstSplit_ = false;
    if (pos_ >= text_.size()) return std::nullopt;
    int depth = 0;
    std::size_t end = pos_;
    for (; end < text_.size(); ++end) {
      const char ch = text_[end];
      if (ch == '(') ++depth;
      if (ch == ')' && --depth < 0) break;
      if (ch == ',' && depth <= 0) break;
    }
    const std::string_view param = text_.substr(pos_, end - pos_);
    pos_ = std::min(end + 1, text_.size());
    return current_ = param;
  }

  // Everything after the current position up to the line end.
  std::optional<std::string_view> restOfStatement() {
    const std::string_view rest = text_.substr(pos_);
    pos_ = text_.size();
    firstSplit_ = false;
    if (isBlank(rest)) return std::nullopt;
    return current_ = rest;
  }

  // The next delimited token, for the pre-fetch and the leftover check.
  std::optional<std::string_view> nextToken() {
    while (pos_ < text_.size() && isStatementDelimiter(text_[pos_])) ++pos_;
    if (pos_ >= text_.size()) return std::nullopt;
    std::size_t end = pos_;
    while (end < text_.size() && !isStatementDelimiter(text_[end])) ++end;
    const std::string_view token = text_.substr(pos_, end - pos_);
    pos_ = std::min(end + 1, text_.size());
    firstSplit_ = false;
    return token;
  }

  // Nothing but spaces and tabs.
  static bool isBlank(std::string_view text) {
    for (char ch : text)
      if (ch != ' ' && ch != '\t') return false;
    return true;
  }

 private:
  std::string_view text_;
  std::size_t pos_;
  bool firstSplit_;
  bool skipParen_ = false;
  std::string_view current_;
};

// The record under construction and the parse of one statement.
struct RecordParse {
  Compilation& c;
  const StatementInput& in;
  InstructionIndex index;
  std::size_t header;
  std::size_t slot;  // word position of the current kind's slot
  ParamCursor cursor;
  std::optional<std::string> thenText;
  const ParameterList& parameters;
  std::size_t kindAt = 0;  // position in `parameters` of the one being parsed

  void setSlot(std::uint32_t value) { c.statements.setWord(slot, value); }
  void storeText(std::string_view text) {
    if (!c.statements.ensure(c, text.size() / 4 + 2 + kRecordReserveWords)) return;
    const int words = c.statements.storeText(slot, text);
    c.statements.extendRecord(header, words - 1);
    slot += static_cast<std::size_t>(words - 1);
  }
  void extendBy(int words) {
    c.statements.extendRecord(header, words);
    for (int i = 1; i <= words; ++i)
      c.statements.setWord(slot + static_cast<std::size_t>(i), 0);
  }
  std::size_t recordEnd() const {
    return header + ((c.statements.wordAt(header) >> kHeaderLengthShift) &
                     kHeaderLengthMask);
  }
};

enum class KindResult { kGoOn, kStop, kEnd };

std::uint32_t compileStored(Compilation& c, std::string_view text, int mode) {
  std::uint16_t operand = kNoOperand;
  compileAndReport(c, text, operand, mode, true);
  return operand;
}

KindResult missingParameter(Compilation& c) {
  reportError(c, "Invalid or missing parameter.");
  return KindResult::kStop;
}

KindResult parseConstantKind(RecordParse& p) {
  const std::optional<std::string_view> param = p.cursor.commaSplit();
  if (!param) return missingParameter(p.c);
  std::int32_t value = 0;
  if (!evaluateConstantInteger(p.c, *param, value)) {
    p.setSlot(0);
    return KindResult::kStop;
  }
  p.setSlot(static_cast<std::uint32_t>(value));
  return KindResult::kGoOn;
}

KindResult parseExpressionKind(RecordParse& p) {
  const std::optional<std::string_view> param = p.cursor.commaSplit();
  if (!param) return missingParameter(p.c);
  std::uint32_t slot = compileStored(p.c, *param, kModePlain);
  if (param->find("()") != std::string_view::npos) slot |= kEmptyParentheses;
  p.setSlot(slot);
  return KindResult::kGoOn;
}

KindResult parseVariableKind(RecordParse& p) {
  const std::optional<std::string_view> param = p.cursor.commaSplit();
  if (!param) return missingParameter(p.c);
  const std::uint32_t slot = compileStored(p.c, *param, kModeVariable);
  if (isLoneConstant(p.c, slot))
    reportError(p.c, "Invalid Variable or Array: %s.", std::string(*param).c_str());
  p.setSlot(slot);
  return KindResult::kGoOn;
}

// FOR control = start TO end [STEP step]: four words.
KindResult parseForClause(RecordParse& p) {
  p.extendBy(3);
  const std::optional<std::string_view> clause = p.cursor.restOfStatement();
  const std::size_t equals = clause ? clause->find('=') : std::string_view::npos;
  if (equals == std::string_view::npos) return missingParameter(p.c);
  std::string range(clause->substr(equals + 1));
  upcaseText(range);
  const std::size_t to = range.find(" TO ");
  if (ParamCursor::isBlank(range) || to == std::string::npos)
    return missingParameter(p.c);
  const std::string_view limits = std::string_view(range).substr(to + 4);
  const std::size_t step = limits.find(" STEP ");
  StatementBuffer& buffer = p.c.statements;
  buffer.setWord(p.slot,
                 compileStored(p.c, clause->substr(0, equals), kModePlain));
  buffer.setWord(p.slot + 1,
                 compileStored(p.c, std::string_view(range).substr(0, to), kModePlain));
  buffer.setWord(p.slot + 2, compileStored(p.c, limits.substr(0, step), kModePlain));
  buffer.setWord(p.slot + 3, step == std::string::npos
                                 ? 0
                                 : compileStored(p.c, limits.substr(step + 6),
                                                 kModePlain));
  p.slot += 3;
  return KindResult::kGoOn;
}

KindResult parseOptionalConstant(RecordParse& p) {
  const std::optional<std::string_view> word = p.cursor.prefetch();
  if (!word) {
    for (std::size_t w = p.slot; w < p.recordEnd(); ++w)
      p.c.statements.setWord(w, kAbsentMarker);
    return KindResult::kEnd;
  }
  // `If` is a constant too, so `Else If` would read as Else and drop its
  // condition.
  if (p.index == kElse && foldedEquals(*word, "IF")) {
    reportError(p.c,
                "Else If is not accepted: write ElseIf, or the condition after it "
                "is ignored.");
    return KindResult::kStop;
  }
  std::int32_t value = 0;
  if (!parseConstantInteger(p.c, *word, value)) {
    reportError(p.c, "Illegal parameter %s, expecting constant integer.",
                std::string(*word).c_str());
    p.setSlot(0);
    return KindResult::kStop;
  }
  p.setSlot(static_cast<std::uint32_t>(value));
  return KindResult::kGoOn;
}

std::string_view nameText(std::string_view param) {
  return param.find("\"\"") != std::string_view::npos ? std::string_view() : param;
}

// Splits "cond THEN rest" and prepares the ELSE part as statements.
std::string takeThenText(RecordParse& p, std::string& condition) {
  const std::size_t then = condition.find("THEN");
  if (then == std::string::npos) return std::string();
  std::string text = condition.substr(then + 4);
  condition.resize(then);
  const std::size_t elsePart = text.find(" ELSE ");
  if (elsePart != std::string::npos) {
    text[elsePart] = ':';
    text[elsePart + 5] = ':';
  }
  p.thenText = text;
  return text;
}

KindResult parseCondition(RecordParse& p) {
  if (p.index == kExpression) {
    // The line end is no part of the assignment's text, as for every kind.
    p.setSlot(compileStored(p.c, beforeLineEnd(p.in.keyword), kModeAssignment));
    return KindResult::kEnd;
  }
  const std::optional<std::string_view> rest = p.cursor.restOfStatement();
  if (!rest) {
    reportError(p.c, "Invalid or missing expression.");
    return KindResult::kGoOn;
  }
  std::size_t start = 0;
  while (start < rest->size() && isOneOf((*rest)[start], " =")) ++start;
  std::string condition(rest->substr(start));
  upcaseText(condition);
  if (p.index == kCase && condition.starts_with("ELSE")) {
    p.setSlot(0);
    return KindResult::kGoOn;
  }
  if (p.index == kSelect) {
    if (condition.starts_with("CASE")) {
      condition.erase(0, 4);
    } else {
      reportError(p.c, "Use Select Case.");
    }
  }
  takeThenText(p, condition);
  p.setSlot(compileStored(p.c, condition, p.index == kCase ? kModeCase : kModePlain));
  return KindResult::kGoOn;
}

// One item of a DIM or PUBLIC list: name, optionally (size).
void declareListItem(Compilation& c, std::string_view item, int kind) {
  const std::size_t start = item.find_first_not_of(kStatementDelimiters);
  if (start == std::string_view::npos) return;
  const std::size_t end = item.find_first_of(kStatementDelimiters, start);
  const std::string name(item.substr(start, end == std::string_view::npos ? end : end - start));
  std::int32_t size = 1;
  const std::size_t open = item.find('(');
  if (open != std::string_view::npos) {
    StatementInput sizes;
    sizes.text = item.substr(open);
    sizes.afterKeyword = 0;
    sizes.parenFollows = true;
    ParamCursor cursor(sizes);
    int dimensions = 0;
    while (std::optional<std::string_view> piece = cursor.commaSplit()) {
      std::int32_t value = 0;
      const bool ok = evaluateConstantInteger(c, *piece, value);
      if (++dimensions == kMaxDimensions + 1)
        reportError(c, "Variable %s dimension exceeds max of %d.", name.c_str(),
                    kMaxDimensions);
      if (dimensions == 1 && ok) size = value;
    }
    if (size < kMinArraySize || size > kVariableLocations) {
      reportError(c, "Variable %s dimension %d out of range %d to %d.", name.c_str(),
                  size, kMinArraySize, kVariableLocations);
      size = 1;
    }
  }
  if (findVariableLocation(c, name) != kNoOperand)
    reportError(c, "%s already declared as a variable.", name.c_str());
  declareVariable(c, size, name, kind);
}

KindResult parseDeclarationList(RecordParse& p, int kind) {
  const std::optional<std::string_view> rest = p.cursor.restOfStatement();
  if (p.in.copy.find('=') != std::string_view::npos) {
    reportError(p.c, "'=' not allowed in variable declaration.");
    return KindResult::kGoOn;
  }
  if (!rest) {
    reportError(p.c, "Variable not named.");
    return KindResult::kGoOn;
  }
  std::string list(rest->substr(rest->find_first_not_of(" \t")));
  std::string upper = list.substr(0, 4);
  upcaseText(upper);
  if (upper.size() == 4 && upper.rfind("DIM", 0) == 0 &&
      (upper[3] == ' ' || upper[3] == '\t'))
    list.erase(0, 4);
  // Comma split without the first-parameter '(' rule.
  std::size_t pos = 0;
  while (pos < list.size()) {
    while (pos < list.size() && isOneOf(list[pos], " ,\t")) ++pos;
    if (pos >= list.size()) break;
    int depth = 0;
    std::size_t end = pos;
    for (; end < list.size(); ++end) {
      if (list[end] == '(') ++depth;
      if (list[end] == ')' && --depth < 0) break;
      if (list[end] == ',' && depth <= 0) break;
    }
    declareListItem(p.c, std::string_view(list).substr(pos, end - pos), kind);
    pos = end + 1;
  }
  return KindResult::kGoOn;
}

KindResult parseSubName(RecordParse& p, std::string_view name) {
  if (name.size() > kMaxNameLength) {
    reportError(p.c, "Subroutine name %s is too large, limit is 16 characters.",
                std::string(name).c_str());
  } else {
    p.c.pass1.subroutines.push_back(Subroutine{0, std::string(name), p.c.diag.currentLine});
  }
  ParamCursor probe = p.cursor;
  if (probe.nextToken())
    reportError(p.c, "Parameters cannot be passed in Subroutines.");
  return KindResult::kGoOn;
}

KindResult parseEndKind(RecordParse& p) {
  const std::optional<std::string_view> word = p.cursor.prefetch();
  std::int32_t value = kEndKindMissing;
  if (word && !parseConstantInteger(p.c, *word, value)) value = kEndKindUnknown;
  switch (value) {
    case 0: case 3: case 4: case 5: case 6: case 7: case 8:
      break;
    default:
      reportError(p.c, "Illegal END or EXIT %s.", std::string(word.value_or("")).c_str());
      break;
  }
  p.setSlot(static_cast<std::uint32_t>(value));
  return KindResult::kGoOn;
}

KindResult parseNextKind(RecordParse& p) {
  const std::optional<std::string_view> word = p.cursor.prefetch();
  std::int32_t value = kNextLoopKind;
  if (word && parseConstantInteger(p.c, *word, value) && value != kNextScanKind)
    reportError(p.c, "Illegal NEXT %s.", std::string(*word).c_str());
  p.setSlot(static_cast<std::uint32_t>(value == kNextScanKind ? kNextScanKind
                                                              : kNextLoopKind));
  return KindResult::kGoOn;
}

// Takes one parameter the way `kind` takes it, and nothing else.
void takeAsKind(ParamCursor& cursor, ParamKind kind) {
  switch (kind) {
    case ParamKind::kConstant:
    case ParamKind::kExpression:
    case ParamKind::kVariable:
    case ParamKind::kText:
      cursor.commaSplit();
      return;
    case ParamKind::kForClause:
    case ParamKind::kCondition:
    case ParamKind::kDimList:
    case ParamKind::kPublicList:
      cursor.restOfStatement();
      return;
    case ParamKind::kOptionalConstant:
    case ParamKind::kName:
    case ParamKind::kSubName:
    case ParamKind::kEndKind:
    case ParamKind::kNextKind:
    case ParamKind::kRawText:
      cursor.prefetch();
      return;
  }
}

// The raw text follows the current parameter. It is sought in the
// statement as read, where the parameters before it end, so that an
// earlier parameter of the same text is not taken for it.
KindResult parseRawText(RecordParse& p) {
  const std::string_view copy = beforeLineEnd(p.in.copy);
  std::size_t from = 0;
  if (p.kindAt > 0) {
    StatementInput asRead = p.in;
    asRead.text = copy;
    ParamCursor replay(asRead);
    for (std::size_t k = 0; k + 1 < p.kindAt; ++k)
      takeAsKind(replay, p.parameters[k].kind);
    from = replay.position();
  }
  const std::string_view current = p.cursor.current();
  const std::size_t at = copy.find(current, from);
  std::string rest;
  substituteAliases(p.c, at == std::string_view::npos ? std::string_view()
                                                      : copy.substr(at + current.size()),
                    rest);
  p.storeText(rest);
  return KindResult::kEnd;
}

// Names and Sub names are pre-fetched and may not be missing.
std::optional<std::string_view> requiredParameter(RecordParse& p) {
  std::optional<std::string_view> param = p.cursor.prefetch();
  if (!param) reportError(p.c, "Too few parameters in instruction.");
  return param;
}

KindResult parseKind(RecordParse& p, ParamKind kind) {
  switch (kind) {
    case ParamKind::kConstant: return parseConstantKind(p);
    case ParamKind::kExpression: return parseExpressionKind(p);
    case ParamKind::kForClause: return parseForClause(p);
    case ParamKind::kOptionalConstant: return parseOptionalConstant(p);
    case ParamKind::kCondition: return parseCondition(p);
    case ParamKind::kVariable: return parseVariableKind(p);
    case ParamKind::kDimList: return parseDeclarationList(p, kDeclareDim);
    case ParamKind::kPublicList: return parseDeclarationList(p, kDeclarePublic);
    case ParamKind::kText: {
      const std::optional<std::string_view> param = p.cursor.commaSplit();
      p.storeText(param ? nameText(*param) : std::string_view());
      return KindResult::kGoOn;
    }
    case ParamKind::kEndKind: return parseEndKind(p);
    case ParamKind::kNextKind: return parseNextKind(p);
    case ParamKind::kRawText: return parseRawText(p);
    case ParamKind::kName: {
      const std::optional<std::string_view> param = requiredParameter(p);
      if (!param) return KindResult::kStop;
      p.storeText(nameText(*param));
      return KindResult::kGoOn;
    }
    case ParamKind::kSubName: {
      const std::optional<std::string_view> param = requiredParameter(p);
      if (!param) return KindResult::kStop;
      return parseSubName(p, *param);
    }
  }
  return KindResult::kStop;
}

}  // namespace

bool evaluateConstantInteger(Compilation& c, std::string_view text,
                             std::int32_t& value) {
  value = 0;
  std::uint16_t operand = kNoOperand;
  if (compileAndReport(c, text, operand, kModePlain, false) != 0) return false;
  // A plain literal keeps all 32 bits; the evaluator's floats hold only 24.
  if (parseIntegerLiteral(text, value)) return true;
  if (c.expr.namesVariable) {
    reportError(c, "Variable illegal in Parameter: %s.", std::string(text).c_str());
    return false;
  }
  const float* result = evaluateOperand(c, kNoOperand, 0);
  const double v = result != nullptr ? static_cast<double>(*result) : 0.0;
  if (v != std::trunc(v) || std::isnan(v)) {
    reportError(c, "Illegal parameter %s = %g; integer evaluation expected.",
                std::string(text).c_str(), v);
    return false;
  }
  value = (v >= -2147483648.0 && v < 2147483648.0)
              ? static_cast<std::int32_t>(v)
              : static_cast<std::int32_t>(0x80000000u);
  return true;
}

std::optional<std::string> parseParameters(Compilation& c,
                                           const StatementInput* input,
                                           InstructionIndex index) {
  StatementBuffer& buffer = c.statements;
  if (!buffer.makeRoom(c)) return std::nullopt;
  const StatementInput noInput;
  static constexpr ParameterList kNone;  // the end record's
  const ParameterList& parameters =
      input == nullptr ? kNone : instructionInfo(index).parameters;
  if (!buffer.ensure(c, parameters.size() + 1 + kRecordReserveWords))
    return std::nullopt;
  const int kindCount = static_cast<int>(parameters.size());
  const std::size_t header = buffer.beginRecord(index, kindCount, c.diag.currentLine);
  RecordParse p{c, input != nullptr ? *input : noInput, index, header, header + 1,
                ParamCursor(input != nullptr ? *input : noInput), std::nullopt,
                parameters};
  bool checkLeftover = input != nullptr;
  for (; p.kindAt < parameters.size(); ++p.kindAt) {
    const KindResult result = parseKind(p, parameters[p.kindAt].kind);
    if (result != KindResult::kGoOn) {
      checkLeftover = false;
      break;
    }
    ++p.slot;
  }
  if (checkLeftover) {
    if (std::optional<std::string_view> extra = p.cursor.nextToken())
      reportError(c, "Too many parameters:  %s.", std::string(*extra).c_str());
  }
  buffer.closeRecord(header);
  return p.thenText;
}

}  // namespace vk6
