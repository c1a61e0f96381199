// Random sound measurement programs for the generated-program checks. A
// seed gives one program, the same on every machine and every run: public
// and private variables, constants, an alias and units, one or two data
// tables, subroutines, and a scan of measurements, assignments, If/ElseIf/
// Else blocks, loops, Select Case, calls, Print and output processing.
// Every program compiles without errors on both models.
#pragma once

#include <cstdint>
#include <string>

namespace vk6::test {

// How a program is written. kPlain writes every number as a decimal
// literal and every keyword in one way. kVaried writes the same program,
// statement for statement, in other spellings the language holds equal:
// &H and &B literals, sums and named constants for whole parameters, other
// letter cases, blanks, block forms of one-line Ifs, line ends, comments
// and a byte-order mark. Both spellings of a seed compile to the same image
// but for the signatures over the source and the image.
enum class Spelling { kPlain, kVaried };

std::string generateProgram(std::uint32_t seed, Spelling spelling = Spelling::kPlain);

}  // namespace vk6::test
