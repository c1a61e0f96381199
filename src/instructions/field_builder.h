// The field builder: turns one output instruction (or one public variable)
// into field descriptors, naming them from FieldNames, aliases or the
// source with the process name appended, and placing them in the record.
// Counting mode (no output) only counts, and reports the FieldNames count
// errors; writing mode fills descriptors and reports the name errors.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "parse/instruction_index.h"
#include "symbols/tables_state.h"

namespace vk6 {

struct Compilation;

// Output kinds: the row of an output instruction counted from Totalize
// (ORDER OUTPUTS in parse/instruction_list.h), then the times of
// Maximum and Minimum.
constexpr int outputKind(InstructionIndex row) { return row - kTotalize; }
constexpr int kKindTotalize = outputKind(kTotalize);
constexpr int kKindAverage = outputKind(kAverage);
constexpr int kKindMaximum = outputKind(kMaximum);
constexpr int kKindMinimum = outputKind(kMinimum);
constexpr int kKindStdDev = outputKind(kStdDev);
constexpr int kKindSample = outputKind(kSample);
constexpr int kKindWindVector = outputKind(kWindVector);
constexpr int kKindETo = outputKind(kETo);
constexpr int kKindEToDaily = outputKind(kEToDaily);  // no process name
constexpr int kKindPublic = kKindEToDaily;  // public fields have none either
constexpr int kKindTimeOfMaximum = kKindEToDaily + 1;
constexpr int kKindTimeOfMinimum = kKindEToDaily + 2;
constexpr int kTimeKindOffset = kKindTimeOfMaximum - kKindMaximum;  // TMx, TMn
static_assert(kKindTimeOfMinimum == kKindMinimum + kTimeKindOffset);
static_assert(kKindAverage == kKindTotalize + 1 &&
                  kKindMaximum == kKindAverage + 1 &&
                  kKindMinimum == kKindMaximum + 1 &&
                  kKindStdDev == kKindMinimum + 1 &&
                  kKindSample == kKindStdDev + 1 &&
                  kKindWindVector == kKindSample + 1 &&
                  kKindETo == kKindWindVector + 1 &&
                  kKindEToDaily == kKindETo + 1,
              "ORDER OUTPUTS: the output rows stay together and in order");
constexpr std::uint8_t kTimeDataType = 12;

struct FieldSpec {
  std::string sourceName;  // the variable's or field's name; "" without
  bool hasSource = false;  // a variable or a table field is the source
  int sourceFirst = -1;    // first element in variable memory; -1: aliases
                           // do not apply
  int elements = 1;        // reps x |k|
  int reps = 1;
  std::uint8_t dataType = 9;
  int recordOffset = 0;
  int beginIndex = 1;
  int kind = kKindSample;
  int k = 1;
  int subDimension = 1;
  bool hasFieldNames = false;
  std::string fieldNames;
  std::string extra;  // appended to the process name
};

// Process name of an output kind ("" for kinds without one).
const char* processName(int kind);
// Bytes per element of a data type code (0 for unknown codes).
std::int32_t dataTypeSize(std::uint8_t type);

// Counting mode when `out` is null: returns the number of descriptors the
// request gives, or 1 after "FieldNames array sizes out of bounds.". Writing
// mode appends them to `out` and returns their number. `namesLeft`, when
// given, receives the FieldNames text that was not consumed.
int buildFields(Compilation& c, const FieldSpec& request,
                std::vector<FieldDescriptor>* out,
                std::string* namesLeft = nullptr);

}  // namespace vk6
