// Pass-2 handlers of the SDI-12 and serial instructions: the logger as an
// SDI-12 recorder and as an SDI-12 sensor, filtered serial input and the
// answer to an identification request. SerialInput and LoggerIdentify may
// appear once per program and stop pass 2 on their fatal faults; the
// others report and go on.
#pragma once

#include <string>

#include "instructions/handlers.h"
#include "parse/statement_buffer.h"

namespace vk6 {

struct Compilation;

HandlerResult handleSDI12Recorder(Compilation& c, const Statement& st);
HandlerResult handleSDI12SensorSetup(Compilation& c, const Statement& st);
HandlerResult handleSDI12SensorResponse(Compilation& c, const Statement& st);
HandlerResult handleSerialInput(Compilation& c, const Statement& st);
HandlerResult handleLoggerIdentify(Compilation& c, const Statement& st);

// Turns \n and \r into line ends; a backslash before any other character
// stays and drops that character; a trailing backslash stays.
std::string processEscapes(const std::string& text);

}  // namespace vk6
