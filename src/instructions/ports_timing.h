// Pass-2 handlers of the port, timing and system instructions: control and
// analog ports, Delay, the clock, the random seed and the radio test. Each
// checks at most one parameter and appends one fixed-size record; a
// refused port or channel leaves its base value in the record. None stops
// pass 2.
#pragma once

#include "parse/statement_buffer.h"

namespace vk6 {

struct Compilation;

int handlePortGet(Compilation& c, const Statement& st);
int handlePortSet(Compilation& c, const Statement& st);
int handleAnalogPortGet(Compilation& c, const Statement& st);
int handleAnalogPortSet(Compilation& c, const Statement& st);
int handleDelay(Compilation& c, const Statement& st);
int handleRandomize(Compilation& c, const Statement& st);
int handleClockSet(Compilation& c, const Statement& st);
int handleRealTime(Compilation& c, const Statement& st);
int handleTicker250ms(Compilation& c, const Statement& st);
int handleRFPortTest(Compilation& c, const Statement& st);

}  // namespace vk6
