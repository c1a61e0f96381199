#include "instructions/field_builder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "core/text.h"
#include "expr/constant_eval.h"
#include "expr/expression_compiler.h"
#include "expr/expression_state.h"
#include "format/operand_word.h"
#include "symbols/aliases.h"
#include "symbols/constants.h"
#include "symbols/tables.h"

namespace vk6 {
namespace {

// ORDER KINDS: indexed by output kind.
constexpr const char* kProcessNames[] = {"Tot", "Avg", "Max", "Min",
                                         "Std", "Smp", "WVc", "ETo",
                                         "",    "TMx", "TMn"};
constexpr int kProcessNameCount = sizeof kProcessNames / sizeof kProcessNames[0];
static_assert(kProcessNameCount == kKindTimeOfMinimum + 1);

// ORDER TYPES: bytes per element, by data type code.
constexpr std::int32_t kTypeSizes[] = {0, 1, 2, 4, 1, 2, 4, 2, 4, 4, 1, 1, 4,
                                       6, 8, 3, 0, 1, 8, 2, 4, 2, 4, 8, 4};
constexpr std::uint8_t kTypeCount = sizeof kTypeSizes / sizeof kTypeSizes[0];

constexpr const char* kPredefinedFieldNames[] = {"RECORD", "OUTPUT",
                                                 "TIMESTAMP", "TABLESIZE"};
// Processing texts are 64 characters; a description must leave the NUL.
constexpr std::size_t kDescriptionRoom = kMaxProcessingLength - 1;

// One FieldNames entry: name, optional (count) or :description.
struct NameEntry {
  std::string name;
  std::string countText;    // inside the parentheses; "" without
  std::string description;  // from the colon on; "" without
};

// Takes the next comma-separated entry of `names` (leading commas
// skipped); false when only commas are left.
bool takeEntry(std::string& names, NameEntry& entry) {
  const std::size_t start = names.find_first_not_of(',');
  if (start == std::string::npos) {
    names.clear();
    return false;
  }
  const std::size_t end = names.find(',', start);
  const std::string text = names.substr(start, end - start);
  names = end == std::string::npos ? std::string() : names.substr(end + 1);

  const std::size_t colon = text.find(':');
  const std::string head = text.substr(0, colon);
  if (colon != std::string::npos) entry.description = text.substr(colon);
  const std::size_t open = head.find('(');
  if (open != std::string::npos) {
    const std::size_t close = head.find(')', open);
    entry.countText = head.substr(open + 1, close == std::string::npos
                                                ? std::string::npos
                                                : close - open - 1);
  }
  const std::size_t nameStart = text.find_first_not_of(kStatementDelimiters);
  if (nameStart != std::string::npos) {
    const std::size_t nameEnd = text.find_first_of(kStatementDelimiters, nameStart);
    entry.name = text.substr(nameStart, nameEnd - nameStart);
  }
  return true;
}

// Value of a FieldNames count; a literal or named constant needs no
// compiling.
int countValue(Compilation& c, const std::string& text) {
  float value = 0.0f;
  if (!parseConstant(c, text, value, kConstantFloat, LiteralRead::kWhole)) {
    std::uint16_t operand = kNoOperand;
    if (compileAndReport(c, text, operand, kModePlain, false) != 0) return 0;
    const float* result = evaluateOperand(c, kNoOperand, 0);
    value = result != nullptr ? *result : 0.0f;
  }
  const double whole = std::trunc(static_cast<double>(value));
  return (whole > -2147483648.0 && whole < 2147483648.0) ? static_cast<int>(whole) : 0;
}

std::string unitsFor(const Compilation& c, const std::string& name) {
  const UnitsRecord* u = findUnits(c, name);
  return u != nullptr ? u->units.substr(0, kMaxUnitsLength) : std::string();
}

bool isPredefinedFieldName(const std::string& name) {
  for (const char* predefined : kPredefinedFieldNames) {
    if (nameEquals(name.c_str(), predefined)) return true;
  }
  return false;
}

// The state of one pass over the source.
struct Pass {
  int kind;
  std::uint8_t dataType;
  int k;
};

class FieldBuilder {
 public:
  FieldBuilder(Compilation& c, const FieldSpec& request,
               std::vector<FieldDescriptor>* out)
      : c_(c), spec_(request), out_(out), names_(request.fieldNames),
        offset_(request.recordOffset) {}

  // Runs the passes; returns the descriptors counted or written.
  int run() {
    if (!runPass({spec_.kind, spec_.dataType, spec_.k})) return 1;
    if (spec_.k < 0 &&
        !runPass({spec_.kind + kTimeKindOffset, kTimeDataType, -spec_.k}))
      return 1;
    return built_;
  }
  const std::string& namesLeft() const { return names_; }

 private:
  struct Step {
    std::string base;
    std::string description;
    int count = 0;
    bool named = false;  // by a FieldNames entry or an alias
    bool byFieldNames = false;
  };

  // False after a counting error (the builder's result is then 1).
  bool runPass(const Pass& pass) {
    const std::string processing =
        std::string(processName(pass.kind)) + spec_.extra;
    int flag = 1;  // negative: the field was named; magnitude feeds indices
    int begin = spec_.beginIndex;
    int consumed = 0;
    std::size_t aliasCursor = 0;
    while (consumed < spec_.elements) {
      const int n = spec_.elements - consumed;
      Step step;
      if (spec_.hasFieldNames && !names_.empty()) {
        NameEntry entry;
        if (!takeEntry(names_, entry)) return outOfBounds();
        if (writing() && !entry.description.empty()) {
          const int limit = static_cast<int>(kDescriptionRoom - processing.size());
          if (static_cast<int>(entry.description.size()) < limit) {
            step.description = entry.description;
          } else {
            reportError(c_, "Description \"%s\" is too long, limit is %d characters.",
                        entry.description.c_str(), limit - 2);
          }
        }
        if (writing() && entry.name.size() > kMaxFieldNameLength) {
          reportError(c_, "Field Name %s is too long, limit is 16 characters.",
                      entry.name.c_str());
          return true;
        }
        step.count = entry.countText.empty() ? 1 : countValue(c_, entry.countText);
        if (step.count > n || step.count < 1) return outOfBounds();
        step.base = entry.name;
        step.named = step.byFieldNames = true;
      } else {
        step.base = spec_.sourceName;
        step.count = n;
        if (!applyAlias(pass, consumed, n, aliasCursor, step)) return outOfBounds();
      }
      if (step.named) flag = -std::abs(flag);
      if (writing()) write(pass, processing, flag, begin, step);
      flag = std::abs(flag) + step.count;
      consumed += step.count;
      ++built_;
    }
    return true;
  }

  // Lets an alias inside the rest of the source name this field or end it
  // before the alias; false when the alias's count does not fit.
  bool applyAlias(const Pass& pass, int consumed, int n, std::size_t& cursor,
                  Step& step) {
    if (spec_.sourceFirst < 0) return true;
    const std::vector<AliasRecord>& aliases = c_.aliases.aliases;
    const int here = spec_.sourceFirst + consumed;
    const int end = spec_.sourceFirst + spec_.elements;
    const int width = std::abs(pass.k);
    // Pass 2 sees the aliases ordered by location: only those in
    // [first, end) can name or end this field, so the rest is skipped.
    const int first = pass.k > 1 ? spec_.sourceFirst : here;
    const auto from = std::lower_bound(
        aliases.begin() + static_cast<std::ptrdiff_t>(cursor), aliases.end(), first,
        [](const AliasRecord& a, int location) { return a.location < location; });
    for (std::size_t i = static_cast<std::size_t>(from - aliases.begin());
         i < aliases.size() && aliases[i].location < end; ++i) {
      const int at = aliases[i].location;
      if (at == here || (pass.k > 1 && at == spec_.sourceFirst)) {
        step.base = aliases[i].name;
        step.count = aliases[i].elementCount == 0 ? width : aliases[i].elementCount;
        step.named = true;
        cursor = i + 1;
        return step.count <= n && step.count >= 1;
      }
      if (at > here && at < end) {
        step.count = at - here;
        if (spec_.elements == width) step.count = n % width == 0 ? width : n % width;
        return true;
      }
    }
    return true;
  }

  void write(const Pass& pass, const std::string& processing, int flag,
             int& begin, const Step& step) {
    std::string suffix;
    if (std::abs(pass.k) > 1 && flag > 0) {
      if (begin > 1) suffix = std::to_string(begin);
      begin = flag;
    }
    const std::string process = processName(pass.kind);
    const bool append = pass.kind != kKindSample && !step.byFieldNames && !process.empty();
    const std::size_t taken = suffix.size() + (append ? process.size() + 1 : 0);
    const std::size_t keep = kMaxFieldNameLength > taken ? kMaxFieldNameLength - taken : 0;
    std::string name = step.base.substr(0, keep) + suffix;
    if (append) name += (step.base.empty() ? "" : "_") + process;
    if (isPredefinedFieldName(name))
      reportError(c_, "%s is a predefined field name.", name.c_str());

    FieldDescriptor f;
    f.name = name;
    f.units = unitsFor(c_, name);
    if (f.units.empty()) f.units = unitsFor(c_, step.base);
    if (f.units.empty()) f.units = unitsFor(c_, spec_.sourceName);
    f.processing = processing + step.description;
    f.dataType = pass.dataType;
    f.byteOffset = offset_;
    f.firstIndex = flag < 0 ? 1 : begin;
    f.count = step.count;
    f.subDimension = spec_.subDimension;
    f.byteSize = step.count * dataTypeSize(pass.dataType);
    offset_ += f.byteSize;
    if (std::abs(pass.k) <= 1 && spec_.hasSource) begin += step.count;
    out_->push_back(f);
  }

  bool outOfBounds() {
    if (!writing()) reportError(c_, "FieldNames array sizes out of bounds.");
    return false;
  }
  bool writing() const { return out_ != nullptr; }

  Compilation& c_;
  const FieldSpec& spec_;
  std::vector<FieldDescriptor>* out_;
  std::string names_;  // FieldNames text not yet consumed
  int offset_;         // running record offset
  int built_ = 0;
};

}  // namespace

const char* processName(int kind) {
  return kind >= 0 && kind < kProcessNameCount ? kProcessNames[kind] : "";
}

std::int32_t dataTypeSize(std::uint8_t type) {
  return type < kTypeCount ? kTypeSizes[type] : 0;
}

int buildFields(Compilation& c, const FieldSpec& request,
                std::vector<FieldDescriptor>* out, std::string* namesLeft) {
  FieldBuilder builder(c, request, out);
  const int result = builder.run();
  if (namesLeft != nullptr) *namesLeft = builder.namesLeft();
  return result;
}

}  // namespace vk6
