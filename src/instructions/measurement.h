// Pass-2 handlers of the analog, pulse and period measurements. Each checks
// channels, repetitions and timing against the logger's limits, reports
// every fault and still appends its record, so a failed statement never
// shifts the offsets of later ones. None stops pass 2.
#pragma once

#include "instructions/handlers.h"
#include "parse/statement_buffer.h"

namespace vk6 {

struct Compilation;

HandlerResult handleVoltSe(Compilation& c, const Statement& st);
HandlerResult handleExDelSE(Compilation& c, const Statement& st);
HandlerResult handleThermPrb(Compilation& c, const Statement& st);
HandlerResult handlePanelTemp(Compilation& c, const Statement& st);
HandlerResult handleBattery(Compilation& c, const Statement& st);
HandlerResult handleSwBatt(Compilation& c, const Statement& st);
HandlerResult handleExciteV(Compilation& c, const Statement& st);
HandlerResult handleScanLEDOff(Compilation& c, const Statement& st);
HandlerResult handlePulsecount(Compilation& c, const Statement& st);
HandlerResult handlePeriodAvg(Compilation& c, const Statement& st);

}  // namespace vk6
