#include "instructions/sections_flow.h"

#include <cstdint>
#include <optional>
#include <string>

#include "core/compilation.h"
#include "core/text.h"
#include "expr/operands.h"
#include "format/operand_word.h"
#include "instructions/tables_output.h"
#include "parse/instruction_table.h"

namespace vk6 {
namespace {

constexpr int kStop = -1;
constexpr int kCompiled = 1;
constexpr bool kNoBackPatch = false;

// Opcodes of the compiled records.
constexpr std::uint16_t kRecordNextScan = 0;
constexpr std::uint16_t kRecordScan = 2;
constexpr std::uint16_t kRecordExpression = 3;
constexpr std::uint16_t kRecordEndIf = 24;
constexpr std::uint16_t kRecordExitDo = 25;
constexpr std::uint16_t kRecordExitFor = 26;
constexpr std::uint16_t kRecordLoop = 27;
constexpr std::uint16_t kRecordDo = 28;
constexpr std::uint16_t kRecordBranch = 29;
constexpr std::uint16_t kRecordIf = 30;
constexpr std::uint16_t kRecordNext = 31;
constexpr std::uint16_t kRecordFor = 32;
constexpr std::uint16_t kRecordCall = 40;
constexpr std::uint16_t kRecordSub = 41;
constexpr std::uint16_t kRecordEndSub = 42;
constexpr std::uint16_t kRecordExitSub = 43;
constexpr std::uint16_t kRecordInterruptSequence = 59;
constexpr std::uint16_t kRecordJump = 64;

// Record lengths and the positions of the words patched after appending.
constexpr std::size_t kPlainLength = 4;
constexpr std::size_t kOffsetLength = 6;
constexpr std::size_t kIfLength = 10;
constexpr std::size_t kIfFalseSlot = 8;
constexpr std::size_t kBranchLength = 12;
constexpr std::size_t kBranchFalseSlot = 10;
constexpr std::size_t kJumpTargetSlot = 2;
constexpr std::size_t kDoLength = 12;
constexpr std::size_t kDoModeWord = 4;
constexpr std::size_t kLoopLength = 8;
constexpr std::size_t kForLength = 16;
constexpr std::size_t kForVariableWord = 6;
constexpr std::size_t kForExitSlot = 14;
constexpr std::size_t kCallLength = 6;
// From the DO record's mode word to its condition word and exit slot.
constexpr std::size_t kModeToCondition = 2;
constexpr std::size_t kModeToExit = 6;

// Block kinds and condition modes as the logger reads them.
constexpr std::uint16_t kIfKind = 0;
constexpr std::uint16_t kSelectKind = 1;
constexpr std::uint16_t kElseIfBranch = 0;
constexpr std::uint16_t kCaseBranch = 1;
constexpr std::uint16_t kElseBranch = 2;
constexpr std::uint16_t kModeWhile = 1;
constexpr std::uint16_t kNoCondition = 0x8000;

// End, Exit and Next kinds: the predefined constants If/Select, SUB,
// TABLE, SCAN, DO and FOR.
constexpr std::int32_t kEndIfSelect = 0;
constexpr std::int32_t kEndSub = 3;
constexpr std::int32_t kEndTable = 5;
constexpr std::int32_t kEndScan = 6;
constexpr std::int32_t kEndDo = 7;
constexpr std::int32_t kEndFor = 8;

// ORDER INSTRUCTIONS: row of ENDTABLE in kInstructionTable.

constexpr std::int32_t kMaxScanInterval = 0xFFFF;

// Offsets fit 16-bit fields while the code stays within 65535 bytes; the
// code buffer reports code that grows past that.
std::uint16_t offsetWord(std::size_t offset) {
  return static_cast<std::uint16_t>(offset);
}

std::uint16_t codeWordAt(const Compilation& c, std::size_t offset) {
  return loadU16(c.code.bytes.data() + offset);
}

bool isAbsent(const Statement& st, int i) { return st.word(i) == kAbsentMarker; }

// Records of no field but the opcode (NEXTSCAN, INTERRUPTSEQUENCE, END IF,
// SUB, END SUB, EXIT SUB):
//   0 u16 opcode, 2 u16 next-record offset.
std::size_t appendPlain(Compilation& c, std::uint16_t opcode) {
  RecordBuilder r(opcode);
  r.expectSize(kPlainLength);
  return appendCode(c, r, kPatchNext);
}

// Records that point at a loop (NEXT, EXIT FOR, EXIT DO):
//   0 u16 opcode, 2 u16 next-record offset,
//   4 u16 offset of the FOR record's variable word or the DO record's mode.
std::size_t appendLoopReference(Compilation& c, std::uint16_t opcode,
                                std::size_t loopWord) {
  RecordBuilder r(opcode);
  r.u16(offsetWord(loopWord));
  r.expectSize(kOffsetLength);
  return appendCode(c, r, kPatchNext);
}

// The scan interval is kept in 16-bit fields; a larger one is refused
// (reported) rather than cut.
std::optional<std::uint16_t> scanIntervalWord(Compilation& c, std::int32_t seconds) {
  if (seconds < 0) {
    reportError(c, "Scan interval %d is negative.", seconds);
    return std::nullopt;
  }
  if (seconds > kMaxScanInterval) {
    reportError(c, "Scan interval %d exceeds 65535 seconds.", seconds);
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(seconds);
}

// A closing statement met while no block is open but a scan is: the
// scan's NextScan is missing in between.
bool closesAcrossScan(const Compilation& c) {
  return c.program.openBlocks == 0 && c.program.scanDepth != 0;
}

int openIf(Compilation& c, std::uint16_t kind, std::uint32_t operand) {
  ProgramState& p = c.program;
  ++p.openBlocks;
  IfEntry block;
  block.openingOperand = resolveOperand(c, operand);
  const std::size_t at = codeOffset(c);
  // IF: 0 u16 opcode 30, 2 u16 next-record offset,
  //     4 u16 condition (If) or selector (Select) operand,
  //     6 u16 kind, 0 If, 1 Select,
  //     8 u16 false offset (patch slot).
  RecordBuilder r(kRecordIf);
  r.u16(block.openingOperand).u16(kind).u16(0);
  r.expectSize(kIfLength);
  appendCode(c, r, kPatchNext);
  block.falseSlot = at + kIfFalseSlot;
  p.ifStack.push_back(block);
  return kCompiled;
}

// A branch of the innermost If or Select block; `operand` 0 is a branch
// without a test of its own (Else, Case Else).
int appendBranch(Compilation& c, std::uint16_t kind, std::uint32_t operand) {
  ProgramState& p = c.program;
  if (p.ifStack.empty()) {
    if (operand != 0) {
      reportError(c, "Case with no Select.");
    } else {
      reportError(c, "Else with no If.");
    }
    return kStop;
  }
  IfEntry& block = p.ifStack.back();
  if (operand == 0) {
    if (block.elseSeen) reportError(c, "If statement with duplicate Else.");
    block.elseSeen = true;
  }
  // JUMP, ending the branch before: 0 u16 opcode 64,
  //   2 u16 jump target (patch slot, filled at the end of the block).
  const std::size_t jump = codeOffset(c);
  appendCode(c, RecordBuilder(kRecordJump), kNoBackPatch);
  block.jumpSlots.push_back(jump + kJumpTargetSlot);
  const std::size_t at = codeOffset(c);
  patchCodeWord(c, block.falseSlot, offsetWord(at));
  // BRANCH: 0 u16 opcode 29, 2 u16 next-record offset,
  //   4 u16 own operand (ElseIf condition, Case value) or 0,
  //   6 u16 the opening If condition or Select selector,
  //   8 u16 kind, 0 ElseIf, 1 Case, 2 Else or Case Else,
  //  10 u16 false offset (patch slot).
  RecordBuilder r(kRecordBranch);
  writeOperand(c, r, operand);
  r.u16(block.openingOperand).u16(kind).u16(0);
  r.expectSize(kBranchLength);
  appendCode(c, r, kPatchNext);
  block.falseSlot = at + kBranchFalseSlot;
  return kCompiled;
}

// `mode` kNoCondition: a Do with no condition of its own.
int openDo(Compilation& c, std::uint16_t mode, std::uint32_t condition) {
  ProgramState& p = c.program;
  ++p.openBlocks;
  const std::size_t at = codeOffset(c);
  // DO: 0 u16 opcode 28, 2 u16 next-record offset,
  //     4 u16 condition mode, 1 While, 0 Until, 0x8000 none,
  //     6 u16 condition operand (filled by Loop when the test stands there),
  //     8 u16 loop-back offset: the DO record itself when it tests, else
  //       its body,
  //    10 u16 exit offset (patch slot, filled by Loop).
  RecordBuilder r(kRecordDo);
  if (mode == kNoCondition) {
    r.u16(kNoCondition).u16(0).u16(offsetWord(at + kDoLength));
  } else {
    r.u16(mode);
    writeOperand(c, r, condition);
    r.u16(offsetWord(at));
  }
  r.u16(0);
  r.expectSize(kDoLength);
  appendCode(c, r, kPatchNext);
  p.doStack.push_back(DoEntry{at + kDoModeWord});
  return kCompiled;
}

int closeDo(Compilation& c, std::uint16_t mode, std::uint32_t condition) {
  ProgramState& p = c.program;
  if (closesAcrossScan(c))
    reportError(c, "LOOP statement illegally has SCAN without NEXT SCAN.");
  --p.openBlocks;
  if (p.doStack.empty()) {
    reportError(c, "LOOP without DO.");
    return kStop;
  }
  const DoEntry loop = p.doStack.back();
  if (mode != kNoCondition) {
    if (codeWordAt(c, loop.modeWord) != kNoCondition)
      reportError(c, "Do ... Loop with condition at Do and Loop.");
    patchCodeWord(c, loop.modeWord + kModeToCondition,
                  resolveOperand(c, condition));
  }
  // LOOP: 0 u16 opcode 27, 2 u16 next-record offset,
  //       4 u16 offset of the DO record's mode word,
  //       6 u16 mode of a condition at Loop, 1 While, 0 Until, 0x8000 none.
  RecordBuilder r(kRecordLoop);
  r.u16(offsetWord(loop.modeWord)).u16(mode);
  r.expectSize(kLoopLength);
  const std::size_t end = appendCode(c, r, kPatchNext);
  patchCodeWord(c, loop.modeWord + kModeToExit, offsetWord(end));
  p.doStack.pop_back();
  return kCompiled;
}

int closeFor(Compilation& c) {
  ProgramState& p = c.program;
  if (closesAcrossScan(c))
    reportError(c, "FOR NEXT statement illegally has SCAN without NEXT SCAN.");
  --p.openBlocks;
  if (p.forStack.empty()) {
    reportError(c, "NEXT without FOR.");
    return kStop;
  }
  const ForEntry loop = p.forStack.back();
  p.forStack.pop_back();
  if (codeOffset(c) == loop.bodyOffset) reportError(c, "Empty FOR .. NEXT.");
  const std::size_t end = appendLoopReference(c, kRecordNext, loop.variableWord);
  patchCodeWord(c, loop.exitSlot, offsetWord(end));
  return kCompiled;
}

// Subroutines compiled so far whose name matches, first one first.
const Subroutine* findCompiledSubroutine(const Compilation& c,
                                         const std::string& name) {
  const std::vector<Subroutine>& subs = c.pass1.subroutines;
  for (std::size_t i = 0; i < c.program.subroutineCursor && i < subs.size();
       ++i) {
    if (keywordCompare(name.c_str(), subs[i].name.c_str())) return &subs[i];
  }
  return nullptr;
}

}  // namespace

void startProgramState(Compilation& c) {
  ProgramState& p = c.program;
  p.beginProgSeen = false;
  p.interrupt = false;
  p.scan = ScanState::kNone;
  p.forStack.clear();
  p.doStack.clear();
  p.ifStack.clear();
  p.subroutineCursor = 0;
}

std::uint16_t compiledScanInterval(const Compilation& c) {
  switch (c.program.scan) {
    case ScanState::kNone:
      return 0;
    case ScanState::kRefused:
      return kMaxScanInterval;
    case ScanState::kCompiled:
      break;
  }
  return c.header.scanInterval;
}

void refuseInInterruptSequence(Compilation& c) {
  if (c.program.interrupt)
    reportError(c,
                "Instruction can not be used within the InterruptSequence "
                "section.");
}

void checkAfterNextScan(Compilation& c, const Statement& st) {
  const ProgramState& p = c.program;
  if (p.scanDepth != 0 || compiledScanInterval(c) == 0) return;
  const int index = st.index();
  if (index == kEndOfProgram || index == kNextScan || index == kEndProg) return;
  if (index == kNext && st.intAt(1) == kEndScan) return;
  reportError(c, "%s used after NextScan.", keywordAt(index));
}

int handleEndOfProgram(Compilation& c, const Statement&) {
  const ProgramState& p = c.program;
  if (c.diag.errorCount != 0) return 0;
  if (p.scanDepth != 0 && !p.interrupt) reportError(c, "Scan without NextScan.");
  if (!p.beginProgSeen) reportError(c, "No BeginProg in Program.");
  if (!p.forStack.empty()) reportError(c, "FOR without NEXT.");
  if (!p.doStack.empty()) reportError(c, "DO without LOOP.");
  if (!p.ifStack.empty())
    reportError(c, "IF or SELECT without END IF or END SELECT.");
  if (p.subDepth != 0) reportError(c, "Sub ... EndSub not matched.");
  if (compiledScanInterval(c) == 0)
    reportError(c, "Program must have a Scan ... NextScan.");
  if (p.interrupt && !p.interruptHasDo)
    reportWarning(c, "Interrupt Sequence will only run once, use do loop.");
  return 0;
}

// A second BeginProg is not refused; it moves the program's start.
int handleBeginProg(Compilation& c, const Statement&) {
  ProgramState& p = c.program;
  c.header.beginProgOffset = offsetWord(codeOffset(c));
  p.beginProgSeen = true;
  return 0;
}

int handleScan(Compilation& c, const Statement& st) {
  ProgramState& p = c.program;
  if (p.subDepth != 0) reportError(c, "Sub ... EndSub not matched.");
  refuseInInterruptSequence(c);
  const std::optional<std::uint16_t> word =
      scanIntervalWord(c, unitsToSeconds(c, st.intAt(1), st.intAt(2)));
  // A refused interval saturates, so that the scan still counts as set; the
  // header keeps the word pass 1 read, which TimeUntilTransmit compares.
  const std::uint16_t interval = word.value_or(kMaxScanInterval);
  if (word) c.header.scanInterval = *word;
  p.scan = word ? ScanState::kCompiled : ScanState::kRefused;
  ++p.scanDepth;
  c.header.scanOffset = offsetWord(codeOffset(c));
  // SCAN: 0 u16 opcode 2, 2 u16 next-record offset, 4 u16 interval seconds.
  RecordBuilder r(kRecordScan);
  r.u16(interval);
  r.expectSize(kOffsetLength);
  appendCode(c, r, kPatchNext);
  return kCompiled;
}

int handleNextScan(Compilation& c, const Statement&) {
  ProgramState& p = c.program;
  if (p.scanDepth == 0) {
    reportError(c, "NextScan with no Scan.");
    return kStop;
  }
  --p.scanDepth;
  appendPlain(c, kRecordNextScan);
  if (!p.forStack.empty()) reportError(c, "FOR loop bracketing Scan..NextScan.");
  if (!p.doStack.empty())
    reportError(c, "DO or While bracketing Scan..NextScan.");
  if (!p.ifStack.empty())
    reportError(c, "IF or SELECT bracketing Scan..NextScan.");
  return 0;
}

// The interrupt section counts as an open scan up to the end of the
// program, so the statements in it pass the after-NextScan check.
int handleInterruptSequence(Compilation& c, const Statement&) {
  ProgramState& p = c.program;
  if (p.scanDepth != 0)
    reportError(c, "InterruptSequence Can not be defined within SCAN/NEXTSCAN.");
  if (!p.beginProgSeen)
    reportError(c,
                "InterruptSequence must be between BeginProg/EndProg and after "
                "NextScan.");
  if (p.interrupt) {
    reportError(c, "Only one Interrupt Sequence Can be defined ");
  } else {
    p.interrupt = true;
    ++p.scanDepth;
    p.interruptHasDo = false;
  }
  c.header.interruptOffset = offsetWord(codeOffset(c));
  appendPlain(c, kRecordInterruptSequence);
  return kCompiled;
}

int handleExpression(Compilation& c, const Statement& st) {
  const ProgramState& p = c.program;
  if (!p.beginProgSeen && p.subDepth == 0)
    reportError(c, "Expression used outside of BeginProg..EndProg.");
  // EXPRESSION: 0 u16 opcode 3, 2 u16 next-record offset,
  //             4 u16 operand of the compiled assignment.
  RecordBuilder r(kRecordExpression);
  writeOperand(c, r, st.word(1));
  r.expectSize(kOffsetLength);
  appendCode(c, r, kPatchNext);
  return kCompiled;
}

int handleIf(Compilation& c, const Statement& st) {
  return openIf(c, kIfKind, st.word(1));
}

int handleSelect(Compilation& c, const Statement& st) {
  return openIf(c, kSelectKind, st.word(1));
}

int handleElseIf(Compilation& c, const Statement& st) {
  return appendBranch(c, kElseIfBranch, st.word(1));
}

// "Else If c" (a constant word after Else) compiles as an untested Case.
int handleElse(Compilation& c, const Statement& st) {
  if (isAbsent(st, 1)) return appendBranch(c, kElseBranch, 0);
  return appendBranch(c, kCaseBranch, 0);
}

// Case Else has the value 0.
int handleCase(Compilation& c, const Statement& st) {
  if (st.word(1) == 0) return appendBranch(c, kElseBranch, 0);
  return appendBranch(c, kCaseBranch, st.word(1));
}

int handleEndIf(Compilation& c, const Statement&) {
  ProgramState& p = c.program;
  if (p.ifStack.empty()) {
    reportError(c, "END IF without IF or END SELECT without SELECT.");
    return kStop;
  }
  if (closesAcrossScan(c)) {
    reportError(c, "IF or SELECT statement illegally has SCAN without NEXT SCAN.");
    return kStop;
  }
  --p.openBlocks;
  const IfEntry block = p.ifStack.back();
  p.ifStack.pop_back();
  const std::uint16_t end = offsetWord(appendPlain(c, kRecordEndIf));
  patchCodeWord(c, block.falseSlot, end);
  for (std::size_t slot : block.jumpSlots) patchCodeWord(c, slot, end);
  return kCompiled;
}

int handleDo(Compilation& c, const Statement& st) {
  if (c.program.interrupt) c.program.interruptHasDo = true;
  if (isAbsent(st, 1)) return openDo(c, kNoCondition, 0);
  return openDo(c, static_cast<std::uint16_t>(st.word(1)), st.word(2));
}

int handleWhile(Compilation& c, const Statement& st) {
  return openDo(c, kModeWhile, st.word(1));
}

int handleLoop(Compilation& c, const Statement& st) {
  if (isAbsent(st, 1)) return closeDo(c, kNoCondition, 0);
  return closeDo(c, static_cast<std::uint16_t>(st.word(1)), st.word(2));
}

int handleWend(Compilation& c, const Statement&) {
  return closeDo(c, kNoCondition, 0);
}

// The control variable is resolved first, then start, end and step, the
// order in which their deferred expressions reach the expression area.
int handleFor(Compilation& c, const Statement& st) {
  ProgramState& p = c.program;
  ++p.openBlocks;
  const std::uint16_t variable = resolveOperand(c, st.word(1));
  const std::uint16_t start = resolveOperand(c, st.word(2));
  const std::uint16_t end = resolveOperand(c, st.word(3));
  const std::uint16_t step = resolveOperand(c, st.word(4));
  const std::size_t at = codeOffset(c);
  // FOR: 0 u16 opcode 32, 2 u16 next-record offset, 4 u16 start operand,
  //      6 u16 loop variable operand, 8 u16 step operand (0 without STEP),
  //     10 u16 end operand, 12 u16 body offset (just past the record),
  //     14 u16 exit offset (patch slot, filled by Next).
  RecordBuilder r(kRecordFor);
  r.u16(start).u16(variable).u16(step).u16(end);
  r.u16(offsetWord(at + kForLength)).u16(0);
  r.expectSize(kForLength);
  const std::size_t body = appendCode(c, r, kPatchNext);
  p.forStack.push_back(ForEntry{at + kForVariableWord, at + kForExitSlot, body});
  return kCompiled;
}

// The loop variable written after Next is not checked.
int handleNext(Compilation& c, const Statement& st) {
  if (st.intAt(1) == kEndScan) return handleNextScan(c, st);
  return closeFor(c);
}

int handleExitDo(Compilation& c, const Statement&) {
  const ProgramState& p = c.program;
  if (p.doStack.empty()) {
    reportError(c, "Exit Do without DO.");
    return kStop;
  }
  appendLoopReference(c, kRecordExitDo, p.doStack.back().modeWord);
  return kCompiled;
}

int handleExitFor(Compilation& c, const Statement&) {
  const ProgramState& p = c.program;
  if (p.forStack.empty()) {
    reportError(c, "Exit For without FOR.");
    return kStop;
  }
  appendLoopReference(c, kRecordExitFor, p.forStack.back().variableWord);
  return kCompiled;
}

// Pass 1 made one subroutine entry per Sub, in source order; the cursor
// pairs them with the Sub statements met here.
int handleSub(Compilation& c, const Statement&) {
  ProgramState& p = c.program;
  if (p.subDepth != 0) reportError(c, "Sub declared within another Sub.");
  if (p.beginProgSeen)
    reportError(c, "Sub must be declared before BeginProg.");
  ++p.subDepth;
  const std::size_t body = appendPlain(c, kRecordSub);
  std::vector<Subroutine>& subs = c.pass1.subroutines;
  if (p.subroutineCursor < subs.size())
    subs[p.subroutineCursor].value = offsetWord(body);
  ++p.subroutineCursor;
  return kCompiled;
}

// Reports both an EndSub without Sub and the end of a nested Sub.
int handleEndSub(Compilation& c, const Statement&) {
  ProgramState& p = c.program;
  --p.subDepth;
  if (p.subDepth != 0) reportError(c, "EndSub without Sub or nested subs.");
  appendPlain(c, kRecordEndSub);
  return kCompiled;
}

int handleExitSub(Compilation& c, const Statement&) {
  appendPlain(c, kRecordExitSub);
  return kCompiled;
}

// Only subroutines whose Sub is already compiled can be called.
int handleCall(Compilation& c, const Statement& st) {
  if (c.program.subDepth != 0)
    reportError(c, "Cannot Call a Subroutine from a Subroutine.");
  refuseInInterruptSequence(c);
  const std::string name = st.textAt(1);
  const Subroutine* sub = findCompiledSubroutine(c, name);
  if (sub == nullptr) {
    reportError(c, "Could not find function name %s.", name.c_str());
    return 0;
  }
  // CALL: 0 u16 opcode 40, 2 u16 the subroutine's body offset (instead of
  //       a next-record offset), 4 u16 return offset (just past the record).
  RecordBuilder r(kRecordCall);
  r.patchU16(2, sub->value);
  r.u16(offsetWord(codeOffset(c) + kCallLength));
  r.expectSize(kCallLength);
  appendCode(c, r, kNoBackPatch);
  return kCompiled;
}

int handleEnd(Compilation& c, const Statement& st) {
  switch (st.intAt(1)) {
    case kEndIfSelect:
      return handleEndIf(c, st);
    case kEndSub:
      return handleEndSub(c, st);
    case kEndTable:
      return handleEndTable(c, st);
    default:
      reportError(c, "END ???");
      return 0;
  }
}

int handleExit(Compilation& c, const Statement& st) {
  switch (st.intAt(1)) {
    case kEndSub:
      return handleExitSub(c, st);
    case kEndDo:
      return handleExitDo(c, st);
    case kEndFor:
      return handleExitFor(c, st);
    default:
      reportError(c, "EXIT ???");
      return 0;
  }
}

}  // namespace vk6
