#include "symbols/aliases.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
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

bool isNameStart(char ch) { return hasCharTrait(ch, kCharLetter | kCharNameMark); }

bool isNamePart(char ch) {
  return hasCharTrait(ch, kCharLetter | kCharNameMark | kCharDigit) || ch == '.';
}

std::string trimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::string();
  const std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

std::string firstToken(std::string_view text) {
  const std::size_t start = text.find_first_not_of(kStatementDelimiters);
  if (start == std::string_view::npos) return std::string();
  const std::size_t end = text.find_first_of(kStatementDelimiters, start);
  const std::size_t size = end == std::string_view::npos ? end : end - start;
  return std::string(text.substr(start, size));
}

void indexNewAliases(AliasTables& t) {
  for (; t.indexedCount < t.aliases.size(); ++t.indexedCount) {
    const AliasRecord& alias = t.aliases[t.indexedCount];
    if (!alias.name.empty()) t.byName[alias.name].push_back(t.indexedCount);
    if (!alias.aliasedText.empty()) t.byText[alias.aliasedText].push_back(t.indexedCount);
  }
}

const std::vector<std::size_t>& positionsOf(
    const FoldedMap<std::vector<std::size_t>>& index, std::string_view text) {
  static const std::vector<std::size_t> none;
  if (text.empty()) return none;
  const auto found = index.find(text);
  return found == index.end() ? none : found->second;
}

// `before` + `text` as "%s" shows it + `after`, without formatting: a name
// declared again and again builds its messages on every declaration.
std::string message(std::string_view before, const std::string& text,
                    std::string_view after) {
  std::string out(before);
  out += text.c_str();
  out += after;
  return out;
}

// Every earlier alias of the same name or the same aliased text, in table
// order, each reported as it is met. A name declared again and again meets
// every earlier declaration: each text is built once at most, and once
// errors can only be counted the rest are counted at once.
void checkAgainstEarlierAliases(Compilation& c, const AliasRecord& alias) {
  AliasTables& t = c.aliases;
  indexNewAliases(t);
  const std::vector<std::size_t>& names = positionsOf(t.byName, alias.name);
  const std::vector<std::size_t>& texts = positionsOf(t.byText, alias.aliasedText);
  std::string duplicate;
  std::string aliased;
  std::size_t n = 0;
  std::size_t x = 0;
  while (n < names.size() || x < texts.size()) {
    if (errorsOnlyCounted(c)) {
      countErrors(c, names.size() - n + texts.size() - x);
      return;
    }
    const std::size_t at = std::min(n < names.size() ? names[n] : SIZE_MAX,
                                    x < texts.size() ? texts[x] : SIZE_MAX);
    if (n < names.size() && names[n] == at) {
      if (duplicate.empty()) duplicate = message("Duplicate Alias ", alias.name, ".");
      reportErrorMessage(c, duplicate);
      ++n;
    }
    if (x < texts.size() && texts[x] == at) {
      if (aliased.empty()) aliased = message("", alias.aliasedText, " already aliased.");
      reportErrorMessage(c, aliased);
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
  const std::string_view statement(text);
  AliasRecord alias;
  alias.aliasedText = trimBlanks(statement.substr(0, equals));
  alias.name = firstToken(statement.substr(equals + 1));
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
  const std::string variable = firstToken(alias.aliasedText);
  c.aliases.aliases.push_back(std::move(alias));

  if (findVariableLocation(c, aliasName) != kNoOperand)
    reportError(c, "%s already declared a variable.", aliasName.c_str());
  if (findVariableLocation(c, variable) == kNoOperand)
    reportError(c, "%s not yet declared so cannot be aliased.", variable.c_str());
}

namespace {

// The first alias at position `from` or later named `name`, else npos.
std::size_t firstAliasFrom(const AliasTables& t, std::string_view name,
                           std::size_t from) {
  const auto found = t.byName.find(name);
  if (found == t.byName.end()) return std::string::npos;
  const std::vector<std::size_t>& at = found->second;
  const auto it = std::lower_bound(at.begin(), at.end(), from);
  return it == at.end() ? std::string::npos : *it;
}

// Counts present slots among 0..size-1 (a Fenwick tree): how many lie
// below a slot, and which slot has a given rank.
class SlotCounts {
 public:
  SlotCounts(std::size_t size, bool allPresent) : tree_(size + 1, 0) {
    if (!allPresent) return;
    for (std::size_t i = 1; i <= size; ++i) tree_[i] = i & (~i + 1);
  }
  void add(std::size_t slot, int delta) {
    for (std::size_t i = slot + 1; i < tree_.size(); i += i & (~i + 1))
      tree_[i] = static_cast<std::size_t>(static_cast<long>(tree_[i]) + delta);
  }
  std::size_t countBelow(std::size_t slot) const {
    std::size_t count = 0;
    for (std::size_t i = slot; i > 0; i -= i & (~i + 1)) count += tree_[i];
    return count;
  }
  // REQUIRES: fewer than `rank` + 1 slots are absent from the count.
  std::size_t slotOfRank(std::size_t rank) const {
    std::size_t at = 0;
    std::size_t step = 1;
    while (step * 2 < tree_.size()) step *= 2;
    for (; step > 0; step /= 2) {
      if (at + step < tree_.size() && tree_[at + step] <= rank) {
        at += step;
        rank -= tree_[at];
      }
    }
    return at;
  }

 private:
  std::vector<std::size_t> tree_;
};

// The ordering by location the logger's tools expect is an exchange sort:
// for each position, every later record with a smaller location is swapped
// in. Records of different locations end sorted; those of one location end
// as if the j-th of them (in table order) joined a ring behind the earlier
// ones, which then turned by the number of smaller locations between it
// and the next record of its location. Undone from the last record back,
// each step takes one slot of the location's run by its rank.
void exchangeOrder(std::vector<AliasRecord>& aliases) {
  const std::size_t count = aliases.size();
  std::vector<std::size_t> order(count);
  for (std::size_t i = 0; i < count; ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return aliases[a].location < aliases[b].location;
  });
  SlotCounts smaller(count, false);  // positions of smaller locations
  std::vector<std::size_t> sorted(count);
  for (std::size_t first = 0; first < count;) {
    std::size_t end = first;
    while (end < count && aliases[order[end]].location == aliases[order[first]].location)
      ++end;
    const std::size_t run = end - first;
    SlotCounts slots(run, true);
    std::size_t start = 0;  // rank of the ring's first record
    for (std::size_t j = run; j > 0; --j) {
      const std::size_t at = order[first + j - 1];
      const std::size_t next = j < run ? order[first + j] : count;
      const std::size_t turn = (smaller.countBelow(next) - smaller.countBelow(at + 1)) % j;
      const std::size_t rank = (start + j - 1 - turn) % j;
      const std::size_t slot = slots.slotOfRank(rank);
      sorted[first + slot] = at;
      slots.add(slot, -1);
      start = j > 1 ? rank % (j - 1) : 0;
    }
    for (std::size_t i = first; i < end; ++i) smaller.add(order[i], 1);
    first = end;
  }
  std::vector<AliasRecord> reordered;
  reordered.reserve(count);
  for (std::size_t at : sorted) reordered.push_back(std::move(aliases[at]));
  aliases = std::move(reordered);
}

// A name that an alias replaces, in the statement or in a text inserted
// for another such name. The names of one text are stored side by side.
struct Replacement {
  std::size_t alias;
  std::size_t start;  // of the name in its text
  std::size_t end;
  std::size_t parent;  // whose inserted text holds it, or kInStatement
  std::size_t depth;
  std::size_t firstInner = 0;  // the names of the inserted text, once found
  std::size_t innerCount = 0;
  bool expanded = false;  // its inserted text's names are found
  bool replaced = false;
};

constexpr std::size_t kInStatement = SIZE_MAX;

// Adds the names of `text` that the aliases from `from` on replace.
void findReplacements(const AliasTables& t, std::string_view text, std::size_t from,
                      std::size_t parent, std::vector<Replacement>& all) {
  const std::size_t depth = parent == kInStatement ? 0 : all[parent].depth + 1;
  std::size_t start = 0;
  while (start < text.size()) {
    if (!isNameStart(text[start])) {
      ++start;
      continue;
    }
    std::size_t end = start + 1;
    while (end < text.size() && isNamePart(text[end])) ++end;
    const std::size_t k = firstAliasFrom(t, text.substr(start, end - start), from);
    if (k != std::string::npos) all.push_back({k, start, end, parent, depth});
    start = end;
  }
}

// Finds, once, the names in the text inserted for `n` that the later
// aliases replace.
void expand(const AliasTables& t, std::vector<Replacement>& all, std::size_t n) {
  if (all[n].expanded) return;
  const std::size_t first = all.size();
  findReplacements(t, t.aliases[all[n].alias].aliasedText, all[n].alias + 1, n, all);
  all[n].expanded = true;
  all[n].firstInner = first;
  all[n].innerCount = all.size() - first;
}

// True when `a` comes before `b` in the text. Neither holds the other: an
// inserted text holds only names of later aliases.
bool comesBefore(const std::vector<Replacement>& all, std::size_t a, std::size_t b) {
  while (all[a].depth > all[b].depth) a = all[a].parent;
  while (all[b].depth > all[a].depth) b = all[b].parent;
  while (all[a].parent != all[b].parent) {
    a = all[a].parent;
    b = all[b].parent;
  }
  return a < b;
}

// The replacements done one pass over the text per alias, in table order,
// left to right, up to the first that would make the text too long for a
// line: only the replacements are ordered, by alias and then by place in
// the text. `length` is the statement's; its names are the first `names`.
void replaceUntilLimit(Compilation& c, std::size_t length, std::size_t names,
                       std::vector<Replacement>& all) {
  const AliasTables& t = c.aliases;
  struct Pending {
    std::size_t alias;
    std::size_t node;
  };
  const auto later = [&all](const Pending& a, const Pending& b) {
    if (a.alias != b.alias) return a.alias > b.alias;
    return comesBefore(all, b.node, a.node);
  };
  std::vector<Pending> pending;
  for (std::size_t n = 0; n < names; ++n) pending.push_back({all[n].alias, n});
  std::make_heap(pending.begin(), pending.end(), later);
  while (!pending.empty()) {
    std::pop_heap(pending.begin(), pending.end(), later);
    const std::size_t n = pending.back().node;
    pending.pop_back();
    const std::size_t inserted = t.aliases[all[n].alias].aliasedText.size();
    length = length - (all[n].end - all[n].start) + inserted;
    if (length >= kLineBufferSize - 1) {
      reportError(c, "Line exceeds max characters of %d.",
                  static_cast<int>(kLineBufferSize));
      return;
    }
    expand(t, all, n);
    all[n].replaced = true;
    for (std::size_t i = all[n].firstInner; i < all[n].firstInner + all[n].innerCount;
         ++i) {
      pending.push_back({all[i].alias, i});
      std::push_heap(pending.begin(), pending.end(), later);
    }
  }
}

void appendReplaced(const AliasTables& t, std::string_view text, std::size_t first,
                    std::size_t count, const std::vector<Replacement>& all,
                    std::string& out) {
  std::size_t copied = 0;
  for (std::size_t n = first; n < first + count; ++n) {
    const Replacement& r = all[n];
    out.append(text, copied, r.start - copied);
    if (r.replaced) {
      appendReplaced(t, t.aliases[r.alias].aliasedText, r.firstInner, r.innerCount,
                     all, out);
    } else {
      out.append(text, r.start, r.end - r.start);
    }
    copied = r.end;
  }
  out.append(text, copied);
}

}  // namespace

// A name replaced by alias k gives way to k's text, whose names only the
// aliases after k may replace: the same result as one pass per alias.
void substituteAliases(Compilation& c, std::string_view text, std::string& out) {
  AliasTables& t = c.aliases;
  indexNewAliases(t);
  std::vector<Replacement> all;
  if (!t.byName.empty()) findReplacements(t, text, 0, kInStatement, all);
  if (all.empty()) {
    out += text;
    return;
  }
  const std::size_t names = all.size();
  // No text on the way is longer than the statement plus every
  // lengthening; only one that may reach the line limit needs the
  // replacements in order.
  std::size_t longest = text.size();
  for (std::size_t n = 0; n < all.size(); ++n) {
    const std::size_t inserted = t.aliases[all[n].alias].aliasedText.size();
    const std::size_t replaced = all[n].end - all[n].start;
    if (inserted > replaced) longest += inserted - replaced;
    if (longest >= kLineBufferSize - 1) break;
    expand(t, all, n);
    all[n].replaced = true;
  }
  if (longest >= kLineBufferSize - 1) {
    for (Replacement& r : all) r.replaced = false;
    replaceUntilLimit(c, text.size(), names, all);
  }
  out.reserve(out.size() + std::min(longest, kLineBufferSize));
  appendReplaced(t, text, 0, names, all, out);
}

void orderAliases(Compilation& c) {
  exchangeOrder(c.aliases.aliases);
  c.aliases.byName.clear();
  c.aliases.byText.clear();
  c.aliases.indexedCount = 0;
}

const UnitsRecord* findUnits(const Compilation& c, const std::string& name) {
  const auto found = c.aliases.unitsByName.find(std::string_view(name.c_str()));
  return found == c.aliases.unitsByName.end() ? nullptr : &c.aliases.units[found->second];
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
  // Names compare up to a NUL, as C strings; the first record stays.
  const std::string_view key(record.name.c_str());
  if (!key.empty()) c.aliases.unitsByName.emplace(key, c.aliases.units.size() - 1);
}

}  // namespace vk6
