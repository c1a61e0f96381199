#include "instructions/sections_flow.h"

#include <cstdint>
#include <optional>
#include <string>

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "core/text.h"
#include "expr/operands.h"
#include "format/byte_io.h"
#include "format/operand_word.h"
#include "format/record_format.h"
#include "instructions/code_buffer.h"
#include "instructions/program_state.h"
#include "instructions/tables_output.h"
#include "parse/instruction_index.h"
#include "parse/instruction_table.h"
#include "parse/pass1_state.h"
#include "symbols/constants.h"

namespace vk6 {
namespace {

constexpr bool kNoBackPatch = false;

// Block kinds and condition modes as the logger reads them.
constexpr std::uint16_t kIfKind = 0;
constexpr std::uint16_t kSelectKind = 1;
constexpr std::uint16_t kElseIfBranch = 0;
constexpr std::uint16_t kCaseBranch = 1;
constexpr std::uint16_t kElseBranch = 2;
constexpr std::uint16_t kModeWhile = 1;

// The blocks that End, Exit and Next name: the predefined constants
// If/Select, SUB, TABLE, SCAN, DO and FOR.
constexpr std::int32_t kBlockIfSelect = 0;
constexpr std::int32_t kBlockSub = 3;
constexpr std::int32_t kBlockTable = 5;
constexpr std::int32_t kBlockScan = 6;
constexpr std::int32_t kBlockDo = 7;
constexpr std::int32_t kBlockFor = 8;

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
  return appendCode(c, r, kPatchNext);
}

// Records that point at a loop (NEXT, EXIT FOR, EXIT DO):
//   0 u16 opcode, 2 u16 next-record offset,
//   4 u16 offset of the FOR record's variable word or the DO record's mode.
std::size_t appendLoopReference(Compilation& c, std::uint16_t opcode,
                                std::size_t loopWord) {
  RecordBuilder r(opcode);
  r.u16(offsetWord(loopWord));
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

HandlerResult openIf(Compilation& c, std::uint16_t kind, std::uint32_t operand) {
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
  appendCode(c, r, kPatchNext);
  block.falseSlot = at + kIfFalseWord;
  p.ifStack.push_back(block);
  return HandlerResult::kCompiled;
}

// A branch of the innermost If or Select block; `operand` 0 is a branch
// without a test of its own (Else, Case Else).
HandlerResult appendBranch(Compilation& c, std::uint16_t kind, std::uint32_t operand) {
  ProgramState& p = c.program;
  if (p.ifStack.empty()) {
    if (operand != 0) {
      reportError(c, "Case with no Select.");
    } else {
      reportError(c, "Else with no If.");
    }
    return HandlerResult::kStop;
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
  block.jumpSlots.push_back(jump + kJumpTargetWord);
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
  appendCode(c, r, kPatchNext);
  block.falseSlot = at + kBranchFalseWord;
  return HandlerResult::kCompiled;
}

// `mode` kDoNoCondition: a Do with no condition of its own.
HandlerResult openDo(Compilation& c, std::uint16_t mode, std::uint32_t condition) {
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
  if (mode == kDoNoCondition) {
    r.u16(kDoNoCondition).u16(0).u16(offsetWord(at + recordLength(kRecordDo)));
  } else {
    r.u16(mode);
    writeOperand(c, r, condition);
    r.u16(offsetWord(at));
  }
  r.u16(0);
  appendCode(c, r, kPatchNext);
  p.doStack.push_back(DoEntry{at + kDoModeWord});
  return HandlerResult::kCompiled;
}

HandlerResult closeDo(Compilation& c, std::uint16_t mode, std::uint32_t condition) {
  ProgramState& p = c.program;
  if (closesAcrossScan(c))
    reportError(c, "LOOP statement illegally has SCAN without NEXT SCAN.");
  --p.openBlocks;
  if (p.doStack.empty()) {
    reportError(c, "LOOP without DO.");
    return HandlerResult::kStop;
  }
  const DoEntry loop = p.doStack.back();
  const std::size_t doRecord = loop.modeWord - kDoModeWord;
  if (mode != kDoNoCondition) {
    if (codeWordAt(c, loop.modeWord) != kDoNoCondition)
      reportError(c, "Do ... Loop with condition at Do and Loop.");
    patchCodeWord(c, doRecord + kDoConditionWord, resolveOperand(c, condition));
  }
  // LOOP: 0 u16 opcode 27, 2 u16 next-record offset,
  //       4 u16 offset of the DO record's mode word,
  //       6 u16 mode of a condition at Loop, 1 While, 0 Until, 0x8000 none.
  RecordBuilder r(kRecordLoop);
  r.u16(offsetWord(loop.modeWord)).u16(mode);
  const std::size_t end = appendCode(c, r, kPatchNext);
  patchCodeWord(c, doRecord + kDoExitWord, offsetWord(end));
  p.doStack.pop_back();
  return HandlerResult::kCompiled;
}

HandlerResult closeFor(Compilation& c) {
  ProgramState& p = c.program;
  if (closesAcrossScan(c))
    reportError(c, "FOR NEXT statement illegally has SCAN without NEXT SCAN.");
  --p.openBlocks;
  if (p.forStack.empty()) {
    reportError(c, "NEXT without FOR.");
    return HandlerResult::kStop;
  }
  const ForEntry loop = p.forStack.back();
  p.forStack.pop_back();
  if (codeOffset(c) == loop.bodyOffset) reportError(c, "Empty FOR .. NEXT.");
  const std::size_t end = appendLoopReference(c, kRecordNext, loop.variableWord);
  patchCodeWord(c, loop.exitSlot, offsetWord(end));
  return HandlerResult::kCompiled;
}

// Subroutines compiled so far whose name matches, first one first.
const Subroutine* findCompiledSubroutine(const Compilation& c,
                                         const std::string& name) {
  const SubroutineList& subs = c.pass1.subroutines;
  const int first = subs.find(beforeBlank(name));
  if (first < 0 || static_cast<std::size_t>(first) >= c.program.subroutineCursor)
    return nullptr;
  return &subs[static_cast<std::size_t>(first)];
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
  if (index == kNext && st.intAt(1) == kBlockScan) return;
  reportError(c, "%s used after NextScan.", keywordAt(index));
}

HandlerResult handleEndOfProgram(Compilation& c, const Statement&) {
  const ProgramState& p = c.program;
  if (c.diag.errorCount != 0) return HandlerResult::kNothing;
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
  return HandlerResult::kNothing;
}

// A second BeginProg is not refused; it moves the program's start.
HandlerResult handleBeginProg(Compilation& c, const Statement&) {
  ProgramState& p = c.program;
  c.header.beginProgOffset = offsetWord(codeOffset(c));
  p.beginProgSeen = true;
  return HandlerResult::kNothing;
}

HandlerResult handleScan(Compilation& c, const Statement& st) {
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
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

HandlerResult handleNextScan(Compilation& c, const Statement&) {
  ProgramState& p = c.program;
  if (p.scanDepth == 0) {
    reportError(c, "NextScan with no Scan.");
    return HandlerResult::kStop;
  }
  --p.scanDepth;
  appendPlain(c, kRecordNextScan);
  if (!p.forStack.empty()) reportError(c, "FOR loop bracketing Scan..NextScan.");
  if (!p.doStack.empty())
    reportError(c, "DO or While bracketing Scan..NextScan.");
  if (!p.ifStack.empty())
    reportError(c, "IF or SELECT bracketing Scan..NextScan.");
  return HandlerResult::kCompiled;
}

// The interrupt section counts as an open scan up to the end of the
// program, so the statements in it pass the after-NextScan check.
HandlerResult handleInterruptSequence(Compilation& c, const Statement&) {
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
  return HandlerResult::kCompiled;
}

HandlerResult handleExpression(Compilation& c, const Statement& st) {
  const ProgramState& p = c.program;
  if (!p.beginProgSeen && p.subDepth == 0)
    reportError(c, "Expression used outside of BeginProg..EndProg.");
  // EXPRESSION: 0 u16 opcode 3, 2 u16 next-record offset,
  //             4 u16 operand of the compiled assignment.
  RecordBuilder r(kRecordExpression);
  writeOperand(c, r, st.word(1));
  appendCode(c, r, kPatchNext);
  return HandlerResult::kCompiled;
}

HandlerResult handleIf(Compilation& c, const Statement& st) {
  return openIf(c, kIfKind, st.word(1));
}

HandlerResult handleSelect(Compilation& c, const Statement& st) {
  return openIf(c, kSelectKind, st.word(1));
}

HandlerResult handleElseIf(Compilation& c, const Statement& st) {
  return appendBranch(c, kElseIfBranch, st.word(1));
}

// "Else If c" (a constant word after Else) compiles as an untested Case.
HandlerResult handleElse(Compilation& c, const Statement& st) {
  if (isAbsent(st, 1)) return appendBranch(c, kElseBranch, 0);
  return appendBranch(c, kCaseBranch, 0);
}

// Case Else has the value 0.
HandlerResult handleCase(Compilation& c, const Statement& st) {
  if (st.word(1) == 0) return appendBranch(c, kElseBranch, 0);
  return appendBranch(c, kCaseBranch, st.word(1));
}

HandlerResult handleEndIf(Compilation& c, const Statement&) {
  ProgramState& p = c.program;
  if (p.ifStack.empty()) {
    reportError(c, "END IF without IF or END SELECT without SELECT.");
    return HandlerResult::kStop;
  }
  if (closesAcrossScan(c)) {
    reportError(c, "IF or SELECT statement illegally has SCAN without NEXT SCAN.");
    return HandlerResult::kStop;
  }
  --p.openBlocks;
  const IfEntry block = p.ifStack.back();
  p.ifStack.pop_back();
  const std::uint16_t end = offsetWord(appendPlain(c, kRecordEndIf));
  patchCodeWord(c, block.falseSlot, end);
  for (std::size_t slot : block.jumpSlots) patchCodeWord(c, slot, end);
  return HandlerResult::kCompiled;
}

HandlerResult handleDo(Compilation& c, const Statement& st) {
  if (c.program.interrupt) c.program.interruptHasDo = true;
  if (isAbsent(st, 1)) return openDo(c, kDoNoCondition, 0);
  return openDo(c, static_cast<std::uint16_t>(st.word(1)), st.word(2));
}

HandlerResult handleWhile(Compilation& c, const Statement& st) {
  return openDo(c, kModeWhile, st.word(1));
}

HandlerResult handleLoop(Compilation& c, const Statement& st) {
  if (isAbsent(st, 1)) return closeDo(c, kDoNoCondition, 0);
  return closeDo(c, static_cast<std::uint16_t>(st.word(1)), st.word(2));
}

HandlerResult handleWend(Compilation& c, const Statement&) {
  return closeDo(c, kDoNoCondition, 0);
}

// The control variable is resolved first, then start, end and step, the
// order in which their deferred expressions reach the expression area.
HandlerResult handleFor(Compilation& c, const Statement& st) {
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
  r.u16(offsetWord(at + recordLength(kRecordFor))).u16(0);
  const std::size_t body = appendCode(c, r, kPatchNext);
  p.forStack.push_back(ForEntry{at + kForVariableWord, at + kForExitWord, body});
  return HandlerResult::kCompiled;
}

// The loop variable written after Next is not checked.
HandlerResult handleNext(Compilation& c, const Statement& st) {
  if (st.intAt(1) == kBlockScan) return handleNextScan(c, st);
  return closeFor(c);
}

HandlerResult handleExitDo(Compilation& c, const Statement&) {
  const ProgramState& p = c.program;
  if (p.doStack.empty()) {
    reportError(c, "Exit Do without DO.");
    return HandlerResult::kStop;
  }
  appendLoopReference(c, kRecordExitDo, p.doStack.back().modeWord);
  return HandlerResult::kCompiled;
}

HandlerResult handleExitFor(Compilation& c, const Statement&) {
  const ProgramState& p = c.program;
  if (p.forStack.empty()) {
    reportError(c, "Exit For without FOR.");
    return HandlerResult::kStop;
  }
  appendLoopReference(c, kRecordExitFor, p.forStack.back().variableWord);
  return HandlerResult::kCompiled;
}

// Pass 1 made one subroutine entry per Sub, in source order; the cursor
// pairs them with the Sub statements met here.
HandlerResult handleSub(Compilation& c, const Statement&) {
  ProgramState& p = c.program;
  if (p.subDepth != 0) reportError(c, "Sub declared within another Sub.");
  if (p.beginProgSeen)
    reportError(c, "Sub must be declared before BeginProg.");
  ++p.subDepth;
  const std::size_t body = appendPlain(c, kRecordSub);
  SubroutineList& subs = c.pass1.subroutines;
  if (p.subroutineCursor < subs.size())
    subs[p.subroutineCursor].value = offsetWord(body);
  ++p.subroutineCursor;
  return HandlerResult::kCompiled;
}

// Reports both an EndSub without Sub and the end of a nested Sub.
HandlerResult handleEndSub(Compilation& c, const Statement&) {
  ProgramState& p = c.program;
  --p.subDepth;
  if (p.subDepth != 0) reportError(c, "EndSub without Sub or nested subs.");
  appendPlain(c, kRecordEndSub);
  return HandlerResult::kCompiled;
}

HandlerResult handleExitSub(Compilation& c, const Statement&) {
  appendPlain(c, kRecordExitSub);
  return HandlerResult::kCompiled;
}

// Only subroutines whose Sub is already compiled can be called.
HandlerResult handleCall(Compilation& c, const Statement& st) {
  if (c.program.subDepth != 0)
    reportError(c, "Cannot Call a Subroutine from a Subroutine.");
  refuseInInterruptSequence(c);
  const std::string name = st.textAt(1);
  const Subroutine* sub = findCompiledSubroutine(c, name);
  if (sub == nullptr) {
    reportError(c, "Could not find function name %s.", name.c_str());
    return HandlerResult::kNothing;
  }
  // CALL: 0 u16 opcode 40, 2 u16 the subroutine's body offset (instead of
  //       a next-record offset), 4 u16 return offset (just past the record).
  RecordBuilder r(kRecordCall);
  r.patchU16(kRecordNextWord, sub->value);
  r.u16(offsetWord(codeOffset(c) + recordLength(kRecordCall)));
  appendCode(c, r, kNoBackPatch);
  return HandlerResult::kCompiled;
}

HandlerResult handleEnd(Compilation& c, const Statement& st) {
  switch (st.intAt(1)) {
    case kBlockIfSelect:
      return handleEndIf(c, st);
    case kBlockSub:
      return handleEndSub(c, st);
    case kBlockTable:
      return handleEndTable(c, st);
    default:
      reportError(c, "END ???");
      return HandlerResult::kNothing;
  }
}

HandlerResult handleExit(Compilation& c, const Statement& st) {
  switch (st.intAt(1)) {
    case kBlockSub:
      return handleExitSub(c, st);
    case kBlockDo:
      return handleExitDo(c, st);
    case kBlockFor:
      return handleExitFor(c, st);
    default:
      reportError(c, "EXIT ???");
      return HandlerResult::kNothing;
  }
}

}  // namespace vk6
