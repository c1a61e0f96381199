// The program image (format/image_format.h): the program header, the
// code, the expression area, the identification block, the table and
// field headers and the table-definition block, signed with the running
// checksum. The writer fills a byte vector; the driver writes the file.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "format/byte_io.h"
#include "format/image_format.h"
#include "symbols/tables_state.h"

namespace vk6 {

struct Compilation;

constexpr std::size_t kMaxImageSize = 9216;  // without the definitions

// What the writer reads besides the code and the expression area.
struct ImageInputs {
  // The table list, status table first and public table last; the first
  // and the last carry signed definition entries.
  std::span<const TableDescriptor> tables;
  Bytes* definitions = nullptr;  // the table-definition block; markers are
                                 // written into it in place
  std::uint16_t publicTablePosition = kNoPublicTable;
};

// Builds the image into `image`; false (reported) when it is too large or
// a field is too large.
bool buildProgramImage(Compilation& c, ImageInputs& inputs, Bytes& image);

// The image file name: the source path without the extension of the
// file's own name (from its last '.'), then ".bin".
std::string imageFileName(const std::string& sourcePath);
// The program name recorded in the identification block.
std::string programName(const std::string& sourcePath);

}  // namespace vk6
