#include "parse/instruction_table.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "core/text.h"

namespace vk6 {
namespace {

TEST(Keywords, LookupFoldsCaseAndStopsAtBlank) {
  EXPECT_EQ(kScan, lookupKeyword("scan"));
  EXPECT_EQ(kNextScan, lookupKeyword("NextScan"));
  EXPECT_EQ(kModBusSlave, lookupKeyword("modbusslave"));
  EXPECT_EQ(kEnd, lookupKeyword("End"));
  EXPECT_EQ(kEndIf, lookupKeyword("ENDIF"));
  EXPECT_EQ(kEndOfProgram, lookupKeyword("Scans"));
  EXPECT_EQ(kEndOfProgram, lookupKeyword(""));
  EXPECT_EQ(kEndOfProgram, lookupKeyword(nullptr));
  EXPECT_TRUE(keywordCompare("Scan rest", "Scan"));
  EXPECT_FALSE(keywordCompare("Sca", "Scan"));
  EXPECT_FALSE(nameEquals("Scan rest", "Scan"));
  EXPECT_TRUE(nameEquals("tab1", "Tab1"));
  EXPECT_STREQ("SDI12Recorder", keywordAt(kSDI12Recorder));
  EXPECT_STREQ("WHILE", keywordAt(kWhile));
  EXPECT_STREQ("", keywordAt(kEndOfKeywords));
  EXPECT_STREQ("", keywordAt(kInstructionCount));
}

// The hashed lookup must give the row a scan of the table in order gives.
TEST(Keywords, LookupAgreesWithAScanInRowOrder) {
  const auto scan = [](const char* token) {
    for (int i = 1; i < kInstructionCount && keywordAt(i)[0] != '\0'; ++i)
      if (keywordCompare(token, keywordAt(i))) return i;
    return 0;
  };
  std::vector<std::string> tokens = {" Scan", "Scan\t", "Scan(1)", "sCaN  x", "If X",
                                     "Next Scan", "End If", "Endif ", "\xE9nd"};
  for (int i = 1; i < kInstructionCount; ++i) {
    const std::string key = keywordAt(i);
    std::string lower = key;
    for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    for (const std::string& t : {key, lower, key + " x", key + "x", key.substr(0, key.size() / 2)})
      tokens.push_back(t);
  }
  for (const std::string& t : tokens) EXPECT_EQ(scan(t.c_str()), lookupKeyword(t.c_str())) << t;
}

// What the parser, the language server and the language reference take
// from every row.
TEST(InstructionList, EveryRowIsComplete) {
  for (int i = 0; i < kInstructionCount; ++i) {
    const auto row = static_cast<InstructionIndex>(i);
    const InstructionInfo& info = instructionInfo(row);
    const std::string keyword = info.keyword;
    EXPECT_EQ(row, info.index);
    if (row != kEndOfProgram && row != kEndOfKeywords) {
      EXPECT_EQ(row, lookupKeyword(keyword.c_str())) << keyword;
    }
    const std::string description = info.description;
    EXPECT_FALSE(description.empty()) << i;
    EXPECT_EQ(std::string::npos, description.find('\n')) << i;
    EXPECT_STRNE("", familyName(info.family)) << i;
    std::set<std::string> names;
    for (std::size_t k = 0; k < info.parameters.size(); ++k) {
      const Parameter& p = info.parameters[k];
      EXPECT_STRNE("", p.name) << keyword;
      EXPECT_TRUE(names.insert(p.name).second) << keyword << " " << p.name;
      // The raw text ends the parse, so nothing may follow it.
      if (p.kind == ParamKind::kRawText) {
        EXPECT_EQ(k + 1, info.parameters.size()) << keyword;
      }
    }
  }
  EXPECT_STREQ("Flow control", familyName(InstructionFamily::kFlowControl));
}

}  // namespace
}  // namespace vk6
