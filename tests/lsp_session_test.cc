// A session through the language server, as an editor drives it: each
// request and the exact answer the client receives.
#include <gtest/gtest.h>

#include "lsp_support.h"
#include "vk6/formatter.h"

namespace vk6::test {
namespace {

const char* const kProgram =
    "Const Gain = 2.5\n"                     // 0
    "Public Temp(3), Flag\n"                 // 1
    "Dim Count\n"                            // 2
    "Alias Temp(2) = Inner\n"                // 3
    "Units Temp = Deg C\n"                   // 4
    "DataTable(Hourly, True, -1)\n"          // 5
    "  DataInterval(0, 60, Min)\n"           // 6
    "  Average(1, Temp, False)\n"            // 7
    "EndTable\n"                             // 8
    "Sub Reset\n"                            // 9
    "  Count = 0\n"                          // 10
    "EndSub\n"                               // 11
    "BeginProg\n"                            // 12
    "  Scan(1, Sec)\n"                       // 13
    "    VoltSe(Temp, 3, 1, Gain, 0) ' Temp\n"  // 14
    "    Flag = ABS(Count) + TRUE\n"         // 15
    "    Reset\n"                            // 16
    "    CallTable Hourly\n"                 // 17
    "    Call \n"                            // 18
    "  NextScan\n"                           // 19
    "EndProg\n";                             // 20

// kProgram without its unfinished Call.
const std::string kClean = std::string(kProgram).replace(
    std::string(kProgram).find("    Call \n"), 10, "\n");

struct Exchange {
  const char* method;
  Json params;
  const char* answer;  // the result, as JSON
};

TEST(LspSession, AnswersEachRequest) {
  Client client;
  // The Call without a name fails the compile; the tables are known from
  // the last compile that did not fail.
  EXPECT_EQ(Json::array(), client.open(kClean));
  EXPECT_EQ(Json::parse(R"json([{"message":"Too few parameters in instruction.","severity":1,"source":"vk6",
      "range":{"start":{"line":18,"character":4},"end":{"line":18,"character":8}}}])json"),
            Client::diagnosticsIn(client.notify(
                "textDocument/didChange", {{"textDocument", {{"uri", Client::kUri}, {"version", 2}}},
                                           {"contentChanges", {{{"text", kProgram}}}}})));
  const Exchange exchanges[] = {
      {"textDocument/hover", at(14, 5),
       R"json({"contents":{"kind":"markdown","value":"```vk6\nVoltSe(Dest, Reps, Channel, Mult, Offset)\n```\n\nMeasures single-ended voltages.\n\nMeasurement."},
           "range":{"start":{"line":14,"character":4},"end":{"line":14,"character":10}}})json"},
      {"textDocument/hover", at(14, 12),
       R"json({"contents":{"kind":"markdown","value":"```vk6\nPublic Temp(3)\n```\n\nDeclared on line 2.\n\nAliases: Inner.\n\nUnits: Deg C."},
           "range":{"start":{"line":14,"character":11},"end":{"line":14,"character":15}}})json"},
      {"textDocument/hover", at(14, 25),
       R"json({"contents":{"kind":"markdown","value":"```vk6\nConst Gain = 2.5\n```\n\nDeclared on line 1."},
           "range":{"start":{"line":14,"character":23},"end":{"line":14,"character":27}}})json"},
      {"textDocument/hover", at(3, 18),
       R"json({"contents":{"kind":"markdown","value":"```vk6\nAlias Temp(2) = Inner\n```\n\nDeclared on line 4."},
           "range":{"start":{"line":3,"character":16},"end":{"line":3,"character":21}}})json"},
      {"textDocument/hover", at(17, 18),
       R"json({"contents":{"kind":"markdown","value":"```vk6\nDataTable Hourly\n```\n\nDeclared on line 6.\n\nInterval: 3600 s.\n\nFields: Temp_Avg."},
           "range":{"start":{"line":17,"character":14},"end":{"line":17,"character":20}}})json"},
      {"textDocument/hover", at(15, 12),
       R"json({"contents":{"kind":"markdown","value":"```vk6\nABS(Value)\n```\n\nBuilt-in function."},
           "range":{"start":{"line":15,"character":11},"end":{"line":15,"character":14}}})json"},
      {"textDocument/hover", at(15, 26),
       R"json({"contents":{"kind":"markdown","value":"```vk6\nConst TRUE = -1\n```\n\nPredefined constant."},
           "range":{"start":{"line":15,"character":24},"end":{"line":15,"character":28}}})json"},
      {"textDocument/hover", at(14, 34), "null"},  // in the comment
      {"textDocument/completion", at(17, 14),
       R"json([{"label":"Hourly","kind":7,"detail":"DataTable"}])json"},
      {"textDocument/completion", at(18, 9),
       R"json([{"label":"Reset","kind":3,"detail":"Sub"}])json"},
      {"textDocument/completion", at(14, 36), "[]"},
      {"textDocument/signatureHelp", at(14, 17),
       R"json({"signatures":[{"label":"VoltSe(Dest, Reps, Channel, Mult, Offset)",
           "documentation":"Measures single-ended voltages.",
           "parameters":[
             {"label":[7,11],"documentation":"the variable or array element that receives the results; Reps elements from it"},
             {"label":[13,17],"documentation":"number of channels measured, one after another; Channel + Reps - 1 at most 6"},
             {"label":[19,26],"documentation":"first single-ended channel, 1..6"},
             {"label":[28,32],"documentation":"multiplier applied to each result; with () after an array, one element per repetition"},
             {"label":[34,40],"documentation":"offset added to each result; with () after an array, one element per repetition"}]}],
           "activeSignature":0,"activeParameter":1})json"},
      {"textDocument/signatureHelp", at(14, 8), "null"},
      {"textDocument/signatureHelp", at(13, 11),
       R"json({"signatures":[{"label":"Scan(Interval, Units)",
           "documentation":"Opens the measurement loop, run once every interval.",
           "parameters":[{"label":[5,13],"documentation":"the scan interval in Units, a whole number; at most 65535 seconds"},
                         {"label":[15,20],"documentation":"time unit of Interval: sec, min, hr or day (usec and msec are refused)"}]}],
           "activeSignature":0,"activeParameter":1})json"},
      {"textDocument/definition", at(16, 6),
       R"json({"uri":"file:///prog.vk6","range":{"start":{"line":9,"character":4},"end":{"line":9,"character":9}}})json"},
      {"textDocument/definition", at(17, 16),
       R"json({"uri":"file:///prog.vk6","range":{"start":{"line":5,"character":10},"end":{"line":5,"character":16}}})json"},
      {"textDocument/definition", at(14, 6), "null"},
      {"textDocument/references",
       {{"textDocument", {{"uri", Client::kUri}}}, {"position", {{"line", 7}, {"character", 14}}},
        {"context", {{"includeDeclaration", false}}}},
       R"json([{"uri":"file:///prog.vk6","range":{"start":{"line":3,"character":6},"end":{"line":3,"character":10}}},
           {"uri":"file:///prog.vk6","range":{"start":{"line":4,"character":6},"end":{"line":4,"character":10}}},
           {"uri":"file:///prog.vk6","range":{"start":{"line":7,"character":13},"end":{"line":7,"character":17}}},
           {"uri":"file:///prog.vk6","range":{"start":{"line":14,"character":11},"end":{"line":14,"character":15}}}])json"},
      {"textDocument/references",
       {{"textDocument", {{"uri", Client::kUri}}}, {"position", {{"line", 16}, {"character", 4}}},
        {"context", {{"includeDeclaration", true}}}},
       R"json([{"uri":"file:///prog.vk6","range":{"start":{"line":9,"character":4},"end":{"line":9,"character":9}}},
           {"uri":"file:///prog.vk6","range":{"start":{"line":16,"character":4},"end":{"line":16,"character":9}}}])json"},
  };
  for (const Exchange& e : exchanges)
    EXPECT_EQ(Json::parse(e.answer), client.request(e.method, e.params))
        << e.method << " " << e.params.dump();
}

// Each symbol as "name kind lines [children]".
std::string outline(const Json& symbols) {
  std::string text;
  for (const Json& s : symbols) {
    text += s["name"].get<std::string>() + " " + std::to_string(s["kind"].get<int>()) + " " +
            std::to_string(s["range"]["start"]["line"].get<int>()) + "-" +
            std::to_string(s["range"]["end"]["line"].get<int>());
    if (s.contains("children")) text += " [" + outline(s["children"]) + "]";
    text += "; ";
  }
  return text;
}

TEST(LspSession, ListsSymbolsFormatsAndShutsDown) {
  Client client;
  client.open(kClean);
  EXPECT_EQ("Hourly 23 5-8 [Temp_Avg 8 5-8; ]; Reset 12 9-11; Temp 13 1-1; Flag 13 1-1; "
            "Count 13 2-2; Gain 14 0-0; Inner 13 3-3; ",
            outline(client.request("textDocument/documentSymbol",
                                   {{"textDocument", {{"uri", Client::kUri}}}})));

  // The edit replaces the whole text with the formatter's, when it differs.
  const std::string formatted = formatProgram(kClean, {4, false});
  EXPECT_NE(std::string::npos, formatted.find("\n\tDataInterval(0, 60, Min)\n"));
  const Json expected = formatted == kClean
      ? Json::array()
      : Json::array({{{"range", {{"start", {{"line", 0}, {"character", 0}}},
                                 {"end", {{"line", 21}, {"character", 0}}}}},
                      {"newText", formatted}}});
  EXPECT_EQ(expected, client.request("textDocument/formatting",
                                     {{"textDocument", {{"uri", Client::kUri}}},
                                      {"options", {{"tabSize", 4}, {"insertSpaces", false}}}}));

  EXPECT_EQ(nullptr, client.request("shutdown", nullptr));
  EXPECT_EQ(Json::parse(R"json({"code":-32600,"message":"The server is shut down."})json"),
            client.request("textDocument/hover", at(0, 0)));
  client.notify("exit", nullptr);
  EXPECT_TRUE(client.server.exited());
  EXPECT_EQ(0, client.server.exitCode());
}

TEST(LspSession, ChangeRecompilesForTheChosenModel) {
  Client client;
  // The VK610Q has no satellite transmitter.
  const std::string program =
      "Public Flag(13)\nBeginProg\n  Scan(1, Sec)\n  GOESStatus(Flag, 1)\n  NextScan\nEndProg\n";
  EXPECT_EQ(Json::array(), client.open("Public X\nBeginProg\n  Scan(1, Sec)\n  NextScan\nEndProg\n",
                                     {{"model", "VK610Q"}}));
  const Json changed = Client::diagnosticsIn(client.notify(
      "textDocument/didChange",
      {{"textDocument", {{"uri", Client::kUri}, {"version", 2}}},
       {"contentChanges", {{{"text", program}}}}}));
  const Json on617 = Client::diagnosticsIn(client.notify(
      "workspace/didChangeConfiguration", {{"settings", {{"vk6", {{"model", "VK617Q"}}}}}}));
  EXPECT_EQ(Json::parse(R"json([{"message":"GOESStatus is not accepted, requires different OS version",
      "range":{"start":{"line":3,"character":2},"end":{"line":3,"character":21}},
      "severity":1,"source":"vk6"}])json"), changed);
  EXPECT_EQ(Json::array(), on617);
}

}  // namespace
}  // namespace vk6::test
