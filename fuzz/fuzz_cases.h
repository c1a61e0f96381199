// The checks the fuzz targets and the regression replay share. Each runs
// one input through part of the compiler and returns what went wrong, or
// an empty text when every promise held. A crash or sanitizer report is
// left to the process; these catch the quieter faults.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vk6::fuzz {

// The whole program on `source` saved as prog.cr in `folder`, with -l and
// -z outputs: one outcome line that agrees with the exit code, the program
// file untouched, an image only after a successful compile.
// REQUIRES: `folder` exists and is writable.
std::string checkWholeCompile(std::string_view source,
                              const std::filesystem::path& folder);

// Pass 1 alone: the records it leaves are well formed.
std::string checkPass1(std::string_view bytes);

// One expression: the first byte picks the mode and whether the code is
// stored, the rest is the text, compiled after a few declarations.
std::string checkExpression(std::string_view bytes);

// The image inspector on arbitrary bytes: its text and JSON reports are
// made and its exit code is one of 0, 1 and 2.
std::string checkDump(std::string_view bytes);

// The check a regression file names by its prefix ("compile-", "pass1-",
// "expression-", "dump-"); an unknown prefix is itself a problem.
std::string checkRegression(const std::string& fileName, std::string_view bytes,
                            const std::filesystem::path& folder);

}  // namespace vk6::fuzz
