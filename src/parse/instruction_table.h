// The language's vocabulary: for each statement keyword, its parameter
// kinds. Indices are a contract with the reader, the parser, the dispatch
// table of pass 2 and the handlers, which name several of them directly.
#pragma once

#include <cstddef>
#include <string>


namespace vk6 {

struct InstructionEntry {
  const char* keyword;
  const char* kinds;  // decimal kind codes separated by commas
};

// ORDER INSTRUCTIONS: these indices name rows of kInstructionTable.
enum InstructionIndex : int {
  kEndOfProgram = 0,
  kScan = 1,
  kCall = 2,
  kExpression = 3,
  kIf = 4,
  kWhile = 5,
  kBeginProg = 6,
  kEndProg = 7,
  kConst = 8,
  kSelect = 9,
  kCase = 10,
  kDo = 11,
  kLoop = 12,
  kElse = 13,
  kAlias = 34,
  kFieldNames = 35,
  kUnits = 36,
  kDim = 40,
  kPublic = 41,
  kFor = 42,
  kNext = 43,
  kNextScan = 52,
  kInstructionCount = 95,
};

extern const InstructionEntry kInstructionTable[kInstructionCount];

// Index 1-93 of the keyword `token` names, or 0.
int lookupKeyword(const char* token);
// Keyword of an index as stored in the table ("" for 0 and 94).
const char* keywordAt(int index);

}  // namespace vk6
