// Reads a program image into a model of its parts (header, identification
// block, tables with their fields, code records, expressions) and checks
// that the parts agree with each other. Arbitrary bytes are safe input:
// every read is bounds-checked and every fault is one problem line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dump/disassembler.h"

namespace vk6 {

enum class ValueStyle { kDecimal, kHex, kCodeOffset };

struct HeaderField {
  const char* name;
  std::size_t offset;
  std::size_t width;
  ValueStyle style;
  std::uint32_t value;
};

struct Identification {
  std::string model;
  std::string buildDate;
  std::string programName;
  std::uint16_t sourceSignature = 0;
};

struct TableField {
  std::string name;
  std::uint16_t dataType = 0;
  std::uint16_t byteOffset = 0;
  std::uint16_t byteSize = 0;
  std::uint32_t firstIndex = 0;
  std::uint32_t count = 0;
  std::uint32_t subDimension = 0;  // 0 when the definitions carry none
  std::string units;
  std::string processing;
};

struct TableInfo {
  std::string name;
  std::uint32_t interval = 0;
  std::uint32_t offset = 0;
  std::uint16_t recordSize = 0;
  std::uint16_t size = 0;  // in 256-byte blocks
  std::uint16_t recordsPer512 = 0;
  std::uint8_t flags = 0;
  std::vector<TableField> fields;
};

enum class ImageVerdict { kSound, kFaulty, kNotAnImage };

struct ImageDump {
  ImageVerdict verdict = ImageVerdict::kNotAnImage;
  std::size_t imageSize = 0;
  std::string modelName;  // "VK617Q" of a known model's string, else empty
  std::vector<HeaderField> header;
  Identification identification;
  std::vector<TableInfo> tables;
  std::size_t codeSize = 0;
  std::vector<DecodedRecord> records;
  std::size_t areaSize = 0;
  std::vector<Disassembly> expressions;  // in area order
  std::vector<std::string> problems;
};

struct InspectOptions {
  // "VK610Q" or a whole model string: an image of another model is faulty.
  // Empty: a sound image of any known model is sound.
  std::string model;
  // Every variable by name (from the source); empty: the public ones,
  // from the image's public table.
  std::vector<NamedVariable> variables = {};
};

ImageDump inspectImage(ByteSpan image, const InspectOptions& options = {});

// Whether `name` ("VK610Q" or a whole model string, in any case) names
// `model`, a model string.
bool isModel(const std::string& name, const std::string& model);

// 0 for a sound image, 1 for a faulty one, 2 for bytes that are no image.
int exitCodeOf(const ImageDump& dump);

}  // namespace vk6
