// The program image (format/image_format.h): the program header, the
// code, the expression area, the identification block, the table and
// field headers and the table-definition block, signed with the running
// checksum. The writer fills a byte vector; the driver writes the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "format/byte_io.h"
#include "format/image_format.h"

namespace vk6 {

struct Compilation;

constexpr std::size_t kMaxImageSize = 9216;  // without the definitions

// What the writer needs of one field.
struct ImageField {
  std::string name;
  std::uint16_t byteOffset = 0;
  std::uint16_t byteSize = 0;
  std::uint16_t dataType = 0;
};

// What the writer needs of one table, in table-list order.
struct ImageTable {
  std::string name;
  bool signedEntry = false;  // the status and public tables
  std::uint16_t recordSize = 0;
  std::uint16_t recordsPer512 = 0;
  std::uint32_t interval = 0;
  std::uint32_t offset = 0;
  std::uint16_t size = 1;  // in 256-byte blocks; 1 for status and public
  std::uint8_t flags = 0;
  std::vector<ImageField> fields;
};

struct ImageInputs {
  std::vector<ImageTable> tables;
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
