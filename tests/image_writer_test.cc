#include "image/checksum.h"
#include "image/image_writer.h"

#include <gtest/gtest.h>

#include "core/compilation.h"
#include "parse/source_reader.h"
#include "test_support.h"

namespace vk6 {
namespace {

std::uint16_t u16At(const Bytes& b, std::size_t at) { return loadU16(b.data() + at); }

// A table as the final allocation leaves it, with fields of name, byte
// offset, byte size and data type.
TableDescriptor imageTable(const char* name, std::int32_t recordSize,
                           std::int32_t recordsPer512, std::uint32_t interval,
                           std::uint32_t offset, std::int32_t blocks, std::uint8_t flags,
                           std::vector<FieldDescriptor> fields) {
  TableDescriptor t;
  t.name = name;
  t.recordSize = recordSize;
  t.recordsPer512 = recordsPer512;
  t.interval = interval;
  t.offset = offset;
  t.blocks = blocks;
  t.flags = flags;
  t.fields = std::move(fields);
  return t;
}

FieldDescriptor imageField(const char* name, std::int32_t byteOffset,
                           std::int32_t byteSize, std::uint8_t dataType) {
  FieldDescriptor f;
  f.name = name;
  f.byteOffset = byteOffset;
  f.byteSize = byteSize;
  f.dataType = dataType;
  return f;
}

TEST(ImageWriter, FileAndProgramNames) {
  const struct {
    const char* source;
    const char* image;
    const char* program;
  } cases[] = {
      {"prog.txt", "prog.bin", "prog.txt"},
      {"dir/sub/prog.txt", "dir/sub/prog.bin", "prog.txt"},
      {"C:\\my.dir\\prog", "C:\\my.dir\\prog.bin", "pro."},
      {"my.dir/prog", "my.dir/prog.bin", "pro."},
      {"my.dir/prog.v2.txt", "my.dir/prog.v2.bin", "prog.v2.txt"},
      {"C:\\my.dir/prog", "C:\\my.dir/prog.bin", "my.dir/prog"},
      {"c:.x", "c:.bin", ".x"},
      {"PROG", "PROG.bin", "PRO."},
      {"a:b.c", "a:b.bin", "b.c"},
  };
  for (const auto& t : cases) {
    EXPECT_EQ(t.image, imageFileName(t.source)) << t.source;
    EXPECT_EQ(t.program, programName(t.source)) << t.source;
  }
  EXPECT_EQ(std::string(62, 'n') + ".", programName(std::string(70, 'n')));
}

Compilation& imageCompilation(Compilation& c) {
  c.options.build = test::modelVK617Q();
  c.pass1.source.path = "dir/PROG";
  c.pass1.source.bytes = "x";  // source signature 0xAA77
  c.header.beginProgOffset = 0;
  c.header.scanOffset = 0;
  c.header.scanInterval = 10;
  c.header.locationPool = 250;
  c.header.pulseConfig = 0x0102;
  c.code.bytes = {2, 0, 6, 0, 10, 0};
  c.exprArea.bytes = {40, 0, 0, 0, 0x80, 0x3F};
  return c;
}

TEST(ImageWriter, HeaderAndIdentificationBlockWithoutTables) {
  Compilation c;
  imageCompilation(c);
  ImageInputs inputs;
  Bytes image;
  ASSERT_TRUE(buildProgramImage(c, inputs, image));
  ASSERT_EQ(46u + 6 + 6 + 108, image.size());
  const std::string model = "VK617Q.Std.03";
  const Bytes expectedHeader = {
      0xFE, 0x5A,  // magic
      static_cast<std::uint8_t>(computeSignature(kSignatureSeed, reinterpret_cast<const std::uint8_t*>(model.data()), model.size())),
      static_cast<std::uint8_t>(computeSignature(kSignatureSeed, reinterpret_cast<const std::uint8_t*>(model.data()), model.size()) >> 8),
      0xFF, 0xFF, image[6], image[7],
      158, 0,      // length - 8
      46, 0, 0, 0, 0, 0,
      52, 0,       // expression area offset
      10, 0, 0, 0,
      250, 0, 254, 0,
      166, 0,      // table headers: 46 + 6 + 6 + 108
      0xFF, 0xFF, 0, 0, 255, 0,
      166, 0, 0, 0,
      0x02, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0};
  EXPECT_EQ(expectedHeader, Bytes(image.begin(), image.begin() + 46));
  EXPECT_EQ(computeSignature(kSignatureSeed, image.data() + 8, image.size() - 8),
            u16At(image, 6));
  Bytes ident(image.begin() + 58, image.end());
  Bytes expected;
  for (char ch : model) expected.push_back(static_cast<std::uint8_t>(ch));
  expected.push_back(0);
  expected.resize(32, 0xFF);
  for (char ch : std::string("131104")) expected.push_back(static_cast<std::uint8_t>(ch));
  expected.insert(expected.end(), {0, 0, 0xFF, 0xFF, 'P', 'R', 'O', '.'});
  expected.resize(106, 0);
  expected.insert(expected.end(), {0x77, 0xAA});
  EXPECT_EQ(expected, ident);
}

TEST(ImageWriter, SizeLimitBeforeDefinitions) {
  for (const std::size_t code : {std::size_t{9062}, std::size_t{9064}}) {
    Compilation c;
    imageCompilation(c);
    c.exprArea.bytes.clear();
    c.code.bytes.assign(code, 0);
    ImageInputs inputs;
    Bytes image;
    const bool ok = buildProgramImage(c, inputs, image);
    EXPECT_EQ(code == 9062, ok);
    EXPECT_EQ(code == 9062 ? "" : "Binary image exceeds max size by 2 bytes.",
              c.diag.errorText);
  }
}

TEST(ImageWriter, TablesFieldsAndDefinitionMarkers) {
  Compilation c;
  imageCompilation(c);
  // Status entry: 0x01 "S" NUL, length 6, two bytes; data entry "D" NUL,
  // length 5, one byte; public entry "P" NUL, length 4.
  Bytes block = {0x01, 'S', 0, 6, 0, 0, 0, 0xAA, 0xBB,
                 'D', 0, 5, 0, 0, 0, 0xCC,
                 'P', 0, 4, 0, 0, 0};
  ImageInputs inputs;
  inputs.definitions = &block;
  inputs.publicTablePosition = 3;
  const std::vector<TableDescriptor> list = {
      imageTable("S", 8, 0, 0, 0, 1, 0, {imageField("Field", 0, 4, 9)}),
      imageTable("Data", 12, 42, 60, 5, 7, 3, {}),
      imageTable("Public", 4, 0, 0, 0, 1, 0, {imageField("X", 0, 4, 9)})};
  inputs.tables = list;
  Bytes image;
  ASSERT_TRUE(buildProgramImage(c, inputs, image));
  const Bytes marked = {0x01, 'S', 0, 0, 0, 0, 1, 0xAA, 0xBB,
                        'D', 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xCC,
                        'P', 0, 0, 0, 0, 1};
  EXPECT_EQ(marked, block);
  const std::size_t tables = 166;
  EXPECT_EQ(3, u16At(image, 30));
  EXPECT_EQ(3, u16At(image, 32));
  EXPECT_EQ(tables + 3 * 46 + 2 * 24, u16At(image, 34));
  EXPECT_EQ(22, u16At(image, 36));
  // Status table header.
  EXPECT_EQ(58, u16At(image, tables));
  EXPECT_EQ(tables + 138, u16At(image, tables + 18));
  EXPECT_EQ(3, u16At(image, tables + 20));
  EXPECT_EQ(0, u16At(image, tables + 22));
  EXPECT_EQ(9, u16At(image, tables + 24));
  EXPECT_EQ(computeSignature(kSignatureSeed, marked.data() + 1, 8),
            u16At(image, tables + 26));
  // Data table header.
  const std::size_t d = tables + 46;
  const Bytes dataHeader = {0xFF, 0xFF, 0xFF, 0xFF, 12, 0, 42, 0, 60, 0, 0, 0,
                            5, 0, 0, 0, 7, 0,
                            0x48, 0x01,  // 166 + 138 + 24
                            11, 0, 9, 0, 16, 0, 0xFF, 0xFF,
                            'D', 'a', 't', 'a', 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                            0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 3, 0};
  EXPECT_EQ(dataHeader, Bytes(image.begin() + static_cast<long>(d),
                              image.begin() + static_cast<long>(d + 46)));
  EXPECT_EQ(computeSignature(kSignatureSeed, marked.data() + 16, 6),
            u16At(image, tables + 92 + 26));
  // Field header of the public variable.
  const std::size_t f = tables + 138 + 24;
  const Bytes fieldHeader = {0, 0, 4, 0, 9, 0, 'X', 0, 0xFF, 0xFF, 0xFF, 0xFF,
                             0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                             0xFF, 0xFF, 0xFF, 0};
  EXPECT_EQ(fieldHeader, Bytes(image.begin() + static_cast<long>(f),
                               image.begin() + static_cast<long>(f + 24)));
  EXPECT_EQ(marked, Bytes(image.end() - 22, image.end()));
}

TEST(ImageWriter, FieldSizeLimits) {
  const struct {
    std::uint16_t dataSize;
    std::uint16_t publicSize;
    const char* errors;
  } cases[] = {
      {252, 512, ""},
      {256, 512, "D1 exceeds max array size of 64"},
      {4, 516, "P1 exceeds max array size of 128"},
  };
  for (const auto& t : cases) {
    Compilation c;
    imageCompilation(c);
    ImageInputs inputs;
    const std::vector<TableDescriptor> tables = {
        imageTable("D", 0, 0, 0, 0, 1, 0, {imageField("D1", 0, t.dataSize, 9)}),
        imageTable("P", 0, 0, 0, 0, 1, 0, {imageField("P1", 0, t.publicSize, 9)})};
    inputs.tables = tables;
    Bytes image;
    EXPECT_EQ(t.errors[0] == '\0', buildProgramImage(c, inputs, image));
    EXPECT_EQ(t.errors, c.diag.errorText);
  }
}

}  // namespace
}  // namespace vk6
