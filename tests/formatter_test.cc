// The formatter: exact layouts, canonical spellings, and the proof that a
// formatted program compiles to the image of the unformatted one.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "parse/instruction_table.h"
#include "parse/spelling.h"
#include "program_generator.h"
#include "test_support.h"
#include "vk6/compiler.h"
#include "vk6/formatter.h"

namespace vk6 {
namespace {

namespace fs = std::filesystem;

const FormatOptions kTwoSpaces{2, true};
constexpr std::size_t kImageSignatureAt = 6;
constexpr std::size_t kTableHeadersAt = 26;
constexpr std::size_t kIdentificationSize = 108;
constexpr std::size_t kSourceSignatureInBlock = 106;

// The image of `text`, both signatures zeroed; the error text when the
// compile fails.
std::string unsignedImage(const std::string& text, const BuildInfo& build) {
  CompileResult r = compileProgram({text, "prog.cr"}, build);
  if (r.outcome() != Outcome::kCompiled) return "failed: " + r.errorText;
  Bytes& image = r.image;
  image[kImageSignatureAt] = image[kImageSignatureAt + 1] = 0;
  const std::size_t block = image[kTableHeadersAt] + 256u * image[kTableHeadersAt + 1] -
                            kIdentificationSize;
  image[block + kSourceSignatureInBlock] = image[block + kSourceSignatureInBlock + 1] = 0;
  return std::string(image.begin(), image.end());
}

TEST(Spelling, CanonicalSpellingFindsItsRow) {
  for (int i = 1; i < kEndOfKeywords; ++i) {
    const auto index = static_cast<InstructionIndex>(i);
    EXPECT_EQ(index, lookupKeyword(canonicalSpelling(index))) << keywordAt(i);
  }
  const struct {
    InstructionIndex index;
    const char* spelling;
  } kCases[] = {{kWhile, "While"},       {kBeginProg, "BeginProg"}, {kConst, "Const"},
                {kPulsecount, "PulseCount"}, {kNextScan, "NextScan"}, {kWend, "Wend"},
                {kDim, "Dim"},           {kEndTable, "EndTable"},   {kEndIf, "EndIf"},
                {kEndOfProgram, ""}};
  for (const auto& c : kCases) EXPECT_STREQ(c.spelling, canonicalSpelling(c.index));
  EXPECT_STREQ("Then", canonicalWord("tHEN"));
  EXPECT_STREQ("Step", canonicalWord("STEP"));
  EXPECT_EQ(nullptr, canonicalWord("Thence"));
  EXPECT_EQ(nullptr, canonicalWord(""));
}

TEST(Formatter, LaysOutExactly) {
  const FormatOptions tabs{2, false};
  const FormatOptions four{4, true};
  const struct {
    const char* name;
    FormatOptions options;
    const char* in;
    const char* out;
  } kCases[] = {
      {"sections", kTwoSpaces,
       "public x\ndatatable(T, true, -1)\nsample(1, x)\nendtable\nsub S\nx = 1\nend sub\n"
       "beginprog\nscan(1, sec)\n    S\nnextscan\nendprog\n",
       "Public x\nDataTable(T, true, -1)\n  Sample(1, x)\nEndTable\nSub S\n  x = 1\nEnd Sub\n"
       "BeginProg\n  Scan(1, sec)\n    S\n  NextScan\nEndProg\n"},
      {"if blocks", kTwoSpaces,
       "if a then\nb = 1\nelseif a > 1 THEN\nb = 2\nelse\nif c then d = 1 else d = 2\nend if\n",
       "If a Then\n  b = 1\nElseIf a > 1 Then\n  b = 2\nElse\n  If c Then d = 1 Else d = 2\n"
       "End If\n"},
      {"select", four,
       "select case x\ncase 1\ny = 1\ncase 2 to 3, is > 7\ny = 2\ncase else\ny = 3\nendselect\n",
       "Select Case x\n    Case 1\n        y = 1\n    Case 2 To 3, Is > 7\n        y = 2\n"
       "    Case Else\n        y = 3\nEndSelect\n"},
      {"loops in tabs", tabs,
       "for i = 1 to 3 step 2\ndo while i\nWHILE j\nexit do\nwend\nloop until k\nnext i\n",
       "For i = 1 To 3 Step 2\n\tDo While i\n\t\tWhile j\n\t\t\tExit Do\n\t\tWend\n"
       "\tLoop Until k\nNext i\n"},
      {"line ends and blanks", kTwoSpaces,
       "Do  \r\n\t\r\nx = 1\t \nLoop \r\n  y = 2", "Do\r\n\r\n  x = 1\nLoop\r\ny = 2"},
      {"comments and strings", kTwoSpaces,
       "Do ' do  LOOP \n' next scan\nprint(2, 9600, \"if: then\") : x = 1\nLoop",
       "Do ' do  LOOP\n  ' next scan\n  Print(2, 9600, \"if: then\") : x = 1\nLoop"},
      {"names like keywords", kTwoSpaces,
       "if to1 then\nthen = to + step\nfieldnames \"next\"\ncalltable scan\nend if\n",
       "If to1 Then\n  then = to + step\n  FieldNames \"next\"\n  CallTable scan\nEnd If\n"},
      {"several statements on a line", kTwoSpaces,
       "for i = 1 to 2 : for j = 1 to 2\nx = i : next : next\ny = 1\n",
       "For i = 1 To 2 : For j = 1 To 2\n  x = i : Next : Next\ny = 1\n"},
      {"next scan in two words, interrupt section", kTwoSpaces,
       "BEGINPROG\nSCAN(1, sec)\nnext  scan\ninterruptsequence\ndo\nloop\nendprog\n",
       "BeginProg\n  Scan(1, sec)\n  Next  Scan\n  InterruptSequence\n  Do\n  Loop\nEndProg\n"},
      {"nothing after EndProg is read", kTwoSpaces,
       "Do\nendprog : do  \n    if\n", "Do\n  EndProg : do\n    if\n"},
      {"byte-order mark", kTwoSpaces, "\xEF\xBB\xBF  scan(1, sec)\nx = 1\n",
       "\xEF\xBB\xBFScan(1, sec)\n  x = 1\n"},
      {"unclosed and unopened blocks", kTwoSpaces, "next\nif a then\nx = 1\nloop\nx = 2\n",
       "Next\nIf a Then\n  x = 1\n  Loop\n  x = 2\n"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.out, layOutProgram(c.in, c.options, true)) << c.name;
    EXPECT_EQ(c.out, layOutProgram(c.out, c.options, true)) << c.name << ", again";
  }
}

TEST(Formatter, KeepsALineWithinTheLineLimit) {
  const auto line = [](std::size_t length) {
    return "x = \"" + std::string(length - 6, 'a') + "\"";
  };
  // Four columns, 505 characters and the line feed make 510, the longest
  // line the compiler reads; one more keeps the line's own indentation.
  EXPECT_EQ("If a Then\n  If b Then\n    " + line(505) + "\n",
            layOutProgram("If a Then\nIf b Then\n" + line(505) + "\n", kTwoSpaces, false));
  EXPECT_EQ("If a Then\n  If b Then\n " + line(506) + "\n",
            layOutProgram("If a Then\nIf b Then\n " + line(506) + "\n", kTwoSpaces, false));
}

TEST(Formatter, ProgramThatDoesNotCompileIsOnlyIndented) {
  EXPECT_EQ("beginprog\n  scan(1,sec)\n    frobnicate\n  nextscan\nendprog\n",
            formatProgram("beginprog  \nscan(1,sec)\nfrobnicate\n  nextscan\nendprog\n"));
  const std::string tidy = "Public x\nBeginProg\n  Scan(1, Sec)\n  NextScan\nEndProg\n";
  EXPECT_EQ(tidy, formatProgram(tidy));
  EXPECT_EQ(tidy, formatProgram("public x\nbeginprog\nscan(1, Sec)\nnextscan\nENDPROG\n"));
}

// Names like keywords, an alias among them, colons in strings, one-line
// Ifs with Else and with a statement after them.
const char kTrickyProgram[] =
    "Public Batt, Level(2), Step, Total\n"
    "Alias Level(2) = Pause\n"
    "DataTable(Hourly, True, 10)\n"
    "sample(1, Batt)\n"
    "FieldNames \"next: scan\"\n"
    "EndTable\n"
    "BeginProg\n"
    "Scan(1, Sec)\n"
    "battery(Batt)\n"
    "step = pause + 1 : total = step\n"
    "if step > 2 then total = total + 1 else total = 0\n"
    "If Batt > 1 Then Print(2, 9600, \"if: then\", Step) : Total = 2\n"
    "for step = 1 to 3 : total = total + step : next step\n"
    "select case pause\n"
    "case 1 to 2, is > 7 : total = 1\n"
    "case else\n"
    "total = 2\n"
    "end select\n"
    "CallTable Hourly\n"
    "NextScan\n"
    "EndProg\n";

// Every example and generated program, in both spellings, and the tricky
// one, on both models: the layout compiles to the image of the original,
// formatProgram needs no fallback, and formatting again changes nothing.
TEST(Formatter, KeepsTheImage) {
  const BuildInfo models[] = {test::modelVK617Q(), test::modelVK610Q()};
  const FormatOptions layouts[] = {kTwoSpaces, {3, false}};
  std::vector<std::string> programs = {kTrickyProgram};
  for (const fs::directory_entry& e : fs::directory_iterator(VK6_EXAMPLES_DIR))
    programs.push_back(test::readFile(e.path()));
  for (std::uint32_t seed = 1; seed <= 300; ++seed) {
    programs.push_back(test::generateProgram(seed));
    programs.push_back(test::generateProgram(seed, test::Spelling::kVaried));
  }
  for (const std::string& program : programs) {
    for (const FormatOptions& layout : layouts) {
      const std::string formatted = layOutProgram(program, layout, true);
      for (const BuildInfo& build : models) {
        const std::string image = unsignedImage(program, build);
        // The VK610Q has no satellite transmitter.
        if (image.starts_with("failed") && build.model != models[0].model) continue;
        ASSERT_FALSE(image.starts_with("failed")) << image;
        ASSERT_EQ(image, unsignedImage(formatted, build)) << build.model << "\n" << program;
      }
      ASSERT_EQ(formatted, formatProgram(program, layout)) << program;
      ASSERT_EQ(formatted, formatProgram(formatted, layout)) << program;
    }
  }
}

}  // namespace
}  // namespace vk6
