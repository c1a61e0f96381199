// The diagnostics the language server publishes: the compiler's own
// messages on their lines, the hints for the language's traps, and,
// through the real programs, the same messages as the results file.
#include <gtest/gtest.h>

#include <filesystem>

#include "lsp_support.h"
#include "test_support.h"

namespace vk6::test {
namespace {

struct DiagnosticCase {
  const char* program;
  const char* diagnostics;  // as JSON: [line, start, end, severity, message, related line]...
};

// Each diagnostic as [line, start, end, severity, message(, related line)].
Json compact(const Json& diagnostics) {
  Json rows = Json::array();
  for (const Json& d : diagnostics) {
    Json row = {d["range"]["start"]["line"], d["range"]["start"]["character"],
                d["range"]["end"]["character"], d["severity"], d["message"]};
    if (d.contains("relatedInformation"))
      row.push_back(d["relatedInformation"][0]["location"]["range"]["start"]["line"]);
    rows.push_back(row);
  }
  return rows;
}

TEST(LspDiagnostics, PublishesMessagesAndTraps) {
  const DiagnosticCase cases[] = {
      // A program that compiles gives nothing.
      {"Public T\nBeginProg\n  Scan(1, Sec)\n    T = 1\n  NextScan\nEndProg\n", "[]"},
      // Narrowed to the name the message quotes; UTF-16 columns.
      {"Public T\nBeginProg\n  Scan(1, Sec)\n    T = 1 ' é\n  NextScan\nEndProg\n"
       "Dummy\n", R"json([[6,0,5,2,"Nothing after EndProg is read."]])json"},
      {"Public T\nBeginProg\n  Scan(1, Sec)\n    VoltSe(Zed, 1, 1, 1, 0)\n  NextScan\nEndProg\n",
       R"json([[3,11,14,1,"undeclared variable Zed"]])json"},
      {"Public T\nBeginProg\n  Scan(1, Sec)\n    T = \"é\" + Zed\n  NextScan\nEndProg\n",
       R"json([[3,4,17,1,"Invalid symbol in expression:     T = \"é\" + Zed."]])json"},
      // A message without a line goes on the first.
      {"BeginProg\n  Scan(1, Sec)\n  NextScan\nEndProg\n",
       R"json([[0,0,9,1,"Must have at least public variable defined"]])json"},
      // Only the first statement after Then is conditional.
      {"Public T\nBeginProg\n  Scan(1, Sec)\n    If T > 1 Then T = 0 : T = 2\n  NextScan\nEndProg\n",
       R"json([[3,26,31,2,"Only the statement right after Then depends on the condition; this one always runs."]])json"},
      {"Public T\nBeginProg\n  Scan(1, Sec)\n    If T Then Print(1, 9600, \"ok\")\n  NextScan\nEndProg\n",
       R"json([[3,29,33,2,"A single-line If upper-cases its text, string literals too."]])json"},
      {"Public T\nBeginProg\n  Scan(1, Sec)\n    Print(1, 9600, \"it's\")\n  NextScan\nEndProg\n",
       R"json([[3,22,23,2,"The apostrophe starts a comment even inside a string: the rest of the line is not read."]])json"},
      // A block left open points at the line that opened it.
      {"Public T\nBeginProg\n  Scan(1, Sec)\n    For T = 1 To 3\n  NextScan\nEndProg\n",
       R"json([[4,2,10,1,"FOR loop bracketing Scan..NextScan.",3]])json"},
      {"Public T\nBeginProg\n  Scan(1, Sec)\n    If T Then\n      T = 1\n    Do\n    Loop\n"
       "  NextScan\nEndProg\n",
       R"json([[7,2,10,1,"IF or SELECT bracketing Scan..NextScan.",3]])json"},
      // A subroutine is known only from its Sub line on.
      {"Public T\nBeginProg\n  Scan(1, Sec)\n    Reset\n  NextScan\n  Sub Reset\n  EndSub\nEndProg\n",
       R"json([[3,4,9,1,"Unknown instruction     Reset.",5]])json"},
  };
  for (const DiagnosticCase& c : cases) {
    Client client;
    EXPECT_EQ(Json::parse(c.diagnostics), compact(client.open(c.program))) << c.program;
  }
}

// The server's messages for a program, from the real program over pipes.
std::vector<Json> serverDiagnostics(const std::filesystem::path& folder, const std::string& text) {
  const std::string session =
      framed({{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}, {"params", Json::object()}}) +
      framed({{"jsonrpc", "2.0"}, {"method", "textDocument/didOpen"},
              {"params", {{"textDocument", {{"uri", "file:///prog.vk6"}, {"languageId", "vk6"},
                                            {"version", 1}, {"text", text}}}}}}) +
      framed({{"jsonrpc", "2.0"}, {"id", 2}, {"method", "shutdown"}}) +
      framed({{"jsonrpc", "2.0"}, {"method", "exit"}});
  writeFile(folder / "session.txt", session);
  const ProgramRun run = runIn(folder, VK6_LSP_BINARY, "<session.txt");
  EXPECT_EQ(0, run.exitCode);
  const Json diagnostics = Client::diagnosticsIn(messagesIn(run.out));
  return diagnostics.is_array() ? diagnostics.get<std::vector<Json>>() : std::vector<Json>{};
}

// True when the messages of `results` (the error or warning text of a
// results file) appear in order among `diagnostics`, each on its line.
bool resultsAmong(std::string_view results, const std::vector<Json>& diagnostics,
                  const char* prefix) {
  for (const Json& d : diagnostics) {
    while (results.substr(0, 2) == "\r\n") results.remove_prefix(2);  // dropped messages
    const int line = d["range"]["start"]["line"].get<int>() + 1;
    const std::string message = prefix + d["message"].get<std::string>();
    for (const std::string& shown : {"line " + std::to_string(line) + ": " + message, message}) {
      if (results.substr(0, shown.size()) != shown) continue;
      const std::string_view after = results.substr(shown.size());
      if (!after.empty() && after.substr(0, 2) != "\r\n") continue;
      // A message without a line shows unprefixed, and only on line 1.
      if (shown == message && line != 1 && prefix[0] == '\0') continue;
      results = after;
      break;
    }
  }
  while (results.substr(0, 2) == "\r\n") results.remove_prefix(2);
  return results.empty();
}

TEST(LspDiagnostics, SameMessagesAsTheResultsFile) {
  std::vector<std::string> programs = {
      "Public T\r\nBeginProg\r\n  Scan(1, Sec)\r\n    Bogus(T)\r\n    T = Zed\r\n"
      "    VoltSe(T, 1, 99, 1, 0)\r\n  NextScan\r\nEndProg\r\n",
      "Public T(2)\nBeginProg\n  Scan(1, Sec)\n    For T(1) = 1 To 3\n"
      "      PulseCount(T(2), P_LL, 1, 1, 1, 0)\n    Next\n  NextScan\nEndProg\n",
      "Public T\nBeginProg\n  Scan(1, Sec)\n    If T Then\n    Do\n  NextScan\n",
      "Const A = 1\nConst A = 2\nPublic A\nDataTable(T, True, -1)\nEndTable\n"
      "BeginProg\n  Scan(1, Sec)\n    CallTable X\n  NextScan\nEndProg\n",
      "",
  };
  for (const auto& entry : std::filesystem::directory_iterator(VK6_EXAMPLES_DIR))
    programs.push_back(readFile(entry.path()));
  const std::filesystem::path folder = scratchFolder("lsp_results");
  for (const std::string& program : programs) {
    writeFile(folder / "prog.vk6", program);
    runIn(folder, VK6_VK617Q_BINARY, "prog.vk6 res.txt");
    const std::string results = readFile(folder / "res.txt");
    const std::vector<Json> diagnostics = serverDiagnostics(folder, program);
    const std::string failed = "prog.vk6 -- Compile Failed!\r\n\n";
    const std::string compiled = "prog.vk6 -- Compiled OK.\r\n";
    if (results.rfind(failed, 0) == 0) {
      EXPECT_TRUE(resultsAmong(std::string_view(results).substr(failed.size()), diagnostics, ""))
          << results << "\n" << Json(diagnostics).dump(1);
    } else {
      ASSERT_EQ(0u, results.rfind(compiled, 0)) << results;
      EXPECT_TRUE(resultsAmong(std::string_view(results).substr(compiled.size()), diagnostics,
                               "Warning: "))
          << results << "\n" << Json(diagnostics).dump(1);
      for (const Json& d : diagnostics) EXPECT_NE(1, d["severity"]) << d.dump();
    }
  }
}

}  // namespace
}  // namespace vk6::test
