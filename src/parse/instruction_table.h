// The language's vocabulary: for each statement keyword, its parameter
// kinds and its pass-2 handler. Indices are a contract with the reader,
// the parser and the handlers, which name several of them directly.
#pragma once

#include <cstddef>
#include <string>

#include "parse/statement_buffer.h"

namespace vk6 {

struct Compilation;

// Result < 0 stops pass 2; 0 means nothing was compiled.
using Handler = int (*)(Compilation&, const Statement&);

struct InstructionEntry {
  const char* keyword;
  const char* kinds;  // decimal kind codes separated by commas
  Handler handle;
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

// Name comparison used by every keyword and name lookup: letters fold to
// upper case; `name` matches when it ends where `key` ends or reaches a
// blank there. A null or empty `name` never matches.
bool keywordCompare(const char* name, const char* key);
// As keywordCompare, but `name` must end exactly where `key` ends.
bool nameEquals(const char* name, const char* key);
// Letters of `name` folded to upper case, up to its end or, with
// `stopAtBlank`, its first blank. For a key that holds no blank,
// keywordCompare(name, key) is foldedName(name, true) == foldedName(key,
// false), and nameEquals likewise without the stop: so the growing tables
// can be searched through hashed folded names with the same answers.
std::string foldedName(const char* name, bool stopAtBlank);
// Index 1-93 of the keyword `token` names, or 0.
int lookupKeyword(const char* token);
// Keyword of an index as stored in the table ("" for 0 and 94).
const char* keywordAt(int index);

}  // namespace vk6
