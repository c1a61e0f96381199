// Pass-2 handlers of the communication instructions: network data
// exchange and status settings, Modbus, Print, the spatial statistics and
// vector conversion, and the satellite-transmitter instructions. Each
// checks its statement, reports through the diagnostics and goes on,
// builds its record and appends it to the code buffer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "instructions/handlers.h"
#include "parse/statement_buffer.h"

namespace vk6 {

struct Compilation;

// Network data exchange and status settings (network.cc).
HandlerResult handleSendGetData(Compilation& c, const Statement& st);
HandlerResult handleGetValue(Compilation& c, const Statement& st);
HandlerResult handleSetValue(Compilation& c, const Statement& st);
HandlerResult handleReadSendGetInfo(Compilation& c, const Statement& st);
HandlerResult handleSendData(Compilation& c, const Statement& st);
HandlerResult handleSetStatus(Compilation& c, const Statement& st);

// Modbus (modbus.cc).
HandlerResult handleModBusMaster(Compilation& c, const Statement& st);
HandlerResult handleModBusSlave(Compilation& c, const Statement& st);

// Print, spatial statistics, vector conversion (print_spatial.cc).
HandlerResult handlePrint(Compilation& c, const Statement& st);
HandlerResult handleRectPolar(Compilation& c, const Statement& st);
HandlerResult handleRMSSpa(Compilation& c, const Statement& st);
HandlerResult handleStdDevSpa(Compilation& c, const Statement& st);
HandlerResult handleMaxSpa(Compilation& c, const Statement& st);
HandlerResult handleMinSpa(Compilation& c, const Statement& st);
HandlerResult handleAvgSpa(Compilation& c, const Statement& st);
HandlerResult handleCovSpa(Compilation& c, const Statement& st);

// Satellite transmitter (goes.cc).
HandlerResult handleGOESData(Compilation& c, const Statement& st);
HandlerResult handleGOESStatus(Compilation& c, const Statement& st);
HandlerResult handleGOESSetup(Compilation& c, const Statement& st);
HandlerResult handleGOESGPS(Compilation& c, const Statement& st);

}  // namespace vk6
