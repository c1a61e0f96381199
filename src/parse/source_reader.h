// Pass 1: reads the program source line by line, cuts lines into
// statements, routes declarations and hands every other statement to the
// parameter parser, which appends its record.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "parse/pass1_state.h"

namespace vk6 {

struct Compilation;

// Builds the statement records from the loaded source.
void runPass1(Compilation& c);

// The next line of the source with its comment removed (a view into the
// source), or nullopt at the end of the source or after an over-long line
// (which is reported).
std::optional<std::string_view> readSourceLine(Compilation& c);

// Position of the ':' that ends the first statement of `text`, or npos.
// A colon inside the first quoted string does not end the statement.
std::size_t findStatementEnd(std::string_view text);

}  // namespace vk6
