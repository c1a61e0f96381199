#include "parse/source_reader.h"

#include <string_view>
#include <utility>

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "core/text.h"
#include "format/operand_word.h"
#include "parse/declarations.h"
#include "parse/instruction_index.h"
#include "parse/instruction_table.h"
#include "parse/parameter_parser.h"
#include "symbols/aliases.h"
#include "symbols/constants.h"

namespace vk6 {
namespace {

enum class Flow { kGoOn, kEndReading };

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Cuts the first statement off `text`; `text` keeps the rest.
std::string_view cutStatement(std::string_view& text) {
  const std::size_t end = findStatementEnd(text);
  const std::string_view statement = text.substr(0, end);
  text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  return statement;
}

std::string cutStatement(std::string& text) {
  std::string_view rest = text;
  std::string statement(cutStatement(rest));
  text.erase(0, text.size() - rest.size());
  return statement;
}

bool isBlankText(std::string_view text) {
  for (char ch : text) {
    if (!isStatementDelimiter(ch)) return false;
  }
  return true;
}

bool isSubroutineName(const Compilation& c, std::string_view token) {
  return c.pass1.subroutines.find(token) >= 0;
}

// The reader's state for one source line.
struct LineState {
  std::string_view rest;    // the line after the statements taken so far
  std::string restText;     // holds `rest` once a one-line If rewrote it
  std::string pendingThen;  // statements of a THEN text not yet taken
};

Flow processStatement(Compilation& c, std::string_view statement, LineState& line);

// Parses a statement and, for a Scan, keeps its interval.
std::optional<std::string> parseStatement(Compilation& c,
                                          const StatementInput& input,
                                          InstructionIndex index) {
  const int errorsBefore = c.diag.errorCount;
  std::optional<std::string> thenText = parseParameters(c, &input, index);
  // A Scan whose parameters failed to parse has no interval to convert.
  const std::size_t header = c.statements.lastRecord();
  if (index == kScan && c.diag.errorCount == errorsBefore &&
      c.statements.wordAt(header + 2) != kAbsentMarker) {
    const auto interval =
        static_cast<std::int32_t>(c.statements.wordAt(header + 1));
    const auto units =
        static_cast<std::int32_t>(c.statements.wordAt(header + 2));
    c.header.scanInterval =
        static_cast<std::uint16_t>(unitsToSeconds(c, interval, units));
  }
  return thenText;
}

// A single-line If: the statement after THEN, then an implicit End If in
// front of the rest of the line.
Flow unfoldThen(Compilation& c, std::string thenText, LineState& line) {
  if (isBlankText(thenText)) return Flow::kGoOn;
  const std::string first = cutStatement(thenText);
  if (!thenText.empty() && !line.pendingThen.empty()) thenText += ":";
  line.pendingThen = thenText + line.pendingThen;
  const Flow flow = processStatement(c, first, line);
  std::string rest = line.rest.empty() ? std::string("End If")
                                       : "End If : " + std::string(line.rest);
  line.restText = std::move(rest);
  line.rest = line.restText;
  return flow;
}

Flow processStatement(Compilation& c, std::string_view statement, LineState& line) {
  const std::string_view copy = statement;
  std::size_t start = 0;
  while (start < copy.size() && isStatementDelimiter(copy[start])) ++start;
  if (start >= copy.size() || copy[start] == '\0') return Flow::kGoOn;
  std::size_t end = start;
  while (end < copy.size() && !isStatementDelimiter(copy[end])) ++end;

  const std::string_view keyword = copy.substr(start, end - start);
  InstructionIndex index = lookupKeyword(keyword);
  const std::string_view afterKeyword = copy.substr(end);

  if (index == kAlias) {
    defineAlias(c, std::string(afterKeyword));
    return Flow::kGoOn;
  }
  if (index == kUnits) {
    defineUnits(c, std::string(afterKeyword));
    return Flow::kGoOn;
  }
  // The text the parameters are read from; `input` views into it.
  std::string text(copy.substr(0, end));
  substituteAliases(c, afterKeyword, text);
  StatementInput input;
  input.keyword = keyword;
  input.copy = copy;
  input.parenFollows = end < copy.size() && copy[end] == '(';
  input.afterKeyword = end;

  switch (index) {
    case kEndOfProgram:
      if (isSubroutineName(c, keyword)) {
        text.insert(0, "Call ");
        input.keyword = "Call";
        input.afterKeyword = 4;
        input.parenFollows = false;
        index = kCall;
      } else if (copy.find('=') != std::string_view::npos) {
        // The text after the keyword is substituted already.
        std::string head;
        substituteAliases(c, copy.substr(0, end), head);
        text.replace(0, end, head);
        input.keyword = text;
        input.afterKeyword = 0;
        index = kExpression;
      } else {
        reportError(c, "Unknown instruction %s.", withoutLineEnd(copy).c_str());
        return Flow::kGoOn;
      }
      break;
    case kScan:
      if (c.pass1.scanCount != 0) {
        reportError(c, "Multiple Scans declared.");
        return Flow::kEndReading;
      }
      ++c.pass1.scanCount;
      break;
    case kEndProg:
      return Flow::kEndReading;
    case kConst:
      defineConstant(c, text.substr(end));
      return Flow::kGoOn;
    default:
      break;
  }
  input.text = text;

  std::optional<std::string> thenText = parseStatement(c, input, index);
  if (c.diag.outOfMemory) return Flow::kEndReading;
  if (thenText) return unfoldThen(c, std::move(*thenText), line);
  return Flow::kGoOn;
}

// Runs the statements of one line; kEndReading stops pass 1.
Flow processLine(Compilation& c, std::string_view text) {
  LineState line;
  line.rest = text;
  std::string owned;  // a statement cut from text the reader rewrote
  for (;;) {
    std::string_view statement;
    if (!line.pendingThen.empty()) {
      owned = cutStatement(line.pendingThen);
      statement = owned;
    } else if (!line.rest.empty()) {
      statement = cutStatement(line.rest);
      // A one-line If below may rewrite restText while this is read.
      if (!line.restText.empty()) statement = owned = statement;
    } else {
      return Flow::kGoOn;
    }
    if (processStatement(c, statement, line) == Flow::kEndReading)
      return Flow::kEndReading;
  }
}

void readStatements(Compilation& c) {
  while (std::optional<std::string_view> line = readSourceLine(c)) {
    if (processLine(c, *line) == Flow::kEndReading) return;
  }
}

}  // namespace

std::size_t findStatementEnd(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return colon;
  const std::size_t open = text.find('"');
  if (open == std::string_view::npos || open > colon) return colon;
  const std::size_t close = text.find('"', open + 1);
  if (close == std::string_view::npos || close < colon) return colon;
  return text.find(':', close + 1);
}

std::optional<std::string_view> readSourceLine(Compilation& c) {
  SourceText& source = c.pass1.source;
  if (!source.opened || source.cursor >= source.bytes.size())
    return std::nullopt;
  const std::string_view rest =
      std::string_view(source.bytes).substr(source.cursor, kLineBufferSize - 1);
  const std::size_t newline = rest.find('\n');
  const std::size_t count = newline == std::string_view::npos ? rest.size() : newline + 1;
  source.cursor += count;
  // The over-long line is reported with its own number.
  ++c.diag.currentLine;
  if (count == kLineBufferSize - 1) {
    reportError(c, "Line exceeds max characters of %d.",
                static_cast<int>(kLineBufferSize));
    source.cursor = source.bytes.size();
    return std::nullopt;
  }
  // A NUL ends the text of a line, as in every text of the compiler.
  std::string_view line = rest.substr(0, count);
  line = line.substr(0, line.find('\0'));
  return line.substr(0, line.find('\''));
}

void runPass1(Compilation& c) {
  Diagnostics& d = c.diag;
  startConstants(c);
  d.currentLine = 0;
  c.pass1.scanCount = 0;
  c.header.scanInterval = 0;
  c.pass1.subroutines.clear();
  if (!c.statements.start(c)) return;
  SourceText& source = c.pass1.source;
  if (source.path.empty()) {
    reportError(c, "No Program File.");
  } else if (!source.opened) {
    reportError(c, "Could not open %s.", source.path.c_str());
  }
  if (d.errorCount != 0) return;

  const std::string_view bytes = c.pass1.source.bytes;
  // Windows editors may start a UTF-8 file with a byte-order mark; it is no
  // text of the program, though the source signature covers it.
  c.pass1.source.cursor =
      bytes.starts_with(kUtf8ByteOrderMark) ? kUtf8ByteOrderMark.size() : 0;

  readStatements(c);
  if (d.outOfMemory) return;
  parseParameters(c, nullptr, kEndOfProgram);
  d.currentLine = 0;
  if (d.errorCount == 0) resolveAliases(c);
}

}  // namespace vk6
