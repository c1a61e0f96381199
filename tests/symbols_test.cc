#include <gtest/gtest.h>

#include <cctype>
#include <string_view>

#include "core/compilation.h"
#include "expr/operands.h"
#include "format/byte_io.h"
#include "format/operand_word.h"
#include "parse/declarations.h"
#include "symbols/aliases.h"
#include "symbols/constants.h"
#include "symbols/expression_area.h"
#include "symbols/variables.h"

namespace vk6 {
namespace {

std::string substituted(Compilation& c, std::string_view text) {
  std::string out;
  substituteAliases(c, text, out);
  return out;
}

Compilation& fresh(Compilation& c) {
  startConstants(c);
  c.diag.currentLine = 1;
  return c;
}

TEST(Variables, LocationWordsFollowDeclarationOrder) {
  Compilation c;
  fresh(c);
  declareVariable(c, 1, "A", kDeclarePublic);
  declareVariable(c, 3, "B", kDeclarePublic);
  declareVariable(c, 1, "Z", kDeclareDim);
  EXPECT_EQ(0x0100, findVariableLocation(c, "a"));
  EXPECT_EQ(0x0301, findVariableLocation(c, "B"));
  EXPECT_EQ(0x0104, findVariableLocation(c, "z"));
  EXPECT_EQ(5, c.variables.totalElements);
  EXPECT_EQ(4, c.variables.records[2].firstIndex());
  EXPECT_EQ(10, c.variables.records[1].publicKind);
  EXPECT_EQ(0, c.variables.records[2].publicKind);
  EXPECT_EQ("B", variableNameAt(c, 0x0301));
  EXPECT_EQ(" ", variableNameAt(c, 0x0202));
  EXPECT_EQ(kNoOperand, findVariableLocation(c, "Q"));
  EXPECT_EQ("", c.diag.errorText);
}

// A variable declared public after later ones takes its place in table
// order among the public variables.
TEST(Variables, PublicPositionsFollowTableOrder) {
  Compilation c;
  fresh(c);
  for (const char* name : {"Temp", "Y"}) declareVariable(c, 1, name, kDeclarePublic);
  for (const char* name : {"A", "B"}) declareVariable(c, 1, name, kDeclareDim);
  for (const char* name : {"B", "A", "Y"}) declareVariable(c, 1, name, kDeclarePublic);
  declareVariable(c, 1, "Z", kDeclareDim);
  declareVariable(c, 1, "W", kDeclarePublic);
  const int positions[] = {0, 1, 2, 3, -1, 4};  // Temp Y A B Z W
  for (int i = 0; i < 6; ++i) EXPECT_EQ(positions[i], publicPosition(c, i)) << i;
}

TEST(Variables, DeclarationMessages) {
  const struct {
    std::int32_t count;
    const char* name;
    int kind;
    const char* errors;
  } cases[] = {
      {1, "1abc", kDeclareDim, "line 1: Variable name 1abc illegal, starts with a number"},
      {1, "ABCDEFGHIJKLMNOP", kDeclareDim, ""},
      {1, "ABCDEFGHIJKLMNOPQRS", kDeclareDim,
       "line 1: Name ABCDEFGHIJKLMNOPQ is too large, limit is 16 characters"},
      {1, "Nope", kDeclareLookup, "line 1: undeclared variable Nope"},
      {1, "true", kDeclareDim, "line 1: true is already in use as a predefined CONST."},
  };
  for (const auto& t : cases) {
    Compilation c;
    fresh(c);
    declareVariable(c, t.count, t.name, t.kind);
    EXPECT_EQ(t.errors, c.diag.errorText) << t.name;
  }
}

TEST(Variables, RedeclaringKeepsTheFirstSize) {
  Compilation c;
  fresh(c);
  declareVariable(c, 5, "X", kDeclareDim);
  declareVariable(c, 10, "X", kDeclarePublic);
  EXPECT_EQ("line 1: X already dimensioned smaller than 10", c.diag.errorText);
  EXPECT_EQ(5, c.variables.records[0].elementCount);
  EXPECT_EQ(10, c.variables.records[0].publicKind);
}

// Puts code words into the expression area and returns their offset.
std::uint16_t area(Compilation& c, std::vector<std::uint16_t> words) {
  return appendExpressionWords(c, words);
}

TEST(Operands, RepsAndParameterLocation) {
  Compilation c;
  fresh(c);
  for (int i = 0; i < 7; ++i) declareVariable(c, 1, "V" + std::to_string(i), kDeclareDim);
  declareVariable(c, 5, "X", kDeclareDim);  // first index 7: word 0x0507
  const std::uint32_t two = floatBits(2.0f), three = floatBits(3.0f);
  const std::uint16_t element2 =
      area(c, {35, static_cast<std::uint16_t>(two), static_cast<std::uint16_t>(two >> 16), 50, 0x0507});
  const std::uint16_t element3 =
      area(c, {35, static_cast<std::uint16_t>(three), static_cast<std::uint16_t>(three >> 16), 50, 0x0507});
  const std::uint16_t lone = area(c, {49, 0x0507});
  const std::uint16_t zero = area(c, {40, 0, 0});
  const std::uint16_t sum = area(c, {36, 0x0507, 35, 0, 0x3F80, 5, 39});

  EXPECT_EQ(0x0408, parameterLocation(c, element2, "X"));
  EXPECT_EQ(0x0507, parameterLocation(c, lone, "X"));
  EXPECT_EQ(0, parameterLocation(c, zero, "X"));
  EXPECT_EQ("", c.diag.errorText);
  EXPECT_EQ(kNoOperand, parameterLocation(c, sum, "Dest"));
  EXPECT_EQ("line 1: Invalid Dest param.", c.diag.errorText);

  Compilation& d = c;
  d.diag = Diagnostics{};
  d.diag.currentLine = 1;
  EXPECT_EQ(0x0507, checkReps(d, element3, kRoleDestination, 3));
  EXPECT_EQ("", d.diag.errorText);
  checkReps(d, element3, kRoleDestination, 4);
  checkReps(d, lone, kRoleSource, 6);
  checkReps(d, lone, kRoleSourceArray, 6);
  checkReps(d, lone, kRoleNone, 60);
  EXPECT_EQ(kNoOperand, checkReps(d, sum, kRoleDestination, 60));
  EXPECT_EQ(
      "line 1: Reps too large for Destination variable.\r\n"
      "line 1: Reps too large for Source variable.\r\n"
      "line 1: Source variable array not big enough.",
      d.diag.errorText);
  EXPECT_TRUE(isLoneConstant(d, zero));
  EXPECT_FALSE(isLoneConstant(d, lone));
  EXPECT_FALSE(isLoneConstant(d, kNoOperand));
}

TEST(Operands, WriteOperandClearsTopBitsAndMarksEmptyParentheses) {
  Compilation c;
  RecordBuilder r(3);
  EXPECT_EQ(0x0012u, writeOperand(c, r, 0x50000012u));
  bool mark = false;
  writeFlaggedOperand(c, r, 0x40000034u, mark);
  EXPECT_TRUE(mark);
  writeFlaggedOperand(c, r, 0x00000056u, mark);
  EXPECT_FALSE(mark);
  EXPECT_EQ((Bytes{3, 0, 0, 0, 0x12, 0, 0x34, 0, 0x56, 0}), Bytes(r.data(), r.data() + r.size()));
}

TEST(ExpressionArea, OffsetsStayBelowTheDeferredBit) {
  Compilation c;
  std::vector<std::uint8_t> block(0x7FFE, 0);
  EXPECT_EQ(0, appendExpressionCode(c, block.data(), block.size()));
  EXPECT_EQ(0x7FFE, appendExpressionCode(c, block.data(), 2));
  EXPECT_EQ(kNoOperand, appendExpressionCode(c, block.data(), 2));
  EXPECT_EQ(kNoOperand, appendExpressionCode(c, block.data(), 2));
  EXPECT_EQ("Program too large: compiled expressions exceed 32768 bytes.",
            c.diag.errorText);
  EXPECT_EQ(1, c.diag.errorCount);
}

// Code words go in low byte first, up to the limit; a block that would
// pass it is refused whole.
TEST(ExpressionArea, WordsLowByteFirstUpToTheLimit) {
  Compilation c;
  std::vector<std::uint8_t> block(0x7FFA, 0);
  appendExpressionCode(c, block.data(), block.size());
  EXPECT_EQ(0x7FFA, appendExpressionWords(c, {0x1234, 0x0027}));
  EXPECT_EQ(kNoOperand, appendExpressionWords(c, {1, 2}));
  EXPECT_EQ(0x7FFE, appendExpressionWords(c, {0xABCD}));
  EXPECT_EQ((Bytes{0x34, 0x12, 0x27, 0, 0xCD, 0xAB}),
            Bytes(c.exprArea.bytes.begin() + 0x7FFA, c.exprArea.bytes.end()));
  EXPECT_EQ(1, c.diag.errorCount);
}

TEST(Constants, LiteralsAndNamedConstants) {
  Compilation c;
  fresh(c);
  const struct {
    const char* text;
    bool ok;
    std::int32_t value;
  } integers[] = {
      {"&B101", true, 5},   {"&HFF", true, 255}, {"&h1G2", false, 0},
      {"&Q1", false, 0},    {"12abc", false, 0}, {"42", true, 42},
      {"-7", true, -7},     {"SCAN", true, 6},   {"true", true, -1},
      {"RF8S_LH", true, 5}, {"2.5", false, 0},   {"", false, 0},
      {"&HFFFFFFFF", true, -1},
  };
  for (const auto& t : integers) {
    std::int32_t v = 0;
    EXPECT_EQ(t.ok, parseConstantInteger(c, t.text, v)) << t.text;
    if (t.ok) {
      EXPECT_EQ(t.value, v) << t.text;
    }
  }
  // A name in an expression skips what is no digit; a whole text must be
  // the literal alone.
  float f = 0;
  EXPECT_TRUE(parseConstant(c, "&h1G2", f, kConstantFloat));
  EXPECT_EQ(18.0f, f);
  EXPECT_FALSE(parseConstant(c, "&h1G2", f, kConstantFloat, LiteralRead::kWhole));
  EXPECT_TRUE(parseConstant(c, "&h12", f, kConstantFloat, LiteralRead::kWhole));
  EXPECT_EQ(18.0f, f);
  EXPECT_TRUE(parseConstant(c, "nan", f, kConstantFloat));
  EXPECT_EQ(0xFF8F8F8Fu, floatBits(f));
  EXPECT_TRUE(parseConstant(c, "2.5e1", f, kConstantFloat));
  EXPECT_EQ(25.0f, f);
  EXPECT_FALSE(parseConstant(c, "0x10", f, kConstantFloat));
  EXPECT_FALSE(parseConstant(c, "inf", f, kConstantFloat));
  EXPECT_FALSE(parseConstant(c, "12", f, kConstantNamedOnly));
  EXPECT_TRUE(parseConstant(c, "&H10", f, kConstantNamedOnly));
  EXPECT_EQ("", c.diag.errorText);
  EXPECT_EQ(34u, c.constants.predefinedCount);
}

// Names are found by their letters folded to upper case; a constant's name
// ends at a blank, a variable's is taken whole; every clash is reported.
TEST(Constants, NameLookupsAndRepeatedClashes) {
  Compilation c;
  fresh(c);
  declareVariable(c, 1, "Var", kDeclareDim);
  defineConstant(c, " Gain = 2");
  defineConstant(c, " GAIN = 3");
  defineConstant(c, " gain = 4");
  const struct {
    const char* text;
    bool ok;
    std::int32_t value;
  } cases[] = {
      {"gAiN", true, 2},  {"Gain rest", true, 2}, {"Gain\t", false, 0},
      {"Gai", false, 0},  {"Gains", false, 0},    {" Gain", false, 0},
      {"MIN x", true, 3},
  };
  for (const auto& t : cases) {
    std::int32_t v = 0;
    EXPECT_EQ(t.ok, parseConstantInteger(c, t.text, v)) << t.text;
    if (t.ok) {
      EXPECT_EQ(t.value, v) << t.text;
    }
  }
  EXPECT_EQ(0x0100, findVariableLocation(c, "VAR"));
  EXPECT_EQ(kNoOperand, findVariableLocation(c, "Var x"));
  EXPECT_EQ(kNoOperand, findVariableLocation(c, "Va"));
  EXPECT_EQ(kNoOperand, findVariableLocation(c, ""));
  declareVariable(c, 1, "GAIN", kDeclareDim);
  EXPECT_EQ("line 1: GAIN is already in use as a declared CONST.\r\n"
            "line 1: gain is already in use as a declared CONST.\r\n"
            "line 1: gain is already in use as a declared CONST.\r\n"
            "line 1: GAIN is already in use as a declared CONST.\r\n"
            "line 1: GAIN is already in use as a declared CONST.\r\n"
            "line 1: GAIN is already in use as a declared CONST.",
            c.diag.errorText);
}

TEST(Constants, UnitsToSeconds) {
  Compilation c;
  EXPECT_EQ(120, unitsToSeconds(c, 2, kUnitsMin));
  EXPECT_EQ(7200, unitsToSeconds(c, 2, kUnitsHr));
  EXPECT_EQ(172800, unitsToSeconds(c, 2, kUnitsDay));
  EXPECT_EQ(9, unitsToSeconds(c, 9, kUnitsSec));
  EXPECT_EQ(0, unitsToSeconds(c, 9, 6));
  EXPECT_EQ("", c.diag.errorText);
  EXPECT_EQ(0, unitsToSeconds(c, 9, kUnitsUsec));
  EXPECT_EQ(0, unitsToSeconds(c, 9, kUnitsMsec));
  EXPECT_EQ("Units of usec not supported.\r\nUnits of msec not supported.",
            c.diag.errorText);
}

TEST(Aliases, SubstitutionReplacesWholeNamesOnly) {
  Compilation c;
  fresh(c);
  declareVariable(c, 3, "Temp", kDeclarePublic);
  defineAlias(c, " Temp(2) = AirT\r\n");
  EXPECT_EQ("", c.diag.errorText);
  EXPECT_EQ("Temp(2) + 1 + AirTemp + AirT2 + Temp(2)\r\n",
            substituted(c, "AirT + 1 + AirTemp + AirT2 + airt\r\n"));
  EXPECT_EQ("2Temp(2)", substituted(c, "2AirT"));
}

// Each alias in table order replaces whole names; its inserted text is seen
// by later aliases only, and of two aliases of one name the first wins.
TEST(Aliases, SubstitutionOrderAndChains) {
  const struct {
    std::vector<const char*> aliases;
    const char* text;
    const char* expected;
  } cases[] = {
      {{"X(1) = A", "X(2) = a"}, "a + A", "X(1) + X(1)"},
      {{"X(1) = A", "X(2) = B"}, "A*B,b.c", "X(1)*X(2),b.c"},
      // B's text names A, which comes earlier: A does not see it.
      {{"X(1) = A", "A = B"}, "B + A", "A + X(1)"},
      // A's text names B, which comes later: B replaces it.
      {{"B = A", "X(2) = B"}, "A + B", "X(2) + X(2)"},
      {{"B = A", "C = B", "X(3) = C"}, "A", "X(3)"},
      {{"X(1) = A"}, "\"A\" 3A A.1 A_ A1", "\"X(1)\" 3X(1) A.1 A_ A1"},
      {{"X(1) = Ab"}, "aB ab AB", "X(1) X(1) X(1)"},
  };
  for (const auto& t : cases) {
    Compilation c;
    fresh(c);
    declareVariable(c, 3, "X", kDeclareDim);
    for (const char* a : t.aliases) defineAlias(c, a);
    EXPECT_EQ(t.expected, substituted(c, t.text)) << t.text;
  }
}

// A replacement that would take the statement to the line limit is
// reported; the replacements before it stay.
TEST(Aliases, SubstitutionStopsAtTheLineLimit) {
  Compilation c;
  fresh(c);
  declareVariable(c, 3, "X", kDeclareDim);
  defineAlias(c, "X(1) = A");
  const std::string blanks(505, ' ');
  EXPECT_EQ("X(1)" + blanks + "A", substituted(c, "A" + blanks + "A"));
  EXPECT_EQ("line 1: Line exceeds max characters of 512.", c.diag.errorText);
  const std::string fewer(502, ' ');
  EXPECT_EQ("X(1)" + fewer + "X(1)", substituted(c, "A" + fewer + "A"));
}

// Statements near the line limit naming aliases whose texts name others:
// one pass over the text per alias, stopping at the limit, is the reference.
TEST(Aliases, SubstitutionMatchesOnePassPerAlias) {
  const std::vector<std::pair<std::string, std::string>> aliases = {
      {"X(N3)", "N0"},      {"X(1)+N2*n4", "N1"}, {"X(N0)+N5", "N2"},
      {"X", "N3"},          {"X(N6)+N6+N6", "N4"}, {"X(2)", "n1"},
      {"X(10)-N1-N1", "N5"}, {"X(N4)", "N6"},      {"X(3)", "N4"}};
  const auto isPart = [](char ch) {
    return std::isalnum(static_cast<unsigned char>(ch)) || ch == '.' || ch == '_';
  };
  const auto reference = [&](std::string text, bool& tooLong) {
    tooLong = false;
    for (const auto& [inserted, name] : aliases) {
      for (std::size_t i = 0; i < text.size();) {
        std::size_t end = i;
        while (end < text.size() && isPart(text[end])) ++end;
        if (end == i) {
          ++i;
          continue;
        }
        if (foldedEquals(std::string_view(text).substr(i, end - i), name)) {
          if (text.size() - (end - i) + inserted.size() >= kLineBufferSize - 1) {
            tooLong = true;
            return text;
          }
          text.replace(i, end - i, inserted);
          end = i + inserted.size();
        }
        i = end;
      }
    }
    return text;
  };
  Compilation c;
  fresh(c);
  declareVariable(c, 20, "X", kDeclareDim);
  for (const auto& [inserted, name] : aliases) defineAlias(c, inserted + " = " + name);
  std::uint32_t seed = 7;
  for (int n = 0; n < 300; ++n) {
    std::string text = "Q";
    const std::size_t length = 60 + static_cast<std::size_t>(n) * 3 % 450;
    while (text.size() < length) {
      seed = seed * 1103515245u + 12345u;
      text += (seed >> 20) % 2 ? " + N" : "*n";
      text += std::to_string((seed >> 16) % 8);
    }
    bool tooLong = false;
    const std::string expected = reference(text, tooLong);
    const int errors = c.diag.errorCount;
    EXPECT_EQ(expected, substituted(c, text)) << text;
    EXPECT_EQ(tooLong ? errors + 1 : errors, c.diag.errorCount) << text;
  }
}

// Ordering by location: ties keep the order of the logger's exchange.
TEST(Aliases, ResolveOrdersByLocation) {
  const struct {
    std::vector<const char*> aliases;
    const char* names;
  } cases[] = {
      {{"X(3) = C", "X(1) = A", "X(2) = B"}, "A B C"},
      {{"X(2) = B", "X(1) = A", "X( 2) = D", "X( 1) = E"}, "A E D B"},
      {{"X(1) = A", "X( 1) = B", "X(2) = C"}, "A B C"},
  };
  for (const auto& t : cases) {
    Compilation c;
    fresh(c);
    declareVariable(c, 3, "X", kDeclareDim);
    for (const char* a : t.aliases) defineAlias(c, a);
    resolveAliases(c);
    std::string names;
    for (const AliasRecord& a : c.aliases.aliases)
      names += (names.empty() ? "" : " ") + a.name;
    EXPECT_EQ(t.names, names);
    EXPECT_EQ("", c.diag.errorText);
  }
}

// Many ties in a scrambled order: the logger's exchange, done on the records
// themselves, is the reference.
TEST(Aliases, ResolveKeepsTheExchangeOrderOfManyTies) {
  Compilation c;
  fresh(c);
  declareVariable(c, 4, "X", kDeclareDim);
  std::vector<std::pair<int, std::string>> expected;
  std::uint32_t seed = 12345;
  for (int n = 0; n < 60; ++n) {
    seed = seed * 1103515245u + 12345u;
    const int element = static_cast<int>((seed >> 16) % 4) + 1;
    const std::string name = "N" + std::to_string(n);
    // Blanks and zeros make each aliased text distinct for the same element.
    defineAlias(c, "X(" + std::string(static_cast<std::size_t>(n / 15), ' ') +
                       std::string(static_cast<std::size_t>(n % 15), '0') +
                       std::to_string(element) + ") = " + name);
    expected.emplace_back(element - 1, name);
  }
  for (std::size_t i = 0; i < expected.size(); ++i)
    for (std::size_t j = i + 1; j < expected.size(); ++j)
      if (expected[j].first < expected[i].first) std::swap(expected[i], expected[j]);
  resolveAliases(c);
  ASSERT_EQ(expected.size(), c.aliases.aliases.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(expected[i].second, c.aliases.aliases[i].name) << i;
    EXPECT_EQ(expected[i].first, c.aliases.aliases[i].location) << i;
  }
  EXPECT_EQ("", c.diag.errorText);
}

TEST(Aliases, DefinitionMessages) {
  const struct {
    const char* text;
    const char* errors;
  } cases[] = {
      {" X\r\n", "line 1: Need '=' in alias definition:  X."},
      {" X =\r\n", "line 1: Nothing after '=' in alias definition: X."},
      {" Y = 1A", "line 1: Alias 1A illegal, starts with a number.\r\n"
                  "line 1: Y not yet declared so cannot be aliased."},
      {" X = Sec", "line 1: Sec is already in use as a predefined CONST."},
      {" X = ABCDEFGHIJKLMNOPQ",
       "line 1: Alias Name ABCDEFGHIJKLMNOPQ is too large, limit is 16 characters."},
      {" X = Other", "line 1: Other already declared a variable."},
      {" X(1234567890123456789) = Q",
       "line 1: Aliased Name X(1234567890123456789) is too large, limit is 22 characters.\r\n"
       "line 1:  not yet declared so cannot be aliased."},
  };
  for (const auto& t : cases) {
    Compilation c;
    fresh(c);
    declareVariable(c, 1, "X", kDeclareDim);
    declareVariable(c, 1, "Other", kDeclareDim);
    defineAlias(c, t.text);
    EXPECT_EQ(t.errors, c.diag.errorText) << t.text;
  }
}

TEST(Aliases, DuplicatesAreReported) {
  Compilation c;
  fresh(c);
  declareVariable(c, 2, "X", kDeclareDim);
  defineAlias(c, "X(1) = A");
  defineAlias(c, "x(1) = B");
  defineAlias(c, "X(2) = A");
  EXPECT_EQ("line 1: x(1) already aliased.\r\nline 1: Duplicate Alias A.",
            c.diag.errorText);
}

// Each earlier alias is met in table order; one may clash in both ways.
TEST(Aliases, ClashesAreReportedInTableOrder) {
  Compilation c;
  fresh(c);
  declareVariable(c, 2, "X", kDeclareDim);
  defineAlias(c, "X(1) = A");
  defineAlias(c, "X(2) = B");
  defineAlias(c, "x(1) = b");
  defineAlias(c, " X(1)  = a");
  EXPECT_EQ("line 1: x(1) already aliased.\r\n"
            "line 1: Duplicate Alias b.\r\n"
            "line 1: Duplicate Alias a.\r\n"
            "line 1: X(1) already aliased.\r\n"
            "line 1: X(1) already aliased.",
            c.diag.errorText);
}

TEST(Units, DefinitionsAndMessages) {
  Compilation c;
  fresh(c);
  defineUnits(c, " T = Deg C \t more\r\n");
  defineUnits(c, " T =  \r\n");
  defineUnits(c, " T Deg\r\n");
  defineUnits(c, "AVeryLongVariableNameHere = ABCDEFGHIJKLMNOPQRS\r\n");
  ASSERT_EQ(4u, c.aliases.units.size());
  EXPECT_EQ("T", c.aliases.units[0].name);
  EXPECT_EQ("Deg C", c.aliases.units[0].units);
  EXPECT_EQ("", c.aliases.units[1].name);
  EXPECT_EQ("AVeryLongVariableNam", c.aliases.units[3].name.substr(0, 20));
  EXPECT_EQ(21u, c.aliases.units[3].name.size());
  EXPECT_EQ("ABCDEFGHIJKLMNOP", c.aliases.units[3].units);
  EXPECT_EQ(
      "line 1: Nothing after '=' in units definition: T =  .\r\n"
      "line 1: Need '=' in units definition: T Deg.",
      c.diag.errorText);
}

}  // namespace
}  // namespace vk6
