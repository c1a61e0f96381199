// The language server's protocol layer: positions, framing, and what it
// answers to broken, unknown and hostile input.
#include <gtest/gtest.h>

#include "lsp/line_index.h"
#include "lsp_support.h"

namespace vk6::test {
namespace {

TEST(LspLineIndex, ConvertsOffsetsAndUtf16Columns) {
  struct Case {
    const char* text;
    std::size_t offset;
    lsp::Position position;
  };
  const Case cases[] = {
      {"", 0, {0, 0}},
      {"ab\ncd", 3, {1, 0}},
      {"ab\ncd", 5, {1, 2}},
      {"ab\r\ncd", 2, {0, 2}},
      {"ab\r\ncd", 4, {1, 0}},
      {"\xc3\xa9x", 2, {0, 1}},            // two bytes, one unit
      {"\xf0\x9f\x98\x80x", 4, {0, 2}},    // four bytes, two units
      {"\xff\xfex", 2, {0, 2}},            // no UTF-8: a unit per byte
  };
  for (const Case& c : cases) {
    const lsp::LineIndex index(c.text);
    EXPECT_EQ(c.position, index.positionOf(c.offset)) << c.text;
    EXPECT_EQ(c.offset, index.offsetOf(c.position)) << c.text;
  }
  // Past a line's end and past the text: clamped.
  const lsp::LineIndex index("ab\r\ncd");
  EXPECT_EQ(2u, index.offsetOf({0, 9}));
  EXPECT_EQ(6u, index.offsetOf({7, 0}));
  EXPECT_EQ((lsp::Position{1, 2}), index.end());
}

std::string request(int id, const std::string& method, const Json& params) {
  return framed({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}});
}

TEST(LspProtocol, AnswersBrokenAndUnknownInput) {
  const std::string kInitialize = request(1, "initialize", Json::object());
  struct Case {
    std::string input;  // after initialize
    const char* answers;
  };
  const Case cases[] = {
      {"Content-Length: 5\r\n\r\n{bad}",
       R"json([{"jsonrpc":"2.0","id":null,"error":{"code":-32700,"message":"Parse error."}}])json"},
      {"Content-Length: x5\r\n\r\nContent-Type: a\r\n\r\n" + request(2, "shutdown", nullptr),
       R"json([{"jsonrpc":"2.0","id":null,"error":{"code":-32700,"message":"Bad message header: no valid Content-Length."}},
               {"jsonrpc":"2.0","id":null,"error":{"code":-32700,"message":"Bad message header: no valid Content-Length."}},
               {"jsonrpc":"2.0","id":2,"result":null}])json"},
      // Bytes that are no UTF-8 make no JSON.
      {"Content-Length: 3\r\n\r\n\"\xff\"",
       R"json([{"jsonrpc":"2.0","id":null,"error":{"code":-32700,"message":"Parse error."}}])json"},
      {"Content-Length: 5\r\n\r\n[1,2]",
       R"json([{"jsonrpc":"2.0","id":null,"error":{"code":-32600,"message":"Not a JSON-RPC message."}}])json"},
      {request(2, "workspace/symbol", Json::object()) +
           framed({{"jsonrpc", "2.0"}, {"method", "custom/thing"}}),
       R"json([{"jsonrpc":"2.0","id":2,"error":{"code":-32601,"message":"Unhandled method workspace/symbol."}}])json"},
      {request(2, "textDocument/hover", at(0, 0)) +
           request(3, "textDocument/references", at(0, 0)),
       R"json([{"jsonrpc":"2.0","id":2,"result":null},{"jsonrpc":"2.0","id":3,"result":[]}])json"},
      {request(2, "textDocument/hover", {{"textDocument", 7}}),
       R"json([{"jsonrpc":"2.0","id":2,"error":{"code":-32602,"message":"Invalid parameters for textDocument/hover."}}])json"},
  };
  for (const Case& c : cases) {
    lsp::Server server(serverConfig());
    server.receive(kInitialize);
    server.takeOutput();
    server.receive(c.input);
    EXPECT_EQ(Json::parse(c.answers), Json(messagesIn(server.takeOutput()))) << c.input;
  }
}

TEST(LspProtocol, RefusesRequestsBeforeInitializeAndExits) {
  lsp::Server server(serverConfig());
  server.receive(request(1, "textDocument/hover", at(0, 0)));
  EXPECT_EQ(Json::parse(R"json([{"jsonrpc":"2.0","id":1,"error":{"code":-32002,"message":"The server is not initialized."}}])json"),
            Json(messagesIn(server.takeOutput())));
  // Exit without shutdown ends with 1; nothing after it is read.
  server.receive(framed({{"jsonrpc", "2.0"}, {"method", "exit"}}) +
                 request(2, "initialize", Json::object()));
  EXPECT_TRUE(server.exited());
  EXPECT_EQ(1, server.exitCode());
  EXPECT_EQ("", server.takeOutput());
}

TEST(LspProtocol, TakesHugeAndBinaryDocuments) {
  std::string huge;
  while (huge.size() < 1024 * 1024) huge += "' a comment line to make the text large\r\n";
  std::string binary = "Public T\nBeginProg\n";
  for (int byte = 0; byte < 256; ++byte) binary += static_cast<char>(byte);
  const Json text = Json::parse(Json(binary).dump(-1, ' ', false, Json::error_handler_t::replace));
  for (const Json& program : {Json(huge), text}) {
    Client c;
    EXPECT_TRUE(c.open(program.get<std::string>()).is_array());
    EXPECT_TRUE(c.request("textDocument/completion", at(2, 40)).is_array());
    EXPECT_TRUE(c.request("textDocument/documentSymbol", at(0, 0)).is_array());
  }
}

// Many edits leave the server holding one document and nothing pending.
TEST(LspProtocol, StaysFlatOverManyEdits) {
  Client client;
  client.open("Public T\n");
  const std::size_t base = client.server.storedBytes();
  for (int edit = 1; edit <= 10000; ++edit) {
    std::string text = "Public T\n";
    text.append(static_cast<std::size_t>(edit % 50), 'x');
    client.server.receive(framed({{"jsonrpc", "2.0"}, {"method", "textDocument/didChange"},
                                  {"params", {{"textDocument", {{"uri", Client::kUri}, {"version", edit}}},
                                              {"contentChanges", {{{"text", text}}}}}}}));
    if (edit % 100 == 0) client.server.idle();
    EXPECT_LE(client.server.storedBytes(), base + 49);
    client.server.takeOutput();
  }
  EXPECT_EQ(1u, client.server.documentCount());
  EXPECT_EQ(0u, client.server.pendingCount());
  EXPECT_EQ(0u, client.server.bufferedBytes());
}

}  // namespace
}  // namespace vk6::test
