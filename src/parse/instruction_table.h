// The language's vocabulary, read-only: for each row of instruction_list.h
// its index, keyword, parameters (kind and name), family and description.
// The reader looks keywords up here, the parameter parser walks the kinds,
// and the language server and the language reference read the rest.
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <string_view>

#include "parse/instruction_index.h"

namespace vk6 {

// How the parameter parser takes one parameter and what its record slot
// holds.
enum class ParamKind {
  kConstant,          // comma split; a constant integer
  kExpression,        // comma split; the operand word of an expression
  kForClause,         // rest of the statement: control = start TO end
                      // [STEP step], four operand words
  kOptionalConstant,  // pre-fetched constant word; when missing, this and
                      // every later slot hold the absent marker
  kName,              // pre-fetched, required; a text
  kCondition,         // rest of the statement; the operand word
  kVariable,          // comma split; the operand word of a variable
  kDimList,           // rest of the statement; declares DIM variables
  kPublicList,        // rest of the statement; declares PUBLIC variables
  kText,              // comma split, may be missing; a text
  kSubName,           // pre-fetched, required; adds a subroutine
  kEndKind,           // pre-fetched block word of End and Exit
  kNextKind,          // pre-fetched word after NEXT: Scan or a loop
  kRawText,           // the statement's own text after the current
                      // parameter; a text, and the last parameter
};

// The families of the language reference.
enum class InstructionFamily {
  kProgramStructure,
  kDeclarations,
  kFlowControl,
  kMeasurement,
  kDataTables,
  kOutputProcessing,
  kPortsTiming,
  kCommunication,
  kSdi12Serial,
  kSatellite,
  kSpatialStatistics,
};

struct Parameter {
  ParamKind kind = ParamKind::kConstant;
  const char* name = "";
  const char* note = "";  // what it means and its limits, one plain line
};

// Notes that several rows of instruction_list.h share.
inline constexpr char kNoteMeasuredDest[] =
    "the variable or array element that receives the results; Reps elements from it";
inline constexpr char kNoteMultiplier[] =
    "multiplier applied to each result; with () after an array, one element per repetition";
inline constexpr char kNoteOffset[] =
    "offset added to each result; with () after an array, one element per repetition";
inline constexpr char kNoteOutputReps[] =
    "number of consecutive elements of Source, one field each";
inline constexpr char kNoteOutputSource[] =
    "the variable, array element or Table.Field whose values are processed";
inline constexpr char kNoteDisableVar[] =
    "no value is taken in a scan where it is true; False to take every scan";
inline constexpr char kNoteSpatialSource[] =
    "the first element of the run of source elements";
inline constexpr char kNoteSpatialCount[] = "number of source elements";
inline constexpr char kNoteNetworkPort[] = "1 for the radio, 2 for RS-232";
inline constexpr char kNoteHostAddress[] = "host network address, 1..4094";
inline constexpr char kNoteRepeaterAddress[] = "repeater network address, 1..4094";
inline constexpr char kNoteCarriedVariable[] = "a variable carried in the record";
inline constexpr char kNoteCarriedExpression[] = "an expression carried in the record";

// The most parameters a row has (ModBusMaster).
constexpr std::size_t kMaxParameters = 10;

// A row's parameters, held in place so that the table is one constant.
class ParameterList {
 public:
  constexpr ParameterList() = default;
  // The table is a constant, so a row of more than kMaxParameters fails
  // to build (its store past the array is no constant expression).
  constexpr ParameterList(std::initializer_list<Parameter> list) {
    for (const Parameter& p : list) items_[size_++] = p;
  }

  constexpr std::size_t size() const { return size_; }
  constexpr bool empty() const { return size_ == 0; }
  constexpr const Parameter& operator[](std::size_t i) const { return items_[i]; }
  constexpr const Parameter* begin() const { return items_.data(); }
  constexpr const Parameter* end() const { return items_.data() + size_; }

 private:
  std::array<Parameter, kMaxParameters> items_{};
  std::size_t size_ = 0;
};

struct InstructionInfo {
  InstructionIndex index;
  const char* keyword;      // as stored; "" for the first and the last row
  InstructionFamily family;
  const char* description;  // one plain line
  ParameterList parameters;  // in statement order, one per record slot
};

// REQUIRES: 0 <= index < kInstructionCount.
const InstructionInfo& instructionInfo(InstructionIndex index);
// Name of a family for the language reference, e.g. "Flow control".
const char* familyName(InstructionFamily family);

// The row whose keyword the token names (case folded; the token ends at
// its end or at a blank), or kEndOfProgram.
InstructionIndex lookupKeyword(const char* token);
InstructionIndex lookupKeyword(std::string_view token);
// Keyword of an index as stored ("" for the first and last row and for an
// index outside the table).
const char* keywordAt(int index);

}  // namespace vk6
