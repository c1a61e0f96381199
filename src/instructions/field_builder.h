// The field builder: turns one output instruction (or one public variable)
// into field descriptors, naming them from FieldNames, aliases or the
// source with the process name appended, and placing them in the record.
// Counting mode (no output) only counts, and reports the FieldNames count
// errors; writing mode fills descriptors and reports the name errors.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "symbols/tables.h"

namespace vk6 {

struct Compilation;

// Output kinds: instruction index - 25, and the times of Maximum/Minimum.
constexpr int kKindTotalize = 0;
constexpr int kKindAverage = 1;
constexpr int kKindMaximum = 2;
constexpr int kKindMinimum = 3;
constexpr int kKindStdDev = 4;
constexpr int kKindSample = 5;
constexpr int kKindWindVector = 6;
constexpr int kKindETo = 7;
constexpr int kKindEToDaily = 8;  // no process name: also the public fields
constexpr int kKindPublic = kKindEToDaily;
constexpr int kTimeKindOffset = 7;  // Maximum -> TMx, Minimum -> TMn
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
