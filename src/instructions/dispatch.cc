#include "instructions/dispatch.h"

#include "core/compilation.h"
#include "instructions/communication.h"
#include "instructions/handlers.h"
#include "instructions/measurement.h"
#include "instructions/ports_timing.h"
#include "instructions/sdi12_serial.h"
#include "instructions/sections_flow.h"
#include "instructions/tables_output.h"

namespace vk6 {
namespace {

// ORDER INSTRUCTIONS: one handler per row of kInstructionTable.
constexpr Handler kHandlers[] = {
    /*  0 */ handleEndOfProgram,
    /*  1 */ handleScan,
    /*  2 */ handleCall,
    /*  3 */ handleExpression,
    /*  4 */ handleIf,
    /*  5 */ handleWhile,
    /*  6 */ handleBeginProg,
    /*  7 */ handleNothing,
    /*  8 */ handleNothing,
    /*  9 */ handleSelect,
    /* 10 */ handleCase,
    /* 11 */ handleDo,
    /* 12 */ handleLoop,
    /* 13 */ handleElse,
    /* 14 */ handleVoltSe,
    /* 15 */ handleExDelSE,
    /* 16 */ handleThermPrb,
    /* 17 */ handlePanelTemp,
    /* 18 */ handleBattery,
    /* 19 */ handlePeriodAvg,
    /* 20 */ handlePulsecount,
    /* 21 */ handleSwBatt,
    /* 22 */ handleExciteV,
    /* 23 */ handleScanLEDOff,
    /* 24 */ handleSDI12Recorder,
    /* 25 */ handleTotalize,
    /* 26 */ handleAverage,
    /* 27 */ handleMaximum,
    /* 28 */ handleMinimum,
    /* 29 */ handleStdDev,
    /* 30 */ handleSample,
    /* 31 */ handleWindVector,
    /* 32 */ handleETo,
    /* 33 */ handleEToDaily,
    /* 34 */ handleNothing,
    /* 35 */ handleNothing,
    /* 36 */ handleNothing,
    /* 37 */ handlePortGet,
    /* 38 */ handlePortSet,
    /* 39 */ handleDelay,
    /* 40 */ handleNothing,
    /* 41 */ handleNothing,
    /* 42 */ handleFor,
    /* 43 */ handleNext,
    /* 44 */ handleEnd,
    /* 45 */ handleEndIf,
    /* 46 */ handleEndIf,
    /* 47 */ handleElseIf,
    /* 48 */ handleWend,
    /* 49 */ handleCallTable,
    /* 50 */ handleDataTable,
    /* 51 */ handleDataInterval,
    /* 52 */ handleNextScan,
    /* 53 */ handleEndTable,
    /* 54 */ handleResetTable,
    /* 55 */ handleSub,
    /* 56 */ handleEndSub,
    /* 57 */ handleExitSub,
    /* 58 */ handleExitDo,
    /* 59 */ handleExitFor,
    /* 60 */ handleExit,
    /* 61 */ handleRectPolar,
    /* 62 */ handleRMSSpa,
    /* 63 */ handleStdDevSpa,
    /* 64 */ handleMaxSpa,
    /* 65 */ handleMinSpa,
    /* 66 */ handleAvgSpa,
    /* 67 */ handleCovSpa,
    /* 68 */ handleNothing,
    /* 69 */ handlePrint,
    /* 70 */ handleRandomize,
    /* 71 */ handleClockSet,
    /* 72 */ handleRealTime,
    /* 73 */ handleSendGetData,
    /* 74 */ handleAnalogPortGet,
    /* 75 */ handleAnalogPortSet,
    /* 76 */ handleReadSendGetInfo,
    /* 77 */ handleSetValue,
    /* 78 */ handleGetValue,
    /* 79 */ handleSetStatus,
    /* 80 */ handleRFPortTest,
    /* 81 */ handleTicker250ms,
    /* 82 */ handleGOESData,
    /* 83 */ handleGOESStatus,
    /* 84 */ handleGOESSetup,
    /* 85 */ handleGOESGPS,
    /* 86 */ handleSerialInput,
    /* 87 */ handleLoggerIdentify,
    /* 88 */ handleInterruptSequence,
    /* 89 */ handleSDI12SensorSetup,
    /* 90 */ handleSDI12SensorResponse,
    /* 91 */ handleSendData,
    /* 92 */ handleModBusMaster,
    /* 93 */ handleModBusSlave,
    /* 94 */ handleNothing,
};
static_assert(sizeof kHandlers / sizeof kHandlers[0] == kInstructionCount);

}  // namespace

int handleStatement(Compilation& c, const Statement& st) {
  return kHandlers[st.index()](c, st);
}

void runPass2(Compilation& c) {
  StatementBuffer& buffer = c.statements;
  std::size_t position = 0;
  startProgramState(c);
  for (int n = 0; n < buffer.recordCount(); ++n) {
    const Statement st = buffer.record(position, n);
    c.diag.currentLine = st.line;
    c.diag.currentKeyword = st.index() != 0 ? keywordAt(st.index()) : nullptr;
    if (handleStatement(c, st) < 0) break;
    checkAfterNextScan(c, st);
    if (c.diag.outOfMemory) break;
    if (st.length() == 0) break;
    position += static_cast<std::size_t>(st.length());
  }
}

}  // namespace vk6
