#include "lsp/server.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "lsp/features.h"
#include "vk6/compiler.h"

namespace vk6::lsp {

namespace {

// JSON-RPC and protocol error codes.
constexpr int kParseError = -32700;
constexpr int kInvalidRequest = -32600;
constexpr int kMethodNotFound = -32601;
constexpr int kInvalidParams = -32602;
constexpr int kServerNotInitialized = -32002;

constexpr int kSyncFull = 1;

using Json = nlohmann::json;

// The last path segment of a URI, as the compile names its program.
std::string programName(const std::string& uri) {
  const std::size_t slash = uri.find_last_of('/');
  return slash == std::string::npos ? uri : uri.substr(slash + 1);
}

Position positionOf(const Json& params) {
  const Json& p = params.at("position");
  return {p.at("line").get<int>(), p.at("character").get<int>()};
}

Json capabilities() {
  return {
      {"textDocumentSync", {{"openClose", true}, {"change", kSyncFull}}},
      {"hoverProvider", true},
      {"completionProvider", Json::object()},
      {"signatureHelpProvider", {{"triggerCharacters", {"(", ",", " "}}}},
      {"definitionProvider", true},
      {"referencesProvider", true},
      {"documentSymbolProvider", true},
      {"documentFormattingProvider", true},
  };
}

}  // namespace

Server::Server(ServerConfig config) : config_(std::move(config)), build_(&config_.vk617q) {}

std::size_t Server::storedBytes() const {
  std::size_t bytes = 0;
  for (const auto& [uri, doc] : documents_) bytes += uri.size() + doc->text().size();
  return bytes;
}

void Server::receive(std::string_view bytes) {
  reader_.feed(bytes);
  std::string body;
  while (!exited_) {
    const MessageReader::Status status = reader_.next(&body);
    if (status == MessageReader::Status::kNeedMore) break;
    if (status == MessageReader::Status::kBadHeader)
      sendError(nullptr, kParseError, "Bad message header: no valid Content-Length.");
    else
      handleMessage(body);
  }
}

void Server::idle() {
  for (const std::string& uri : dirty_) {
    if (Document* doc = compiledDocument(uri)) publish(uri, *doc);
  }
  dirty_.clear();
}

std::string Server::takeOutput() { return std::exchange(output_, std::string()); }

void Server::handleMessage(const std::string& body) {
  const Json message = Json::parse(body, nullptr, false);
  if (message.is_discarded()) return sendError(nullptr, kParseError, "Parse error.");
  if (!message.is_object()) return sendError(nullptr, kInvalidRequest, "Not a JSON-RPC message.");
  const auto method = message.find("method");
  const auto id = message.find("id");
  const Json idValue = id == message.end() ? Json(nullptr) : *id;
  if (method == message.end() || !method->is_string()) {
    // A response to a request of ours (we send none) needs no answer.
    if (id != message.end() && (message.contains("result") || message.contains("error"))) return;
    return sendError(idValue, kInvalidRequest, "Not a JSON-RPC message.");
  }
  const std::string name = *method;
  const auto paramsAt = message.find("params");
  const Json params = paramsAt == message.end() ? Json::object() : *paramsAt;
  try {
    if (id == message.end()) return handleNotification(name, params);
    if (!initialized_ && name != "initialize")
      return sendError(idValue, kServerNotInitialized, "The server is not initialized.");
    if (shutdown_) return sendError(idValue, kInvalidRequest, "The server is shut down.");
    Json result = handleRequest(name, params);
    if (result.is_discarded())
      return sendError(idValue, kMethodNotFound, "Unhandled method " + name + ".");
    send({{"jsonrpc", "2.0"}, {"id", idValue}, {"result", std::move(result)}});
  } catch (const Json::exception&) {
    // Parameters of the wrong shape: the library refused to read them.
    if (id != message.end()) sendError(idValue, kInvalidParams, "Invalid parameters for " + name + ".");
  }
}

void Server::handleNotification(const std::string& method, const Json& params) {
  if (method == "exit") {
    exited_ = true;
    return;
  }
  if (!initialized_ || shutdown_) return;
  if (method == "textDocument/didOpen") openDocument(params);
  else if (method == "textDocument/didChange") changeDocument(params);
  else if (method == "textDocument/didClose") closeDocument(params);
  else if (method == "workspace/didChangeConfiguration")
    setModel(params.at("settings").at("vk6").at("model"));
  // Other notifications ($/cancelRequest, initialized, didSave...) need nothing.
}

Json Server::handleRequest(const std::string& method, const Json& params) {
  if (method == "initialize") {
    initialized_ = true;
    if (const auto options = params.find("initializationOptions");
        options != params.end() && options->is_object() && options->contains("model"))
      setModel(options->at("model"));
    return {{"capabilities", capabilities()},
            {"serverInfo", {{"name", "vk6lsp"}, {"version", VK6_VERSION}}}};
  }
  if (method == "shutdown") {
    // What the client last sent gets its diagnostics before the end.
    idle();
    shutdown_ = true;
    return nullptr;
  }
  if (method.rfind("textDocument/", 0) == 0) return documentRequest(method, params);
  return Json(Json::value_t::discarded);
}

Json Server::documentRequest(const std::string& method, const Json& params) {
  // For a document it does not hold, the server answers as for one
  // with nothing to show.
  static constexpr std::string_view kListAnswers[] = {
      "textDocument/completion", "textDocument/references", "textDocument/documentSymbol",
      "textDocument/formatting"};
  static constexpr std::string_view kOtherAnswers[] = {
      "textDocument/hover", "textDocument/signatureHelp", "textDocument/definition"};
  const bool list = std::find(std::begin(kListAnswers), std::end(kListAnswers), method) !=
                    std::end(kListAnswers);
  if (!list && std::find(std::begin(kOtherAnswers), std::end(kOtherAnswers), method) ==
                   std::end(kOtherAnswers))
    return Json(Json::value_t::discarded);

  const std::string uri = params.at("textDocument").at("uri").get<std::string>();
  const Document* doc = compiledDocument(uri);
  if (doc == nullptr) return list ? Json::array() : Json(nullptr);
  if (method == "textDocument/hover") return hoverAt(*doc, positionOf(params));
  if (method == "textDocument/completion") return completionAt(*doc, positionOf(params));
  if (method == "textDocument/signatureHelp") return signatureHelpAt(*doc, positionOf(params));
  if (method == "textDocument/definition") return definitionAt(*doc, uri, positionOf(params));
  if (method == "textDocument/references") {
    const auto context = params.find("context");
    const bool withDeclaration = context == params.end() ||
                                 context->value("includeDeclaration", true);
    return referencesAt(*doc, uri, positionOf(params), withDeclaration);
  }
  if (method == "textDocument/documentSymbol") return documentSymbolsOf(*doc);
  const Json& options = params.at("options");
  FormatOptions format;
  format.tabSize = options.at("tabSize").get<int>();
  format.insertSpaces = options.at("insertSpaces").get<bool>();
  format.model = build_->model;
  return formattingEdits(*doc, format);
}

void Server::openDocument(const Json& params) {
  const Json& item = params.at("textDocument");
  const std::string uri = item.at("uri").get<std::string>();
  std::string text = item.at("text").get<std::string>();
  const int version = item.value("version", 0);
  auto& slot = documents_[uri];
  if (slot) slot->setText(std::move(text), version);
  else slot = std::make_unique<Document>(std::move(text), version);
  dirty_.insert(uri);
}

void Server::changeDocument(const Json& params) {
  const Json& item = params.at("textDocument");
  const std::string uri = item.at("uri").get<std::string>();
  const auto found = documents_.find(uri);
  if (found == documents_.end()) return;
  Document& doc = *found->second;
  std::string text = doc.text();
  for (const Json& change : params.at("contentChanges")) {
    const std::string& newText = change.at("text").get_ref<const std::string&>();
    if (!change.contains("range")) {
      text = newText;
      continue;
    }
    // A client may send ranges even though full text was asked for.
    const LineIndex index(text);
    const Json& range = change.at("range");
    std::size_t begin = index.offsetOf(
        {range.at("start").at("line").get<int>(), range.at("start").at("character").get<int>()});
    const std::size_t end = index.offsetOf(
        {range.at("end").at("line").get<int>(), range.at("end").at("character").get<int>()});
    begin = std::min(begin, end);
    text.replace(begin, end - begin, newText);
  }
  int version = doc.version();
  if (const auto v = item.find("version"); v != item.end() && v->is_number_integer()) version = *v;
  doc.setText(std::move(text), version);
  dirty_.insert(uri);
}

void Server::closeDocument(const Json& params) {
  const std::string uri = params.at("textDocument").at("uri").get<std::string>();
  if (documents_.erase(uri) == 0) return;
  dirty_.erase(uri);
  send({{"jsonrpc", "2.0"},
        {"method", "textDocument/publishDiagnostics"},
        {"params", {{"uri", uri}, {"diagnostics", Json::array()}}}});
}

void Server::setModel(const Json& model) {
  if (!model.is_string()) return;
  const std::string name = model.get<std::string>();
  const BuildInfo* chosen = build_;
  if (name == "VK617Q") chosen = &config_.vk617q;
  else if (name == "VK610Q") chosen = &config_.vk610q;
  if (chosen == build_) return;
  build_ = chosen;
  for (auto& [uri, doc] : documents_) {
    doc->setText(std::string(doc->text()), doc->version());
    dirty_.insert(uri);
  }
}

Document* Server::compiledDocument(const std::string& uri) {
  const auto found = documents_.find(uri);
  if (found == documents_.end()) return nullptr;
  Document& doc = *found->second;
  if (!doc.compiled()) {
    CompileOptions options;
    options.noImage = true;
    doc.setResult(compileProgram({doc.text(), programName(uri)}, *build_, options));
  }
  return &doc;
}

void Server::publish(const std::string& uri, const Document& doc) {
  send({{"jsonrpc", "2.0"},
        {"method", "textDocument/publishDiagnostics"},
        {"params", {{"uri", uri}, {"version", doc.version()},
                    {"diagnostics", diagnosticsOf(doc, uri)}}}});
}

void Server::send(const Json& message) {
  // Texts from a document may hold bytes that are no UTF-8.
  output_ += frameMessage(message.dump(-1, ' ', false, Json::error_handler_t::replace));
}

void Server::sendError(const Json& id, int code, const std::string& message) {
  send({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}});
}

}  // namespace vk6::lsp
