#include "fuzz_cases.h"

#include "dump/image_reader.h"
#include "dump/report.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>
#include <vector>

#include "core/compilation.h"
#include "driver/compile.h"
#include "expr/constant_eval.h"
#include "expr/expression_compiler.h"
#include "format/operand_word.h"
#include "parse/instruction_table.h"
#include "parse/source_reader.h"
#include "symbols/expression_area.h"

namespace vk6::fuzz {
namespace {

namespace fs = std::filesystem;

// Declarations every fuzzed expression can refer to.
constexpr const char* kExpressionPrelude =
    "Public X, Y(4), Z\r\n"
    "Dim W(6)\r\n"
    "Const K = 3\r\n";

constexpr int kModeBits = 3;
constexpr int kStoreBit = 4;
constexpr std::uint16_t kDeferredBit = 0x8000;

std::string readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in),
                     std::istreambuf_iterator<char>());
}

bool writeAll(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

bool fileExists(const fs::path& path) {
  std::error_code error;
  return fs::exists(path, error);
}

// Lines of `text` that begin with `part`. Messages may echo source text,
// outcome words included, but never at the start of a line.
std::size_t linesStartingWith(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos;
       at = text.find(part, at + part.size()))
    if (at == 0 || text[at - 1] == '\n') ++count;
  return count;
}

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

void loadBytes(Compilation& c, std::string_view bytes) {
  c.options.build = {"VK617Q.Std.03", "131104"};
  c.options.sourcePath = "prog.cr";
  c.pass1.source.path = "prog.cr";
  c.pass1.source.opened = true;
  c.pass1.source.bytes.assign(bytes.data(), bytes.size());
}

}  // namespace

std::string checkWholeCompile(std::string_view source, const fs::path& folder) {
  const fs::path program = folder / "prog.cr";
  const fs::path results = folder / "res.txt";
  const fs::path image = folder / "prog.bin";
  const std::vector<fs::path> outputs = {results, image, folder / "prog.bin.tmp",
                                         folder / "list.txt", folder / "defs.tdf"};
  std::error_code error;
  for (const fs::path& output : outputs) fs::remove(output, error);
  if (!writeAll(program, source)) return "cannot write " + program.string();

  std::ostringstream out, err;
  const int code = runProgram({"vk6comp", "-l", "list.txt", "-z", "defs.tdf",
                               program.string(), results.string()},
                              {"VK617Q.Std.03", "131104"}, out, err);
  if (code != 0 && code != 1) return "exit code " + std::to_string(code);
  if (!fileExists(results)) return "no results file";
  const std::string text = readAll(results);
  const std::string outcome =
      program.string() +
      (code == 0 ? " -- Compiled OK.\r\n" : " -- Compile Failed!\r\n\n");
  if (text.compare(0, outcome.size(), outcome) != 0)
    return "results do not begin with the outcome of exit code " +
           std::to_string(code) + ": " + text.substr(0, 200);
  if (linesStartingWith(text, program.string() + " -- Comp") != 1)
    return "more than one outcome line";
  if (!endsWith(out.str(), text)) return "standard output lacks the results";
  if (!err.str().empty()) return "unexpected standard error: " + err.str();
  if (readAll(program) != source) return "the program file was changed";
  if (fileExists(folder / "prog.bin.tmp")) return "temporary image left behind";
  if (code == 0 && !fileExists(image)) return "no image after a successful compile";
  if (code == 0 && !fileExists(folder / "list.txt")) return "no listing written";
  if (code == 1 && fileExists(image)) return "image written by a failed compile";
  return std::string();
}

std::string checkPass1(std::string_view bytes) {
  Compilation c;
  loadBytes(c, bytes);
  runPass1(c);
  if (c.diag.errorCount < 0 || c.diag.warningCount < 0)
    return "negative diagnostic count";
  if (c.diag.errorText.size() >= kDiagnosticTextSize ||
      c.diag.warningText.size() >= kDiagnosticTextSize)
    return "diagnostic text over its bound";
  const StatementBuffer& buffer = c.statements;
  std::size_t position = 0;
  int lastIndex = -1;
  for (int n = 0; n < buffer.recordCount(); ++n) {
    if (position >= buffer.size()) return "record past the buffer's end";
    const Statement st = buffer.record(position, n);
    if (st.index() >= kInstructionCount) return "record index out of range";
    if (st.length() < 1) return "record of length 0";
    position += static_cast<std::size_t>(st.length());
    lastIndex = st.index();
  }
  if (position > buffer.size()) return "last record past the buffer's end";
  if (c.diag.errorCount == 0) {
    if (buffer.recordCount() == 0 || lastIndex != kEndOfProgram)
      return "sound pass 1 without an end record";
    if (position != buffer.size()) return "words left after the last record";
  }
  return std::string();
}

std::string checkExpression(std::string_view bytes) {
  if (bytes.empty()) return std::string();
  const int selector = static_cast<unsigned char>(bytes[0]);
  std::string text(bytes.substr(1));
  // No text of the compiler holds a NUL: lines are cut there.
  text.resize(std::min(text.find('\0'), text.size()));

  Compilation c;
  loadBytes(c, kExpressionPrelude);
  runPass1(c);
  if (c.diag.errorCount != 0) return "prelude failed: " + c.diag.errorText;
  const bool store = (selector & kStoreBit) != 0;
  std::uint16_t operand = 0;
  const int code =
      compileExpression(c, text, operand, selector & kModeBits, store);
  // An over-long text is reported but, as the logger's tools do, returns
  // 0 with no code.
  if (text.size() >= kMaxExpressionLength) {
    if (code != 0 || c.diag.errorCount == 0 || operand != kNoOperand)
      return "over-long expression not refused";
    return std::string();
  }
  if (code != 0) {
    if (expressionErrorText(code) == nullptr) return "error code without text";
    return std::string();
  }
  if (store && operand == kNoOperand) return "sound stored expression has no operand";
  // A table-field reference is always deferred, stored or not.
  const bool deferred = operand != kNoOperand && (operand & kDeferredBit) != 0;
  if (!store && operand != kNoOperand && !deferred)
    return "unstored expression has an operand";
  if (!store && !deferred) evaluateOperand(c, kNoOperand, 0);
  return std::string();
}

std::string checkDump(std::string_view bytes) {
  const ByteSpan image(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  const ImageDump dump = inspectImage(image, "VK617Q.Std.03");
  const int code = exitCodeOf(dump);
  if (code < 0 || code > 2) return "exit code " + std::to_string(code);
  if (reportText(dump).empty()) return "empty report";
  const std::string json = reportJson(dump);
  if (json.empty() || json.front() != '{') return "JSON report is no object";
  return std::string();
}

std::string checkRegression(const std::string& fileName, std::string_view bytes,
                            const fs::path& folder) {
  if (fileName.rfind("compile-", 0) == 0) return checkWholeCompile(bytes, folder);
  if (fileName.rfind("pass1-", 0) == 0) return checkPass1(bytes);
  if (fileName.rfind("expression-", 0) == 0) return checkExpression(bytes);
  if (fileName.rfind("dump-", 0) == 0) return checkDump(bytes);
  return "regression file of no known target: " + fileName;
}

}  // namespace vk6::fuzz
