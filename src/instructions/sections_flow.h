// Program sections and flow control: the pass-2 handlers of BeginProg,
// Scan ... NextScan, InterruptSequence, assignments, the end-of-program
// checks, the If/Select, Do/While, For and Sub blocks with their exits and
// calls. Owns the block stacks of ProgramState and fills jump targets by
// back-patching code offsets once they are known.
#pragma once

#include <cstdint>

#include "parse/statement_buffer.h"

namespace vk6 {

struct Compilation;

// Start of pass 2: no BeginProg, no interrupt section, no scan interval,
// empty block stacks, subroutine cursor at the first subroutine.
void startProgramState(Compilation& c);

// Reports an instruction that the interrupt section may not hold; the
// caller goes on compiling.
void refuseInInterruptSequence(Compilation& c);

// Run by the pass-2 loop after every handler that did not stop it:
// reports a statement that follows the closed scan outside the interrupt
// section.
void checkAfterNextScan(Compilation& c, const Statement& st);
// The interval of the Scan compiled so far in pass 2; 0 before it.
std::uint16_t compiledScanInterval(const Compilation& c);

// Program sections.
int handleEndOfProgram(Compilation& c, const Statement& st);
int handleBeginProg(Compilation& c, const Statement& st);
int handleScan(Compilation& c, const Statement& st);
int handleNextScan(Compilation& c, const Statement& st);
int handleInterruptSequence(Compilation& c, const Statement& st);
int handleExpression(Compilation& c, const Statement& st);

// If and Select Case blocks; EndIf also serves EndSelect.
int handleIf(Compilation& c, const Statement& st);
int handleSelect(Compilation& c, const Statement& st);
int handleElseIf(Compilation& c, const Statement& st);
int handleElse(Compilation& c, const Statement& st);
int handleCase(Compilation& c, const Statement& st);
int handleEndIf(Compilation& c, const Statement& st);

// Loops and their exits; Next dispatches Next Scan to handleNextScan.
int handleDo(Compilation& c, const Statement& st);
int handleWhile(Compilation& c, const Statement& st);
int handleLoop(Compilation& c, const Statement& st);
int handleWend(Compilation& c, const Statement& st);
int handleFor(Compilation& c, const Statement& st);
int handleNext(Compilation& c, const Statement& st);
int handleExitDo(Compilation& c, const Statement& st);
int handleExitFor(Compilation& c, const Statement& st);

// Subroutines.
int handleSub(Compilation& c, const Statement& st);
int handleEndSub(Compilation& c, const Statement& st);
int handleExitSub(Compilation& c, const Statement& st);
int handleCall(Compilation& c, const Statement& st);

// End <kind> and Exit <kind> dispatch to the handlers above.
int handleEnd(Compilation& c, const Statement& st);
int handleExit(Compilation& c, const Statement& st);

}  // namespace vk6
