#include "fuzz_cases.h"

#include "dump/image_reader.h"
#include "dump/report.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/compilation.h"
#include "expr/constant_eval.h"
#include "expr/expression_compiler.h"
#include "format/operand_word.h"
#include "lsp/framing.h"
#include "lsp/server.h"
#include "parse/instruction_table.h"
#include "parse/source_reader.h"
#include "symbols/expression_area.h"
#include "vk6/compiler.h"
#include "vk6/passes.h"

namespace vk6::fuzz {
namespace {

// Declarations every fuzzed expression can refer to.
constexpr const char* kExpressionPrelude =
    "Public X, Y(4), Z\r\n"
    "Dim W(6)\r\n"
    "Const K = 3\r\n";

constexpr int kModeBits = 3;
constexpr int kStoreBit = 4;
constexpr std::uint16_t kDeferredBit = 0x8000;

void loadBytes(Compilation& c, std::string_view bytes) {
  c.options.build = {"VK617Q.Std.03", "131104"};
  loadProgram(c, {bytes, "prog.cr"});
}

}  // namespace

std::string checkCompile(std::string_view source) {
  CompileOptions options;
  options.listing = options.definitionFile = true;
  const CompileResult r =
      compileProgram({source, "prog.cr"}, {"VK617Q.Std.03", "131104"}, options);
  if (r.errorCount < 0 || r.warningCount < 0) return "negative diagnostic count";
  if (r.errorText.size() >= kDiagnosticTextSize ||
      r.warningText.size() >= kDiagnosticTextSize)
    return "diagnostic text over its bound";
  if (r.diagnostics.size() != static_cast<std::size_t>(r.errorCount + r.warningCount))
    return "records and counts disagree";
  if (r.outcome() == Outcome::kFailed) {
    if (!r.image.empty() || !r.listing.empty() || !r.definitionFile.empty())
      return "outputs of a failed compile";
  } else if (r.image.empty() || r.definitionFile.empty()) {
    return "no image or definition file after a successful compile";
  }
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
  const ImageDump dump = inspectImage(image);
  const int code = exitCodeOf(dump);
  if (code < 0 || code > 2) return "exit code " + std::to_string(code);
  if (reportText(dump, {true, nullptr}).empty()) return "empty report";
  const std::string json = reportJson(dump);
  if (json.empty() || json.front() != '{') return "JSON report is no object";
  return std::string();
}

namespace {

using Json = nlohmann::json;

std::string framedRequest(int id, const std::string& method, const Json& params) {
  const Json message = {{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}};
  return lsp::frameMessage(message.dump(-1, ' ', false, Json::error_handler_t::replace));
}

// The requests of every kind at positions picked by `picks`.
std::string requestsFor(std::string_view picks, int* lastId) {
  static constexpr const char* kMethods[] = {
      "textDocument/hover", "textDocument/completion", "textDocument/signatureHelp",
      "textDocument/definition", "textDocument/references", "textDocument/documentSymbol"};
  constexpr std::size_t kMaxRequests = 12;
  std::string stream;
  for (std::size_t i = 0; i + 1 < picks.size() && i / 2 < kMaxRequests; i += 2) {
    const int line = static_cast<unsigned char>(picks[i]) % 64;
    const int column = static_cast<unsigned char>(picks[i + 1]) % 80;
    const char* method = kMethods[(i / 2) % std::size(kMethods)];
    stream += framedRequest(++*lastId, method,
                            {{"textDocument", {{"uri", "file:///f.vk6"}}},
                             {"position", {{"line", line}, {"character", column}}},
                             {"context", {{"includeDeclaration", true}}}});
  }
  return stream;
}

}  // namespace

std::string checkLsp(std::string_view bytes) {
  if (bytes.empty()) return {};
  lsp::Server server({{"VK617Q.Std.03", "131104"}, {"VK610Q.Std.03", "131104"}});
  int lastId = 1;
  std::string stream = framedRequest(1, "initialize", {{"initializationOptions",
                                                        {{"model", bytes[0] & 2 ? "VK610Q" : "VK617Q"}}}});
  const std::string_view rest = bytes.substr(1);
  if (bytes[0] % 2 == 0) {
    stream += rest;
    // Whatever the stream left half-read, the next header starts afresh.
    stream += "\r\n\r\n";
  } else {
    const std::string text(rest);
    const Json open = {{"jsonrpc", "2.0"}, {"method", "textDocument/didOpen"},
                       {"params", {{"textDocument", {{"uri", "file:///f.vk6"}, {"version", 1},
                                                     {"languageId", "vk6"}, {"text", text}}}}}};
    stream += lsp::frameMessage(open.dump(-1, ' ', false, Json::error_handler_t::replace));
    stream += requestsFor(rest, &lastId);
    stream += framedRequest(++lastId, "textDocument/formatting",
                            {{"textDocument", {{"uri", "file:///f.vk6"}}},
                             {"options", {{"tabSize", 2}, {"insertSpaces", true}}}});
  }
  // Fed in pieces, as a pipe hands them over.
  constexpr std::size_t kPiece = 509;
  for (std::size_t at = 0; at < stream.size() && !server.exited(); at += kPiece) {
    server.receive(std::string_view(stream).substr(at, kPiece));
    server.idle();
  }
  const bool exitedEarly = server.exited();
  server.receive(framedRequest(++lastId, "shutdown", nullptr) +
                 lsp::frameMessage(R"({"jsonrpc":"2.0","method":"exit"})"));

  lsp::MessageReader reader;
  reader.feed(server.takeOutput());
  std::string body;
  std::vector<int> answered;
  while (reader.next(&body) == lsp::MessageReader::Status::kMessage) {
    const Json message = Json::parse(body, nullptr, false);
    if (message.is_discarded()) return "the server sent no JSON: " + body.substr(0, 200);
    if (message.contains("id") && message["id"].is_number_integer()) answered.push_back(message["id"]);
  }
  if (reader.buffered() != 0) return "the server sent a partial message";
  // A raw stream may hold an exit, or a length that swallows ours.
  if (exitedEarly || bytes[0] % 2 == 0) return {};
  if (!server.exited() || server.exitCode() != 0) return "shutdown and exit did not end with 0";
  for (int id = 1; id <= lastId; ++id)
    if (std::count(answered.begin(), answered.end(), id) != 1)
      return "request " + std::to_string(id) + " answered " +
             std::to_string(std::count(answered.begin(), answered.end(), id)) + " times";
  return {};
}

std::string checkRegression(const std::string& fileName, std::string_view bytes) {
  if (fileName.rfind("compile-", 0) == 0) return checkCompile(bytes);
  if (fileName.rfind("pass1-", 0) == 0) return checkPass1(bytes);
  if (fileName.rfind("expression-", 0) == 0) return checkExpression(bytes);
  if (fileName.rfind("dump-", 0) == 0) return checkDump(bytes);
  if (fileName.rfind("lsp-", 0) == 0) return checkLsp(bytes);
  return "regression file of no known target: " + fileName;
}

}  // namespace vk6::fuzz
