// Program sections and flow control: the pass-2 handlers of BeginProg,
// Scan ... NextScan, InterruptSequence, assignments, the end-of-program
// checks, the If/Select, Do/While, For and Sub blocks with their exits and
// calls. Owns the block stacks of ProgramState and fills jump targets by
// back-patching code offsets once they are known.
#pragma once

#include <cstdint>

#include "instructions/handlers.h"
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
HandlerResult handleEndOfProgram(Compilation& c, const Statement& st);
HandlerResult handleBeginProg(Compilation& c, const Statement& st);
HandlerResult handleScan(Compilation& c, const Statement& st);
HandlerResult handleNextScan(Compilation& c, const Statement& st);
HandlerResult handleInterruptSequence(Compilation& c, const Statement& st);
HandlerResult handleExpression(Compilation& c, const Statement& st);

// If and Select Case blocks; EndIf also serves EndSelect.
HandlerResult handleIf(Compilation& c, const Statement& st);
HandlerResult handleSelect(Compilation& c, const Statement& st);
HandlerResult handleElseIf(Compilation& c, const Statement& st);
HandlerResult handleElse(Compilation& c, const Statement& st);
HandlerResult handleCase(Compilation& c, const Statement& st);
HandlerResult handleEndIf(Compilation& c, const Statement& st);

// Loops and their exits; Next dispatches Next Scan to handleNextScan.
HandlerResult handleDo(Compilation& c, const Statement& st);
HandlerResult handleWhile(Compilation& c, const Statement& st);
HandlerResult handleLoop(Compilation& c, const Statement& st);
HandlerResult handleWend(Compilation& c, const Statement& st);
HandlerResult handleFor(Compilation& c, const Statement& st);
HandlerResult handleNext(Compilation& c, const Statement& st);
HandlerResult handleExitDo(Compilation& c, const Statement& st);
HandlerResult handleExitFor(Compilation& c, const Statement& st);

// Subroutines.
HandlerResult handleSub(Compilation& c, const Statement& st);
HandlerResult handleEndSub(Compilation& c, const Statement& st);
HandlerResult handleExitSub(Compilation& c, const Statement& st);
HandlerResult handleCall(Compilation& c, const Statement& st);

// End <kind> and Exit <kind> dispatch to the handlers above.
HandlerResult handleEnd(Compilation& c, const Statement& st);
HandlerResult handleExit(Compilation& c, const Statement& st);

}  // namespace vk6
