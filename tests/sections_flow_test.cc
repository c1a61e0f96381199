// Program sections and flow control, fed with hand-built statement records
// through the same steps as the pass-2 loop. Operand slots hold small
// expression-area offsets (0x10, 0x20 ...), which the records copy as they are.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/compilation.h"
#include "format/operand_word.h"
#include "instructions/sections_flow.h"
#include "instructions/dispatch.h"
#include "parse/instruction_table.h"
#include "test_support.h"
#include "vk6/passes.h"

namespace vk6 {
namespace {

using Words = std::vector<std::uint32_t>;

constexpr std::uint32_t kSec = 2;
constexpr std::uint32_t kMin = 3;
constexpr std::uint32_t kWhileMode = 1;
constexpr std::uint32_t kUntilMode = 0;
constexpr std::uint32_t kNone = kAbsentMarker;

struct Line {
  InstructionIndex index;
  Words slots;
};

// A name parameter as pass 1 stores it: the text and its NUL, then a spare word.
Words text(const std::string& name) {
  Words words(name.size() / 4 + 2, 0);
  std::memcpy(words.data(), name.c_str(), name.size() + 1);
  return words;
}

// Runs the lines numbered from 1, then the end record, as pass 2 does.
void run(Compilation& c, const std::vector<Line>& program) {
  std::vector<Words> records;
  for (const Line& l : program) {
    Words record{makeHeader(l.index, static_cast<int>(l.slots.size()) + 1, 0)};
    record.insert(record.end(), l.slots.begin(), l.slots.end());
    records.push_back(record);
  }
  records.push_back(Words{makeHeader(kEndOfProgram, 1, 0)});
  startProgramState(c);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const Statement st{records[i].data(), static_cast<int>(i) + 1};
    c.diag.currentLine = st.line;
    if (handleStatement(c, st) == HandlerResult::kStop) break;
    checkAfterNextScan(c, st);
  }
}

Bytes bytes(std::initializer_list<int> values) {
  Bytes out;
  for (int v : values) out.push_back(static_cast<std::uint8_t>(v));
  return out;
}

const Line kBegin{kBeginProg, {}};
const Line kScan1{kScan, {1, kSec}};
const Line kNextScan1{kNextScan, {}};
const Line kAssign{kExpression, {0x20}};

TEST(Sections, ScanRecordAndHeaderFields) {
  Compilation c;
  run(c, {kAssign, kBegin, {kScan, {5, kMin}}, kNextScan1});
  EXPECT_EQ("line 1: Expression used outside of BeginProg..EndProg.",
            c.diag.errorText);
  EXPECT_EQ(bytes({0x03, 0x00, 0x06, 0x00, 0x20, 0x00,  // EXPRESSION
                   0x02, 0x00, 0x0C, 0x00, 0x2C, 0x01,  // SCAN 300 s
                   0x00, 0x00, 0x10, 0x00}),            // NEXTSCAN
            c.code.bytes);
  EXPECT_EQ(6, c.header.beginProgOffset);
  EXPECT_EQ(6, c.header.scanOffset);
  EXPECT_EQ(300, c.header.scanInterval);
}

TEST(Sections, ScanIntervalMustFitSixteenBits) {
  const struct {
    std::uint32_t interval;
    const char* errors;
  } cases[] = {
      {65535, ""},
      {65536, "line 2: Scan interval 65536 exceeds 65535 seconds."},
      {0xFFFFFFFF, "line 2: Scan interval -1 is negative."},
  };
  for (const auto& t : cases) {
    Compilation c;
    run(c, {kBegin, {kScan, {t.interval, kSec}}, kNextScan1});
    EXPECT_EQ(t.errors, c.diag.errorText) << t.interval;
    EXPECT_EQ(0xFFFF, compiledScanInterval(c)) << t.interval;
  }
}

TEST(Sections, Messages) {
  const Line interrupt{kInterruptSequence, {}};
  const Line doPlain{kDo, {kNone, kNone}};
  const Line loopPlain{kLoop, {kNone, kNone}};
  const struct {
    std::vector<Line> program;
    const char* errors;
    const char* warnings;
  } cases[] = {
      {{kBegin, kScan1, kAssign, kNextScan1}, "", ""},
      {{kScan1, kNextScan1}, "line 3: No BeginProg in Program.", ""},
      {{kBegin, kScan1}, "line 3: Scan without NextScan.", ""},
      {{kBegin, kScan1, kNextScan1, kAssign},
       "line 4: Expression used after NextScan.", ""},
      {{kBegin, kScan1, kNextScan1, {kNext, {10}}},
       "line 4: NEXT without FOR.", ""},
      {{kBegin, kScan1, kNextScan1, interrupt, doPlain, kAssign, loopPlain},
       "", ""},
      {{kBegin, kScan1, kNextScan1, interrupt, kAssign}, "",
       "Warning: Interrupt Sequence will only run once, use do loop."},
      {{kBegin, kScan1, kNextScan1, interrupt, {kWhile, {0x10}}, {kWend, {}}},
       "", "Warning: Interrupt Sequence will only run once, use do loop."},
      {{kBegin, kScan1, kNextScan1, interrupt, doPlain, interrupt, loopPlain},
       "line 6: InterruptSequence Can not be defined within SCAN/NEXTSCAN.\r\n"
       "line 6: Only one Interrupt Sequence Can be defined ",
       ""},
      {{kBegin, kScan1, interrupt, kNextScan1},
       "line 3: InterruptSequence Can not be defined within SCAN/NEXTSCAN.", ""},
      {{interrupt, kBegin, kScan1, kNextScan1},
       "line 1: InterruptSequence must be between BeginProg/EndProg and after "
       "NextScan.\r\n"
       "line 3: Instruction can not be used within the InterruptSequence "
       "section.",
       ""},
      {{kBegin, kScan1, kNextScan1, interrupt, kScan1, kNextScan1},
       "line 5: Instruction can not be used within the InterruptSequence "
       "section.",
       ""},
      // NextScan with no Scan stops pass 2: the WEND is never compiled.
      {{kBegin, kNextScan1, {kWend, {}}}, "line 2: NextScan with no Scan.", ""},
      {{kBegin, kScan1, {kFor, {0x11, 0x12, 0x13, 0}}, kNextScan1, {kNext, {10}}},
       "line 4: FOR loop bracketing Scan..NextScan.\r\n"
       "line 5: NEXT used after NextScan.",
       ""},
      {{kBegin, kScan1, doPlain, kNextScan1, loopPlain},
       "line 4: DO or While bracketing Scan..NextScan.\r\n"
       "line 5: Loop used after NextScan.",
       ""},
      {{kBegin, kScan1, {kIf, {0x10}}, kNextScan1, {kEndIf, {}}},
       "line 4: IF or SELECT bracketing Scan..NextScan.\r\n"
       "line 5: EndIf used after NextScan.",
       ""},
      // Every end-of-program check, in order, after a clean pass.
      {{{kSub, {}}, {kFor, {0x11, 0x12, 0x13, 0}}, kAssign, doPlain,
        {kIf, {0x10}}},
       "line 6: No BeginProg in Program.\r\nline 6: FOR without NEXT.\r\n"
       "line 6: DO without LOOP.\r\n"
       "line 6: IF or SELECT without END IF or END SELECT.\r\n"
       "line 6: Sub ... EndSub not matched.\r\n"
       "line 6: Program must have a Scan ... NextScan.",
       ""},
  };
  for (const auto& t : cases) {
    Compilation c;
    c.pass1.subroutines.push_back(Subroutine{0, "S"});
    run(c, t.program);
    EXPECT_EQ(t.errors, c.diag.errorText) << t.errors;
    EXPECT_EQ(t.warnings, c.diag.warningText) << t.errors;
  }
}

TEST(Sections, SecondInterruptSequenceMovesTheHeaderOffset) {
  Compilation c;
  run(c, {kBegin, kScan1, kNextScan1, {kInterruptSequence, {}}, {kInterruptSequence, {}}});
  EXPECT_EQ(14, c.header.interruptOffset);
  EXPECT_EQ(bytes({0x02, 0x00, 0x06, 0x00, 0x01, 0x00, 0x00, 0x00, 0x0A, 0x00,
                   0x3B, 0x00, 0x0E, 0x00, 0x3B, 0x00, 0x12, 0x00}),
            Bytes(c.code.bytes.begin(), c.code.bytes.begin() + 18));
}

TEST(IfBlocks, IfElseEndIfPatchesEveryJump) {
  Compilation c;
  run(c, {kBegin, {kIf, {0x10}}, kAssign, {kElse, {kNone, kNone}},
          {kExpression, {0x30}}, {kEndIf, {}}});
  EXPECT_EQ(bytes({0x1E, 0x00, 0x0A, 0x00, 0x10, 0x00, 0x00, 0x00, 0x14, 0x00,
                   0x03, 0x00, 0x10, 0x00, 0x20, 0x00,
                   0x40, 0x00, 0x2A, 0x00,
                   0x1D, 0x00, 0x20, 0x00, 0x00, 0x00, 0x10, 0x00, 0x02, 0x00,
                   0x2A, 0x00,
                   0x03, 0x00, 0x26, 0x00, 0x30, 0x00,
                   0x18, 0x00, 0x2A, 0x00}),
            c.code.bytes);
}

TEST(IfBlocks, SelectCaseChainsItsBranches) {
  Compilation c;
  run(c, {kBegin, {kSelect, {0x10}}, {kCase, {0x40}}, kAssign,
          {kCase, {0x50}}, {kEnd, {0}}});
  EXPECT_EQ(bytes({0x1E, 0x00, 0x0A, 0x00, 0x10, 0x00, 0x01, 0x00, 0x0E, 0x00,
                   0x40, 0x00, 0x34, 0x00,
                   0x1D, 0x00, 0x1A, 0x00, 0x40, 0x00, 0x10, 0x00, 0x01, 0x00,
                   0x24, 0x00,
                   0x03, 0x00, 0x20, 0x00, 0x20, 0x00,
                   0x40, 0x00, 0x34, 0x00,
                   0x1D, 0x00, 0x30, 0x00, 0x50, 0x00, 0x10, 0x00, 0x01, 0x00,
                   0x34, 0x00,
                   0x18, 0x00, 0x34, 0x00}),
            c.code.bytes);
}

TEST(FlowControl, Messages) {
  const Line ifLine{kIf, {0x10}};
  const Line elseLine{kElse, {kNone, kNone}};
  const Line forLine{kFor, {0x11, 0x12, 0x13, 0}};
  const Line doWhile{kDo, {kWhileMode, 0x22}};
  const struct {
    std::vector<Line> program;
    const char* errors;
  } cases[] = {
      {{kBegin, ifLine, elseLine, elseLine, {kEndIf, {}}},
       "line 4: If statement with duplicate Else."},
      {{kBegin, {kSelect, {0x10}}, {kCase, {0}}, {kCase, {0}}, {kEndSelect, {}}},
       "line 4: If statement with duplicate Else."},
      {{kBegin, {kElseIf, {0x10}}, {kWend, {}}}, "line 2: Case with no Select."},
      {{kBegin, elseLine, {kWend, {}}}, "line 2: Else with no If."},
      {{kBegin, {kCase, {0}}, {kWend, {}}}, "line 2: Else with no If."},
      {{kBegin, {kEndIf, {}}, {kWend, {}}},
       "line 2: END IF without IF or END SELECT without SELECT."},
      {{kBegin, kScan1, {kNext, {10}}},
       "line 3: FOR NEXT statement illegally has SCAN without NEXT SCAN.\r\n"
       "line 3: NEXT without FOR."},
      {{kBegin, kScan1, {kWend, {}}},
       "line 3: LOOP statement illegally has SCAN without NEXT SCAN.\r\n"
       "line 3: LOOP without DO."},
      {{kBegin, {kExitFor, {}}, {kWend, {}}}, "line 2: Exit For without FOR."},
      {{kBegin, {kExit, {7}}, {kWend, {}}}, "line 2: Exit Do without DO."},
      {{kBegin, {kEnd, {4}}, {kEnd, {6}}, {kExit, {4}}},
       "line 2: END ???\r\nline 3: END ???\r\nline 4: EXIT ???"},
      {{kBegin, forLine, {kNext, {10}}}, "line 3: Empty FOR .. NEXT."},
      {{kBegin, doWhile, {kLoop, {kUntilMode, 0x21}}},
       "line 3: Do ... Loop with condition at Do and Loop."},
      {{kBegin, {kWhile, {0x22}}, {kLoop, {kUntilMode, 0x21}}},
       "line 3: Do ... Loop with condition at Do and Loop."},
  };
  for (const auto& t : cases) {
    Compilation c;
    run(c, t.program);
    EXPECT_EQ(t.errors, c.diag.errorText) << t.errors;
  }
}

TEST(Loops, ForWithoutStepAndExitFor) {
  Compilation c;
  run(c, {kBegin, {kFor, {0x11, 0x12, 0x13, 0}}, {kExitFor, {}}, {kNext, {10}}});
  EXPECT_EQ(bytes({0x20, 0x00, 0x10, 0x00, 0x12, 0x00, 0x11, 0x00, 0x00, 0x00,
                   0x13, 0x00, 0x10, 0x00, 0x1C, 0x00,
                   0x1A, 0x00, 0x16, 0x00, 0x06, 0x00,
                   0x1F, 0x00, 0x1C, 0x00, 0x06, 0x00}),
            c.code.bytes);
}

TEST(Loops, DoLoopUntilStoresTheConditionInTheDoRecord) {
  Compilation c;
  run(c, {kBegin, {kDo, {kNone, kNone}}, kAssign, {kLoop, {kUntilMode, 0x21}}});
  EXPECT_EQ(bytes({0x1C, 0x00, 0x0C, 0x00, 0x00, 0x80, 0x21, 0x00, 0x0C, 0x00,
                   0x1A, 0x00,
                   0x03, 0x00, 0x12, 0x00, 0x20, 0x00,
                   0x1B, 0x00, 0x1A, 0x00, 0x04, 0x00, 0x00, 0x00}),
            c.code.bytes);
}

TEST(Loops, DoWhileLoopsBackToItself) {
  Compilation c;
  run(c, {kBegin, {kDo, {kWhileMode, 0x22}}, {kExit, {7}}, {kWend, {}}});
  EXPECT_EQ(bytes({0x1C, 0x00, 0x0C, 0x00, 0x01, 0x00, 0x22, 0x00, 0x00, 0x00,
                   0x1A, 0x00,
                   0x19, 0x00, 0x12, 0x00, 0x04, 0x00,
                   0x1B, 0x00, 0x1A, 0x00, 0x04, 0x00, 0x00, 0x80}),
            c.code.bytes);
}

TEST(Subroutines, CallJumpsToTheBodyOfAnEarlierSub) {
  Compilation c;
  c.pass1.subroutines = {Subroutine{0, "Sub1"}, Subroutine{0, "Later"}};
  run(c, {{kSub, {}}, kAssign, {kEnd, {3}}, kBegin, kScan1, {kCall, text("SUB1")},
          {kCall, text("Later")}, {kExitSub, {}}, kNextScan1});
  EXPECT_EQ("line 7: Could not find function name Later.", c.diag.errorText);
  EXPECT_EQ(4, c.pass1.subroutines[0].value);
  EXPECT_EQ(bytes({0x29, 0x00, 0x04, 0x00,
                   0x03, 0x00, 0x0A, 0x00, 0x20, 0x00,
                   0x2A, 0x00, 0x0E, 0x00,
                   0x02, 0x00, 0x14, 0x00, 0x01, 0x00,
                   0x28, 0x00, 0x04, 0x00, 0x1A, 0x00,
                   0x2B, 0x00, 0x1E, 0x00,
                   0x00, 0x00, 0x22, 0x00}),
            c.code.bytes);
}

TEST(Subroutines, Messages) {
  const Line sub{kSub, {}};
  const Line endSub{kEndSub, {}};
  const struct {
    std::vector<Line> program;
    const char* errors;
  } cases[] = {
      {{sub, sub, endSub, endSub},
       "line 2: Sub declared within another Sub.\r\n"
       "line 3: EndSub without Sub or nested subs."},
      {{kBegin, sub, endSub}, "line 2: Sub must be declared before BeginProg."},
      {{kBegin, endSub}, "line 2: EndSub without Sub or nested subs."},
      {{sub, {kCall, text("A")}, endSub},
       "line 2: Cannot Call a Subroutine from a Subroutine."},
      {{sub, kScan1}, "line 2: Sub ... EndSub not matched."},
      {{sub, endSub, kBegin, kScan1, kNextScan1, {kInterruptSequence, {}},
        {kCall, text("a")}},
       "line 7: Instruction can not be used within the InterruptSequence "
       "section."},
  };
  for (const auto& t : cases) {
    Compilation c;
    c.pass1.subroutines = {Subroutine{0, "A"}, Subroutine{0, "B"}};
    run(c, t.program);
    EXPECT_EQ(t.errors, c.diag.errorText) << t.errors;
  }
}

}  // namespace
}  // namespace vk6

namespace vk6 {
namespace {

Bytes compiledCode(const std::string& source, std::string* errors) {
  Compilation c;
  c.options.build = test::modelVK617Q();
  test::loadText(c, source);
  runCompile(c);
  *errors = c.diag.errorText;
  return c.code.bytes;
}

// The expression area holds x = 1 at 0x00, then For's i, 1, 3, 2 and the
// condition x, which the records refer to.
TEST(ProgramFlow, CompiledProgramLinksEveryRecord) {
  std::string errors;
  const Bytes code = compiledCode("Public x, i\r\n"
                                  "Sub Tick\r\n"
                                  "  x = 1\r\n"
                                  "EndSub\r\n"
                                  "BeginProg\r\n"
                                  "  Scan(1, sec)\r\n"
                                  "    For i = 1 To 3 Step 2\r\n"
                                  "      If x Then Exit For\r\n"
                                  "      Tick\r\n"
                                  "    Next i\r\n"
                                  "  Next Scan\r\n"
                                  "EndProg\r\n",
                                  &errors);
  EXPECT_EQ("", errors);
  EXPECT_EQ(bytes({0x29, 0x00, 0x04, 0x00,                          // SUB
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
                   0x00, 0x00, 0x48, 0x00}),                        // NEXTSCAN
            code);
}

TEST(ProgramFlow, MessagesOfWholePrograms) {
  const struct {
    const char* source;
    const char* errors;
  } cases[] = {
      {"BeginProg\r\nScan(1, sec)\r\nEnd\r\nEnd Prog\r\nExit Scan\r\n"
       "NextScan\r\nEndProg\r\n",
       "line 3: END ???\r\nline 4: END ???\r\nline 5: EXIT ???"},
      {"Public x\r\nBeginProg\r\nScan(1, sec)\r\nNextScan\r\nx = 1\r\n"
       "EndProg\r\n",
       "line 5: Expression used after NextScan."},
      {"Public x\r\nBeginProg\r\nScan(1, sec)\r\nDo While x\r\n"
       "Loop Until x\r\nNextScan\r\nEndProg\r\n",
       "line 5: Do ... Loop with condition at Do and Loop."},
      {"Public x\r\nBeginProg\r\nScan(18, hr)\r\nNextScan\r\nEndProg\r\n",
       ""},
      {"Public x\r\nBeginProg\r\nScan(1093, min)\r\nNextScan\r\nEndProg\r\n",
       "line 3: Scan interval 65580 exceeds 65535 seconds."},
      {"Public x\r\nBeginProg\r\nScan(1, sec)\r\nSelect Case x\r\n"
       "Case Else\r\nCase Else\r\nEnd Select\r\nCall Nope\r\nNextScan\r\n",
       "line 6: If statement with duplicate Else.\r\n"
       "line 8: Could not find function name Nope."},
      {"Public x\r\nBeginProg\r\nScan(1, sec)\r\nIf x > 1 Then\r\nx = 1\r\n"
       "Else If x < 0 Then\r\nx = 0\r\nEndIf\r\nNextScan\r\nEndProg\r\n",
       "line 6: Else If is not accepted: write ElseIf, or the condition after it is ignored."},
      {"Public x\r\nBeginProg\r\nScan(1, sec)\r\nIf x > 1 Then\r\nx = 1\r\n"
       "Else\r\nIf x < 0 Then x = 0\r\nEndIf\r\nNextScan\r\nEndProg\r\n",
       ""},
  };
  for (const auto& t : cases) {
    std::string errors;
    compiledCode(t.source, &errors);
    EXPECT_EQ(t.errors, errors) << t.source;
  }
}

}  // namespace
}  // namespace vk6
