#include "parse/spelling.h"

#include "core/text.h"
#include "parse/instruction_table.h"

namespace vk6 {
namespace {

// Then and Else of an If, Case of Select Case and Case Else, Is and To of
// a Case, To and Step of a For, While and Until of Do and Loop, and the
// block words of End, Exit and Next.
constexpr const char* kCompletingWords[] = {
    "Then", "Else", "If", "Case", "Is", "To", "Step", "While", "Until",
    "Select", "Sub", "Table", "Scan", "Do", "For",
};

bool sameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (upcaseChar(a[i]) != upcaseChar(b[i])) return false;
  }
  return true;
}

}  // namespace

const char* canonicalSpelling(InstructionIndex index) {
  switch (index) {
    case kWhile: return "While";
    case kBeginProg: return "BeginProg";
    case kEndProg: return "EndProg";
    case kConst: return "Const";
    case kSelect: return "Select";
    case kCase: return "Case";
    case kPulsecount: return "PulseCount";
    case kDim: return "Dim";
    case kPublic: return "Public";
    case kFor: return "For";
    case kNext: return "Next";
    case kWend: return "Wend";
    case kNextScan: return "NextScan";
    case kEndTable: return "EndTable";
    default: return keywordAt(index);
  }
}

const char* canonicalWord(std::string_view word) {
  for (const char* known : kCompletingWords) {
    if (sameWord(word, known)) return known;
  }
  return nullptr;
}

}  // namespace vk6
