// The checks the fuzz targets and the regression replay share. Each runs
// one input through part of the compiler and returns what went wrong, or
// an empty text when every promise held. A crash or sanitizer report is
// left to the process; these catch the quieter faults.
#pragma once

#include <string>
#include <string_view>

namespace vk6::fuzz {

// The whole compile of `source` through the library, listings asked: texts
// within their bound, one record per counted message, an image and the
// listings only after a successful compile.
std::string checkCompile(std::string_view source);

// Pass 1 alone: the records it leaves are well formed.
std::string checkPass1(std::string_view bytes);

// One expression: the first byte picks the mode and whether the code is
// stored, the rest is the text, compiled after a few declarations.
std::string checkExpression(std::string_view bytes);

// The image inspector on arbitrary bytes: its text and JSON reports are
// made and its exit code is one of 0, 1 and 2.
std::string checkDump(std::string_view bytes);

// The language server on a message stream: with an even first byte the
// rest is sent as it stands; with an odd one the rest is a document, and
// requests of every kind go to positions its bytes pick. Every request
// gets one answer, every message sent is JSON, shutdown and exit end it
// with 0.
std::string checkLsp(std::string_view bytes);

// The check a regression file names by its prefix ("compile-", "pass1-",
// "expression-", "dump-", "lsp-"); an unknown prefix is itself a problem.
std::string checkRegression(const std::string& fileName, std::string_view bytes);

}  // namespace vk6::fuzz
