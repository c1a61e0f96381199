#include "symbols/aliases.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "core/text.h"
#include "format/operand_word.h"
#include "symbols/constants.h"
#include "symbols/variables.h"

namespace vk6 {
namespace {

constexpr std::size_t kAliasedTextLimit = 22;  // texts must be shorter
constexpr std::size_t kUnitsNameLimit = 21;

bool isNameStart(char ch) {
  return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') ||
         (ch != '\0' && std::strchr("#$&[]_", ch) != nullptr);
}

bool isNamePart(char ch) {
  return isNameStart(ch) || (ch >= '0' && ch <= '9') || ch == '.';
}

std::string trimBlanks(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  const std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

bool sameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (upcaseChar(a[i]) != upcaseChar(b[i])) return false;
  }
  return true;
}

std::string firstToken(const std::string& text) {
  const std::size_t start = text.find_first_not_of(kStatementDelimiters);
  if (start == std::string::npos) return std::string();
  const std::size_t end = text.find_first_of(kStatementDelimiters, start);
  return text.substr(start, end == std::string::npos ? end : end - start);
}

std::string upcased(const std::string& text) {
  std::string out = text;
  for (char& ch : out) ch = upcaseChar(ch);
  return out;
}

void indexNewAliases(AliasTables& t) {
  for (; t.indexedCount < t.aliases.size(); ++t.indexedCount) {
    const AliasRecord& alias = t.aliases[t.indexedCount];
    if (!alias.name.empty()) t.byName[upcased(alias.name)].push_back(t.indexedCount);
    if (!alias.aliasedText.empty())
      t.byText[upcased(alias.aliasedText)].push_back(t.indexedCount);
  }
}

const std::vector<std::size_t>& positionsOf(
    const std::unordered_map<std::string, std::vector<std::size_t>>& index,
    const std::string& text) {
  static const std::vector<std::size_t> none;
  if (text.empty()) return none;
  const auto found = index.find(upcased(text));
  return found == index.end() ? none : found->second;
}

// Every earlier alias of the same name or the same aliased text, in table
// order, each reported as it is met.
void checkAgainstEarlierAliases(Compilation& c, const AliasRecord& alias) {
  AliasTables& t = c.aliases;
  indexNewAliases(t);
  const std::vector<std::size_t>& names = positionsOf(t.byName, alias.name);
  const std::vector<std::size_t>& texts = positionsOf(t.byText, alias.aliasedText);
  std::size_t n = 0;
  std::size_t x = 0;
  while (n < names.size() || x < texts.size()) {
    const std::size_t at = std::min(n < names.size() ? names[n] : SIZE_MAX,
                                    x < texts.size() ? texts[x] : SIZE_MAX);
    if (n < names.size() && names[n] == at) {
      reportError(c, "Duplicate Alias %s.", alias.name.c_str());
      ++n;
    }
    if (x < texts.size() && texts[x] == at) {
      reportError(c, "%s already aliased.", alias.aliasedText.c_str());
      ++x;
    }
  }
}

}  // namespace

void addAlias(Compilation& c, const std::string& text, std::int32_t elementCount) {
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos) {
    reportError(c, "Need '=' in alias definition: %s.", withoutLineEnd(text).c_str());
    return;
  }
  const std::string right = text.substr(equals + 1);
  AliasRecord alias;
  alias.aliasedText = trimBlanks(text.substr(0, equals));
  alias.name = firstToken(right);
  if (alias.name.empty()) {
    reportError(c, "Nothing after '=' in alias definition: %s.",
                alias.aliasedText.c_str());
    return;
  }
  alias.elementCount = elementCount;
  alias.line = c.diag.currentLine;
  if (alias.name[0] >= '0' && alias.name[0] <= '9')
    reportError(c, "Alias %s illegal, starts with a number.", alias.name.c_str());
  if (alias.aliasedText.size() >= kAliasedTextLimit) {
    reportError(c, "Aliased Name %s is too large, limit is %d characters.",
                alias.aliasedText.c_str(), static_cast<int>(kAliasedTextLimit));
    alias.aliasedText.clear();
  }
  checkConstantName(c, alias.name);
  const std::string aliasName = alias.name;
  if (alias.name.size() > kMaxNameLength) {
    reportError(c, "Alias Name %s is too large, limit is 16 characters.",
                alias.name.c_str());
    alias.name.clear();
  }
  checkAgainstEarlierAliases(c, alias);
  c.aliases.aliases.push_back(alias);

  const std::string variable = firstToken(alias.aliasedText);
  if (findVariableLocation(c, aliasName) != kNoOperand)
    reportError(c, "%s already declared a variable.", aliasName.c_str());
  if (findVariableLocation(c, variable) == kNoOperand)
    reportError(c, "%s not yet declared so cannot be aliased.", variable.c_str());
}

namespace {

// The first alias at position `from` or later named `name`, else npos.
std::size_t firstAliasFrom(const AliasTables& t, const std::string& name,
                           std::size_t from) {
  const auto found = t.byName.find(upcased(name));
  if (found == t.byName.end()) return std::string::npos;
  const std::vector<std::size_t>& at = found->second;
  const auto it = std::lower_bound(at.begin(), at.end(), from);
  return it == at.end() ? std::string::npos : *it;
}

// Appends `text` with its names replaced by aliases at `from` or later.
// A name replaced by alias k gives way to k's text, whose names only the
// aliases after k may replace: the same result as one pass per alias.
// `growth` sums the lengthening of every replacement; false, leaving `out`
// unfinished, once `base` + `growth` reaches `limit`.
bool appendSubstituted(const AliasTables& t, const std::string& text,
                       std::size_t from, std::size_t base, std::size_t limit,
                       std::string& out, std::size_t& growth) {
  std::size_t i = 0;
  while (i < text.size()) {
    if (!isNameStart(text[i])) {
      out += text[i++];
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && isNamePart(text[end])) ++end;
    const std::size_t k = firstAliasFrom(t, text.substr(i, end - i), from);
    if (k == std::string::npos) {
      out.append(text, i, end - i);
    } else {
      const std::string& inserted = t.aliases[k].aliasedText;
      if (inserted.size() > end - i) growth += inserted.size() - (end - i);
      if (base + growth >= limit ||
          !appendSubstituted(t, inserted, k + 1, base, limit, out, growth))
        return false;
    }
    i = end;
  }
  return true;
}

// The exchange ordering by location the logger's tools expect: for each
// position, every later record with a smaller location is swapped in.
// The exchange moves (location, position) pairs; each record moves once.
void exchangeOrder(std::vector<AliasRecord>& aliases) {
  std::vector<std::pair<std::int32_t, std::size_t>> order;
  order.reserve(aliases.size());
  for (std::size_t i = 0; i < aliases.size(); ++i)
    order.emplace_back(aliases[i].location, i);
  for (std::size_t i = 0; i < order.size(); ++i) {
    for (std::size_t j = i + 1; j < order.size(); ++j) {
      if (order[j].first < order[i].first) std::swap(order[i], order[j]);
    }
  }
  std::vector<AliasRecord> sorted;
  sorted.reserve(aliases.size());
  for (const auto& [location, at] : order) sorted.push_back(std::move(aliases[at]));
  aliases = std::move(sorted);
}

// One pass over the text per alias, stopping where the text would no
// longer fit a line: the order in which the partial result is reached.
std::string substituteByPasses(Compilation& c, const std::string& text) {
  std::string out = text;
  for (const AliasRecord& alias : c.aliases.aliases) {
    if (alias.name.empty()) continue;
    std::size_t i = 0;
    while (i < out.size()) {
      if (!isNameStart(out[i])) {
        ++i;
        continue;
      }
      std::size_t end = i;
      while (end < out.size() && isNamePart(out[end])) ++end;
      if (sameIgnoringCase(out.substr(i, end - i), alias.name)) {
        // Aliased texts may name later aliases, so each level can multiply
        // the text; it must still fit a line.
        if (out.size() - (end - i) + alias.aliasedText.size() >=
            kLineBufferSize - 1) {
          reportError(c, "Line exceeds max characters of %d.",
                      static_cast<int>(kLineBufferSize));
          return out;
        }
        out.replace(i, end - i, alias.aliasedText);
        i += alias.aliasedText.size();
      } else {
        i = end;
      }
    }
  }
  return out;
}

}  // namespace

std::string substituteAliases(Compilation& c, const std::string& text) {
  AliasTables& t = c.aliases;
  indexNewAliases(t);
  if (t.byName.empty()) return text;
  std::string out;
  out.reserve(text.size());
  std::size_t growth = 0;
  // No text on the way is longer than the text plus every lengthening; only
  // a statement that may reach the line limit needs the passes.
  if (appendSubstituted(t, text, 0, text.size(), kLineBufferSize - 1, out, growth))
    return out;
  return substituteByPasses(c, text);
}

void orderAliases(Compilation& c) {
  std::vector<AliasRecord>& aliases = c.aliases.aliases;
  // The exchange leaves a sorted table as it is, and gives the one sorted
  // order when no two locations are equal; only ties need the exchange.
  const auto byLocation = [](const AliasRecord& a, const AliasRecord& b) {
    return a.location < b.location;
  };
  if (!std::is_sorted(aliases.begin(), aliases.end(), byLocation)) {
    std::vector<std::int32_t> locations;
    locations.reserve(aliases.size());
    for (const AliasRecord& alias : aliases) locations.push_back(alias.location);
    std::sort(locations.begin(), locations.end());
    if (std::adjacent_find(locations.begin(), locations.end()) == locations.end()) {
      std::sort(aliases.begin(), aliases.end(), byLocation);
    } else {
      exchangeOrder(aliases);
    }
  }
  c.aliases.byName.clear();
  c.aliases.byText.clear();
  c.aliases.indexedCount = 0;
}

void defineUnits(Compilation& c, const std::string& text) {
  c.aliases.units.push_back(UnitsRecord{});
  c.aliases.units.back().line = c.diag.currentLine;
  std::size_t start = 0;
  while (start < text.size() && text[start] == ' ') ++start;
  const std::string body = text.substr(start);
  const std::size_t equals = body.find('=');
  if (equals == std::string::npos) {
    reportError(c, "Need '=' in units definition: %s.", withoutLineEnd(body).c_str());
    return;
  }
  std::string units = body.substr(equals + 1);
  units.erase(0, units.find_first_not_of(' ') == std::string::npos
                     ? units.size()
                     : units.find_first_not_of(' '));
  units.resize(std::min(units.find_first_of("\t\r\n"), units.size()));
  units.resize(units.find_last_not_of(" \t\r\n") + 1);
  if (units.empty()) {
    reportError(c, "Nothing after '=' in units definition: %s.",
                withoutLineEnd(body).c_str());
    return;
  }
  std::string name = body.substr(0, std::min(equals, kUnitsNameLimit));
  name.resize(std::min(name.find(' '), name.size()));
  UnitsRecord& record = c.aliases.units.back();
  record.name = name;
  record.units = units.substr(0, kMaxNameLength);
}

}  // namespace vk6
