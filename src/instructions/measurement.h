// Pass-2 handlers of the analog, pulse and period measurements. Each checks
// channels, repetitions and timing against the logger's limits, reports
// every fault and still appends its record, so a failed statement never
// shifts the offsets of later ones. None stops pass 2.
#pragma once

#include "parse/statement_buffer.h"

namespace vk6 {

struct Compilation;

int handleVoltSe(Compilation& c, const Statement& st);
int handleExDelSE(Compilation& c, const Statement& st);
int handleThermPrb(Compilation& c, const Statement& st);
int handlePanelTemp(Compilation& c, const Statement& st);
int handleBattery(Compilation& c, const Statement& st);
int handleSwBatt(Compilation& c, const Statement& st);
int handleExciteV(Compilation& c, const Statement& st);
int handleScanLEDOff(Compilation& c, const Statement& st);
int handlePulsecount(Compilation& c, const Statement& st);
int handlePeriodAvg(Compilation& c, const Statement& st);

}  // namespace vk6
