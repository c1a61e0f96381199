// Pass-2 handlers of the port, timing and system instructions: control and
// analog ports, Delay, the clock, the random seed and the radio test. Each
// checks at most one parameter and appends one fixed-size record; a
// refused port or channel leaves its base value in the record. None stops
// pass 2.
#pragma once

#include "instructions/handlers.h"
#include "parse/statement_buffer.h"

namespace vk6 {

struct Compilation;

HandlerResult handlePortGet(Compilation& c, const Statement& st);
HandlerResult handlePortSet(Compilation& c, const Statement& st);
HandlerResult handleAnalogPortGet(Compilation& c, const Statement& st);
HandlerResult handleAnalogPortSet(Compilation& c, const Statement& st);
HandlerResult handleDelay(Compilation& c, const Statement& st);
HandlerResult handleRandomize(Compilation& c, const Statement& st);
HandlerResult handleClockSet(Compilation& c, const Statement& st);
HandlerResult handleRealTime(Compilation& c, const Statement& st);
HandlerResult handleTicker250ms(Compilation& c, const Statement& st);
HandlerResult handleRFPortTest(Compilation& c, const Statement& st);

}  // namespace vk6
