#include "parse/instruction_table.h"

#include <string_view>
#include <unordered_map>
#include <vector>

#include "instructions/communication.h"
#include "instructions/handlers.h"
#include "instructions/measurement.h"
#include "instructions/ports_timing.h"
#include "instructions/sdi12_serial.h"
#include "instructions/sections_flow.h"
#include "instructions/tables_output.h"

namespace vk6 {

// ORDER INSTRUCTIONS: the row numbers are the indices of InstructionIndex.
const InstructionEntry kInstructionTable[kInstructionCount] = {
    /*  0 */ {"", "", handleEndOfProgram},
    /*  1 */ {"Scan", "1,1", handleScan},
    /*  2 */ {"Call", "6", handleCall},
    /*  3 */ {"Expression", "7", handleExpression},
    /*  4 */ {"If", "7", handleIf},
    /*  5 */ {"WHILE", "7", handleWhile},
    /*  6 */ {"BEGINPROG", "", handleBeginProg},
    /*  7 */ {"ENDPROG", "", handleNothing},
    /*  8 */ {"CONST", "", handleNothing},
    /*  9 */ {"SELECT", "7", handleSelect},
    /* 10 */ {"CASE", "7", handleCase},
    /* 11 */ {"Do", "4,7", handleDo},
    /* 12 */ {"Loop", "4,7", handleLoop},
    /* 13 */ {"Else", "4,7", handleElse},
    /* 14 */ {"VoltSe", "8,1,1,2,2", handleVoltSe},
    /* 15 */ {"ExDelSE", "8,1,1,1,1,1,2,2", handleExDelSE},
    /* 16 */ {"ThermPrb", "8,1,1,1,2,2", handleThermPrb},
    /* 17 */ {"PanelTemp", "8", handlePanelTemp},
    /* 18 */ {"Battery", "8", handleBattery},
    /* 19 */ {"PeriodAvg", "8,1,1,1,1,1,2,2", handlePeriodAvg},
    /* 20 */ {"Pulsecount", "8,1,1,1,2,2", handlePulsecount},
    /* 21 */ {"SwBatt", "2", handleSwBatt},
    /* 22 */ {"ExciteV", "1,1", handleExciteV},
    /* 23 */ {"ScanLEDOff", "", handleScanLEDOff},
    /* 24 */ {"SDI12Recorder", "8,6,2,2", handleSDI12Recorder},
    /* 25 */ {"Totalize", "1,11,2", handleTotalize},
    /* 26 */ {"Average", "1,11,2", handleAverage},
    /* 27 */ {"Maximum", "1,11,2,1", handleMaximum},
    /* 28 */ {"Minimum", "1,11,2,1", handleMinimum},
    /* 29 */ {"StdDev", "1,11,2", handleStdDev},
    /* 30 */ {"Sample", "1,11", handleSample},
    /* 31 */ {"WindVector", "11,2,2,1,1", handleWindVector},
    /* 32 */ {"ETo", "11,11,11,11,2,2,2,2", handleETo},
    /* 33 */ {"EToDaily", "11,11,11,11,2,2,2,2", handleEToDaily},
    /* 34 */ {"Alias", "", handleNothing},
    /* 35 */ {"FieldNames", "6", handleNothing},
    /* 36 */ {"Units", "6", handleNothing},
    /* 37 */ {"PortGet", "8,1", handlePortGet},
    /* 38 */ {"PortSet", "1,2", handlePortSet},
    /* 39 */ {"Delay", "1,1", handleDelay},
    /* 40 */ {"DIM", "9", handleNothing},
    /* 41 */ {"PUBLIC", "10", handleNothing},
    /* 42 */ {"FOR", "3", handleFor},
    /* 43 */ {"NEXT", "17", handleNext},
    /* 44 */ {"End", "16", handleEnd},
    /* 45 */ {"EndIf", "", handleEndIf},
    /* 46 */ {"EndSelect", "", handleEndIf},
    /* 47 */ {"ElseIf", "7", handleElseIf},
    /* 48 */ {"WEND", "", handleWend},
    /* 49 */ {"CallTable", "6", handleCallTable},
    /* 50 */ {"DataTable", "6,2,1", handleDataTable},
    /* 51 */ {"DataInterval", "1,1,1", handleDataInterval},
    /* 52 */ {"NEXTSCAN", "", handleNextScan},
    /* 53 */ {"ENDTABLE", "", handleEndTable},
    /* 54 */ {"ResetTable", "6", handleResetTable},
    /* 55 */ {"Sub", "12", handleSub},
    /* 56 */ {"EndSub", "", handleEndSub},
    /* 57 */ {"ExitSub", "", handleExitSub},
    /* 58 */ {"ExitDo", "", handleExitDo},
    /* 59 */ {"ExitFor", "", handleExitFor},
    /* 60 */ {"Exit", "16", handleExit},
    /* 61 */ {"RectPolar", "2,2", handleRectPolar},
    /* 62 */ {"RMSSpa", "8,1,8", handleRMSSpa},
    /* 63 */ {"StdDevSpa", "8,1,8", handleStdDevSpa},
    /* 64 */ {"MaxSpa", "8,1,8", handleMaxSpa},
    /* 65 */ {"MinSpa", "8,1,8", handleMinSpa},
    /* 66 */ {"AvgSpa", "8,1,8", handleAvgSpa},
    /* 67 */ {"CovSpa", "8,1,1,2,8", handleCovSpa},
    /* 68 */ {"StationName", "6", handleNothing},
    /* 69 */ {"Print", "18", handlePrint},
    /* 70 */ {"Randomize", "2", handleRandomize},
    /* 71 */ {"ClockSet", "2", handleClockSet},
    /* 72 */ {"RealTime", "8,4", handleRealTime},
    /* 73 */ {"SendGetData", "8,2,2,1,1,1,1", handleSendGetData},
    /* 74 */ {"AnalogPortGet", "8,1", handleAnalogPortGet},
    /* 75 */ {"AnalogPortSet", "1,2", handleAnalogPortSet},
    /* 76 */ {"ReadSendGetInfo", "8,1", handleReadSendGetInfo},
    /* 77 */ {"SetValue", "8,8,2,6,1,1,1,1", handleSetValue},
    /* 78 */ {"GetValue", "8,8,2,6,1,1,1,1", handleGetValue},
    /* 79 */ {"SetStatus", "6,2", handleSetStatus},
    /* 80 */ {"RFPortTest", "8", handleRFPortTest},
    /* 81 */ {"Ticker250ms", "2", handleTicker250ms},
    /* 82 */ {"GOESData", "8,6,2,1,1", handleGOESData},
    /* 83 */ {"GOESStatus", "8,1", handleGOESStatus},
    /* 84 */ {"GOESSetup", "8,1,1,1,1,1,1,18", handleGOESSetup},
    /* 85 */ {"GOESGPS", "8,8", handleGOESGPS},
    /* 86 */ {"SerialInput", "8,1,1,6,4,4", handleSerialInput},
    /* 87 */ {"LoggerIdentify", "6,6", handleLoggerIdentify},
    /* 88 */ {"InterruptSequence", "", handleInterruptSequence},
    /* 89 */ {"SDI12SensorSetup", "1,1,2,1", handleSDI12SensorSetup},
    /* 90 */ {"SDI12SensorResponse", "8", handleSDI12SensorResponse},
    /* 91 */ {"SendData", "1,1,1,11", handleSendData},
    /* 92 */ {"ModBusMaster", "8,1,1,2,1,8,2,2,1,1", handleModBusMaster},
    /* 93 */ {"ModBusSlave", "1,1,2,8,2,4,4", handleModBusSlave},
    /* 94 */ {"", "", handleNothing},
};

namespace {

char foldUpper(char ch) {
  return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
}

// Shared walk of keywordCompare and nameEquals.
bool compareNames(const char* name, const char* key, bool stopAtBlank) {
  if (name == nullptr || key == nullptr || name[0] == '\0') return false;
  std::size_t i = 0;
  for (; key[i] != '\0'; ++i) {
    if (foldUpper(name[i]) != foldUpper(key[i])) return false;
  }
  return name[i] == '\0' || (stopAtBlank && name[i] == ' ');
}

}  // namespace

bool keywordCompare(const char* name, const char* key) {
  return compareNames(name, key, true);
}

bool nameEquals(const char* name, const char* key) {
  return compareNames(name, key, false);
}

std::string foldedName(const char* name, bool stopAtBlank) {
  std::string key;
  if (name == nullptr) return key;
  for (std::size_t i = 0; name[i] != '\0' && !(stopAtBlank && name[i] == ' '); ++i)
    key.push_back(foldUpper(name[i]));
  return key;
}

int lookupKeyword(const char* token) {
  // Immutable and shared by every compilation. No keyword holds a blank, and
  // the first row of a folded name is kept, as a scan in row order finds it.
  // Every statement is looked up, so the token is folded on the stack.
  constexpr std::size_t kLongestKeyword = 31;
  struct Index {
    std::vector<std::string> keys;
    std::unordered_map<std::string_view, int> rows;
  };
  static const Index index = [] {
    Index built;
    for (int i = 1; i < kInstructionCount && kInstructionTable[i].keyword[0] != '\0';
         ++i)
      built.keys.push_back(foldedName(kInstructionTable[i].keyword, false));
    // The views are taken once the keys no longer move.
    for (std::size_t k = 0; k < built.keys.size(); ++k)
      built.rows.emplace(built.keys[k], static_cast<int>(k) + 1);
    return built;
  }();
  if (token == nullptr) return 0;
  char folded[kLongestKeyword + 1];
  std::size_t n = 0;
  for (; token[n] != '\0' && token[n] != ' '; ++n) {
    if (n == kLongestKeyword) return 0;
    folded[n] = foldUpper(token[n]);
  }
  if (n == 0) return 0;
  const auto found = index.rows.find(std::string_view(folded, n));
  return found == index.rows.end() ? 0 : found->second;
}

const char* keywordAt(int index) {
  if (index < 0 || index >= kInstructionCount) return "";
  return kInstructionTable[index].keyword;
}

}  // namespace vk6
