// The compile's messages as the editor shows them, and the hints for the
// language's traps: things that compile but do not mean what they seem.
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "lsp/features.h"
#include "lsp/source_text.h"
#include "parse/instruction_table.h"

namespace vk6::lsp {

namespace {

constexpr int kSeverityError = 1;
constexpr int kSeverityWarning = 2;
constexpr int kSeverityInformation = 3;

// The block a message about an unclosed block is about.
BlockKind blockOfMessage(std::string_view message) {
  static constexpr std::pair<std::string_view, BlockKind> kMessages[] = {
      {"FOR without NEXT.", BlockKind::kFor},
      {"FOR loop bracketing Scan..NextScan.", BlockKind::kFor},
      {"DO without LOOP.", BlockKind::kDo},
      {"DO or While bracketing Scan..NextScan.", BlockKind::kDo},
      {"IF or SELECT without END IF or END SELECT.", BlockKind::kIf},
      {"IF or SELECT bracketing Scan..NextScan.", BlockKind::kIf},
      {"Sub ... EndSub not matched.", BlockKind::kSub},
      {"DataTable without EndTable.", BlockKind::kTable},
      {"DataTable ... EndTable not matched.", BlockKind::kTable},
      {"Scan without NextScan.", BlockKind::kScan},
  };
  for (const auto& [text, kind] : kMessages)
    if (message == text) return kind;
  return BlockKind::kNone;
}

// The innermost block of `kind` open at line `line` (0-based; -1: at the
// end of the text).
const Block* openAt(const std::vector<Block>& blocks, BlockKind kind, int line) {
  const Block* found = nullptr;
  for (const Block& b : blocks) {
    if (b.kind != kind) continue;
    const bool open = line < 0 ? b.endLine < 0
                               : b.line < line && (b.endLine < 0 || b.endLine >= line);
    if (open) found = &b;
  }
  return found;
}

// The span of the first word of `message` that stands as a name on
// `line` and is no keyword: the name the message quotes. Else, and when
// the message quotes the whole code, the line's code without its
// surrounding blanks.
Span spanOfMessage(std::string_view line, std::string_view message) {
  const std::string_view code = codeOf(line);
  const std::size_t begin = code.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {0, 0};
  const Span whole{begin, code.find_last_not_of(" \t\r") + 1};
  if (message.find(code.substr(whole.begin, whole.end - whole.begin)) != std::string_view::npos)
    return whole;
  const std::vector<Span> onLine = namesOf(line);
  for (const Span& m : namesOf(message)) {
    const std::string word(message.substr(m.begin, m.end - m.begin));
    if (lookupKeyword(word.c_str()) != kEndOfProgram) continue;
    for (const Span& s : onLine)
      if (equalsFolded(line.substr(s.begin, s.end - s.begin), word)) return s;
  }
  return whole;
}

Json diagnostic(const Document& doc, int line, Span s, int severity, const std::string& message) {
  return {{"range", rangeOf(doc, line, s.begin, s.end)},
          {"severity", severity},
          {"source", "vk6"},
          {"message", message}};
}

// A subroutine declared on a line after `line` (both from 1) named `name`.
const SubroutineSymbol* subroutineAfter(const ProgramSymbols& s, std::string_view message,
                                        int line) {
  for (const SubroutineSymbol& sub : s.subroutines) {
    if (sub.line <= line) continue;
    for (const Span& m : namesOf(message))
      if (equalsFolded(message.substr(m.begin, m.end - m.begin), sub.name)) return &sub;
  }
  return nullptr;
}

void addTrapHints(const Document& doc, Json& out) {
  const auto& lines = doc.lines();
  for (int n = 0; n < static_cast<int>(lines.size()); ++n) {
    const std::string_view line = lines[static_cast<std::size_t>(n)];
    const std::string_view code = codeOf(line);
    if (code.size() < line.size() && std::count(code.begin(), code.end(), '"') % 2 == 1)
      out.push_back(diagnostic(doc, n, {code.size(), code.size() + 1}, kSeverityWarning,
                               "The apostrophe starts a comment even inside a string: "
                               "the rest of the line is not read."));
    const std::vector<Span> names = namesOf(line);
    if (names.empty()) continue;
    const std::string first = folded(line.substr(names[0].begin, names[0].end - names[0].begin));
    if (first == "endprog") {
      for (int later = n + 1; later < static_cast<int>(lines.size()); ++later) {
        const std::string_view rest = codeOf(lines[static_cast<std::size_t>(later)]);
        const std::size_t begin = rest.find_first_not_of(" \t\r");
        if (begin == std::string_view::npos) continue;
        out.push_back(diagnostic(doc, later, {begin, rest.find_last_not_of(" \t\r") + 1},
                                 kSeverityWarning, "Nothing after EndProg is read."));
        break;
      }
      return;
    }
    const std::vector<Span> statements = statementsOf(line);
    if (first != "if" || !isSingleLineIf(line, statements[0], names)) continue;
    bool hasElse = false;
    for (const Span& s : names)
      hasElse |= equalsFolded(line.substr(s.begin, s.end - s.begin), "else");
    if (hasElse) continue;
    for (std::size_t i = 1; i < statements.size(); ++i) {
      const std::string_view text =
          line.substr(statements[i].begin, statements[i].end - statements[i].begin);
      const std::size_t begin = text.find_first_not_of(" \t\r");
      if (begin == std::string_view::npos) continue;
      out.push_back(diagnostic(
          doc, n, {statements[i].begin + begin, statements[i].begin + text.find_last_not_of(" \t\r") + 1},
          kSeverityWarning,
          "Only the statement right after Then depends on the condition; this one always runs."));
    }
    const std::size_t quote = code.find('"', statements[0].begin);
    if (quote != std::string_view::npos) {
      const std::size_t close = code.find('"', quote + 1);
      const std::size_t end = close == std::string_view::npos ? code.size() : close + 1;
      const std::string_view literal = code.substr(quote, end - quote);
      if (std::any_of(literal.begin(), literal.end(),
                      [](char ch) { return ch >= 'a' && ch <= 'z'; }))
        out.push_back(diagnostic(doc, n, {quote, end}, kSeverityWarning,
                                 "A single-line If upper-cases its text, string literals too."));
    }
  }
}

}  // namespace

Json diagnosticsOf(const Document& doc, const std::string& uri) {
  Json out = Json::array();
  const std::vector<Block> blocks = blocksOf(doc.lines());
  const int lastLine = std::max(doc.index().lineCount() - 1, 0);
  for (const Diagnostic& d : doc.result().diagnostics) {
    const int line = std::min(std::max(d.line - 1, 0), lastLine);
    const std::string_view text = doc.lines()[static_cast<std::size_t>(line)];
    Json item = diagnostic(doc, line, spanOfMessage(text, d.message),
                           d.severity == Severity::kError ? kSeverityError : kSeverityWarning,
                           d.message);
    Json related = Json::array();
    const BlockKind kind = blockOfMessage(d.message);
    if (const Block* b = kind == BlockKind::kNone ? nullptr
                                                  : openAt(blocks, kind, d.line > 0 ? line : -1))
      related.push_back({{"location", {{"uri", uri}, {"range", rangeOf(doc, b->line, b->keyword.begin, b->keyword.end)}}},
                         {"message", "The block opened here."}});
    if (const SubroutineSymbol* sub = subroutineAfter(doc.symbols(), d.message, d.line);
        sub && d.line > 0)
      related.push_back({{"location", {{"uri", uri}, {"range", rangeOf(doc, sub->line - 1, 0, doc.lines()[static_cast<std::size_t>(std::min(sub->line - 1, lastLine))].size())}}},
                         {"message", "Declared here, after its use: a subroutine is known only "
                                     "from its Sub line on."}});
    if (!related.empty()) item["relatedInformation"] = std::move(related);
    out.push_back(std::move(item));
  }
  if (const std::size_t omitted = doc.result().omittedDiagnostics; omitted > 0)
    out.push_back(diagnostic(doc, 0, {0, 0}, kSeverityInformation,
                             std::to_string(omitted) + " more messages not listed."));
  addTrapHints(doc, out);
  return out;
}

}  // namespace vk6::lsp
