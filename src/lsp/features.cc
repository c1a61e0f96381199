#include "lsp/features.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>

#include "format/stack_code.h"
#include "lsp/source_text.h"
#include "parse/instruction_table.h"
#include "parse/spelling.h"
#include "symbols/constants.h"

namespace vk6::lsp {

namespace {

// Protocol enumerations.
constexpr int kCompletionFunction = 3;
constexpr int kCompletionVariable = 6;
constexpr int kCompletionClass = 7;
constexpr int kCompletionUnit = 11;
constexpr int kCompletionKeyword = 14;
constexpr int kCompletionConstant = 21;
constexpr int kInsertSnippet = 2;
constexpr int kSymbolFunction = 12;
constexpr int kSymbolVariable = 13;
constexpr int kSymbolConstant = 14;
constexpr int kSymbolField = 8;
constexpr int kSymbolStruct = 23;

enum class SymbolKind { kVariable, kConstant, kAlias, kSubroutine, kTable };

struct Declared {
  SymbolKind kind;
  std::size_t index;  // into the list of its kind
  std::string name;
  int line;           // from 1, as the compiler counts
};

template <typename List>
bool findIn(const List& list, std::string_view name, SymbolKind kind,
            std::optional<Declared>* found) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (equalsFolded(list[i].name, name)) {
      *found = Declared{kind, i, list[i].name, list[i].line};
      return true;
    }
  }
  return false;
}

std::optional<Declared> findDeclared(const ProgramSymbols& s, std::string_view name) {
  std::optional<Declared> found;
  findIn(s.variables, name, SymbolKind::kVariable, &found) ||
      findIn(s.aliases, name, SymbolKind::kAlias, &found) ||
      findIn(s.constants, name, SymbolKind::kConstant, &found) ||
      findIn(s.subroutines, name, SymbolKind::kSubroutine, &found) ||
      findIn(s.tables, name, SymbolKind::kTable, &found);
  return found;
}

std::string_view textOf(std::string_view line, Span s) {
  return line.substr(s.begin, s.end - s.begin);
}

std::string_view lineAt(const Document& doc, int line) {
  return line >= 0 && line < static_cast<int>(doc.lines().size())
             ? doc.lines()[static_cast<std::size_t>(line)]
             : std::string_view();
}

// The name under `at`, with its line and span.
struct NameAt {
  int line = 0;
  Span span;
  std::string_view text;
};

std::optional<NameAt> nameUnder(const Document& doc, Position at) {
  const std::string_view line = lineAt(doc, at.line);
  Span span;
  if (!nameAt(line, bytesOfUnits(line, at.character), &span)) return std::nullopt;
  return NameAt{at.line, span, textOf(line, span)};
}

// Where `name` stands on the 0-based line `line`: its first occurrence
// as a name, else the whole line.
Span spanOfName(const Document& doc, int line, std::string_view name) {
  const std::string_view text = lineAt(doc, line);
  for (const Span& s : namesOf(text))
    if (equalsFolded(textOf(text, s), name)) return s;
  return {0, text.size()};
}

Json locationOf(const Document& doc, const std::string& uri, int line, Span s) {
  return {{"uri", uri}, {"range", rangeOf(doc, line, s.begin, s.end)}};
}

std::string formatNumber(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

// Instructions written without parentheses around their parameters.
bool takesBareParameters(const InstructionInfo& info) {
  const std::string keyword = folded(info.keyword);
  if (keyword == "call" || keyword == "calltable" || keyword == "units") return true;
  if (info.parameters.empty()) return false;
  switch (info.parameters[0].kind) {
    case ParamKind::kCondition: case ParamKind::kForClause: case ParamKind::kDimList:
    case ParamKind::kPublicList: case ParamKind::kSubName: case ParamKind::kEndKind:
    case ParamKind::kNextKind: case ParamKind::kOptionalConstant:
      return true;
    default:
      return false;
  }
}

struct Signature {
  std::string label;
  std::vector<Span> parameters;  // within the label
};

Signature signatureOf(const InstructionInfo& info, bool snippet = false) {
  Signature sig{canonicalSpelling(info.index), {}};
  const bool bare = takesBareParameters(info);
  if (info.parameters.empty()) return sig;
  sig.label += bare ? " " : "(";
  int number = 1;
  for (const Parameter& p : info.parameters) {
    if (number > 1) sig.label += ", ";
    const std::size_t begin = sig.label.size();
    if (snippet)
      sig.label += "${" + std::to_string(number) + ":" + p.name + "}";
    else
      sig.label += p.name;
    sig.parameters.push_back({begin, sig.label.size()});
    ++number;
  }
  if (!bare) sig.label += ")";
  return sig;
}

std::string functionSignature(const BuiltinFunction& f) {
  std::string label = std::string(f.name) + "(";
  for (int i = 1; i <= f.arguments; ++i) {
    if (i > 1) label += ", ";
    label += f.arguments == 1 ? "Value" : "Value" + std::to_string(i);
  }
  return label + ")";
}

const BuiltinFunction* findFunction(std::string_view name) {
  for (const BuiltinFunction& f : kBuiltinFunctions)
    if (equalsFolded(f.name, name)) return &f;
  return nullptr;
}

const PredefinedConstant* findPredefined(std::string_view name) {
  for (const PredefinedConstant& c : kPredefinedConstants)
    if (equalsFolded(c.name, name)) return &c;
  return nullptr;
}

bool isUnitWord(std::string_view name) {
  for (std::string_view unit : {"usec", "msec", "sec", "min", "hr", "day"})
    if (equalsFolded(unit, name)) return true;
  return false;
}

std::string fenced(const std::string& code) { return "```vk6\n" + code + "\n```"; }

std::string declaredOn(int line) { return "Declared on line " + std::to_string(line) + "."; }

// The aliases whose text names `variable`, element or whole.
std::string aliasesOf(const ProgramSymbols& s, std::string_view variable) {
  std::string names;
  for (const AliasSymbol& a : s.aliases) {
    const std::string_view target = std::string_view(a.aliasedText).substr(
        0, a.aliasedText.find('('));
    if (!equalsFolded(target, variable)) continue;
    if (!names.empty()) names += ", ";
    names += a.name;
  }
  return names;
}

std::string unitsOf(const ProgramSymbols& s, std::string_view name) {
  for (const UnitsSymbol& u : s.units)
    if (equalsFolded(u.name, name)) return u.units;
  return {};
}

std::string describe(const ProgramSymbols& s, const Declared& d) {
  std::string text;
  switch (d.kind) {
    case SymbolKind::kVariable: {
      const VariableSymbol& v = s.variables[d.index];
      std::string head = (v.kind == VariableKind::kPublic ? "Public " : "Dim ") + v.name;
      if (v.size > 1) head += "(" + std::to_string(v.size) + ")";
      text = fenced(head) + "\n\n" + declaredOn(v.line);
      const std::string aliases = aliasesOf(s, v.name);
      if (!aliases.empty()) text += "\n\nAliases: " + aliases + ".";
      if (!v.units.empty()) text += "\n\nUnits: " + v.units + ".";
      break;
    }
    case SymbolKind::kConstant: {
      const ConstantSymbol& c = s.constants[d.index];
      text = fenced("Const " + c.name + " = " + formatNumber(c.value)) + "\n\n" +
             declaredOn(c.line);
      break;
    }
    case SymbolKind::kAlias: {
      const AliasSymbol& a = s.aliases[d.index];
      text = fenced("Alias " + a.aliasedText + " = " + a.name) + "\n\n" + declaredOn(a.line);
      const std::string units = unitsOf(s, a.name);
      if (!units.empty()) text += "\n\nUnits: " + units + ".";
      break;
    }
    case SymbolKind::kSubroutine:
      text = fenced("Sub " + s.subroutines[d.index].name) + "\n\n" +
             declaredOn(s.subroutines[d.index].line);
      break;
    case SymbolKind::kTable: {
      const TableSymbol& t = s.tables[d.index];
      text = fenced("DataTable " + t.name) + "\n\n" + declaredOn(t.line) + "\n\n" +
             (t.interval == 0 ? std::string("No DataInterval.")
                              : "Interval: " + std::to_string(t.interval) + " s.");
      if (!t.fields.empty()) {
        text += "\n\nFields:";
        for (std::size_t i = 0; i < t.fields.size(); ++i) {
          const FieldSymbol& f = t.fields[i];
          text += (i ? ", " : " ") + f.name;
          if (f.count > 1) text += "(" + std::to_string(f.count) + ")";
        }
        text += ".";
      }
      break;
    }
  }
  return text;
}

Json markdown(const std::string& text) {
  return {{"contents", {{"kind", "markdown"}, {"value", text}}}};
}

// The statement of `line` holding byte `at`.
Span statementAround(std::string_view line, std::size_t at) {
  for (const Span& s : statementsOf(line))
    if (at >= s.begin && at <= s.end) return s;
  return {at, at};
}

// The first name of a statement, if it starts with one.
std::optional<Span> firstName(std::string_view line, Span statement) {
  for (const Span& s : namesOf(line)) {
    if (s.begin < statement.begin) continue;
    if (s.begin >= statement.end) break;
    if (line.substr(statement.begin, s.begin - statement.begin)
            .find_first_not_of(" \t") != std::string_view::npos)
      return std::nullopt;
    return s;
  }
  return std::nullopt;
}

Json completionItem(const std::string& label, int kind, const std::string& detail) {
  return {{"label", label}, {"kind", kind}, {"detail", detail}};
}

template <typename List>
void addNames(Json& items, const List& list, int kind, const char* detail) {
  for (const auto& symbol : list) items.push_back(completionItem(symbol.name, kind, detail));
}

}  // namespace

Json rangeOf(const Document& doc, int line, std::size_t begin, std::size_t end) {
  const std::string_view text = lineAt(doc, line);
  auto column = [&](std::size_t at) {
    return utf16Length(text.substr(0, std::min(at, text.size())));
  };
  return {{"start", {{"line", line}, {"character", column(begin)}}},
          {"end", {{"line", line}, {"character", column(end)}}}};
}

Json hoverAt(const Document& doc, Position at) {
  const std::optional<NameAt> name = nameUnder(doc, at);
  if (!name) return nullptr;
  std::string text;
  if (const auto declared = findDeclared(doc.symbols(), name->text)) {
    text = describe(doc.symbols(), *declared);
  } else if (const InstructionIndex index = lookupKeyword(std::string(name->text).c_str());
             index != kEndOfProgram) {
    const InstructionInfo& info = instructionInfo(index);
    text = fenced(signatureOf(info).label) + "\n\n" + info.description + "\n\n" +
           familyName(info.family) + ".";
  } else if (const BuiltinFunction* f = findFunction(name->text)) {
    text = fenced(functionSignature(*f)) + "\n\nBuilt-in function.";
  } else if (const PredefinedConstant* c = findPredefined(name->text)) {
    text = fenced(std::string("Const ") + c->name + " = " + formatNumber(c->value)) +
           "\n\nPredefined constant.";
  } else {
    return nullptr;
  }
  Json hover = markdown(text);
  hover["range"] = rangeOf(doc, name->line, name->span.begin, name->span.end);
  return hover;
}

Json completionAt(const Document& doc, Position at) {
  const std::string_view line = lineAt(doc, at.line);
  const std::size_t offset = bytesOfUnits(line, at.character);
  Json items = Json::array();
  if (offset > codeOf(line).size()) return items;  // in a comment
  const Span statement = statementAround(line, offset);
  const std::string_view before = line.substr(statement.begin, offset - statement.begin);
  if (std::count(before.begin(), before.end(), '"') % 2 == 1) return items;  // in a string

  // After Call and CallTable only their kind of name makes sense.
  const std::optional<Span> first = firstName(line, statement);
  if (first && first->end < offset) {
    const std::string keyword = folded(textOf(line, *first));
    const std::string_view rest = line.substr(first->end, offset - first->end);
    const std::size_t word = rest.find_first_not_of(" \t");
    const bool oneWord = word != 0 && (word == std::string_view::npos ||
                                       (namesOf(rest).size() == 1 &&
                                        namesOf(rest)[0].end == rest.size()));
    if (oneWord && keyword == "calltable") {
      addNames(items, doc.symbols().tables, kCompletionClass, "DataTable");
      return items;
    }
    if (oneWord && keyword == "call") {
      addNames(items, doc.symbols().subroutines, kCompletionFunction, "Sub");
      return items;
    }
  }

  for (int i = 1; i < kInstructionCount; ++i) {
    const InstructionInfo& info = instructionInfo(static_cast<InstructionIndex>(i));
    if (*info.keyword == '\0') continue;
    Json item = completionItem(canonicalSpelling(info.index), kCompletionKeyword,
                               signatureOf(info).label);
    item["insertText"] = signatureOf(info, true).label;
    item["insertTextFormat"] = kInsertSnippet;
    item["documentation"] = info.description;
    items.push_back(std::move(item));
  }
  const ProgramSymbols& s = doc.symbols();
  for (const VariableSymbol& v : s.variables)
    items.push_back(completionItem(v.name, kCompletionVariable,
                                   v.kind == VariableKind::kPublic ? "Public" : "Dim"));
  addNames(items, s.constants, kCompletionConstant, "Const");
  for (const AliasSymbol& a : s.aliases)
    items.push_back(completionItem(a.name, kCompletionVariable, "Alias of " + a.aliasedText));
  addNames(items, s.subroutines, kCompletionFunction, "Sub");
  addNames(items, s.tables, kCompletionClass, "DataTable");
  for (const PredefinedConstant& c : kPredefinedConstants)
    items.push_back(completionItem(c.name, isUnitWord(c.name) ? kCompletionUnit : kCompletionConstant,
                                   isUnitWord(c.name) ? "Unit" : "Predefined constant"));
  for (const BuiltinFunction& f : kBuiltinFunctions)
    items.push_back(completionItem(f.name, kCompletionFunction, functionSignature(f)));
  return items;
}

Json signatureHelpAt(const Document& doc, Position at) {
  const std::string_view line = lineAt(doc, at.line);
  const std::size_t offset = bytesOfUnits(line, at.character);
  if (offset > codeOf(line).size()) return nullptr;
  const Span statement = statementAround(line, offset);
  const std::optional<Span> first = firstName(line, statement);
  if (!first || first->end > offset) return nullptr;
  const InstructionIndex index = lookupKeyword(std::string(textOf(line, *first)).c_str());
  if (index == kEndOfProgram) return nullptr;
  const InstructionInfo& info = instructionInfo(index);
  if (info.parameters.empty()) return nullptr;

  std::size_t from = first->end;
  if (!takesBareParameters(info)) {
    from = line.find_first_not_of(" \t", first->end);
    if (from == std::string_view::npos || line[from] != '(' || from >= offset) return nullptr;
    ++from;
  } else if (offset == first->end) {
    return nullptr;  // still on the keyword
  }
  std::size_t active = 0;
  int depth = 0;
  bool quoted = false;
  for (std::size_t i = from; i < offset; ++i) {
    const char ch = line[i];
    if (ch == '"') quoted = !quoted;
    if (quoted) continue;
    if (ch == '(') ++depth;
    if (ch == ')' && --depth < 0) return nullptr;  // past the list
    if (ch == ',' && depth == 0) ++active;
  }
  const Signature sig = signatureOf(info);
  Json parameters = Json::array();
  for (std::size_t i = 0; i < sig.parameters.size(); ++i)
    parameters.push_back({{"label", {sig.parameters[i].begin, sig.parameters[i].end}},
                          {"documentation", info.parameters[i].note}});
  active = std::min(active, sig.parameters.size() - 1);
  return {{"signatures", {{{"label", sig.label}, {"documentation", info.description},
                           {"parameters", parameters}}}},
          {"activeSignature", 0},
          {"activeParameter", active}};
}

Json definitionAt(const Document& doc, const std::string& uri, Position at) {
  const std::optional<NameAt> name = nameUnder(doc, at);
  if (!name) return nullptr;
  const std::optional<Declared> d = findDeclared(doc.symbols(), name->text);
  if (!d) return nullptr;
  const int line = std::max(d->line - 1, 0);
  return locationOf(doc, uri, line, spanOfName(doc, line, d->name));
}

Json referencesAt(const Document& doc, const std::string& uri, Position at,
                  bool includeDeclaration) {
  Json locations = Json::array();
  const std::optional<NameAt> name = nameUnder(doc, at);
  if (!name) return locations;
  const std::optional<Declared> d = findDeclared(doc.symbols(), name->text);
  if (!d) return locations;
  const int declLine = std::max(d->line - 1, 0);
  const Span declSpan = spanOfName(doc, declLine, d->name);
  for (int n = 0; n < static_cast<int>(doc.lines().size()); ++n) {
    const std::string_view text = lineAt(doc, n);
    for (const Span& s : namesOf(text)) {
      if (!equalsFolded(textOf(text, s), d->name)) continue;
      if (!includeDeclaration && n == declLine && s.begin == declSpan.begin) continue;
      locations.push_back(locationOf(doc, uri, n, s));
    }
  }
  return locations;
}

Json documentSymbolsOf(const Document& doc) {
  const ProgramSymbols& s = doc.symbols();
  Json symbols = Json::array();
  const std::vector<Block> blocks = blocksOf(doc.lines());
  auto add = [&](const std::string& name, int kind, const std::string& detail, int line,
                 BlockKind block) {
    const int first = std::max(line - 1, 0);
    int last = first;
    for (const Block& b : blocks)
      if (b.kind == block && b.line == first && b.endLine > first) last = b.endLine;
    const Span selected = spanOfName(doc, first, name);
    Json range = rangeOf(doc, first, 0, lineAt(doc, first).size());
    range["end"] = rangeOf(doc, last, 0, lineAt(doc, last).size())["end"];
    symbols.push_back({{"name", name}, {"kind", kind}, {"detail", detail}, {"range", range},
                       {"selectionRange", rangeOf(doc, first, selected.begin, selected.end)}});
    return &symbols.back();
  };
  for (const TableSymbol& t : s.tables) {
    Json* table = add(t.name, kSymbolStruct, "DataTable", t.line, BlockKind::kTable);
    Json children = Json::array();
    for (const FieldSymbol& f : t.fields)
      children.push_back({{"name", f.name}, {"kind", kSymbolField}, {"detail", f.processing},
                          {"range", (*table)["range"]},
                          {"selectionRange", (*table)["selectionRange"]}});
    (*table)["children"] = std::move(children);
  }
  for (const SubroutineSymbol& sub : s.subroutines)
    add(sub.name, kSymbolFunction, "Sub", sub.line, BlockKind::kSub);
  for (const VariableSymbol& v : s.variables)
    add(v.name, kSymbolVariable, v.kind == VariableKind::kPublic ? "Public" : "Dim", v.line,
        BlockKind::kNone);
  for (const ConstantSymbol& c : s.constants)
    add(c.name, kSymbolConstant, "Const", c.line, BlockKind::kNone);
  for (const AliasSymbol& a : s.aliases)
    add(a.name, kSymbolVariable, "Alias of " + a.aliasedText, a.line, BlockKind::kNone);
  return symbols;
}

Json formattingEdits(const Document& doc, FormatOptions options) {
  // A client's absurd tab size must not make a text of gigabytes.
  options.tabSize = std::clamp(options.tabSize, 1, kMaxTabSize);
  const std::string formatted = formatProgram(doc.text(), options);
  Json edits = Json::array();
  if (formatted == doc.text()) return edits;
  const Position end = doc.index().end();
  edits.push_back({{"range", {{"start", {{"line", 0}, {"character", 0}}},
                              {"end", {{"line", end.line}, {"character", end.character}}}}},
                   {"newText", formatted}});
  return edits;
}

}  // namespace vk6::lsp
