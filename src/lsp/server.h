// The language server: bytes of the protocol in, bytes out. It keeps the
// open documents and compiles each through the library for the model the
// client chose; what it answers is read from those compile results
// (lsp/features.h). It holds no other state and never touches a file, so
// tests and the fuzz target drive it in-process exactly as the program
// does over stdin and stdout.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "core/options.h"
#include "lsp/document.h"
#include "lsp/framing.h"

namespace vk6::lsp {

// What one executable needs to compile for either model.
struct ServerConfig {
  BuildInfo vk617q;
  BuildInfo vk610q;
};

class Server {
 public:
  explicit Server(ServerConfig config);

  // Takes bytes from the client and answers every whole message among
  // them. Changed documents wait for idle().
  void receive(std::string_view bytes);
  // Compiles the documents changed since the last call and publishes
  // their diagnostics: call it when no more input is waiting, so a burst
  // of changes costs one compile.
  void idle();
  // The bytes to send since the last call.
  std::string takeOutput();

  // After the exit notification: stop reading and end with exitCode().
  bool exited() const { return exited_; }
  int exitCode() const { return shutdown_ ? 0 : 1; }

  // The server's own bookkeeping, for the soak test: open documents,
  // bytes of their texts, documents waiting for idle(), bytes buffered.
  std::size_t documentCount() const { return documents_.size(); }
  std::size_t storedBytes() const;
  std::size_t pendingCount() const { return dirty_.size(); }
  std::size_t bufferedBytes() const { return reader_.buffered() + output_.size(); }

 private:
  using Json = nlohmann::json;

  void handleMessage(const std::string& body);
  void handleNotification(const std::string& method, const Json& params);
  Json handleRequest(const std::string& method, const Json& params);
  Json documentRequest(const std::string& method, const Json& params);
  void openDocument(const Json& params);
  void changeDocument(const Json& params);
  void closeDocument(const Json& params);
  void setModel(const Json& model);

  Document* compiledDocument(const std::string& uri);
  void publish(const std::string& uri, const Document& doc);
  void send(const Json& message);
  void sendError(const Json& id, int code, const std::string& message);

  ServerConfig config_;
  const BuildInfo* build_;
  MessageReader reader_;
  std::map<std::string, std::unique_ptr<Document>> documents_;
  std::set<std::string> dirty_;  // changed since their diagnostics were sent
  std::string output_;
  bool initialized_ = false;
  bool shutdown_ = false;
  bool exited_ = false;
};

}  // namespace vk6::lsp
