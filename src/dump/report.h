// The inspector's two renderings of one inspected image: a readable text
// report and the same content as one JSON document.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "dump/image_reader.h"

namespace vk6 {

// The source an image was compiled from, for a listing that shows each
// source line above the records compiled from it.
struct SourceListing {
  std::vector<std::string> lines;  // line n at [n - 1], without line ends
  std::vector<std::size_t> recordOffsets;  // code offsets, in code order
  std::vector<int> recordLines;            // the line of each of those
};

struct ReportOptions {
  bool all = false;  // the status table's fields and the stack code too
  const SourceListing* source = nullptr;
};

// The lines of a source text, as the compiler numbers them.
std::vector<std::string> sourceLines(const std::string& text);

std::string reportText(const ImageDump& dump, const ReportOptions& options = {});
std::string reportJson(const ImageDump& dump, const ReportOptions& options = {});

}  // namespace vk6
