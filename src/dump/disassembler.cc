#include "dump/disassembler.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <set>

#include "core/text.h"
#include "format/byte_io.h"
#include "format/operand_word.h"
#include "format/record_format.h"
#include "format/stack_code.h"
#include "symbols/status_table.h"

namespace vk6 {
namespace {

// Binding strength of a rendered expression, weakest first; a child is
// put in parentheses when it binds less tightly than its place needs.
constexpr int kLogical = 1;
constexpr int kRelational = 2;
constexpr int kAdditive = 3;
constexpr int kMultiplicative = 4;
constexpr int kUnary = 5;
constexpr int kPower = 6;
constexpr int kAtom = 7;

constexpr std::size_t kWord = kCodeWordBytes;
constexpr std::size_t kFieldNameBytes = operandWords(kOpTableFieldName) * kWord;
// Field positions in the layouts of CallTable and DataTable.
constexpr std::size_t kCallTableTarget = 1;
constexpr std::size_t kDataTableName = 2;

struct Node {
  std::string text;
  int strength = kAtom;
  long block = -1;  // a constant block pushed by kOpPushBlock
};

std::string wrap(const Node& n, int needed) {
  return n.strength < needed ? "(" + n.text + ")" : n.text;
}

struct Binary {
  std::uint16_t opcode;
  const char* mnemonic;
  const char* symbol;
  int strength;
  int leftNeeds;
  int rightNeeds;
};

constexpr Binary kBinaries[] = {
    {kOpAdd, "add", "+", kAdditive, kAdditive, kMultiplicative},
    {kOpSubtract, "sub", "-", kAdditive, kAdditive, kMultiplicative},
    {kOpMultiply, "mul", "*", kMultiplicative, kMultiplicative, kUnary},
    {kOpDivide, "div", "/", kMultiplicative, kMultiplicative, kUnary},
    {kOpMod, "mod", "MOD", kMultiplicative, kMultiplicative, kUnary},
    {kOpOr, "or", "OR", kLogical, kLogical, kRelational},
    {kOpXor, "xor", "XOR", kLogical, kLogical, kRelational},
    {kOpAnd, "and", "AND", kLogical, kLogical, kRelational},
    {kOpEqv, "eqv", "EQV", kLogical, kLogical, kRelational},
    {kOpImp, "imp", "IMP", kLogical, kLogical, kRelational},
    {kOpGreater, "gt", ">", kRelational, kAdditive, kAdditive},
    {kOpGreaterEqual, "ge", ">=", kRelational, kAdditive, kAdditive},
    {kOpNotEqual, "ne", "<>", kRelational, kAdditive, kAdditive},
    {kOpLessEqual, "le", "<=", kRelational, kAdditive, kAdditive},
    {kOpLess, "lt", "<", kRelational, kAdditive, kAdditive},
    {kOpEqual, "eq", "=", kRelational, kAdditive, kAdditive},
    {kOpRange, "range", "TO", kRelational, kAdditive, kAdditive},
    // The exponent is a factor, so a unary minus may stand there bare.
    {kOpPower, "pow", "^", kPower, kAtom, kUnary},
};

const Binary* findBinary(std::uint16_t opcode) {
  for (const Binary& b : kBinaries)
    if (b.opcode == opcode) return &b;
  return nullptr;
}

// Reads the stack code of one expression; every read checks the bounds.
class StackReader {
 public:
  StackReader(ByteSpan area, std::size_t start, const Naming& naming)
      : area_(area), pos_(start), naming_(naming) {
    out_.start = start;
  }

  Disassembly run() {
    while (out_.problem.empty()) {
      const std::size_t at = pos_;
      std::uint16_t opcode = 0;
      if (!word(opcode)) break;
      if (step(at, opcode)) break;
    }
    out_.end = pos_;
    if (out_.problem.empty()) finish();
    return out_;
  }

 private:
  bool word(std::uint16_t& v) {
    if (pos_ + kWord > area_.size()) {
      fail(formatString("code runs past the end of the expression area at @%04zX",
                      pos_));
      return false;
    }
    v = loadU16(area_.data() + pos_);
    pos_ += kWord;
    return true;
  }
  bool doubleWord(std::uint32_t& v) {
    std::uint16_t low = 0;
    std::uint16_t high = 0;
    if (!word(low) || !word(high)) return false;
    v = joinWords(low, high);
    return true;
  }
  void fail(const std::string& problem) {
    if (out_.problem.empty()) out_.problem = problem;
  }
  void emit(std::size_t at, std::uint16_t opcode, std::string text) {
    out_.code.push_back({at, opcode, std::move(text)});
  }
  Node pop(std::size_t at) {
    if (stack_.empty()) {
      fail(formatString("stack underflow at @%04zX", at));
      return {"?", kAtom, -1};
    }
    Node n = stack_.back();
    stack_.pop_back();
    return n;
  }
  void push(std::string text, int strength, long block = -1) {
    stack_.push_back({std::move(text), strength, block});
  }

  static int floatStrength(float f) { return f < 0 ? kUnary : kAtom; }

  // Handles one instruction; true when the expression ends with it.
  bool step(std::size_t at, std::uint16_t opcode) {
    if (const Binary* b = findBinary(opcode)) {
      const Node right = pop(at);
      const Node left = pop(at);
      emit(at, opcode, b->mnemonic);
      push(wrap(left, b->leftNeeds) + " " + b->symbol + " " +
               wrap(right, b->rightNeeds),
           b->strength);
      return false;
    }
    std::uint16_t w = 0;
    std::uint32_t d = 0;
    switch (opcode) {
      case kOpCall:
        if (!doubleWord(d)) return true;
        call(at, d);
        return false;
      case kOpNegate:
      case kOpNot: {
        const Node n = pop(at);
        const bool negate = opcode == kOpNegate;
        emit(at, opcode, negate ? "neg" : "not");
        push((negate ? "-" : "NOT ") + wrap(n, kUnary), kUnary);
        return false;
      }
      case kOpPushFloat:
      case kOpLoneConstant: {
        if (!doubleWord(d)) return true;
        const float f = floatFromBits(d);
        const bool lone = opcode == kOpLoneConstant;
        emit(at, opcode, (lone ? "constant " : "push ") + floatText(f));
        push(floatText(f), floatStrength(f));
        return lone;
      }
      case kOpPushVariable:
      case kOpLoneVariable: {
        if (!word(w)) return true;
        const bool lone = opcode == kOpLoneVariable;
        emit(at, opcode, (lone ? "variable " : "push ") + naming_.location(w));
        push(naming_.location(w), kAtom);
        return lone;
      }
      case kOpPushInteger:
        if (!word(w)) return true;
        emit(at, opcode, formatString("push integer %d", static_cast<std::int16_t>(w)));
        push(std::to_string(static_cast<std::int16_t>(w)), kAtom);
        return false;
      case kOpPushBlock:
        if (!doubleWord(d)) return true;
        emit(at, opcode, formatString("push block @%04X", d));
        push(formatString("@%04X", d), kAtom, static_cast<long>(d));
        return false;
      case kOpEnd:
        emit(at, opcode, "end");
        return true;
      case kOpPushTested:
        emit(at, opcode, "push tested");
        push("IS", kAtom);
        return false;
      case kOpPushElement:
      case kOpLoneElement: {
        if (!word(w)) return true;
        const Node index = pop(at);
        const bool lone = opcode == kOpLoneElement;
        emit(at, opcode, (lone ? "element " : "push element ") + naming_.location(w));
        push(naming_.location(w) + "(" + index.text + ")", kAtom);
        return lone;
      }
      case kOpStoreVariable: {
        if (!word(w)) return true;
        const Node value = pop(at);
        emit(at, opcode, "store " + naming_.location(w));
        statement_ = naming_.location(w) + " = " + value.text;
        return false;
      }
      case kOpStoreElement: {
        if (!word(w)) return true;
        const Node value = pop(at);
        const Node index = pop(at);
        emit(at, opcode, "store element " + naming_.location(w));
        statement_ = naming_.location(w) + "(" + index.text + ") = " + value.text;
        return false;
      }
      case kOpTableField: {
        std::uint16_t table = 0;
        std::uint16_t field = 0;
        if (!word(table) || !word(field)) return true;
        const std::string name = naming_.fields ? naming_.fields(table, field) : "?";
        tableField(at, opcode, "field " + name, name);
        return false;
      }
      case kOpEqualsTested:
        emit(at, opcode, "equals tested");
        // The item of a bare CASE list entry: shown as written.
        if (!stack_.empty()) stack_.back().strength = kRelational;
        return false;
      case kOpTableFieldName: {
        if (pos_ + kFieldNameBytes > area_.size()) {
          fail(formatString("code runs past the end of the expression area at @%04zX",
                          pos_));
          return true;
        }
        std::string name;
        for (std::size_t i = 0; i < kFieldNameBytes && area_[pos_ + i] != 0; ++i)
          name.push_back(static_cast<char>(area_[pos_ + i]));
        pos_ += kFieldNameBytes;
        tableField(at, opcode, "field name " + quotedText(name), utf8Text(name));
        return false;
      }
      default:
        fail(formatString("unknown stack opcode %u at @%04zX", opcode, at));
        return true;
    }
  }

  void tableField(std::size_t at, std::uint16_t opcode, std::string text,
                  const std::string& name) {
    const Node second = pop(at);
    const Node first = pop(at);
    emit(at, opcode, std::move(text));
    push(name + "(" + first.text + ", " + second.text + ")", kAtom);
  }

  void call(std::size_t at, std::uint32_t code) {
    const BuiltinFunction* found = findFunction(code);
    if (found == nullptr) {
      fail(formatString("unknown function code %u at @%04zX", code, at));
      return;
    }
    const BuiltinFunction& f = *found;
    std::vector<Node> args(static_cast<std::size_t>(f.arguments));
    for (std::size_t i = args.size(); i > 0; --i) args[i - 1] = pop(at);
    emit(at, kOpCall, std::string("call ") + f.name);
    if ((code == kFunctionIfTime || code == kFunctionTimeUntilTransmit) &&
        args[0].block >= 0) {
      push(blockCall(code, static_cast<std::size_t>(args[0].block)), kAtom);
      return;
    }
    std::string text = f.name;
    if (!args.empty()) {
      text += "(";
      for (std::size_t i = 0; i < args.size(); ++i)
        text += (i ? ", " : "") + args[i].text;
      text += ")";
    }
    push(text, kAtom);
  }

  // IFTIME's block holds the time into the interval and the interval in
  // seconds; TIMEUNTILTRANSMIT's its argument minus 1.
  std::string blockCall(std::uint32_t code, std::size_t block) {
    const std::size_t length =
        code == kFunctionIfTime ? kIfTimeBlockSize : kTransmitBlockSize;
    if (block + length > area_.size()) {
      fail(formatString("constant block @%04zX runs past the end of the expression area",
                      block));
      return "?";
    }
    out_.blocks.push_back({block, length});
    const std::uint8_t* p = area_.data() + block;
    if (code == kFunctionIfTime)
      return formatString("IFTIME(%u, %u, Sec)", loadU32(p), loadU32(p + kIfTimeInterval));
    return formatString("TIMEUNTILTRANSMIT(%d)", static_cast<std::int32_t>(loadU32(p)) + 1);
  }

  void finish() {
    if (!statement_.empty() && stack_.empty()) {
      out_.expression = statement_;
    } else if (statement_.empty() && stack_.size() == 1) {
      out_.expression = stack_.back().text;
    } else {
      fail(formatString("code ends with %zu values on the stack", stack_.size()));
    }
  }

  ByteSpan area_;
  std::size_t pos_;
  const Naming& naming_;
  Disassembly out_;
  std::vector<Node> stack_;
  std::string statement_;
};

// A fixed-width text field up to its first NUL.
std::string_view fieldChars(ByteSpan bytes) {
  std::size_t n = 0;
  while (n < bytes.size() && bytes[n] != 0) ++n;
  return {reinterpret_cast<const char*>(bytes.data()), n};
}

// The length of the UTF-8 sequence at `at`, or 0 where none starts.
std::size_t utf8Length(std::string_view s, std::size_t at) {
  const auto b = static_cast<unsigned char>(s[at]);
  std::size_t length = 0;
  unsigned least = 0;  // the smallest code point of that length
  if (b < 0x80) return 1;
  if ((b & 0xE0) == 0xC0) { length = 2; least = 0x80; }
  else if ((b & 0xF0) == 0xE0) { length = 3; least = 0x800; }
  else if ((b & 0xF8) == 0xF0) { length = 4; least = 0x10000; }
  else return 0;
  if (at + length > s.size()) return 0;
  unsigned code = b & (0x7Fu >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto c = static_cast<unsigned char>(s[at + i]);
    if ((c & 0xC0) != 0x80) return 0;
    code = (code << 6) | (c & 0x3F);
  }
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  return code < least || code > 0x10FFFF || surrogate ? 0 : length;
}

bool isUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = utf8Length(s, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

// `s` with control characters, and all bytes from 0x80 unless `utf8`,
// as \xNN; with `quotes` also " and \ escaped.
std::string escaped(std::string_view s, bool utf8, bool quotes) {
  std::string out;
  for (char ch : s) {
    const auto b = static_cast<unsigned char>(ch);
    if (quotes && (ch == '"' || ch == '\\')) {
      out += '\\';
      out += ch;
    } else if (b < 0x20 || b == 0x7F || (b >= 0x80 && !utf8)) {
      out += formatString("\\x%02X", b);
    } else {
      out += ch;
    }
  }
  return out;
}

std::string hexBytes(ByteSpan bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i)
    out += formatString(i ? " %02X" : "%02X", bytes[i]);
  return out;
}

std::uint32_t loadWidth(const std::uint8_t* p, std::size_t width) {
  if (width == 1) return p[0];
  if (width == 2) return loadU16(p);
  return loadU32(p);
}

// NEXT and EXIT FOR point at a For record, LOOP and EXIT DO at a Do record.
bool pointsAtFor(std::uint16_t opcode) {
  return opcode == kRecordNext || opcode == kRecordExitFor;
}

bool guardSaysNone(ByteSpan record, const FieldGuard& g) {
  if (g.width == 0 || g.offset + g.width > record.size()) return false;
  const std::uint32_t v = loadWidth(record.data() + g.offset, g.width);
  switch (g.test) {
    case GuardTest::kEqual: return v == g.value;
    case GuardTest::kNotEqual: return v != g.value;
    case GuardTest::kAtMost: return v <= g.value;
  }
  return false;
}

bool isUnused(ByteSpan record, const RecordField& f) {
  if (f.kind == FieldKind::kOperandOrZero) return false;
  return f.kind == FieldKind::kUnused || guardSaysNone(record, f.guard) ||
         guardSaysNone(record, f.alsoGuard);
}

bool zeroIsNone(ByteSpan record, const RecordField& f) {
  return f.guard.width == 0 || guardSaysNone(record, f.guard);
}

// Values that the handlers encode, by the codes they stand for; the
// others show as a number.
struct Code {
  std::uint32_t value;
  const char* text;
};
constexpr Code kTimeUnitCodes[] = {{0, "usec"}, {1, "msec"}, {2, "sec"},
                                   {3, "min"},  {4, "hr"},   {5, "day"}};
constexpr Code kPulseChannels[] = {{0, "P_LL"}, {1, "C1"}, {2, "C2"}, {6, "P_SW"}};
constexpr Code kRangeCodes[] = {{0x4000, "1"}, {0x8000, "2"}, {0x0400, "3"},
                                {0x0800, "4"}, {0x1000, "5"}, {0x2000, "6"}};
constexpr Code kExcitationLevels[] = {{0, "0 mV"}, {2, "2500 mV"}, {5, "5000 mV"}};
constexpr Code kPrintPorts[] = {{0, "1"}, {1, "2"}, {2, "C1"}, {3, "C2"}};
constexpr Code kSerialPorts[] = {{1, "2"}, {3, "4"}};
constexpr Code kControlPorts[] = {{0x4000, "1"}, {0x8000, "2"}};
constexpr Code kPrintKinds[] = {{0, "expression"}, {1, "string"}, {2, "character"}};
constexpr Code kSeparators[] = {{',', "','"}, {';', "';'"}, {0, "none"}};

template <std::size_t N>
std::string codeText(const Code (&codes)[N], std::uint32_t v) {
  for (const Code& c : codes)
    if (c.value == v) return c.text;
  return formatString("%u (no code)", v);
}

// The channel n for which `v` is `base` shifted left by n.
std::string shiftedChannel(std::uint32_t base, std::uint32_t v) {
  for (std::uint32_t n = 0; n < 16; ++n)
    if ((base << n) == v) return std::to_string(n);
  return formatString("%u (no channel)", v);
}

// The status field that a SetStatus offset among the writable fields names.
std::string statusFieldAt(std::uint32_t offset) {
  for (const FieldDescriptor& f : statusTable().fields) {
    const StatusField s = findStatusField(f.name);
    if ((s.typeByte & kReadOnlyType) == 0 &&
        static_cast<std::uint32_t>(s.writableOffset) == offset)
      return f.name;
  }
  return formatString("%u (no field)", offset);
}

class CodeWalker {
 public:
  explicit CodeWalker(const CodeContext& c) : c_(c) {}

  CodeListing run() {
    walk();
    for (const DecodedRecord& r : out_.records) check(r);
    nameCalledTables();
    return std::move(out_);
  }

 private:
  void problem(const DecodedRecord& r, const std::string& text) {
    out_.problems.push_back(formatString("record at %04zX (%s): ", r.offset,
                                       r.layout->name) + text);
  }

  void walk() {
    const std::size_t size = c_.code.size();
    std::size_t pos = 0;
    while (pos < size) {
      if (pos + kWord * 2 > size) {
        out_.problems.push_back(formatString(
            "record at %04zX: %zu bytes left, too few for a record", pos, size - pos));
        return;
      }
      const std::uint16_t opcode = loadU16(c_.code.data() + pos);
      const RecordLayout* layout = findRecordLayout(opcode);
      if (layout == nullptr) {
        out_.problems.push_back(
            formatString("record at %04zX: unknown record opcode %u", pos, opcode));
        DecodedRecord r;
        r.offset = pos;
        r.opcode = opcode;
        out_.records.push_back(r);
        // Skip by the next-record offset when it can be one.
        const std::size_t next = loadU16(c_.code.data() + pos + kWord);
        if (next <= pos || next > size) return;
        pos = next;
        continue;
      }
      if (pos + layout->length > size) {
        out_.problems.push_back(formatString(
            "record at %04zX (%s): its %u bytes run past the end of the code "
            "(%zu bytes)", pos, layout->name, layout->length, size));
        return;
      }
      starts_.insert(pos);
      out_.records.push_back(decode(pos, *layout));
      pos += layout->length;
    }
  }

  DecodedRecord decode(std::size_t pos, const RecordLayout& layout) {
    DecodedRecord r;
    r.offset = pos;
    r.opcode = layout.opcode;
    r.layout = &layout;
    const ByteSpan record = c_.code.subspan(pos, layout.length);
    r.instruction = instructionName(layout, record.data());
    for (const RecordField& f : layout.fields) {
      DecodedField d;
      d.layout = &f;
      const ByteSpan bytes = record.subspan(f.offset, f.width);
      if (f.kind != FieldKind::kText && f.kind != FieldKind::kPacketBe)
        d.value = loadWidth(bytes.data(), f.width);
      d.unused = isUnused(record, f);
      if (f.kind == FieldKind::kOperandOrZero && d.value == 0 && zeroIsNone(record, f)) {
        d.text = "none";
      } else {
        d.text = d.unused ? "unused" : fieldText(f, d.value, bytes);
      }
      r.fields.push_back(d);
    }
    return r;
  }

  std::string tableName(std::uint32_t index) const {
    return index < c_.tableNames.size() ? c_.tableNames[index] : "?";
  }

  std::string operandText(std::uint32_t v) {
    if (v == kNoOperand) return "none";
    if (v & kDeferredBit)
      return formatString("deferred %u", v & ~std::uint32_t{kDeferredBit});
    if (v >= c_.area.size()) return formatString("@%04X", v);
    if (std::find(out_.operandOffsets.begin(), out_.operandOffsets.end(), v) ==
        out_.operandOffsets.end())
      out_.operandOffsets.push_back(v);
    const Disassembly d = disassembleExpression(c_.area, v, c_.naming);
    return d.problem.empty() ? d.expression : formatString("@%04X ?", v);
  }

  std::string fieldText(const RecordField& f, std::uint32_t v, ByteSpan bytes) {
    switch (f.kind) {
      case FieldKind::kNextOffset:
      case FieldKind::kJumpTarget:
      case FieldKind::kLoopWord:
        return formatString("%04X", v);
      case FieldKind::kOperand:
        return operandText(v);
      case FieldKind::kOperandOrZero:
        return operandText(v);
      case FieldKind::kLocation:
        return c_.naming.location(static_cast<std::uint16_t>(v));
      case FieldKind::kTableNumber:
        return tableName(v + 1);
      case FieldKind::kTableIndex:
        return tableName(v);
      case FieldKind::kChannelWord:
        return (v & 0xFF) == 0 ? std::to_string((v >> 8) + 1)
                               : formatString("0x%04X (no channel)", v);
      case FieldKind::kExcitationWord:
        return std::to_string((v >> 8) + 1) + ", " + codeText(kExcitationLevels, v & 0xFF);
      case FieldKind::kPulseWord:
        return codeText(kPulseChannels, v & 0xFF) +
               formatString(", PConfig %u, POption %u", v >> 12, (v >> 8) & 0xF);
      case FieldKind::kRangeFlags:
        return v == 0 ? "none" : codeText(kRangeCodes, v);
      case FieldKind::kDelayLess400:
        return std::to_string((v + 400) & 0xFFFF);
      case FieldKind::kTimeUnits:
        return codeText(kTimeUnitCodes, v);
      case FieldKind::kControlPortBit:
        return codeText(kControlPorts, v);
      case FieldKind::kAnalogGetBit:
        return shiftedChannel(4, v);
      case FieldKind::kAnalogSetBit:
        return shiftedChannel(128, v);
      case FieldKind::kPortLess1:
        return std::to_string(v + 1);
      case FieldKind::kPrintPort:
        return codeText(kPrintPorts, v);
      case FieldKind::kSerialPort:
        return codeText(kSerialPorts, v);
      case FieldKind::kStatusOffset:
        return statusFieldAt(v);
      case FieldKind::kPoolLocation:
        return formatString("%u (state)", v);
      case FieldKind::kPrintKind:
        return codeText(kPrintKinds, v);
      case FieldKind::kSeparator:
        return codeText(kSeparators, v);
      case FieldKind::kUnused:
        return "unused";
      case FieldKind::kText:
        return quotedText(fieldChars(bytes));
      case FieldKind::kPacketBe:
        return hexBytes(bytes);
      case FieldKind::kOpcode:
      case FieldKind::kU8:
      case FieldKind::kU16:
      case FieldKind::kU32:
        break;
    }
    return std::to_string(v);
  }

  // A CallTable goes to the DataTable record of its table: name the table.
  void nameCalledTables() {
    std::map<std::size_t, const DecodedRecord*> tables;
    for (const DecodedRecord& r : out_.records)
      if (r.opcode == kRecordDataTable && r.layout != nullptr) tables[r.offset] = &r;
    for (DecodedRecord& r : out_.records) {
      if (r.opcode != kRecordCallTable || r.layout == nullptr) continue;
      DecodedField& target = r.fields[kCallTableTarget];
      const auto table = tables.find(target.value);
      if (table != tables.end())
        target.text = table->second->fields[kDataTableName].text + " at " + target.text;
    }
  }

  bool atRecord(std::uint32_t offset) const {
    return starts_.count(offset) != 0 || offset == c_.code.size();
  }

  // The record that `offset` lies in names the loop it belongs to.
  bool isLoopWord(std::uint16_t opcode, std::uint32_t offset) const {
    const bool wantsFor = pointsAtFor(opcode);
    const std::size_t delta = wantsFor ? kForVariableWord : kDoModeWord;
    if (offset < delta || starts_.count(offset - delta) == 0) return false;
    return loadU16(c_.code.data() + offset - delta) ==
           (wantsFor ? kRecordFor : kRecordDo);
  }

  void checkOperand(const DecodedRecord& r, const DecodedField& d) {
    const std::uint32_t v = d.value;
    if (v == kNoOperand || d.unused || d.text == "none") return;
    if (v & kDeferredBit) {
      problem(r, formatString("%s %04X is an unresolved deferred expression",
                            d.layout->name, v));
    } else if (v >= c_.area.size()) {
      problem(r, formatString("%s @%04X lies outside the expression area (%zu bytes)",
                            d.layout->name, v, c_.area.size()));
    }
  }

  void check(const DecodedRecord& r) {
    if (r.layout == nullptr) return;
    for (const DecodedField& d : r.fields) {
      const char* name = d.layout->name;
      switch (d.layout->kind) {
        case FieldKind::kNextOffset:
          if (d.value != r.offset + r.layout->length)
            problem(r, formatString("next-record offset %04X, expected %04zX", d.value,
                                  r.offset + r.layout->length));
          break;
        case FieldKind::kJumpTarget:
          if (!atRecord(d.value))
            problem(r, formatString("%s %04X is not at a record", name, d.value));
          break;
        case FieldKind::kLoopWord:
          if (!isLoopWord(r.opcode, d.value))
            problem(r, formatString(pointsAtFor(r.opcode)
                                      ? "%s %04X is not the variable word of a For record"
                                      : "%s %04X is not the mode word of a Do record",
                                  name, d.value));
          break;
        case FieldKind::kOperand:
        case FieldKind::kOperandOrZero:
          checkOperand(r, d);
          break;
        case FieldKind::kTableNumber:
          if (d.value + 1 >= c_.tableNames.size())
            problem(r, formatString("%s %u names no data table", name, d.value));
          break;
        case FieldKind::kTableIndex:
          if (d.value < 1 || d.value >= c_.tableNames.size())
            problem(r, formatString("%s %u names no data table", name, d.value));
          break;
        default:
          break;
      }
    }
  }

  const CodeContext& c_;
  CodeListing out_;
  std::set<std::size_t> starts_;
};

}  // namespace

std::string locationText(std::uint16_t location) {
  const auto first = static_cast<unsigned>(locationFirst(location));
  const auto count = static_cast<unsigned>(locationCount(location));
  if (count <= 1) return formatString("v[%u]", first);
  return formatString("v[%u..%u]", first, first + count - 1);
}

std::string floatText(float value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  std::string text(buffer, result.ptr);
  if (text.find_first_of(".einf") == std::string::npos) text += ".0";
  return text;
}

std::string quotedText(std::string_view text) {
  return "\"" + escaped(text, isUtf8(text), true) + "\"";
}

std::string utf8Text(std::string_view text) {
  return isUtf8(text) ? std::string(text) : escaped(text, false, false);
}

std::string Naming::location(std::uint16_t word) const {
  const int first = locationFirst(word);
  const int count = std::max(1, locationCount(word));
  for (const NamedVariable& v : variables) {
    if (first < v.first || first + count > v.first + v.count) continue;
    if (first == v.first && count == v.count) return v.name;
    const int index = first - v.first + 1;
    if (count == 1) return formatString("%s(%d)", v.name.c_str(), index);
    return formatString("%s(%d..%d)", v.name.c_str(), index, index + count - 1);
  }
  return locationText(word);
}

Disassembly disassembleExpression(ByteSpan area, std::size_t start,
                                  const Naming& naming) {
  return StackReader(area, start, naming).run();
}

CodeListing disassembleCode(const CodeContext& context) {
  return CodeWalker(context).run();
}

}  // namespace vk6
