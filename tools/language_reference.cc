// vk6ref: writes the language reference (docs/language.md) and the word
// lists of the editor grammar (editors/vscode/syntaxes/vk6.tmLanguage.json)
// from the compiler's own vocabulary, so that each word is written once.
//   vk6ref --write SOURCE_DIR   rewrite both files
//   vk6ref --check SOURCE_DIR   exit 1, naming each file that is out of date
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/compilation.h"
#include "core/text.h"
#include "format/stack_code.h"
#include "parse/instruction_table.h"
#include "parse/spelling.h"
#include "symbols/constants.h"

namespace {

using vk6::InstructionFamily;
using vk6::InstructionIndex;
using vk6::ParamKind;

const char kReferencePath[] = "docs/language.md";
const char kGrammarPath[] = "editors/vscode/syntaxes/vk6.tmLanguage.json";

// How a keyword is shown: as a tidy program writes it.
std::string shownKeyword(const vk6::InstructionInfo& info) {
  return vk6::canonicalSpelling(info.index);
}

// The rows a program can name: all but the end record and the lookup's end.
std::vector<const vk6::InstructionInfo*> keywordRows() {
  std::vector<const vk6::InstructionInfo*> rows;
  for (int i = vk6::kEndOfProgram + 1; i < vk6::kEndOfKeywords; ++i)
    rows.push_back(&vk6::instructionInfo(static_cast<InstructionIndex>(i)));
  return rows;
}

// Words the statements read that are no instruction of their own.
const char* const kBlockWords[] = {"Then", "To", "Step", "Until", "Is", "Prog", "Table"};

// The word operators of expressions.
const char* const kWordOperators[] = {"NOT", "MOD", "AND", "OR", "XOR", "EQV", "IMP"};

// What each predefined constant names, in table order.
struct ConstantGroup {
  const char* meaning;
  int count;  // the next `count` rows of kPredefinedConstants
};
const ConstantGroup kConstantGroups[] = {
    {"the condition word of Do and Loop", 2},
    {"the block words of End, Exit and Next", 9},
    {"truth values; any non-zero value counts as true", 2},
    {"pulse channels of Pulsecount", 4},
    {"excitation channels", 2},
    {"excitation levels in millivolts", 3},
    {"time units", 6},
    {"radio power modes of SetStatus RfPwrMode", 6},
};
constexpr int kTruthGroup = 2;
constexpr int kTimeUnitGroup = 6;

// The row of kPredefinedConstants where a group starts.
std::size_t groupStart(int group) {
  std::size_t row = 0;
  for (int g = 0; g < group; ++g) row += static_cast<std::size_t>(kConstantGroups[g].count);
  return row;
}

std::string upper(const char* word) {
  std::string text = word;
  vk6::upcaseText(text);
  return text;
}

bool inBlocks(const vk6::InstructionInfo& info) {
  return info.family == InstructionFamily::kProgramStructure ||
         info.family == InstructionFamily::kFlowControl ||
         info.index == vk6::kDataTable || info.index == vk6::kEndTable;
}

// ---- the language reference ----------------------------------------------

const char* kindName(ParamKind kind) {
  switch (kind) {
    case ParamKind::kConstant: return "constant";
    case ParamKind::kOptionalConstant: return "optional constant";
    case ParamKind::kExpression: return "expression";
    case ParamKind::kVariable: return "variable";
    case ParamKind::kCondition: return "expression";
    case ParamKind::kForClause: return "loop clause";
    case ParamKind::kSubName: return "name";
    case ParamKind::kName:
    case ParamKind::kText: return "name or text";
    case ParamKind::kDimList:
    case ParamKind::kPublicList: return "declarations";
    case ParamKind::kEndKind:
    case ParamKind::kNextKind: return "block word";
    case ParamKind::kRawText: return "text";
  }
  return "";
}

bool commaSplit(ParamKind kind) {
  return kind == ParamKind::kConstant || kind == ParamKind::kExpression ||
         kind == ParamKind::kVariable || kind == ParamKind::kText;
}

// The forms that the parameter kinds alone do not show.
struct Usage {
  InstructionIndex index;
  const char* text;
};
const Usage kUsages[] = {
    {vk6::kExpression, "Variable = Expression"},
    {vk6::kIf, "If Condition Then"},
    {vk6::kWhile, "While Condition"},
    {vk6::kConst, "Const Name = Expression"},
    {vk6::kSelect, "Select Case Expression"},
    {vk6::kCase, "Case Value"},
    {vk6::kDo, "Do [While|Until Condition]"},
    {vk6::kLoop, "Loop [While|Until Condition]"},
    {vk6::kElse, "Else"},
    {vk6::kElseIf, "ElseIf Condition Then"},
    {vk6::kAlias, "Alias Variable = Name"},
    {vk6::kUnits, "Units Name = Text"},
    {vk6::kFor, "For Counter = Start To End [Step Step]"},
    {vk6::kNext, "Next [Counter | Scan]"},
    {vk6::kEnd, "End If | End Select | End Sub | End Table"},
    {vk6::kExit, "Exit Do | Exit For | Exit Sub"},
    {vk6::kPrint, "Print(Port, Baud, Item, ...)"},
    {vk6::kGOESSetup,
     "GOESSetup(FirstVariable, PlatformID, Window, STChannel, STBaud, RChannel, RBaud, "
     "\"STInterval\", \"STOffset\", \"RInterval\")"},
    {vk6::kLoggerIdentify, "LoggerIdentify(Filter, Response)"},
};

std::string usage(const vk6::InstructionInfo& info) {
  for (const Usage& u : kUsages)
    if (u.index == info.index) return u.text;
  std::string text = shownKeyword(info);
  const bool listed = std::any_of(info.parameters.begin(), info.parameters.end(),
                                  [](const vk6::Parameter& p) { return commaSplit(p.kind); });
  if (!listed) {
    for (const vk6::Parameter& p : info.parameters) text += std::string(" ") + p.name;
    return text;
  }
  text += "(";
  std::string closing = ")";
  for (std::size_t i = 0; i < info.parameters.size(); ++i) {
    const vk6::Parameter& p = info.parameters[i];
    if (p.kind == ParamKind::kOptionalConstant) {
      text += " [";
      closing.insert(0, "]");
    }
    text += (i == 0 ? "" : ", ") + std::string(p.name);
  }
  return text + closing;
}

std::string number(float value) { return vk6::formatString("%g", static_cast<double>(value)); }

const char kStructure[] = R"(A program is a text file of lines; `'` starts a comment that runs to the
end of the line, wherever it stands, inside double quotes too. A line holds
at most 510 characters with its line end, and may hold several statements
separated by `:`. Keywords, names and constants are case-insensitive. Text
after `EndProg` is not read.

A program has a fixed shape:

    ' Declarations: variables, constants, aliases, units.
    Public Temp, Batt
    Const Interval = 10

    ' Data tables: what each stored record holds.
    DataTable(Hourly, True, -1)
      DataInterval(0, 60, min)
      Average(1, Temp, False)
    EndTable

    ' Subroutines, before BeginProg.
    Sub Measure
      PanelTemp(Temp)
      Battery(Batt)
    EndSub

    BeginProg
      Scan(Interval, sec)        ' exactly one measurement loop
        Measure
        CallTable Hourly
      NextScan
      InterruptSequence          ' optional, after the loop
        Do
          ...
        Loop
    EndProg

Blocks nest inside the scan and inside subroutines:

| Block | Opens | Branches | Closes |
|---|---|---|---|
| If | `If Condition Then` | `ElseIf Condition Then`, `Else` | `EndIf` or `End If` |
| Select | `Select Case Expression` | `Case Value`, `Case Else` | `EndSelect` or `End Select` |
| For | `For I = 1 To N [Step S]` | `Exit For` | `Next` |
| Do | `Do [While\|Until Condition]` | `Exit Do` | `Loop [While\|Until Condition]` |
| While | `While Condition` | `Exit Do` | `Wend` |
| Sub | `Sub Name` | `Exit Sub` | `EndSub` or `End Sub` |
| Data table | `DataTable(Name, Trigger, Size)` | | `EndTable` or `End Table` |
| Scan | `Scan(Interval, Units)` | | `NextScan` or `Next Scan` |

`If Condition Then Statement` on one line runs that one statement when the
condition holds. A subroutine takes no parameters; it is run by `Call Name`
or by its name alone, after its `Sub` line.

Variables are declared by `Dim` and `Public` (shown in the public table)
before use: a name of at most 16 characters, not starting with a digit,
with an optional size in parentheses for an array of one dimension whose
elements count from 1. Every value is a 4-byte floating-point number; all
variables share 254 locations with the state of the output instructions.
`Const Name = Expression` names a value of at most 16777215 from constants
and literals; `Alias Variable = Name` gives a variable or element a second
name (at most 16 characters) that also names its field in a table;
`Units Name = Text` gives a variable its units text.
)";

const char kExpressions[] = R"(Expressions compute with 4-byte floating-point values; an expression holds
at most 255 characters. A value is a number (`12`, `1.5`, `1.5E-3`), a
hexadecimal or binary literal (`&H1F`, `&B101`), `NAN`, a named constant,
a variable or array element (`Temp`, `Temp(3)`), a built-in function or a
field of a table with its two arguments, `Table.Field(A, B)`, where the
table may also be `Public` or `Status` and the field one of the special
names )";

const char kOperators[] = R"(

Operators, from the tightest binding:

| Operators | Meaning |
|---|---|
| `^` | power; groups from the right, binds tighter than a leading `-` |
| `-` `+` `NOT` | sign and logical not of one value |
| `*` `/` `MOD` | product, quotient, remainder |
| `+` `-` | sum and difference |
| `=` `<>` `<` `>` `<=` `>=` | comparisons, true -1 and false 0; one per level, so `a < b < c` is refused |
| `AND` `OR` `XOR` `EQV` `IMP` | logic, all binding alike, left to right |

In `Case` values, `Low To High` matches a range and `Is` stands for the
tested value (`Case Is > 5`); several values separated by commas match
when any does.
)";

void writeReference(std::ostream& out) {
  out << "# Language reference\n\n"
         "Generated by `vk6ref --write .` (`tools/language_reference.cc`) from the "
         "compiler's instruction list, `src/parse/instruction_list.h`: change the list, "
         "not this file.\n\n"
         "## Program structure\n\n"
      << kStructure << "\n## Expressions\n\n" << kExpressions;
  for (std::size_t i = 0; i < std::size(vk6::kSpecialFields); ++i)
    out << (i == 0 ? "" : i + 1 == std::size(vk6::kSpecialFields) ? " and " : ", ") << "`"
        << vk6::kSpecialFields[i].name << "`";
  out << "." << kOperators
      << "\n## Built-in functions\n\n"
         "| Function | Arguments |\n|---|---|\n";
  for (const vk6::BuiltinFunction& f : vk6::kBuiltinFunctions) {
    std::string arguments = std::to_string(f.arguments);
    if (f.code == vk6::kFunctionLog) arguments += " (natural logarithm; `LN` is the same)";
    if (f.code == vk6::kFunctionIfTime)
      arguments = "3 constants: time into interval, interval, units";
    if (f.code == vk6::kFunctionTimeUntilTransmit) arguments += " constant, in a 1-second scan";
    if (f.code == vk6::kFunctionSinh || f.code == vk6::kFunctionTanh ||
        f.code == vk6::kFunctionCosh)
      arguments += " (refused: no longer supported)";
    out << "| `" << f.name << "` | " << arguments << " |\n";
  }

  out << "\n## Predefined constants\n\n| Constants | Meaning |\n|---|---|\n";
  std::size_t row = 0;
  for (const ConstantGroup& g : kConstantGroups) {
    out << "|";
    for (int i = 0; i < g.count; ++i, ++row)
      out << (i == 0 ? " `" : ", `") << vk6::kPredefinedConstants[row].name << "` = "
          << number(vk6::kPredefinedConstants[row].value);
    out << " | " << g.meaning << " |\n";
  }

  out << "\n## Unit words\n\n"
         "The time units of `Scan`, `DataInterval`, `Delay` and `IFTIME` are the "
         "predefined constants:\n\n| Unit | Seconds |\n|---|---|\n";
  const std::size_t units = groupStart(kTimeUnitGroup);
  for (std::size_t i = units; i < groupStart(kTimeUnitGroup + 1); ++i) {
    const vk6::PredefinedConstant& unit = vk6::kPredefinedConstants[i];
    vk6::Compilation c;  // the compiler's own conversion; it refuses usec and msec
    const std::int32_t seconds = vk6::unitsToSeconds(c, 1, static_cast<std::int32_t>(unit.value));
    out << "| `" << unit.name << "` | "
        << (seconds == 0 ? std::string("refused, except by Delay") : std::to_string(seconds))
        << " |\n";
  }

  out << "\n## Instructions\n\n"
         "Parameters in parentheses are separated by commas; a constant is a whole "
         "number known when compiling (a literal, a named constant or an expression of "
         "them).\n";
  for (int f = 0; f <= static_cast<int>(InstructionFamily::kSpatialStatistics); ++f) {
    const auto family = static_cast<InstructionFamily>(f);
    out << "\n### " << vk6::familyName(family) << "\n";
    for (const vk6::InstructionInfo* info : keywordRows()) {
      if (info->family != family) continue;
      out << "\n#### " << shownKeyword(*info) << "\n\n    " << usage(*info) << "\n\n"
          << info->description << "\n";
      if (info->parameters.empty()) continue;
      out << "\n| Parameter | Kind | Meaning and limits |\n|---|---|---|\n";
      for (const vk6::Parameter& p : info->parameters)
        out << "| " << p.name << " | " << kindName(p.kind) << " | " << p.note << " |\n";
    }
  }
}

// ---- the grammar's word lists ----------------------------------------------

// A case-insensitive pattern matching exactly the whole words given.
std::string wordsPattern(std::set<std::string> words) {
  std::vector<std::string> sorted(words.begin(), words.end());
  // Longer words first, so that no word stops at a shorter one's end.
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  std::string pattern = "(?i)\\b(?:";
  for (std::size_t i = 0; i < sorted.size(); ++i) pattern += (i == 0 ? "" : "|") + sorted[i];
  return pattern + ")\\b";
}

// Sets of upper-cased words, so that no word is in two lists.
struct WordLists {
  std::set<std::string> blocks, declarations, instructions, functions, operators, constants,
      truth, units;
};

void addWord(std::set<std::string>& list, const std::string& word, const WordLists& lists) {
  const std::string folded = upper(word.c_str());
  for (const std::set<std::string>* taken :
       {&lists.blocks, &lists.declarations, &lists.instructions})
    if (taken->count(folded) != 0) return;
  list.insert(folded);
}

WordLists grammarWords() {
  WordLists w;
  for (const vk6::InstructionInfo* info : keywordRows()) {
    if (info->index == vk6::kExpression) continue;  // no one writes it
    std::set<std::string>& list =
        inBlocks(*info) ? w.blocks
        : info->family == InstructionFamily::kDeclarations ? w.declarations
                                                           : w.instructions;
    list.insert(upper(info->keyword));
  }
  for (const char* word : kBlockWords) addWord(w.blocks, word, w);
  for (const char* word : kWordOperators) w.operators.insert(word);
  for (const vk6::BuiltinFunction& f : vk6::kBuiltinFunctions) w.functions.insert(f.name);
  w.functions.insert("LN");
  std::size_t row = 0;
  for (int g = 0; g < static_cast<int>(std::size(kConstantGroups)); ++g)
    for (int i = 0; i < kConstantGroups[g].count; ++i, ++row) {
      std::set<std::string>& list = g == kTimeUnitGroup ? w.units
                                    : g == kTruthGroup   ? w.truth
                                                         : w.constants;
      addWord(list, vk6::kPredefinedConstants[row].name, w);
    }
  w.truth.insert("NAN");
  return w;
}

// The grammar with its generated word patterns brought up to date.
std::string updatedGrammar(const std::string& text) {
  nlohmann::ordered_json grammar = nlohmann::ordered_json::parse(text);
  const WordLists w = grammarWords();
  const std::pair<const char*, const std::set<std::string>*> generated[] = {
      {"block-words", &w.blocks},       {"declarations", &w.declarations},
      {"instructions", &w.instructions}, {"functions", &w.functions},
      {"word-operators", &w.operators}, {"constants", &w.constants},
      {"truth-constants", &w.truth},    {"unit-words", &w.units},
  };
  for (const auto& [key, words] : generated)
    grammar["repository"][key]["match"] = wordsPattern(*words);
  return grammar.dump(2) + "\n";
}

// ---- files -----------------------------------------------------------------

bool readFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  text = buffer.str();
  return true;
}

// The groups are counted by hand; a constant added to the table must be
// placed in one.
bool consistentTables() {
  const std::size_t units = groupStart(kTimeUnitGroup);
  return groupStart(static_cast<int>(std::size(kConstantGroups))) ==
             std::size(vk6::kPredefinedConstants) &&
         upper(vk6::kPredefinedConstants[units].name) == "USEC" &&
         upper(vk6::kPredefinedConstants[groupStart(kTimeUnitGroup + 1) - 1].name) == "DAY" &&
         upper(vk6::kPredefinedConstants[groupStart(kTruthGroup)].name) == "TRUE";
}

int usageError() {
  std::fputs("usage: vk6ref --write SOURCE_DIR | --check SOURCE_DIR\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return usageError();
  const std::string mode = argv[1];
  if (mode != "--write" && mode != "--check") return usageError();
  if (!consistentTables()) {
    std::fputs("vk6ref: the constant groups no longer match the predefined constants\n", stderr);
    return 2;
  }
  const std::string root = std::string(argv[2]) + "/";

  std::ostringstream reference;
  writeReference(reference);
  std::string grammar;
  if (!readFile(root + kGrammarPath, grammar)) {
    std::fprintf(stderr, "vk6ref: cannot read %s%s\n", root.c_str(), kGrammarPath);
    return 2;
  }
  const std::pair<const char*, std::string> outputs[] = {
      {kReferencePath, reference.str()}, {kGrammarPath, updatedGrammar(grammar)}};

  int stale = 0;
  for (const auto& [path, text] : outputs) {
    std::string current;
    if (readFile(root + path, current) && current == text) continue;
    if (mode == "--check") {
      std::fprintf(stderr,
                   "%s is out of date with the instruction list: run `build/vk6ref --write .` "
                   "in the source folder and commit the result\n",
                   path);
      ++stale;
      continue;
    }
    std::ofstream out(root + path, std::ios::binary);
    if (!(out << text)) {
      std::fprintf(stderr, "vk6ref: cannot write %s%s\n", root.c_str(), path);
      return 2;
    }
  }
  return stale == 0 ? 0 : 1;
}
