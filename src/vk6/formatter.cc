#include "vk6/formatter.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "core/text.h"
#include "format/byte_io.h"
#include "format/image_format.h"
#include "parse/instruction_table.h"
#include "parse/source_reader.h"
#include "parse/spelling.h"
#include "vk6/compiler.h"

namespace vk6 {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// The longest line the compiler reads, line end included.
constexpr std::size_t kLongestLine = kLineBufferSize - 2;
constexpr std::string_view kBlanks = " \t";

// Block kinds as bits, so that one statement can name every block it may
// close: End If closes a Select as well, Loop a While.
enum BlockKind : unsigned {
  kSubBlock = 1u << 0,
  kTableBlock = 1u << 1,
  kProgBlock = 1u << 2,
  kScanBlock = 1u << 3,
  kForBlock = 1u << 4,
  kLoopBlock = 1u << 5,
  kIfBlock = 1u << 6,
  kSelectBlock = 1u << 7,
};

enum class Role { kBlank, kPlain, kOpens, kMiddle, kCloses, kEndsReading };

// What a statement does to the blocks: the kind it opens, or the kinds
// whose innermost it continues (Else, Case) or closes.
struct Shape {
  Role role = Role::kBlank;
  unsigned blocks = 0;
};

struct Block {
  unsigned kind;
  int level;  // of its opening line
};

// A word of a line's code to write in its canonical spelling.
struct Respelling {
  std::size_t at;
  const char* spelling;
};

using Respellings = std::vector<Respelling>;

struct Span {
  std::size_t start;
  std::size_t stop;
};

bool isDelimiter(char ch) {
  return ch != '\0' && std::strchr(kStatementDelimiters, ch) != nullptr;
}

bool isWordChar(char ch) {
  return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || isDigit(ch) ||
         ch == '_' || ch == '.' || ch == '&' || ch == '$' || ch == '#';
}

bool sameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (upcaseChar(a[i]) != upcaseChar(b[i])) return false;
  }
  return true;
}

// The first token of code[from, end), split at the statement delimiters
// as the compiler splits it; empty at the end.
Span tokenAfter(std::string_view code, std::size_t from, std::size_t end) {
  while (from < end && isDelimiter(code[from])) ++from;
  std::size_t stop = from;
  while (stop < end && !isDelimiter(code[stop])) ++stop;
  return {from, stop};
}

std::string_view textOf(std::string_view code, Span s) {
  return code.substr(s.start, s.stop - s.start);
}

void respellWord(std::string_view code, Span word, Respellings* out) {
  if (out == nullptr) return;
  if (const char* spelling = canonicalWord(textOf(code, word)))
    out->push_back({word.start, spelling});
}

// Respells, in code[from, end), the words among `words` outside double
// quotes. It serves only text the compiler folds to capitals or looks up
// ignoring case, so the case it writes cannot matter.
void respellWords(std::string_view code, std::size_t from, std::size_t end,
                  std::initializer_list<std::string_view> words, Respellings* out) {
  std::size_t i = from;
  while (i < end) {
    if (code[i] == '"') {
      const std::size_t close = code.find('"', i + 1);
      i = close == std::string_view::npos || close >= end ? end : close + 1;
    } else if (isWordChar(code[i])) {
      Span word{i, i};
      while (word.stop < end && isWordChar(code[word.stop])) ++word.stop;
      for (std::string_view w : words) {
        if (sameWord(textOf(code, word), w)) respellWord(code, word, out);
      }
      i = word.stop;
    } else {
      ++i;
    }
  }
}

Shape opens(unsigned kind) { return {Role::kOpens, kind}; }
Shape closes(unsigned kinds) { return {Role::kCloses, kinds}; }
Shape continues(unsigned kinds) { return {Role::kMiddle, kinds}; }

Shape readStatement(std::string_view code, std::size_t start, std::size_t end,
                    Respellings* out);

// An If whose THEN is followed by a statement stands on its line alone
// and opens no block. The compiler finds THEN anywhere in the folded text
// and splits what follows it at its first " ELSE ".
Shape readIf(std::string_view code, std::size_t from, std::size_t end, Respellings* out) {
  constexpr std::string_view kThen = "THEN";
  constexpr std::string_view kElse = " ELSE ";
  std::string folded(code.substr(from, end - from));
  upcaseText(folded);
  const std::size_t then = folded.find(kThen);
  respellWords(code, from, end, {"Then"}, out);
  if (then == std::string::npos) return opens(kIfBlock);
  const std::size_t statement = from + then + kThen.size();
  if (tokenAfter(code, statement, end).start == end) return opens(kIfBlock);
  const std::size_t orElse = folded.find(kElse, then + kThen.size());
  const std::size_t statementEnd = orElse == std::string::npos ? end : from + orElse;
  readStatement(code, statement, statementEnd, out);
  if (statementEnd != end) {
    const std::size_t word = statementEnd + 1;
    respellWord(code, {word, word + kElse.size() - 2}, out);
    readStatement(code, statementEnd + kElse.size(), end, out);
  }
  return {Role::kPlain, 0};
}

// The statement code[start, end): its part in the block structure and,
// when `out` is given, the words to respell.
Shape readStatement(std::string_view code, std::size_t start, std::size_t end,
                    Respellings* out) {
  const Span keyword = tokenAfter(code, start, end);
  if (keyword.start == end) return {};
  const InstructionIndex index =
      lookupKeyword(std::string(textOf(code, keyword)).c_str());
  // An assignment or a bare subroutine call.
  if (index == kEndOfProgram) return {Role::kPlain, 0};
  if (out != nullptr) out->push_back({keyword.start, canonicalSpelling(index)});
  const Span next = tokenAfter(code, keyword.stop, end);
  const std::string_view word = textOf(code, next);
  switch (index) {
    case kSub: return opens(kSubBlock);
    case kEndSub: return closes(kSubBlock);
    case kDataTable: return opens(kTableBlock);
    case kEndTable: return closes(kTableBlock);
    case kBeginProg: return opens(kProgBlock);
    case kEndProg: return {Role::kEndsReading, kProgBlock};
    case kScan: return opens(kScanBlock);
    case kNextScan: return closes(kScanBlock);
    case kNext:
      if (!sameWord(word, "Scan")) return closes(kForBlock);
      respellWord(code, next, out);
      return closes(kScanBlock);
    case kFor: {
      // The clause is folded to capitals from its '=' on.
      const std::size_t equals = code.find('=', keyword.stop);
      if (equals < end) respellWords(code, equals, end, {"To", "Step"}, out);
      return opens(kForBlock);
    }
    case kDo:
      respellWord(code, next, out);
      return opens(kLoopBlock);
    case kWhile: return opens(kLoopBlock);
    case kLoop:
      respellWord(code, next, out);
      return closes(kLoopBlock);
    case kWend: return closes(kLoopBlock);
    case kSelect:
      respellWords(code, next.start, next.stop, {"Case"}, out);
      return opens(kSelectBlock);
    case kCase:
      respellWords(code, next.start, end, {"Else", "Is", "To"}, out);
      return continues(kSelectBlock | kIfBlock);
    case kIf: return readIf(code, keyword.stop, end, out);
    case kElse:
      respellWords(code, next.start, next.stop, {"If"}, out);
      respellWords(code, next.stop, end, {"Then"}, out);
      return continues(kIfBlock | kSelectBlock);
    case kElseIf:
      respellWords(code, keyword.stop, end, {"Then"}, out);
      return continues(kIfBlock | kSelectBlock);
    case kEndIf:
    case kEndSelect: return closes(kIfBlock | kSelectBlock);
    case kEnd:
      respellWord(code, next, out);
      if (sameWord(word, "If") || sameWord(word, "Select")) return closes(kIfBlock | kSelectBlock);
      if (sameWord(word, "Sub")) return closes(kSubBlock);
      if (sameWord(word, "Table")) return closes(kTableBlock);
      return {Role::kPlain, 0};
    case kExit:
      respellWord(code, next, out);
      return {Role::kPlain, 0};
    default: return {Role::kPlain, 0};
  }
}

// The layout's view of the blocks open so far.
class BlockStack {
 public:
  // The level of a line whose first statement has `shape`.
  int levelOf(const Shape& shape) const {
    const Block* b = innermost(shape.blocks);
    switch (shape.role) {
      case Role::kCloses:
      case Role::kEndsReading:
        if (b != nullptr) return b->level;
        break;
      case Role::kMiddle:
        if (b != nullptr) return b->level + (b->kind == kSelectBlock ? 1 : 0);
        break;
      default:
        break;
    }
    return bodyLevel();
  }

  void apply(const Shape& shape, int lineLevel) {
    if (shape.role == Role::kOpens) {
      blocks_.push_back({shape.blocks, lineLevel});
    } else if (shape.role == Role::kCloses || shape.role == Role::kEndsReading) {
      // Blocks left open inside the closed one close with it.
      if (const Block* b = innermost(shape.blocks))
        blocks_.resize(static_cast<std::size_t>(b - blocks_.data()));
    }
  }

 private:
  // A Select's statements stand one level inside its Case lines.
  int bodyLevel() const {
    if (blocks_.empty()) return 0;
    const Block& b = blocks_.back();
    return b.level + (b.kind == kSelectBlock ? 2 : 1);
  }

  const Block* innermost(unsigned kinds) const {
    for (auto b = blocks_.rbegin(); b != blocks_.rend(); ++b) {
      if ((b->kind & kinds) != 0) return &*b;
    }
    return nullptr;
  }

  std::vector<Block> blocks_;
};

std::string indentation(int level, const FormatOptions& options) {
  if (!options.insertSpaces) return std::string(static_cast<std::size_t>(level), '\t');
  return std::string(static_cast<std::size_t>(level * std::max(options.tabSize, 0)), ' ');
}

// The image of `text`, its signatures zeroed; empty when it does not
// compile.
Bytes unsignedImage(std::string_view text, const std::string& model) {
  CompileResult r = compileProgram({text, "program"}, {model, ""});
  if (r.outcome() != Outcome::kCompiled) return {};
  Bytes& image = r.image;
  if (image.size() < kProgramHeaderSize) return image;
  storeU16(image, program_header::kImageSignature, 0);
  const std::size_t tableHeaders = loadU16(image.data() + program_header::kTableHeaders);
  const std::size_t source = tableHeaders - kIdentificationSize + identification::kSourceSignature;
  if (tableHeaders >= kIdentificationSize && source + 2 <= image.size())
    storeU16(image, source, 0);
  return image;
}

}  // namespace

std::string layOutProgram(std::string_view text, const FormatOptions& options, bool respell) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  std::size_t pos = 0;
  if (text.starts_with(kByteOrderMark)) {
    out += kByteOrderMark;
    pos = kByteOrderMark.size();
  }
  BlockStack blocks;
  // The compiler reads nothing after EndProg: that text stays as written.
  bool reading = true;
  Respellings respellings;
  while (pos < text.size()) {
    const std::size_t newline = text.find('\n', pos);
    const std::size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
    std::string_view content = text.substr(pos, next - pos);
    pos = next;
    std::size_t endAt = content.size();
    if (endAt > 0 && content[endAt - 1] == '\n') --endAt;
    if (endAt > 0 && content[endAt - 1] == '\r') --endAt;
    const std::string_view lineEnd = content.substr(endAt);
    content = content.substr(0, endAt);
    content = content.substr(0, content.find_last_not_of(kBlanks) + 1);
    if (!reading) {
      out.append(content).append(lineEnd);
      continue;
    }
    const std::size_t first = std::min(content.find_first_not_of(kBlanks), content.size());
    std::string body(content.substr(first));
    // The compiler cuts a line at its first apostrophe, in quotes too, and
    // at a NUL.
    const std::string_view code = std::string_view(body).substr(
        0, body.find_first_of(std::string_view("'\0", 2)));

    int level = -1;
    respellings.clear();
    for (std::size_t start = 0; start <= code.size() && reading;) {
      const std::size_t colon = findStatementEnd(code.substr(start));
      const std::size_t end = colon == std::string_view::npos ? code.size() : start + colon;
      const Shape shape = readStatement(code, start, end, respell ? &respellings : nullptr);
      if (level < 0 && shape.role != Role::kBlank) level = blocks.levelOf(shape);
      blocks.apply(shape, level);
      if (shape.role == Role::kEndsReading) reading = false;
      start = end + 1;
    }
    if (level < 0) level = blocks.levelOf({});
    for (const Respelling& r : respellings) {
      const std::size_t length = std::strlen(r.spelling);
      if (sameWord(std::string_view(body).substr(r.at, length), r.spelling))
        body.replace(r.at, length, r.spelling);
    }

    std::string indent = body.empty() ? std::string() : indentation(level, options);
    // Deeper indentation must not push a line past what the compiler reads.
    if (indent.size() > first && indent.size() + body.size() + lineEnd.size() > kLongestLine)
      indent = content.substr(0, first);
    out.append(indent).append(body).append(lineEnd);
  }
  return out;
}

std::string formatProgram(std::string_view text, const FormatOptions& options) {
  std::string respelled = layOutProgram(text, options, true);
  if (respelled == text) return respelled;
  const Bytes before = unsignedImage(text, options.model);
  if (before.empty()) return layOutProgram(text, options, false);
  if (unsignedImage(respelled, options.model) == before) return respelled;
  std::string laidOut = layOutProgram(text, options, false);
  if (laidOut != respelled && unsignedImage(laidOut, options.model) == before) return laidOut;
  return std::string(text);
}

}  // namespace vk6
