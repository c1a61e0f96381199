// Program sections, flow control and subroutines, compiled from source
// through the library: what each check reports and what each block
// compiles to.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "format/byte_io.h"
#include "format/image_format.h"
#include "test_support.h"

namespace vk6 {
namespace {

// The declarations of the cases compiled inside the scan, whose body
// starts on line 4.
constexpr const char* kVariables = "Public x, i\r\n";

TEST(Sections, Messages) {
  const struct {
    const char* source;
    const char* errors;
    const char* warnings;
  } cases[] = {
      {"Public x\r\nBeginProg\r\nScan(1, Sec)\r\nx = 1\r\nNextScan\r\nEndProg\r\n",
       "", ""},
      {"Public x\r\nx = 1\r\nBeginProg\r\nScan(5, Min)\r\nNextScan\r\nEndProg\r\n",
       "line 2: Expression used outside of BeginProg..EndProg.", ""},
      {"Public x\r\nBeginProg\r\nScan(18, hr)\r\nNextScan\r\nEndProg\r\n", "", ""},
      {"Public x\r\nBeginProg\r\nScan(65536, Sec)\r\nNextScan\r\nEndProg\r\n",
       "line 3: Scan interval 65536 exceeds 65535 seconds.", ""},
      {"Public x\r\nBeginProg\r\nScan(1093, min)\r\nNextScan\r\nEndProg\r\n",
       "line 3: Scan interval 65580 exceeds 65535 seconds.", ""},
      {"Public x\r\nBeginProg\r\nScan(-1, Sec)\r\nNextScan\r\nEndProg\r\n",
       "line 3: Scan interval -1 is negative.", ""},
      {"Public x\r\nScan(1, Sec)\r\nNextScan\r\nEndProg\r\n",
       "line 4: No BeginProg in Program.", ""},
      {"Public x\r\nBeginProg\r\nScan(1, Sec)\r\nEndProg\r\n",
       "line 4: Scan without NextScan.", ""},
      {"Public x\r\nBeginProg\r\nScan(1, Sec)\r\nNextScan\r\nx = 1\r\nEndProg\r\n",
       "line 5: Expression used after NextScan.", ""},
      {"Public x\r\nBeginProg\r\nScan(1, Sec)\r\nNextScan\r\nNext\r\nEndProg\r\n",
       "line 5: NEXT without FOR.", ""},
      {"Public x\r\nBeginProg\r\nScan(1, Sec)\r\nNextScan\r\nInterruptSequence\r\n"
       "x = 1\r\nEndProg\r\n",
       "", "Warning: Interrupt Sequence will only run once, use do loop."},
      {"Public x\r\nBeginProg\r\nScan(1, Sec)\r\nNextScan\r\nInterruptSequence\r\n"
       "While x\r\nWend\r\nEndProg\r\n",
       "", "Warning: Interrupt Sequence will only run once, use do loop."},
      {"Public x\r\nBeginProg\r\nScan(1, Sec)\r\nNextScan\r\nInterruptSequence\r\n"
       "Do\r\nInterruptSequence\r\nLoop\r\nEndProg\r\n",
       "line 7: InterruptSequence Can not be defined within SCAN/NEXTSCAN.\r\n"
       "line 7: Only one Interrupt Sequence Can be defined ",
       ""},
      {"Public x\r\nBeginProg\r\nScan(1, Sec)\r\nInterruptSequence\r\nNextScan\r\n"
       "EndProg\r\n",
       "line 4: InterruptSequence Can not be defined within SCAN/NEXTSCAN.", ""},
      {"Public x\r\nInterruptSequence\r\nBeginProg\r\nScan(1, Sec)\r\nNextScan\r\n"
       "EndProg\r\n",
       "line 2: InterruptSequence must be between BeginProg/EndProg and after "
       "NextScan.\r\n"
       "line 4: Instruction can not be used within the InterruptSequence "
       "section.",
       ""},
      {"Public x\r\nBeginProg\r\nInterruptSequence\r\nScan(1, Sec)\r\nNextScan\r\n"
       "EndProg\r\n",
       "line 4: Instruction can not be used within the InterruptSequence "
       "section.",
       ""},
      // NextScan with no Scan stops pass 2: the WEND is never compiled.
      {"Public x\r\nBeginProg\r\nNextScan\r\nWend\r\nEndProg\r\n",
       "line 3: NextScan with no Scan.", ""},
      {"Public x, i\r\nBeginProg\r\nScan(1, Sec)\r\nFor i = 1 To 3\r\nNextScan\r\n"
       "Next i\r\nEndProg\r\n",
       "line 5: FOR loop bracketing Scan..NextScan.\r\n"
       "line 6: NEXT used after NextScan.",
       ""},
      {"Public x\r\nBeginProg\r\nScan(1, Sec)\r\nDo\r\nNextScan\r\nLoop\r\nEndProg\r\n",
       "line 5: DO or While bracketing Scan..NextScan.\r\n"
       "line 6: Loop used after NextScan.",
       ""},
      {"Public x\r\nBeginProg\r\nScan(1, Sec)\r\nIf x Then\r\nNextScan\r\nEndIf\r\n"
       "EndProg\r\n",
       "line 5: IF or SELECT bracketing Scan..NextScan.\r\n"
       "line 6: EndIf used after NextScan.",
       ""},
      // Every end-of-program check, in order, after a clean pass.
      {"Public x, i\r\nSub S\r\nFor i = 1 To 3\r\nx = 1\r\nDo\r\nIf x Then\r\n"
       "EndProg\r\n",
       "line 7: No BeginProg in Program.\r\nline 7: FOR without NEXT.\r\n"
       "line 7: DO without LOOP.\r\n"
       "line 7: IF or SELECT without END IF or END SELECT.\r\n"
       "line 7: Sub ... EndSub not matched.\r\n"
       "line 7: Program must have a Scan ... NextScan.",
       ""},
  };
  for (const auto& t : cases) {
    const test::Reported r = test::compileText(t.source);
    EXPECT_EQ(t.errors, r.errors) << t.source;
    EXPECT_EQ(t.warnings, r.warnings) << t.source;
  }
}

// The code of whole programs and the program header's section words.
TEST(Sections, RecordsAndHeader) {
  namespace ph = program_header;
  const struct {
    const char* source;
    Bytes code;
    int beginProg, scan, interval, interrupt;
  } cases[] = {
      // The call's word 1 is the Sub's body offset; the name matches in
      // any case.
      {"Public x\r\nSub Sub1\r\n  x = 1\r\nEnd Sub\r\nBeginProg\r\n  Scan(5, Min)\r\n"
       "    Call SUB1\r\n    Exit Sub\r\n  NextScan\r\nEndProg\r\n",
       {0x29, 0x00, 0x04, 0x00,                          // SUB
        0x03, 0x00, 0x0A, 0x00, 0x00, 0x00,              // x = 1
        0x2A, 0x00, 0x0E, 0x00,                          // END SUB
        0x02, 0x00, 0x14, 0x00, 0x2C, 0x01,              // SCAN 300 s
        0x28, 0x00, 0x04, 0x00, 0x1A, 0x00,              // CALL
        0x2B, 0x00, 0x1E, 0x00,                          // EXIT SUB
        0x00, 0x00, 0x22, 0x00},                         // NEXTSCAN
       14, 14, 300, 0},
      {"Public x\r\nBeginProg\r\n  Scan(65535, Sec)\r\n  NextScan\r\nEndProg\r\n",
       {0x02, 0x00, 0x06, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x0A, 0x00}, 0, 0, 65535, 0},
      {"Public x\r\nBeginProg\r\nScan(1, Sec)\r\nNextScan\r\nInterruptSequence\r\n"
       "Do\r\nx = 1\r\nLoop\r\nEndProg\r\n",
       {0x02, 0x00, 0x06, 0x00, 0x01, 0x00,              // SCAN
        0x00, 0x00, 0x0A, 0x00,                          // NEXTSCAN
        0x3B, 0x00, 0x0E, 0x00,                          // INTERRUPTSEQUENCE
        0x1C, 0x00, 0x1A, 0x00, 0x00, 0x80, 0x00, 0x00, 0x1A, 0x00, 0x28, 0x00,
        0x03, 0x00, 0x20, 0x00, 0x00, 0x00,
        0x1B, 0x00, 0x28, 0x00, 0x12, 0x00, 0x00, 0x80},
       0, 0, 1, 10},
      // The expression area holds x = 1 at 0x00, then For's i, 1, 3, 2 and
      // the condition x, which the records refer to; Next Scan is NextScan.
      {"Public x, i\r\nSub Tick\r\n  x = 1\r\nEndSub\r\nBeginProg\r\n"
       "  Scan(1, sec)\r\n    For i = 1 To 3 Step 2\r\n"
       "      If x Then Exit For\r\n      Tick\r\n    Next i\r\n"
       "  Next Scan\r\nEndProg\r\n",
       {0x29, 0x00, 0x04, 0x00,                          // SUB
        0x03, 0x00, 0x0A, 0x00, 0x00, 0x00,              // x = 1
        0x2A, 0x00, 0x0E, 0x00,                          // END SUB
        0x02, 0x00, 0x14, 0x00, 0x01, 0x00,              // SCAN
        0x20, 0x00, 0x24, 0x00, 0x10, 0x00, 0x0C, 0x00,  // FOR
        0x1C, 0x00, 0x16, 0x00, 0x24, 0x00, 0x44, 0x00,
        0x1E, 0x00, 0x2E, 0x00, 0x22, 0x00, 0x00, 0x00,  // IF
        0x38, 0x00,
        0x1A, 0x00, 0x34, 0x00, 0x1A, 0x00,              // EXIT FOR
        0x18, 0x00, 0x38, 0x00,                          // END IF
        0x28, 0x00, 0x04, 0x00, 0x3E, 0x00,              // CALL
        0x1F, 0x00, 0x44, 0x00, 0x1A, 0x00,              // NEXT
        0x00, 0x00, 0x48, 0x00},                         // NEXTSCAN
       14, 14, 1, 0},
  };
  for (const auto& t : cases) {
    const test::Compiled c = test::compileSource(t.source);
    EXPECT_EQ("", c.errors) << t.source;
    EXPECT_EQ("", c.warnings) << t.source;
    EXPECT_EQ(t.code, c.code) << t.source;
    if (c.image.size() < kProgramHeaderSize) continue;
    const std::uint8_t* header = c.image.data();
    EXPECT_EQ(t.beginProg, loadU16(header + ph::kBeginProg)) << t.source;
    EXPECT_EQ(t.scan, loadU16(header + ph::kScan)) << t.source;
    EXPECT_EQ(t.interval, loadU16(header + ph::kScanInterval)) << t.source;
    EXPECT_EQ(t.interrupt, loadU16(header + ph::kInterrupt)) << t.source;
  }
}

TEST(FlowControl, Messages) {
  const struct {
    const char* body;
    const char* errors;
  } cases[] = {
      {"If x Then\r\nElse\r\nElse\r\nEndIf\r\n",
       "line 6: If statement with duplicate Else."},
      {"Select Case x\r\nCase Else\r\nCase Else\r\nEndSelect\r\n",
       "line 6: If statement with duplicate Else."},
      // The assignment keeps the ElseIf's condition off area offset 0,
      // which would read as a branch without a test of its own.
      {"x = 1\r\nElseIf x Then\r\nWend\r\n", "line 5: Case with no Select."},
      {"Else\r\nWend\r\n", "line 4: Else with no If."},
      {"Case Else\r\nWend\r\n", "line 4: Else with no If."},
      {"EndIf\r\nWend\r\n",
       "line 4: END IF without IF or END SELECT without SELECT."},
      {"Next\r\n",
       "line 4: FOR NEXT statement illegally has SCAN without NEXT SCAN.\r\n"
       "line 4: NEXT without FOR."},
      {"Wend\r\n",
       "line 4: LOOP statement illegally has SCAN without NEXT SCAN.\r\n"
       "line 4: LOOP without DO."},
      {"Exit For\r\nWend\r\n", "line 4: Exit For without FOR."},
      {"Exit Do\r\nWend\r\n", "line 4: Exit Do without DO."},
      {"End\r\nEnd Prog\r\nEnd Scan\r\nExit Prog\r\nExit Scan\r\n",
       "line 4: END ???\r\nline 5: END ???\r\nline 6: END ???\r\n"
       "line 7: EXIT ???\r\nline 8: EXIT ???"},
      {"For i = 1 To 3\r\nNext\r\n", "line 5: Empty FOR .. NEXT."},
      {"Do While x\r\nLoop Until x\r\n",
       "line 5: Do ... Loop with condition at Do and Loop."},
      {"While x\r\nLoop Until x\r\n",
       "line 5: Do ... Loop with condition at Do and Loop."},
      {"If x > 1 Then\r\nx = 1\r\nElse If x < 0 Then\r\nx = 0\r\nEndIf\r\n",
       "line 6: Else If is not accepted: write ElseIf, or the condition after "
       "it is ignored."},
      {"If x > 1 Then\r\nx = 1\r\nElse\r\nIf x < 0 Then x = 0\r\nEndIf\r\n", ""},
  };
  for (const auto& t : cases) {
    EXPECT_EQ(t.errors, test::compileInScan(kVariables, t.body).errors) << t.body;
  }
}

// Operands are expression-area offsets in the order the body compiles them;
// a leading "i = 0" keeps a block's condition off offset 0, so that it
// differs from an absent operand.
TEST(FlowControl, Records) {
  const struct {
    const char* body;
    Bytes records;
  } cases[] = {
      // The If's false offset is the BRANCH; the JUMP and the BRANCH's false
      // offset point past END IF.
      {"i = 0\r\nIf x Then\r\nx = 1\r\nElse\r\nx = 2\r\nEndIf\r\n",
       {0x03, 0x00, 0x0C, 0x00, 0x00, 0x00,
        0x1E, 0x00, 0x16, 0x00, 0x0C, 0x00, 0x00, 0x00, 0x20, 0x00,  // IF
        0x03, 0x00, 0x1C, 0x00, 0x10, 0x00,
        0x40, 0x00, 0x36, 0x00,                                      // JUMP
        0x1D, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x0C, 0x00, 0x02, 0x00,  // ELSE
        0x36, 0x00,
        0x03, 0x00, 0x32, 0x00, 0x1C, 0x00,
        0x18, 0x00, 0x36, 0x00}},                                    // END IF
      // A Select always goes to its first branch: the JUMP before it is
      // never run.
      {"i = 0\r\nSelect Case x\r\nCase 3\r\nx = 2\r\nCase 4\r\nEnd Select\r\n",
       {0x03, 0x00, 0x0C, 0x00, 0x00, 0x00,
        0x1E, 0x00, 0x16, 0x00, 0x0C, 0x00, 0x01, 0x00, 0x1A, 0x00,  // SELECT
        0x40, 0x00, 0x40, 0x00,                                      // JUMP
        0x1D, 0x00, 0x26, 0x00, 0x10, 0x00, 0x0C, 0x00, 0x01, 0x00,  // CASE 3
        0x30, 0x00,
        0x03, 0x00, 0x2C, 0x00, 0x1A, 0x00,
        0x40, 0x00, 0x40, 0x00,                                      // JUMP
        0x1D, 0x00, 0x3C, 0x00, 0x26, 0x00, 0x0C, 0x00, 0x01, 0x00,  // CASE 4
        0x40, 0x00,
        0x18, 0x00, 0x40, 0x00}},                                    // END SELECT
      // No STEP: word 4 is 0; Exit For points at the FOR's variable word as
      // Next does.
      {"For i = 1 To 3\r\nExit For\r\nNext i\r\n",
       {0x20, 0x00, 0x16, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00,  // FOR
        0x0A, 0x00, 0x16, 0x00, 0x22, 0x00,
        0x1A, 0x00, 0x1C, 0x00, 0x0C, 0x00,                          // EXIT FOR
        0x1F, 0x00, 0x22, 0x00, 0x0C, 0x00}},                        // NEXT
      // The condition of Loop Until goes into the DO record.
      {"Do\r\nx = 1\r\nLoop Until x\r\n",
       {0x1C, 0x00, 0x12, 0x00, 0x00, 0x80, 0x0C, 0x00, 0x12, 0x00,  // DO
        0x20, 0x00,
        0x03, 0x00, 0x18, 0x00, 0x00, 0x00,
        0x1B, 0x00, 0x20, 0x00, 0x0A, 0x00, 0x00, 0x00}},            // LOOP
      // Testing at Do loops back to the DO record itself.
      {"Do While x\r\nExit Do\r\nWend\r\n",
       {0x1C, 0x00, 0x12, 0x00, 0x01, 0x00, 0x00, 0x00, 0x06, 0x00,  // DO
        0x20, 0x00,
        0x19, 0x00, 0x18, 0x00, 0x0A, 0x00,                          // EXIT DO
        0x1B, 0x00, 0x20, 0x00, 0x0A, 0x00, 0x00, 0x80}},            // WEND
  };
  for (const auto& t : cases) {
    const test::Compiled c = test::compileInScan(kVariables, t.body);
    EXPECT_EQ("", c.errors) << t.body;
    EXPECT_EQ(t.records, test::scanBody(c)) << t.body;
  }
}

TEST(Subroutines, Messages) {
  const struct {
    const char* source;
    const char* errors;
  } cases[] = {
      {"Sub A\r\nSub B\r\nEndSub\r\nEndSub\r\nBeginProg\r\nScan(1, Sec)\r\n"
       "NextScan\r\nEndProg\r\n",
       "line 2: Sub declared within another Sub.\r\n"
       "line 3: EndSub without Sub or nested subs."},
      {"BeginProg\r\nSub A\r\nEndSub\r\nScan(1, Sec)\r\nNextScan\r\nEndProg\r\n",
       "line 2: Sub must be declared before BeginProg."},
      {"BeginProg\r\nScan(1, Sec)\r\nEndSub\r\nNextScan\r\nEndProg\r\n",
       "line 3: EndSub without Sub or nested subs."},
      {"Sub A\r\nCall A\r\nEndSub\r\nBeginProg\r\nScan(1, Sec)\r\nNextScan\r\n"
       "EndProg\r\n",
       "line 2: Cannot Call a Subroutine from a Subroutine."},
      {"Sub A\r\nBeginProg\r\nScan(1, Sec)\r\nNextScan\r\nEndProg\r\n",
       "line 3: Sub ... EndSub not matched."},
      {"Sub A\r\nEndSub\r\nBeginProg\r\nScan(1, Sec)\r\nNextScan\r\n"
       "InterruptSequence\r\nDo\r\nCall a\r\nLoop\r\nEndProg\r\n",
       "line 8: Instruction can not be used within the InterruptSequence "
       "section."},
      // Only a Sub compiled before the call can be found.
      {"Call Later\r\nSub Later\r\nEndSub\r\nBeginProg\r\nScan(1, Sec)\r\n"
       "NextScan\r\nEndProg\r\n",
       "line 1: Could not find function name Later."},
      {"Public x\r\nBeginProg\r\nScan(1, sec)\r\nSelect Case x\r\nCase Else\r\n"
       "Case Else\r\nEnd Select\r\nCall Nope\r\nNextScan\r\n",
       "line 6: If statement with duplicate Else.\r\n"
       "line 8: Could not find function name Nope."},
  };
  for (const auto& t : cases) {
    EXPECT_EQ(t.errors, test::compileText(t.source).errors) << t.source;
  }
}

}  // namespace
}  // namespace vk6
