#include "parse/instruction_table.h"

#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/text.h"


namespace vk6 {

// ORDER INSTRUCTIONS: the row numbers are the indices of InstructionIndex.
const InstructionEntry kInstructionTable[kInstructionCount] = {
    /*  0 */ {"", ""},
    /*  1 */ {"Scan", "1,1"},
    /*  2 */ {"Call", "6"},
    /*  3 */ {"Expression", "7"},
    /*  4 */ {"If", "7"},
    /*  5 */ {"WHILE", "7"},
    /*  6 */ {"BEGINPROG", ""},
    /*  7 */ {"ENDPROG", ""},
    /*  8 */ {"CONST", ""},
    /*  9 */ {"SELECT", "7"},
    /* 10 */ {"CASE", "7"},
    /* 11 */ {"Do", "4,7"},
    /* 12 */ {"Loop", "4,7"},
    /* 13 */ {"Else", "4,7"},
    /* 14 */ {"VoltSe", "8,1,1,2,2"},
    /* 15 */ {"ExDelSE", "8,1,1,1,1,1,2,2"},
    /* 16 */ {"ThermPrb", "8,1,1,1,2,2"},
    /* 17 */ {"PanelTemp", "8"},
    /* 18 */ {"Battery", "8"},
    /* 19 */ {"PeriodAvg", "8,1,1,1,1,1,2,2"},
    /* 20 */ {"Pulsecount", "8,1,1,1,2,2"},
    /* 21 */ {"SwBatt", "2"},
    /* 22 */ {"ExciteV", "1,1"},
    /* 23 */ {"ScanLEDOff", ""},
    /* 24 */ {"SDI12Recorder", "8,6,2,2"},
    /* 25 */ {"Totalize", "1,11,2"},
    /* 26 */ {"Average", "1,11,2"},
    /* 27 */ {"Maximum", "1,11,2,1"},
    /* 28 */ {"Minimum", "1,11,2,1"},
    /* 29 */ {"StdDev", "1,11,2"},
    /* 30 */ {"Sample", "1,11"},
    /* 31 */ {"WindVector", "11,2,2,1,1"},
    /* 32 */ {"ETo", "11,11,11,11,2,2,2,2"},
    /* 33 */ {"EToDaily", "11,11,11,11,2,2,2,2"},
    /* 34 */ {"Alias", ""},
    /* 35 */ {"FieldNames", "6"},
    /* 36 */ {"Units", "6"},
    /* 37 */ {"PortGet", "8,1"},
    /* 38 */ {"PortSet", "1,2"},
    /* 39 */ {"Delay", "1,1"},
    /* 40 */ {"DIM", "9"},
    /* 41 */ {"PUBLIC", "10"},
    /* 42 */ {"FOR", "3"},
    /* 43 */ {"NEXT", "17"},
    /* 44 */ {"End", "16"},
    /* 45 */ {"EndIf", ""},
    /* 46 */ {"EndSelect", ""},
    /* 47 */ {"ElseIf", "7"},
    /* 48 */ {"WEND", ""},
    /* 49 */ {"CallTable", "6"},
    /* 50 */ {"DataTable", "6,2,1"},
    /* 51 */ {"DataInterval", "1,1,1"},
    /* 52 */ {"NEXTSCAN", ""},
    /* 53 */ {"ENDTABLE", ""},
    /* 54 */ {"ResetTable", "6"},
    /* 55 */ {"Sub", "12"},
    /* 56 */ {"EndSub", ""},
    /* 57 */ {"ExitSub", ""},
    /* 58 */ {"ExitDo", ""},
    /* 59 */ {"ExitFor", ""},
    /* 60 */ {"Exit", "16"},
    /* 61 */ {"RectPolar", "2,2"},
    /* 62 */ {"RMSSpa", "8,1,8"},
    /* 63 */ {"StdDevSpa", "8,1,8"},
    /* 64 */ {"MaxSpa", "8,1,8"},
    /* 65 */ {"MinSpa", "8,1,8"},
    /* 66 */ {"AvgSpa", "8,1,8"},
    /* 67 */ {"CovSpa", "8,1,1,2,8"},
    /* 68 */ {"StationName", "6"},
    /* 69 */ {"Print", "18"},
    /* 70 */ {"Randomize", "2"},
    /* 71 */ {"ClockSet", "2"},
    /* 72 */ {"RealTime", "8,4"},
    /* 73 */ {"SendGetData", "8,2,2,1,1,1,1"},
    /* 74 */ {"AnalogPortGet", "8,1"},
    /* 75 */ {"AnalogPortSet", "1,2"},
    /* 76 */ {"ReadSendGetInfo", "8,1"},
    /* 77 */ {"SetValue", "8,8,2,6,1,1,1,1"},
    /* 78 */ {"GetValue", "8,8,2,6,1,1,1,1"},
    /* 79 */ {"SetStatus", "6,2"},
    /* 80 */ {"RFPortTest", "8"},
    /* 81 */ {"Ticker250ms", "2"},
    /* 82 */ {"GOESData", "8,6,2,1,1"},
    /* 83 */ {"GOESStatus", "8,1"},
    /* 84 */ {"GOESSetup", "8,1,1,1,1,1,1,18"},
    /* 85 */ {"GOESGPS", "8,8"},
    /* 86 */ {"SerialInput", "8,1,1,6,4,4"},
    /* 87 */ {"LoggerIdentify", "6,6"},
    /* 88 */ {"InterruptSequence", ""},
    /* 89 */ {"SDI12SensorSetup", "1,1,2,1"},
    /* 90 */ {"SDI12SensorResponse", "8"},
    /* 91 */ {"SendData", "1,1,1,11"},
    /* 92 */ {"ModBusMaster", "8,1,1,2,1,8,2,2,1,1"},
    /* 93 */ {"ModBusSlave", "1,1,2,8,2,4,4"},
    /* 94 */ {"", ""},
};

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
    folded[n] = upcaseChar(token[n]);
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
