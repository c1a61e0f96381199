// Helpers of the language server's tests: a client that drives the server
// in-process and reads its answers back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "lsp/framing.h"
#include "lsp/server.h"

namespace vk6::test {

using Json = nlohmann::json;

inline lsp::ServerConfig serverConfig() {
  return {{"VK617Q.Std.03", "131104"}, {"VK610Q.Std.03", "131104"}};
}

inline std::string framed(const Json& message) { return lsp::frameMessage(message.dump()); }

// The messages the server sent in `bytes`, parsed; a body that is no
// JSON shows as a string.
inline std::vector<Json> messagesIn(std::string_view bytes) {
  lsp::MessageReader reader;
  reader.feed(bytes);
  std::vector<Json> messages;
  std::string body;
  while (reader.next(&body) == lsp::MessageReader::Status::kMessage) {
    Json message = Json::parse(body, nullptr, false);
    messages.push_back(message.is_discarded() ? Json(body) : message);
  }
  return messages;
}

class Client {
 public:
  // Sends `message` as it stands and returns what the server sent back
  // once idle.
  std::vector<Json> exchange(const Json& message) {
    server.receive(framed(message));
    server.idle();
    return messagesIn(server.takeOutput());
  }
  std::vector<Json> notify(const std::string& method, const Json& params) {
    return exchange({{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
  }
  // The answer to a request: its result, or its error object.
  Json request(const std::string& method, const Json& params) {
    const int id = ++lastId_;
    for (const Json& m : exchange({{"jsonrpc", "2.0"}, {"id", id}, {"method", method},
                                   {"params", params}}))
      if (m.value("id", Json()) == id) return m.contains("result") ? m["result"] : m["error"];
    return "no answer";
  }
  // Initializes with `options` and opens `text` as file:///prog.vk6;
  // returns the diagnostics published for it.
  Json open(const std::string& text, const Json& options = Json::object()) {
    request("initialize", {{"initializationOptions", options}});
    return diagnosticsIn(notify("textDocument/didOpen",
                                {{"textDocument", {{"uri", kUri}, {"languageId", "vk6"},
                                                   {"version", 1}, {"text", text}}}}));
  }
  static Json diagnosticsIn(const std::vector<Json>& messages) {
    for (const Json& m : messages)
      if (m.value("method", "") == "textDocument/publishDiagnostics")
        return m["params"]["diagnostics"];
    return nullptr;
  }

  static constexpr const char* kUri = "file:///prog.vk6";
  lsp::Server server{serverConfig()};

 private:
  int lastId_ = 0;
};

// Parameters naming the document of Client::open and a position in it.
inline Json at(int line, int character) {
  return {{"textDocument", {{"uri", Client::kUri}}},
          {"position", {{"line", line}, {"character", character}}}};
}

}  // namespace vk6::test
