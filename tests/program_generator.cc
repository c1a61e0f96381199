#include "program_generator.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>
#include <vector>

namespace vk6::test {
namespace {

// SplitMix64: the standard library's distributions differ between
// libraries, and a seed must give the same program everywhere.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint32_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
  }
  // REQUIRES: n > 0.
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
  int between(int low, int high) { return low + below(high - low + 1); }
  bool percent(int p) { return below(100) < p; }
  template <typename T>
  const T& pick(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(below(static_cast<int>(items.size())))];
  }

 private:
  std::uint64_t state_;
};

struct Array {
  std::string name;
  int size;
};

// Builds a text from parts taken left to right. The operands of `+` are
// evaluated in no fixed order, which would let the compiler choose the
// order of the random draws; those of `<<` are evaluated in order.
class Text {
 public:
  Text& operator<<(const std::string& part) {
    text_ += part;
    return *this;
  }
  Text& operator<<(const char* part) {
    text_ += part;
    return *this;
  }
  operator std::string() const { return text_; }

 private:
  std::string text_;
};

constexpr int kMaxDepth = 3;
constexpr int kMaxChannel = 6;

const std::vector<std::string> kScalarNames = {
    "AirT", "RH", "Batt", "PTemp", "WSpd", "WDir", "Rain", "Level",
    "Flow", "SoilT", "Solar", "Press", "Depth", "Count", "Stage", "Alarm"};
const std::vector<std::string> kArrayNames = {"VWC", "Temps", "Volts", "Pump", "Hist"};
const std::vector<std::string> kUnits = {"Deg C", "%", "mm", "V", "m/s", "kPa"};
const std::vector<std::string> kRelations = {"<", ">", "<=", ">=", "=", "<>"};
const std::vector<std::string> kWords = {"Hi", "T=", "Level", "OK", "Flow", "Batt"};

// Writes one program. The shape (which statements, which names and values)
// comes from `shape_` alone, so both spellings of a seed hold the same
// program; `spell_` picks only among equal spellings. Every text with more
// than one draw is built with Text, so the draws keep their order.
class ProgramWriter {
 public:
  ProgramWriter(std::uint32_t seed, Spelling spelling)
      : shape_(seed), spell_(~static_cast<std::uint64_t>(seed)),
        varied_(spelling == Spelling::kVaried) {}

  std::string write() {
    declare();
    for (int t = 0; t < tableCount_; ++t) table(t);
    const int subs = shape_.below(3);
    for (int s = 0; s < subs; ++s) subroutine(s);
    line(0, kw("BeginProg"));
    const int interval = shape_.pick(std::vector<int>{1, 2, 5, 10, 30, 60});
    line(1, Text() << kw("Scan") << "(" << wholeNumber(interval) << ", " << kw("Sec") << ")");
    const int statements = shape_.between(4, 10);
    for (int i = 0; i < statements; ++i) statement(2, 0);
    for (int t = 0; t < tableCount_; ++t)
      line(2, Text() << kw("CallTable") << " " << tableNames_[static_cast<std::size_t>(t)]);
    if (varied_ && spell_.percent(50)) {
      line(1, Text() << kw("Next") << " " << kw("Scan"));
    } else {
      line(1, kw("NextScan"));
    }
    line(0, kw("EndProg"));
    return assemble();
  }

 private:
  const Array& anyArray() {
    return arrays_[static_cast<std::size_t>(shape_.below(static_cast<int>(arrays_.size())))];
  }

  // ---- Declarations ------------------------------------------------------

  void declare() {
    std::vector<std::string> names = kScalarNames;
    const int publics = shape_.between(4, 9);
    for (int i = 0; i < publics; ++i) {
      const auto at = static_cast<std::size_t>(shape_.below(static_cast<int>(names.size())));
      scalars_.push_back(names[at]);
      names.erase(names.begin() + static_cast<long>(at));
    }
    const int arrays = shape_.between(1, 3);
    for (int i = 0; i < arrays; ++i)
      arrays_.push_back({kArrayNames[static_cast<std::size_t>(i)], shape_.between(2, 6)});
    const int constants = shape_.between(1, 3);
    for (int i = 0; i < constants; ++i) {
      const std::string name = "Gain" + std::to_string(i + 1);
      const double value = shape_.between(1, 40) / 4.0;
      header_.push_back(Text() << kw("Const") << " " << name << " = " << decimal(value));
      constants_.push_back(name);
    }
    Text publicLine;
    publicLine << kw("Public") << " ";
    for (std::size_t i = 0; i < scalars_.size(); ++i) publicLine << (i == 0 ? "" : ", ") << scalars_[i];
    header_.push_back(publicLine);
    for (const Array& a : arrays_)
      header_.push_back(Text() << kw("Public") << " " << a.name << "(" << wholeNumber(a.size) << ")");
    header_.push_back(Text() << kw("Dim") << " I1, I2, Tmp");
    if (shape_.percent(40)) {
      const Array& a = arrays_[0];
      aliases_.push_back(a.name + "Last");
      header_.push_back(Text() << kw("Alias") << " " << a.name << "(" << std::to_string(a.size)
                               << ") = " << aliases_.back());
    }
    if (shape_.percent(60)) {
      const std::string& units = shape_.pick(kUnits);
      header_.push_back(Text() << kw("Units") << " " << scalars_[0] << " = " << units);
    }
    tableCount_ = shape_.between(1, 2);
  }

  // An output instruction of a table, each (process, source) pair once.
  void outputInstruction(int level, std::set<std::string>& used, int table) {
    const int kind = shape_.below(8);
    if (kind == 6) {
      const Array& a = anyArray();
      const bool sample = shape_.percent(50);
      if (!used.insert((sample ? "Smp" : "Avg") + a.name).second) return;
      if (sample) {
        line(level, Text() << kw("Sample") << "(" << wholeNumber(a.size) << ", " << a.name << "())");
      } else {
        line(level, Text() << kw("Average") << "(" << wholeNumber(a.size) << ", " << a.name
                           << "(), " << flag(false) << ")");
      }
      return;
    }
    if (kind == 7) {
      if (!used.insert("WVc").second) return;
      line(level, Text() << kw("WindVector") << "(" << scalars_[0] << ", " << scalars_[1] << ", "
                         << flag(false) << ", 0, " << wholeNumber(0) << ")");
      return;
    }
    static const char* const kProcesses[] = {"Average", "Maximum", "Minimum",
                                             "Totalize", "StdDev", "Sample"};
    const std::string process = kProcesses[kind % 6];
    const std::string source = shape_.pick(scalars_);
    if (!used.insert(process + source).second) return;
    Text text;
    text << kw(process) << "(" << wholeNumber(1) << ", " << source;
    if (process == "Maximum" || process == "Minimum") {
      const int timeOption = shape_.below(2);
      text << ", " << flag(false) << ", " << wholeNumber(timeOption) << ")";
    } else if (process == "Sample") {
      text << ")";
    } else {
      text << ", " << flag(false) << ")";
    }
    line(level, text);
    if (shape_.percent(20)) {
      line(level, Text() << kw("FieldNames") << " \"F" << std::to_string(table + 1) << "_"
                         << std::to_string(++fieldNames_) << "\"");
    }
  }

  void table(int t) {
    const std::string name = t == 0 ? "Hourly" : "Daily";
    tableNames_.push_back(name);
    const bool automatic = shape_.percent(60);
    const int size = automatic ? -1 : shape_.between(10, 200);
    line(0, Text() << kw("DataTable") << "(" << name << ", " << flag(true) << ", "
                   << wholeNumber(size) << ")");
    if (automatic || shape_.percent(50)) {
      const int minutes = shape_.pick(std::vector<int>{5, 10, 15, 30, 60});
      line(1, Text() << kw("DataInterval") << "(" << wholeNumber(0) << ", " << wholeNumber(minutes)
                     << ", " << kw("Min") << ")");
    }
    std::set<std::string> used;
    const int outputs = shape_.between(1, 5);
    for (int i = 0; i < outputs; ++i) outputInstruction(1, used, t);
    endWords(0, "EndTable", "End", "Table");
  }

  void subroutine(int s) {
    const std::string name = "Read" + std::to_string(s + 1);
    line(0, Text() << kw("Sub") << " " << name);
    inSub_ = true;
    const int statements = shape_.between(1, 3);
    for (int i = 0; i < statements; ++i) statement(1, kMaxDepth - 1);
    inSub_ = false;
    endWords(0, "EndSub", "End", "Sub");
    subs_.push_back(name);
  }

  // A closing keyword, written as one word or (varied) as two.
  void endWords(int level, const char* one, const char* first, const char* second) {
    if (varied_ && spell_.percent(50)) {
      line(level, Text() << kw(first) << " " << kw(second));
    } else {
      line(level, kw(one));
    }
  }

  // ---- Statements --------------------------------------------------------

  void statement(int level, int depth) {
    const int kind = depth >= kMaxDepth - 1 ? shape_.below(9) : shape_.below(15);
    switch (kind) {
      case 0: case 1: case 2: assignment(level); return;
      case 3: case 4: measurement(level); return;
      case 5: ports(level); return;
      case 6: call(level); return;
      case 7: print(level); return;
      case 8: spatial(level); return;
      case 9: case 10: ifBlock(level, depth); return;
      case 11: forLoop(level, depth); return;
      case 12: doLoop(level, depth); return;
      case 13: whileLoop(level, depth); return;
      default: selectCase(level, depth); return;
    }
  }

  void assignment(int level) {
    line(level, Text() << target() << " = " << expression(0));
  }

  std::string target() {
    if (shape_.percent(30)) return element();
    return shape_.pick(scalars_);
  }

  // An element of an array, by a subscript that fits it.
  std::string element() {
    const Array& a = anyArray();
    if (!loopVariables_.empty() && a.size >= loopLimit_ && shape_.percent(50))
      return a.name + "(" + loopVariables_.back() + ")";
    return a.name + "(" + std::to_string(shape_.between(1, a.size)) + ")";
  }

  void measurement(int level) {
    const std::string destination = shape_.pick(scalars_);
    Text text;
    switch (shape_.below(7)) {
      case 0:
        text << open("PanelTemp") << destination;
        break;
      case 1:
        text << open("Battery") << destination;
        break;
      case 2: {
        const Array& a = anyArray();
        const int reps = shape_.between(1, std::min(a.size, kMaxChannel));
        const int channel = shape_.between(1, kMaxChannel - reps + 1);
        const int multiplier = shape_.between(1, 20);
        const int offset = shape_.between(-40, 0);
        text << open("VoltSe") << a.name << "(), " << wholeNumber(reps) << ", "
             << wholeNumber(channel) << ", " << decimal(0.1 * multiplier) << ", "
             << number(offset);
        break;
      }
      case 3: {
        const int channel = shape_.between(1, kMaxChannel);
        text << open("VoltSe") << destination << ", " << wholeNumber(1) << ", "
             << wholeNumber(channel) << ", " << number(1) << ", " << number(0);
        break;
      }
      case 4: {
        const int channel = shape_.between(1, kMaxChannel);
        const int excitation = shape_.between(1, 2);
        text << open("ThermPrb") << destination << ", " << wholeNumber(1) << ", "
             << wholeNumber(channel) << ", " << wholeNumber(excitation) << ", " << number(1)
             << ", " << number(0);
        break;
      }
      case 5: {
        const int channel = shape_.between(1, kMaxChannel);
        const int excitation = shape_.between(1, 2);
        const int millivolts = shape_.percent(50) ? 2500 : 5000;
        const int delay = shape_.between(500, 65000);
        text << open("ExDelSE") << destination << ", " << wholeNumber(1) << ", "
             << wholeNumber(channel) << ", " << wholeNumber(excitation) << ", "
             << wholeNumber(millivolts) << ", " << wholeNumber(delay) << ", " << decimal(0.5)
             << ", " << number(0);
        break;
      }
      default: {
        const int on = shape_.below(2);
        text << open("SwBatt") << number(on);
        break;
      }
    }
    line(level, text << ")");
  }

  void ports(int level) {
    const int kind = shape_.below(3);
    if (kind == 0) {
      const int port = shape_.between(1, 2);
      line(level, Text() << open("PortSet") << wholeNumber(port) << ", "
                         << expression(kMaxDepth - 1) << ")");
    } else if (kind == 1) {
      const std::string& destination = shape_.pick(scalars_);
      const int port = shape_.between(1, 2);
      line(level, Text() << open("PortGet") << destination << ", " << wholeNumber(port) << ")");
    } else {
      const int amount = shape_.between(1, 500);
      line(level, Text() << open("Delay") << wholeNumber(amount) << ", " << wholeNumber(1) << ")");
    }
  }

  // A subroutine may not call another one.
  void call(int level) {
    if (subs_.empty() || inSub_) {
      assignment(level);
      return;
    }
    const std::string& name = shape_.pick(subs_);
    if (varied_ && spell_.percent(50)) {
      line(level, name);
    } else {
      line(level, Text() << kw("Call") << " " << name);
    }
  }

  // Print to the RS-232 port: port 2, 9600 baud, then up to three items.
  void print(int level) {
    Text text;
    text << open("Print") << number(2) << ", " << number(9600);
    const int items = shape_.between(1, 3);
    for (int i = 0; i < items; ++i) {
      text << (shape_.percent(50) ? ", " : "; ");
      if (shape_.percent(40)) {
        text << "\"" << shape_.pick(kWords) << "\"";
      } else {
        text << shape_.pick(scalars_);
      }
    }
    line(level, text << ")");
  }

  void spatial(int level) {
    const Array& a = anyArray();
    const std::string& destination = shape_.pick(scalars_);
    line(level, Text() << open("AvgSpa") << destination << ", " << wholeNumber(a.size) << ", "
                       << a.name << "(1))");
  }

  void body(int level, int depth) {
    const int statements = shape_.between(1, 3);
    for (int i = 0; i < statements; ++i) statement(level, depth + 1);
  }

  void ifBlock(int level, int depth) {
    const std::string condition = this->condition();
    // One assignment and no other branch may stand on one line.
    if (shape_.percent(30)) {
      const std::string assigned = Text() << shape_.pick(scalars_) << " = "
                                          << expression(kMaxDepth - 1);
      if (varied_ && spell_.percent(50)) {
        line(level, Text() << kw("If") << " " << condition << " " << kw("Then") << " " << assigned);
      } else {
        line(level, Text() << kw("If") << " " << condition << " " << kw("Then"));
        line(level + 1, assigned);
        endWords(level, "EndIf", "End", "If");
      }
      return;
    }
    line(level, Text() << kw("If") << " " << condition << " " << kw("Then"));
    body(level + 1, depth);
    const int elseIfs = shape_.below(3);
    for (int i = 0; i < elseIfs; ++i) {
      line(level, Text() << kw("ElseIf") << " " << this->condition() << " " << kw("Then"));
      body(level + 1, depth);
    }
    if (shape_.percent(50)) {
      line(level, kw("Else"));
      body(level + 1, depth);
    }
    endWords(level, "EndIf", "End", "If");
  }

  void forLoop(int level, int depth) {
    if (loopVariables_.size() == 2) {
      assignment(level);
      return;
    }
    const std::string variable = loopVariables_.empty() ? "I1" : "I2";
    const int limit = shape_.between(2, 6);
    Text head;
    head << kw("For") << " " << variable << " = " << number(1) << " " << kw("To") << " "
         << number(limit);
    if (shape_.percent(30)) head << " " << kw("Step") << " " << number(1);
    line(level, head);
    const int outerLimit = loopLimit_;
    loopLimit_ = std::max(loopLimit_, limit);
    loopVariables_.push_back(variable);
    body(level + 1, depth);
    loopVariables_.pop_back();
    loopLimit_ = outerLimit;
    if (varied_ && spell_.percent(50)) {
      line(level, Text() << kw("Next") << " " << variable);
    } else {
      line(level, kw("Next"));
    }
  }

  void doLoop(int level, int depth) {
    const bool atTop = shape_.percent(50);
    const std::string condition = this->condition();
    const std::string word = shape_.percent(50) ? "While" : "Until";
    if (atTop) {
      line(level, Text() << kw("Do") << " " << kw(word) << " " << condition);
    } else {
      line(level, kw("Do"));
    }
    body(level + 1, depth);
    if (shape_.percent(30)) {
      line(level + 1, Text() << kw("If") << " " << this->condition() << " " << kw("Then"));
      if (varied_ && spell_.percent(50)) {
        line(level + 2, kw("ExitDo"));
      } else {
        line(level + 2, Text() << kw("Exit") << " " << kw("Do"));
      }
      endWords(level + 1, "EndIf", "End", "If");
    }
    if (atTop) {
      line(level, kw("Loop"));
    } else {
      line(level, Text() << kw("Loop") << " " << kw(word) << " " << condition);
    }
  }

  void whileLoop(int level, int depth) {
    line(level, Text() << kw("While") << " " << condition());
    body(level + 1, depth);
    line(level, kw("Wend"));
  }

  void selectCase(int level, int depth) {
    line(level, Text() << kw("Select") << " " << kw("Case") << " " << shape_.pick(scalars_));
    const int cases = shape_.between(1, 3);
    for (int i = 0; i < cases; ++i) {
      const int kind = shape_.below(3);
      if (kind == 0) {
        const int value = shape_.between(0, 9);
        line(level + 1, Text() << kw("Case") << " " << number(value));
      } else if (kind == 1) {
        const int low = shape_.between(10, 19);
        const int high = low + shape_.between(1, 5);
        line(level + 1, Text() << kw("Case") << " " << number(low) << " " << kw("To") << " "
                               << number(high));
      } else {
        const std::string& relation = shape_.pick(kRelations);
        const int value = shape_.between(20, 99);
        line(level + 1, Text() << kw("Case") << " " << kw("Is") << " " << relation << " "
                               << number(value));
      }
      body(level + 2, depth);
    }
    if (shape_.percent(50)) {
      line(level + 1, Text() << kw("Case") << " " << kw("Else"));
      body(level + 2, depth);
    }
    endWords(level, "EndSelect", "End", "Select");
  }

  // ---- Expressions -------------------------------------------------------

  std::string leaf() {
    switch (shape_.below(6)) {
      case 0: return shape_.pick(scalars_);
      case 1: return element();
      case 2: return shape_.pick(constants_);
      case 3:
        if (!aliases_.empty()) return shape_.pick(aliases_);
        return number(shape_.between(0, 100));
      case 4: return number(shape_.between(0, 100));
      default: return decimal(shape_.between(1, 99) / 10.0);
    }
  }

  std::string expression(int depth) {
    if (depth >= kMaxDepth || shape_.percent(35)) return leaf();
    static const char* const kOperators[] = {" + ", " - ", " * ", " / "};
    static const char* const kFunctions[] = {"ABS(", "SIN(", "COS(", "INT(",
                                             "FRAC(", "SGN(", "ATN("};
    switch (shape_.below(7)) {
      case 0: case 1:
        return Text() << expression(depth + 1) << kOperators[shape_.below(4)]
                      << expression(depth + 1);
      case 2:
        return Text() << "(" << expression(depth + 1) << ")";
      case 3:
        return Text() << kFunctions[shape_.below(7)] << expression(depth + 1) << ")";
      case 4:
        return Text() << "SQR(ABS(" << expression(depth + 1) << "))";
      case 5:
        // Stack code is limited in length: no IIF within another.
        if (depth > 0) return leaf();
        return Text() << "IIF(" << condition() << ", " << expression(depth + 1) << ", "
                      << expression(depth + 1) << ")";
      default:
        return Text() << "ATN2(" << expression(depth + 1) << ", " << expression(depth + 1)
                      << ")";
    }
  }

  std::string condition() {
    Text text;
    text << expression(kMaxDepth - 1) << " " << shape_.pick(kRelations) << " "
         << expression(kMaxDepth - 1);
    if (shape_.percent(20)) {
      if (shape_.percent(50)) {
        text << " AND " << shape_.pick(scalars_) << " > 0";
      } else {
        text << " OR " << shape_.pick(scalars_) << " < 1";
      }
    }
    return text;
  }

  // ---- Spellings ---------------------------------------------------------

  static std::string decimal(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
  }

  // A whole number as an expression operand: single tokens of equal value
  // only, as the compiled stack code holds the token's value.
  std::string number(long n) {
    if (!varied_ || n < 0 || !spell_.percent(40)) return std::to_string(n);
    if (spell_.percent(50)) return hex(n);
    return namedNumber(n);
  }

  // A constant integer parameter: any text the parser reads as that value.
  std::string wholeNumber(long n) {
    if (!varied_ || !spell_.percent(60)) return std::to_string(n);
    switch (spell_.below(7)) {
      case 0: return n >= 0 ? hex(n) : std::to_string(n);
      case 1: return n >= 0 ? binary(n) : std::to_string(n);
      case 2: return std::to_string(n - 1) + " + 1";
      case 3: return n >= 0 ? hex(n / 2) + " + " + std::to_string(n - n / 2) : std::to_string(n);
      case 4: return "1 + " + hex(0) + " * 7 + " + std::to_string(n - 1);
      case 5: return " " + std::to_string(n) + " ";
      default: return namedNumber(n);
    }
  }

  static std::string hex(long n) {
    char text[32];
    std::snprintf(text, sizeof text, "&H%lX", static_cast<unsigned long>(n));
    return text;
  }

  static std::string binary(long n) {
    std::string digits;
    for (auto v = static_cast<unsigned long>(n); v != 0; v >>= 1)
      digits.insert(digits.begin(), static_cast<char>('0' + (v & 1)));
    return "&B" + (digits.empty() ? std::string("0") : digits);
  }

  // A constant declared for the varied spelling alone. Its name holds C1
  // or C2, which name control ports only when they stand alone.
  std::string namedNumber(long n) {
    const std::string name = (n < 0 ? "NegC1_" : "ValC2_") + std::to_string(n < 0 ? -n : n);
    if (namedNumbers_.insert(name).second)
      header_.insert(header_.begin(), "Const " + name + " = " + std::to_string(n));
    return name;
  }

  std::string flag(bool value) { return kw(value ? "True" : "False"); }

  std::string kw(const std::string& word) {
    if (!varied_) return word;
    std::string spelled = word;
    switch (spell_.below(4)) {
      case 0:
        for (char& ch : spelled) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        break;
      case 1:
        for (char& ch : spelled) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        break;
      default:
        break;
    }
    return spelled;
  }

  // An instruction keyword and its opening parenthesis.
  std::string open(const std::string& keyword) {
    std::string text = kw(keyword);
    return text + (varied_ && spell_.percent(20) ? " (" : "(");
  }

  void line(int level, const std::string& text) {
    std::string indent(static_cast<std::size_t>(2 * level), ' ');
    if (varied_ && spell_.percent(30)) indent = std::string(static_cast<std::size_t>(level), '\t');
    body_.push_back(indent + text);
  }

  std::string assemble() {
    std::string out;
    if (varied_ && spell_.percent(30)) out += "\xEF\xBB\xBF";
    const bool lineFeedsOnly = varied_ && spell_.percent(50);
    std::vector<std::string> lines = header_;
    lines.insert(lines.end(), body_.begin(), body_.end());
    for (const std::string& text : lines) {
      out += text;
      if (varied_ && spell_.percent(10)) out += " ' note";
      out += lineFeedsOnly ? "\n" : "\r\n";
    }
    return out;
  }

  Random shape_;
  Random spell_;
  bool varied_;
  std::vector<std::string> header_;
  std::vector<std::string> body_;
  std::vector<std::string> scalars_;
  std::vector<Array> arrays_;
  std::vector<std::string> constants_;
  std::vector<std::string> aliases_;
  std::vector<std::string> subs_;
  std::vector<std::string> tableNames_;
  std::vector<std::string> loopVariables_;
  std::set<std::string> namedNumbers_;
  int loopLimit_ = 0;
  int tableCount_ = 1;
  int fieldNames_ = 0;
  bool inSub_ = false;
};

}  // namespace

std::string generateProgram(std::uint32_t seed, Spelling spelling) {
  return ProgramWriter(seed, spelling).write();
}

}  // namespace vk6::test
