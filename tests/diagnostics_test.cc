#include "core/diagnostics.h"
#include "core/memory.h"

#include <gtest/gtest.h>

#include "core/compilation.h"

namespace vk6 {
namespace {

TEST(Diagnostics, ErrorsJoinWithLinePrefixAndNoTrailingSeparator) {
  Compilation c;
  c.diag.currentLine = 3;
  reportError(c, "First %d.", 1);
  c.diag.currentLine = 7;
  reportError(c, "Second.");
  c.diag.currentLine = 0;
  reportError(c, "No Program File.");
  EXPECT_EQ("line 3: First 1.\r\nline 7: Second.\r\nNo Program File.",
            c.diag.errorText);
  EXPECT_EQ(3, c.diag.errorCount);
}

TEST(Diagnostics, FirstErrorAfterWarningStartsWithSeparator) {
  Compilation c;
  reportWarning(c, "Interrupt Sequence will only run once, use do loop.");
  reportWarning(c, "PulseCount will not work within WHILE or FOR loop.");
  c.diag.currentLine = 2;
  reportError(c, "Bad.");
  EXPECT_EQ("\r\nline 2: Bad.", c.diag.errorText);
  EXPECT_EQ(
      "Warning: Interrupt Sequence will only run once, use do loop.\r\n"
      "Warning: PulseCount will not work within WHILE or FOR loop.",
      c.diag.warningText);
  EXPECT_EQ(2, c.diag.warningCount);
}

TEST(Diagnostics, MessagesThatDoNotFitAreDroppedButCounted) {
  Compilation c;
  // 50 characters each: "line 10: " plus 41.
  c.diag.currentLine = 10;
  const std::string body(41, 'x');
  for (int i = 0; i < 40; ++i) reportError(c, "%s", body.c_str());
  EXPECT_EQ(40, c.diag.errorCount);
  // Nine messages with separators take 9 * 50 + 8 * 2 = 466 characters;
  // the tenth needs 466 + 2 + 50 = 518 and is dropped, but each later
  // attempt still adds a separator while length + 3 < 512.
  std::string expected;
  for (int i = 0; i < 9; ++i) {
    if (i != 0) expected += "\r\n";
    expected += "line 10: " + body;
  }
  while (expected.size() + 3 < 512) expected += "\r\n";
  EXPECT_EQ(expected, c.diag.errorText);
  EXPECT_LT(c.diag.errorText.size(), 512u);
}

TEST(Diagnostics, MessageExactlyFillingTheTextIsRefused) {
  Compilation c;
  reportError(c, "%s", std::string(512, 'a').c_str());
  EXPECT_EQ("", c.diag.errorText);
  Compilation fits;
  reportError(fits, "%s", std::string(511, 'a').c_str());
  EXPECT_EQ(std::string(511, 'a'), fits.diag.errorText);
  reportWarning(c, "%s", std::string(502, 'b').c_str());  // 9 + 502 = 511
  EXPECT_EQ("Warning: " + std::string(502, 'b'), c.diag.warningText);
  Compilation refused;
  reportWarning(refused, "%s", std::string(503, 'b').c_str());
  EXPECT_EQ("", refused.diag.warningText);
  EXPECT_EQ(1, refused.diag.warningCount);
  EXPECT_EQ(1, c.diag.errorCount);
}

TEST(Diagnostics, MemoryTraceLineFormats) {
  Compilation c;
  c.diag.traceOn = true;
  c.diag.currentLine = 4;
  void* a = trackedAlloc(c, 10000);
  c.diag.currentKeyword = "VoltSe";
  void* b = trackedAlloc(c, 16);
  EXPECT_EQ("line 4: 10000\r\nline 4: VoltSe = 16\r\n", c.diag.memoryTrace);
  std::free(a);
  std::free(b);
}

TEST(Diagnostics, FailedAllocationReportsOutOfMemory) {
  Compilation c;
  c.options.memoryLimit = 100;
  void* block = trackedAlloc(c, 101);
  EXPECT_EQ(nullptr, block);
  EXPECT_EQ("out of memory", c.diag.errorText);
  EXPECT_TRUE(c.diag.outOfMemory);
}

}  // namespace
}  // namespace vk6
