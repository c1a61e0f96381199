// One small program's whole image, derived by hand from the image format.
#include <gtest/gtest.h>

#include "core/compilation.h"
#include "image/checksum.h"
#include "image/image_inputs.h"
#include "image/image_writer.h"
#include "parse/source_reader.h"
#include "test_support.h"
#include "vk6/passes.h"

namespace vk6 {
namespace {

class Expected {
 public:
  Expected& le16(unsigned long v) { return byte(v).byte(v >> 8); }
  Expected& le32(unsigned long v) { return le16(v & 0xFFFF).le16(v >> 16); }
  Expected& be32(unsigned long v) { return byte(v >> 24).byte(v >> 16).byte(v >> 8).byte(v); }
  Expected& byte(unsigned long v) {
    bytes.push_back(static_cast<std::uint8_t>(v));
    return *this;
  }
  Expected& text(const std::string& s) {
    for (char ch : s) byte(static_cast<unsigned char>(ch));
    return byte(0);
  }
  // A name field: the text, a NUL, then 0xFF up to `width`.
  Expected& padded(const std::string& s, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i)
      byte(i < s.size() ? static_cast<unsigned char>(s[i]) : (i == s.size() ? 0 : 0xFF));
    return *this;
  }
  Expected& zeros(std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) byte(0);
    return *this;
  }
  Bytes bytes;
};

struct StatusField {
  const char* name;
  unsigned type;
  unsigned size;
};

// The logger's status record, as the table-definition block must carry it.
const StatusField kStatus[] = {
    {"OSversion", 0x8B, 32},     {"OSDate", 0x8B, 8},        {"OSSignature", 0x95, 2},
    {"ProgName", 0x8B, 64},      {"ProgSig", 0x95, 2},       {"CalOffset", 0x18, 4},
    {"HopnetAddress", 0x15, 2},  {"RfInstalled", 0x15, 2},   {"RfNetAddr", 0x15, 2},
    {"RfAddress", 0x15, 2},      {"RfHopSeq", 0x15, 2},      {"RfPwrMode", 0x0B, 8},
    {"Rf_ForceOn", 0x15, 2},     {"Rf_Protocol", 0x15, 2},   {"MaxTXPacket", 0x15, 2},
    {"RfSignalLevel", 0x15, 2},  {"RfRxHopnetCnt", 0x15, 2}, {"VarOutOfBounds", 0x15, 2},
    {"SkipScan", 0x15, 2},       {"TrapCode", 0x15, 2},      {"WatchDogCnt", 0x15, 2},
    {"ResetTables", 0x15, 2},    {"BattVoltage", 0x18, 4},   {"SerialNum", 0x16, 4},
};

bool isText(const StatusField& f) { return (f.type & 0x7F) == 11; }

// One field of the definition block.
void definitionField(Expected& e, unsigned type, const std::string& name,
                     const std::string& processing, unsigned count, unsigned subDimension) {
  e.byte(type).text(name).byte(0).text(processing).text("").byte(0);
  e.be32(1).be32(count);
  if (subDimension > 1) e.be32(subDimension);
  e.be32(0);
}

// A table entry: name, entry length (marker in the image), table byte,
// 16 zeros, fields, terminator.
void definitionEntry(Expected& e, const std::string& name, std::uint32_t marker,
                     const Expected& fields) {
  e.text(name).le32(marker).byte(0x0C).zeros(16);
  e.bytes.insert(e.bytes.end(), fields.bytes.begin(), fields.bytes.end());
  e.byte(0);
}

TEST(WholeImage, SmallProgramMatchesItsHandDerivedImage) {
  Compilation c;
  c.options.build = test::modelVK617Q();
  test::loadText(c,
                 "Public X\r\n"
                 "DataTable(T, True, 10)\r\n"
                 "  Sample(1, X)\r\n"
                 "EndTable\r\n"
                 "BeginProg\r\n"
                 "  Scan(1, sec)\r\n"
                 "    CallTable T\r\n"
                 "  NextScan\r\n"
                 "EndProg\r\n");
  runCompile(c);
  ASSERT_EQ("", c.diag.errorText);
  const Bytes& image = c.image;

  // Code: DATATABLE, SAMPLE, ENDTABLE, SCAN, CALLTABLE, NEXTSCAN.
  Expected code;
  code.le16(39).le16(8).le16(0).le16(0);            // trigger at area offset 0
  code.le16(17).le16(18).le16(6).le16(0).le16(1);   // X at area offset 6
  code.le16(23).le16(0).le16(0);
  code.le16(2).le16(30).le16(1);
  code.le16(1).le16(0).le16(36);
  code.le16(0).le16(40);
  // Expression area: lone constant -1.0 (True), lone variable X.
  Expected area;
  area.le16(40).le32(0xBF800000).le16(49).le16(0x0100);

  // Table-definition section with the markers in place.
  Expected statusFields, dataFields, publicFields, definitions;
  for (const StatusField& f : kStatus)
    definitionField(statusFields, f.type, f.name, "", isText(f) ? f.size : 1,
                    isText(f) ? f.size : 1);
  definitionField(dataFields, 9, "X", "Smp", 1, 1);
  definitionField(publicFields, 9, "X", "", 1, 1);
  definitions.byte(0x01);
  definitionEntry(definitions, "Status", 0x01000000, statusFields);
  const std::size_t statusEnd = definitions.bytes.size();
  definitionEntry(definitions, "T", 0xFFFFFFFF, dataFields);
  const std::size_t dataEnd = definitions.bytes.size();
  definitionEntry(definitions, "Public", 0x01000000, publicFields);
  const std::size_t publicEnd = definitions.bytes.size();
  const Bytes& d = definitions.bytes;

  const std::size_t areaOffset = 46 + 40;
  const std::size_t identOffset = areaOffset + 10;
  const std::size_t tablesOffset = identOffset + 108;
  const std::size_t fieldsOffset = tablesOffset + 3 * 46;
  const std::size_t definitionsOffset = fieldsOffset + 26 * 24;
  const std::size_t length = definitionsOffset + d.size();
  const std::string model = "VK617Q.Std.03";

  Expected e;
  e.le16(0x5AFE)
      .le16(computeSignature(kSignatureSeed, reinterpret_cast<const std::uint8_t*>(model.data()),
                             model.size()))
      .le16(0xFFFF).le16(0 /* image signature, below */).le16(static_cast<unsigned>(length - 8))
      .le16(46).le16(24).le16(24).le16(static_cast<unsigned>(areaOffset)).le16(1)
      .le16(1).le16(254).le16(254).le16(static_cast<unsigned>(tablesOffset)).le16(0xFFFF)
      .le16(3).le16(3).le16(static_cast<unsigned>(definitionsOffset))
      .le16(static_cast<unsigned>(d.size())).le16(0).le32(0xFFFFFFFF).le16(0);
  e.bytes.insert(e.bytes.end(), code.bytes.begin(), code.bytes.end());
  e.bytes.insert(e.bytes.end(), area.bytes.begin(), area.bytes.end());
  // Identification block.
  e.padded(model, 32).text("131104").byte(0).le16(0xFFFF);
  Expected name;
  name.text("prog.cr").zeros(64 - 8);
  e.bytes.insert(e.bytes.end(), name.bytes.begin(), name.bytes.end());
  e.le16(textSignature(c.pass1.source.bytes));
  // Table headers.
  const auto tableHeader = [&](unsigned first, unsigned recordSize, unsigned per512,
                               unsigned size, std::size_t fieldHeader, std::size_t start,
                               std::size_t nameEnd, std::size_t end, bool sign,
                               std::size_t signFrom, const std::string& tableName,
                               unsigned flags, unsigned fields) {
    e.le16(first).le16(0xFFFF).le16(recordSize).le16(per512).le32(0).le32(0).le16(size);
    e.le16(static_cast<unsigned>(fieldHeader)).le16(static_cast<unsigned>(nameEnd));
    e.le16(static_cast<unsigned>(start)).le16(static_cast<unsigned>(end));
    e.le16(sign ? computeSignature(kSignatureSeed, d.data() + signFrom, end - signFrom) : 0xFFFF);
    e.padded(tableName, 16).byte(flags).byte(fields);
  };
  tableHeader(static_cast<unsigned>(identOffset), 158, 0, 1, fieldsOffset, 0, 8, statusEnd,
              true, 1, "Status", 0, 24);
  tableHeader(0xFFFF, 8, 64, 4, fieldsOffset + 24 * 24, statusEnd, statusEnd + 2, dataEnd,
              false, 0, "T", 4, 1);
  tableHeader(0xFFFF, 4, 0, 1, fieldsOffset + 25 * 24, dataEnd, dataEnd + 7, publicEnd, true,
              dataEnd, "Public", 0, 1);
  // Field headers.
  unsigned offset = 0;
  for (const StatusField& f : kStatus) {
    e.le16(offset).le16(f.size).le16(f.type).padded(f.name, 17).byte(0);
    offset += f.size;
  }
  e.le16(4).le16(4).le16(9).padded("X", 17).byte(0);
  e.le16(0).le16(4).le16(9).padded("X", 17).byte(0);
  e.bytes.insert(e.bytes.end(), d.begin(), d.end());
  ASSERT_EQ(length, e.bytes.size());
  const std::uint16_t signature = computeSignature(kSignatureSeed, e.bytes.data() + 8, length - 8);
  e.bytes[6] = static_cast<std::uint8_t>(signature);
  e.bytes[7] = static_cast<std::uint8_t>(signature >> 8);

  ASSERT_EQ(e.bytes.size(), image.size());
  // Compare from offset 8 first: a difference there also moves the signature.
  for (std::size_t i = 8; i < image.size(); ++i)
    ASSERT_EQ(e.bytes[i], image[i]) << "first difference at image offset " << i;
  EXPECT_EQ(Bytes(e.bytes.begin(), e.bytes.begin() + 8), Bytes(image.begin(), image.begin() + 8));

  // Any changed byte from offset 8 on moves the signature.
  for (const std::size_t at : {std::size_t{8}, std::size_t{100}, image.size() - 1}) {
    Bytes changed = image;
    changed[at] ^= 0x01;
    EXPECT_NE(signature, computeSignature(kSignatureSeed, changed.data() + 8, changed.size() - 8));
  }
}

}  // namespace
}  // namespace vk6
