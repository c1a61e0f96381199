#include "lsp/source_text.h"

#include <cctype>
#include <iterator>
#include <string>

namespace vk6::lsp {

namespace {

bool startsName(char ch) {
  return std::isalpha(static_cast<unsigned char>(ch)) || ch == '_';
}
bool inName(char ch) {
  return std::isalnum(static_cast<unsigned char>(ch)) || ch == '_';
}

// The names of `line` within one statement.
std::vector<Span> namesWithin(std::string_view line, Span statement) {
  std::vector<Span> names;
  for (const Span& s : namesOf(line))
    if (s.begin >= statement.begin && s.end <= statement.end) names.push_back(s);
  return names;
}

}  // namespace

bool isSingleLineIf(std::string_view line, Span statement, const std::vector<Span>& names) {
  for (const Span& name : names) {
    if (name.begin < statement.begin || name.end > statement.end) continue;
    if (!equalsFolded(line.substr(name.begin, name.end - name.begin), "then")) continue;
    const std::string_view rest = line.substr(name.end, statement.end - name.end);
    return rest.find_first_not_of(" \t\r") != std::string_view::npos;
  }
  return false;
}

std::string_view codeOf(std::string_view line) {
  return line.substr(0, line.find('\''));
}

std::vector<Span> namesOf(std::string_view line) {
  const std::string_view code = codeOf(line);
  std::vector<Span> names;
  std::size_t i = 0;
  while (i < code.size()) {
    const char ch = code[i];
    if (ch == '"') {
      const std::size_t close = code.find('"', i + 1);
      i = close == std::string_view::npos ? code.size() : close + 1;
    } else if (startsName(ch)) {
      const std::size_t begin = i;
      while (i < code.size() && inName(code[i])) ++i;
      names.push_back({begin, i});
    } else if (inName(ch)) {
      // A number, 1E5 and &HFF included, is no name.
      while (i < code.size() && inName(code[i])) ++i;
    } else {
      ++i;
    }
  }
  return names;
}

std::vector<Span> statementsOf(std::string_view line) {
  const std::string_view code = codeOf(line);
  std::vector<Span> statements;
  std::size_t begin = 0;
  bool quoted = false;
  for (std::size_t i = 0; i < code.size(); ++i) {
    if (code[i] == '"') quoted = !quoted;
    if (code[i] == ':' && !quoted) {
      statements.push_back({begin, i});
      begin = i + 1;
    }
  }
  statements.push_back({begin, code.size()});
  return statements;
}

bool nameAt(std::string_view line, std::size_t at, Span* name) {
  for (const Span& s : namesOf(line)) {
    if (at >= s.begin && at <= s.end) {
      *name = s;
      return true;
    }
  }
  return false;
}

bool equalsFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string folded(std::string_view text) {
  std::string out(text);
  for (char& ch : out) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return out;
}

std::vector<Block> blocksOf(const std::vector<std::string_view>& lines) {
  std::vector<Block> blocks;
  std::vector<std::size_t> open;  // into blocks, innermost last
  auto push = [&](BlockKind kind, int line, Span at) {
    open.push_back(blocks.size());
    blocks.push_back({kind, line, at, -1});
  };
  auto close = [&](BlockKind kind, int line) {
    for (auto it = open.rbegin(); it != open.rend(); ++it) {
      if (blocks[*it].kind == kind) {
        blocks[*it].endLine = line;
        open.erase(std::next(it).base());
        return;
      }
    }
  };
  for (int n = 0; n < static_cast<int>(lines.size()); ++n) {
    const std::string_view line = lines[static_cast<std::size_t>(n)];
    for (const Span& statement : statementsOf(line)) {
      const std::vector<Span> names = namesWithin(line, statement);
      if (names.empty()) continue;
      auto word = [&](std::size_t i) {
        return i < names.size() ? folded(line.substr(names[i].begin, names[i].end - names[i].begin))
                                : std::string();
      };
      const std::string first = word(0);
      const std::string second = word(1);
      const Span at = names[0];
      if (first == "for") push(BlockKind::kFor, n, at);
      else if (first == "do" || first == "while") push(BlockKind::kDo, n, at);
      else if (first == "select") push(BlockKind::kIf, n, at);
      else if (first == "sub") push(BlockKind::kSub, n, at);
      else if (first == "datatable") push(BlockKind::kTable, n, at);
      else if (first == "scan") push(BlockKind::kScan, n, at);
      else if (first == "loop" || first == "wend") close(BlockKind::kDo, n);
      else if (first == "endif" || first == "endselect") close(BlockKind::kIf, n);
      else if (first == "endsub") close(BlockKind::kSub, n);
      else if (first == "endtable") close(BlockKind::kTable, n);
      else if (first == "nextscan") close(BlockKind::kScan, n);
      else if (first == "next") close(second == "scan" ? BlockKind::kScan : BlockKind::kFor, n);
      else if (first == "end" && (second == "if" || second == "select")) close(BlockKind::kIf, n);
      else if (first == "end" && second == "sub") close(BlockKind::kSub, n);
      else if (first == "end" && second == "table") close(BlockKind::kTable, n);
      else if (first == "if" && !isSingleLineIf(line, statement, names)) push(BlockKind::kIf, n, at);
    }
  }
  return blocks;
}

}  // namespace vk6::lsp
