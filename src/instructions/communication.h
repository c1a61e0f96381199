// Pass-2 handlers of the communication instructions: network data
// exchange and status settings, Modbus, Print, the spatial statistics and
// vector conversion, and the satellite-transmitter instructions. Each
// checks its statement, reports through the diagnostics and goes on,
// builds its record and appends it to the code buffer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "parse/statement_buffer.h"

namespace vk6 {

struct Compilation;

// Network data exchange and status settings (network.cc).
int handleSendGetData(Compilation& c, const Statement& st);
int handleGetValue(Compilation& c, const Statement& st);
int handleSetValue(Compilation& c, const Statement& st);
int handleReadSendGetInfo(Compilation& c, const Statement& st);
int handleSendData(Compilation& c, const Statement& st);
int handleSetStatus(Compilation& c, const Statement& st);

// Modbus (modbus.cc).
int handleModBusMaster(Compilation& c, const Statement& st);
int handleModBusSlave(Compilation& c, const Statement& st);

// Print, spatial statistics, vector conversion (print_spatial.cc).
int handlePrint(Compilation& c, const Statement& st);
int handleRectPolar(Compilation& c, const Statement& st);
int handleRMSSpa(Compilation& c, const Statement& st);
int handleStdDevSpa(Compilation& c, const Statement& st);
int handleMaxSpa(Compilation& c, const Statement& st);
int handleMinSpa(Compilation& c, const Statement& st);
int handleAvgSpa(Compilation& c, const Statement& st);
int handleCovSpa(Compilation& c, const Statement& st);

// Satellite transmitter (goes.cc).
int handleGOESData(Compilation& c, const Statement& st);
int handleGOESStatus(Compilation& c, const Statement& st);
int handleGOESSetup(Compilation& c, const Statement& st);
int handleGOESGPS(Compilation& c, const Statement& st);

}  // namespace vk6
