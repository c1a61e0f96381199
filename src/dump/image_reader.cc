#include "dump/image_reader.h"

#include <algorithm>
#include <optional>

#include "core/options.h"
#include "core/text.h"
#include "format/byte_io.h"
#include "format/image_format.h"
#include "format/stack_code.h"
#include "image/checksum.h"

namespace vk6 {
namespace {

namespace ph = program_header;
namespace th = table_header;
namespace fh = field_header;
namespace id = identification;

constexpr int kLocationBytes = 4;  // one float per location of variable memory

// Header fields by offset; ORDER HEADER: the image's order.
constexpr struct {
  const char* name;
  std::size_t offset;
  std::size_t width;
  ValueStyle style;
} kHeaderLayout[] = {
    {"magic", ph::kMagic, 2, ValueStyle::kHex},
    {"model signature", ph::kModelSignature, 2, ValueStyle::kHex},
    {"reserved 4", ph::kReserved4, 2, ValueStyle::kHex},
    {"image signature", ph::kImageSignature, 2, ValueStyle::kHex},
    {"image length - 8", ph::kImageLength, 2, ValueStyle::kDecimal},
    {"code offset", ph::kCodeOffset, 2, ValueStyle::kDecimal},
    {"BeginProg offset", ph::kBeginProg, 2, ValueStyle::kCodeOffset},
    {"scan offset", ph::kScan, 2, ValueStyle::kCodeOffset},
    {"expression area offset", ph::kAreaOffset, 2, ValueStyle::kDecimal},
    {"scan interval", ph::kScanInterval, 2, ValueStyle::kDecimal},
    {"public field count", ph::kPublicFieldCount, 2, ValueStyle::kDecimal},
    {"location pool", ph::kLocationPool, 2, ValueStyle::kDecimal},
    {"locations", ph::kLocations, 2, ValueStyle::kDecimal},
    {"table headers offset", ph::kTableHeaders, 2, ValueStyle::kDecimal},
    {"reserved 28", ph::kReserved28, 2, ValueStyle::kHex},
    {"table count", ph::kTableCount, 2, ValueStyle::kDecimal},
    {"public table position", ph::kPublicPosition, 2, ValueStyle::kDecimal},
    {"definitions offset", ph::kDefinitions, 2, ValueStyle::kDecimal},
    {"definitions length", ph::kDefinitionsLength, 2, ValueStyle::kDecimal},
    {"pulse configuration", ph::kPulseConfig, 2, ValueStyle::kHex},
    {"reserved 40", ph::kReserved40, 4, ValueStyle::kHex},
    {"interrupt offset", ph::kInterrupt, 2, ValueStyle::kCodeOffset},
};
std::uint16_t signatureOf(ByteSpan bytes) {
  return computeSignature(kSignatureSeed, bytes.data(), bytes.size());
}

// Text up to the first NUL of a fixed-width field.
std::string fieldText(ByteSpan bytes) {
  std::string out;
  for (std::uint8_t b : bytes) {
    if (b == 0) break;
    out.push_back(static_cast<char>(b));
  }
  return out;
}

// A cursor over the table-definition section; every read checks that it
// stays inside.
class SectionCursor {
 public:
  explicit SectionCursor(ByteSpan s) : s_(s) {}
  std::size_t pos = 0;
  bool u8(std::uint8_t& v) {
    if (pos + 1 > s_.size()) return false;
    v = s_[pos++];
    return true;
  }
  bool u32At(std::size_t at, std::uint32_t& v) const {
    if (at + sizeof v > s_.size()) return false;
    v = loadU32(s_.data() + at);
    return true;
  }
  bool u32Be(std::uint32_t& v) {
    if (pos + sizeof v > s_.size()) return false;
    v = loadU32Be(s_.data() + pos);
    pos += sizeof v;
    return true;
  }
  bool text(std::string& out) {
    out.clear();
    while (pos < s_.size() && s_[pos] != 0) out.push_back(static_cast<char>(s_[pos++]));
    if (pos >= s_.size()) return false;
    ++pos;
    return true;
  }
  bool skip(std::size_t n) {
    if (pos + n > s_.size()) return false;
    pos += n;
    return true;
  }

 private:
  ByteSpan s_;
};

// The model name of a known model string ("VK617Q"), else empty.
std::string knownModelName(const std::string& model) {
  for (const char* known : kModelStrings)
    if (model == known) return model.substr(0, model.find('.'));
  return std::string();
}

}  // namespace

bool isModel(const std::string& name, const std::string& model) {
  return nameEquals(name.c_str(), model.c_str()) ||
         nameEquals(name.c_str(), model.substr(0, model.find('.')).c_str());
}

namespace {

class Reader {
 public:
  Reader(ByteSpan image, const InspectOptions& options) : im_(image), options_(options) {
    d_.imageSize = image.size();
  }

  ImageDump run() {
    if (im_.size() < kProgramHeaderSize) {
      problem(formatString("file of %zu bytes is too short for a program header "
                         "(%zu bytes)", im_.size(), kProgramHeaderSize));
      return std::move(d_);
    }
    if (u16(ph::kMagic) != kImageMagic) {
      problem(formatString("magic 0x%04X, expected 0x%04X", u16(ph::kMagic), kImageMagic));
      return std::move(d_);
    }
    d_.verdict = ImageVerdict::kSound;
    readHeader();
    if (locateSections()) {
      readIdentification();
      readTables();
      readCode();
    }
    if (!d_.problems.empty()) d_.verdict = ImageVerdict::kFaulty;
    return std::move(d_);
  }

 private:
  std::uint16_t u16(std::size_t at) const {
    return at + 2 <= im_.size() ? loadU16(im_.data() + at) : 0;
  }
  std::uint32_t u32(std::size_t at) const {
    return at + 4 <= im_.size() ? loadU32(im_.data() + at) : 0;
  }
  void problem(std::string text) { d_.problems.push_back(std::move(text)); }

  void readHeader() {
    for (const auto& f : kHeaderLayout)
      d_.header.push_back({f.name, f.offset, f.width, f.style,
                           f.width == 4 ? u32(f.offset) : u16(f.offset)});
    for (const FixedHeaderWord& w : kFixedHeaderWords) {
      const std::uint32_t v = w.width == 4 ? u32(w.offset) : u16(w.offset);
      if (v != w.value)
        problem(formatString("header word at %zu (%s) is %u, expected %u", w.offset,
                           headerName(w.offset), v, w.value));
    }
    const std::size_t length =
        static_cast<std::size_t>(u16(ph::kImageLength)) + ph::kImageLength;
    if (length != im_.size())
      problem(formatString("image length field says %zu bytes, the file has %zu",
                         length, im_.size()));
    const std::uint16_t signature = signatureOf(im_.subspan(ph::kImageLength));
    if (u16(ph::kImageSignature) != signature)
      problem(formatString("image signature 0x%04X, computed 0x%04X",
                         u16(ph::kImageSignature), signature));
  }

  static const char* headerName(std::size_t offset) {
    for (const auto& f : kHeaderLayout)
      if (f.offset == offset) return f.name;
    return "?";
  }

  bool locateSections() {
    areaOffset_ = u16(ph::kAreaOffset);
    tableHeaders_ = u16(ph::kTableHeaders);
    if (areaOffset_ < kProgramHeaderSize || areaOffset_ > im_.size()) {
      problem(formatString("expression area offset %zu lies outside the image "
                         "(%zu bytes)", areaOffset_, im_.size()));
      return false;
    }
    if (tableHeaders_ > im_.size()) {
      problem(formatString("table headers offset %zu lies outside the image (%zu bytes)",
                         tableHeaders_, im_.size()));
      return false;
    }
    if (tableHeaders_ < areaOffset_ + kIdentificationSize) {
      problem(formatString("table headers offset %zu leaves no room for the "
                         "identification block after the expression area at %zu",
                         tableHeaders_, areaOffset_));
      return false;
    }
    identOffset_ = tableHeaders_ - kIdentificationSize;
    d_.codeSize = areaOffset_ - kProgramHeaderSize;
    d_.areaSize = identOffset_ - areaOffset_;
    const std::size_t defs = u16(ph::kDefinitions);
    const std::size_t defsLength = u16(ph::kDefinitionsLength);
    if (defs + defsLength != im_.size())
      problem(formatString("table-definition section at %zu of %zu bytes does not "
                         "end at the end of the image (%zu bytes)",
                         defs, defsLength, im_.size()));
    return true;
  }

  void readIdentification() {
    const ByteSpan ident = im_.subspan(identOffset_, kIdentificationSize);
    Identification& i = d_.identification;
    i.model = fieldText(ident.subspan(id::kModel, id::kModelSize));
    i.buildDate = fieldText(ident.subspan(id::kBuildDate, id::kBuildDateSize));
    i.programName = fieldText(ident.subspan(id::kProgramName, id::kProgramNameSize));
    i.sourceSignature = loadU16(ident.data() + id::kSourceSignature);
    d_.modelName = knownModelName(i.model);
    const std::uint16_t signature = computeSignature(
        kSignatureSeed, reinterpret_cast<const std::uint8_t*>(i.model.data()),
        i.model.size());
    const std::uint16_t recorded = u16(ph::kModelSignature);
    if (recorded != signature)
      problem(formatString("model signature 0x%04X does not match the model string "
                         "%s (0x%04X)", recorded, i.model.c_str(), signature));
    const std::string& asked = options_.model;
    if (d_.modelName.empty()) {
      problem(formatString("image is for model %s, which this inspector does not know",
                           i.model.c_str()));
    } else if (!asked.empty() && !isModel(asked, i.model)) {
      problem(formatString("image is for model %s, not %s", i.model.c_str(),
                           asked.c_str()));
    }
  }

  // Table headers, field headers and the table-definition section.
  void readTables() {
    const std::size_t count = u16(ph::kTableCount);
    if (tableHeaders_ + kTableHeaderSize * count > im_.size()) {
      problem(formatString("%zu table headers at %zu run past the end of the image",
                         count, tableHeaders_));
      return;
    }
    const std::uint16_t publicPosition = u16(ph::kPublicPosition);
    if (publicPosition != kNoPublicTable && publicPosition != count)
      problem(formatString("public table position %u, expected %u or %zu",
                         publicPosition, kNoPublicTable, count));
    publicIndex_ = publicPosition == kNoPublicTable || publicPosition == 0
                       ? std::nullopt
                       : std::optional<std::size_t>(publicPosition - 1u);
    std::size_t fieldHeader = tableHeaders_ + kTableHeaderSize * count;
    for (std::size_t t = 0; t < count; ++t) {
      const std::size_t at = tableHeaders_ + kTableHeaderSize * t;
      TableInfo table;
      table.name = fieldText(im_.subspan(at + th::kName, th::kNameSize));
      table.recordSize = u16(at + th::kRecordSize);
      table.recordsPer512 = u16(at + th::kRecordsPer512);
      table.interval = u32(at + th::kInterval);
      table.offset = u32(at + th::kIntervalOffset);
      table.size = u16(at + th::kBlocks);
      table.flags = im_[at + th::kFlags];
      const std::uint16_t first = u16(at + th::kFirstWord);
      const std::size_t expectedFirst = t == 0 ? identOffset_ : kUnsetWord;
      if (first != expectedFirst)
        problem(formatString("table %zu (%s): first header word %u, expected %zu", t,
                           table.name.c_str(), first, expectedFirst));
      const std::uint16_t fieldHeaders = u16(at + th::kFieldHeaders);
      if (fieldHeaders != fieldHeader)
        problem(formatString("table %zu (%s): field headers at %u, expected %zu", t,
                           table.name.c_str(), fieldHeaders, fieldHeader));
      const std::size_t fields = im_[at + th::kFieldCount];
      if (fieldHeader + kFieldHeaderSize * fields > im_.size()) {
        problem(formatString("table %zu (%s): %zu field headers at %zu run past the "
                           "end of the image", t, table.name.c_str(), fields,
                           fieldHeader));
        d_.tables.push_back(table);
        return;
      }
      for (std::size_t f = 0; f < fields; ++f) {
        const std::size_t h = fieldHeader + kFieldHeaderSize * f;
        TableField field;
        field.byteOffset = u16(h + fh::kByteOffset);
        field.byteSize = u16(h + fh::kByteSize);
        field.dataType = u16(h + fh::kDataType);
        field.name = fieldText(im_.subspan(h + fh::kName, fh::kNameSize));
        table.fields.push_back(field);
      }
      fieldHeader += kFieldHeaderSize * fields;
      d_.tables.push_back(table);
    }
    if (u16(ph::kDefinitions) != fieldHeader) {
      problem(formatString("definitions offset %u, expected %zu", u16(ph::kDefinitions),
                         fieldHeader));
      return;
    }
    readDefinitions();
  }

  void readDefinitions() {
    const std::size_t defs = u16(ph::kDefinitions);
    const std::size_t length =
        std::min<std::size_t>(u16(ph::kDefinitionsLength), im_.size() - defs);
    const ByteSpan section = im_.subspan(defs, length);
    if (d_.tables.empty() && section.empty()) return;
    if (section.empty() || section[0] != definitions::kLeadingByte) {
      problem(section.empty()
                  ? std::string("table-definition section is empty")
                  : formatString("table-definition section starts with 0x%02X, "
                               "expected 0x%02X", section[0],
                               definitions::kLeadingByte));
      return;
    }
    SectionCursor cursor(section);
    std::size_t previousEnd = definitions::kFirstSigned;
    for (std::size_t t = 0; t < d_.tables.size(); ++t) {
      if (!readEntry(cursor, section, t, previousEnd)) return;
      previousEnd = cursor.pos;
    }
    if (cursor.pos != section.size())
      problem(formatString("table-definition section has %zu bytes after the last "
                         "table", section.size() - cursor.pos));
  }

  // One table's entry; false when the section cannot be followed further.
  bool readEntry(SectionCursor& cursor, ByteSpan section, std::size_t t,
                 std::size_t previousEnd) {
    TableInfo& table = d_.tables[t];
    const char* name = table.name.c_str();
    const std::size_t at = tableHeaders_ + kTableHeaderSize * t;
    const std::size_t start = cursor.pos;
    if (u16(at + th::kEntryStart) != start)
      problem(formatString("table %zu (%s): entry start %u, expected %zu", t, name,
                         u16(at + th::kEntryStart), start));
    if (t == 0) cursor.skip(sizeof definitions::kLeadingByte);
    std::string entryName;
    std::uint32_t marker = 0;
    if (!cursor.text(entryName) || !cursor.u32At(cursor.pos, marker)) {
      problem(formatString("table %zu (%s): entry runs past the end of the "
                         "table-definition section", t, name));
      return false;
    }
    if (entryName != table.name)
      problem(formatString("table %zu (%s): named %s in the definitions", t, name,
                         entryName.c_str()));
    if (u16(at + th::kNameEnd) != cursor.pos)
      problem(formatString("table %zu (%s): name end %u, expected %zu", t, name,
                         u16(at + th::kNameEnd), cursor.pos));
    const bool isSigned = t == 0 || (publicIndex_ && *publicIndex_ == t);
    const std::uint32_t expectedMarker =
        isSigned ? definitions::kSignedMarker : definitions::kDataTableMarker;
    if (marker != expectedMarker)
      problem(formatString("table %zu (%s): definition marker 0x%08X, expected 0x%08X",
                         t, name, marker, expectedMarker));
    cursor.skip(definitions::kMarkerSize);
    std::uint8_t tableByte = 0;
    if (!cursor.u8(tableByte) || !cursor.skip(definitions::kTableZeroBytes)) {
      problem(formatString("table %zu (%s): entry runs past the end of the "
                         "table-definition section", t, name));
      return false;
    }
    if (tableByte != definitions::kTableByte)
      problem(formatString("table %zu (%s): table byte 0x%02X, expected 0x%02X", t,
                         name, tableByte, definitions::kTableByte));
    for (std::size_t f = 0; f < table.fields.size(); ++f) {
      if (!readFieldEntry(cursor, t, f)) {
        problem(formatString("table %zu (%s): field %zu runs past the end of the "
                           "table-definition section", t, name, f));
        return false;
      }
    }
    std::uint8_t terminator = 0;
    if (!cursor.u8(terminator)) {
      problem(formatString("table %zu (%s): entry runs past the end of the "
                         "table-definition section", t, name));
      return false;
    }
    if (terminator != definitions::kFieldListEnd)
      problem(formatString("table %zu (%s): field list ends with 0x%02X, expected %u",
                         t, name, terminator, definitions::kFieldListEnd));
    if (u16(at + th::kEntryEnd) != cursor.pos)
      problem(formatString("table %zu (%s): entry end %u, expected %zu", t, name,
                         u16(at + th::kEntryEnd), cursor.pos));
    const std::uint16_t signature =
        isSigned ? signatureOf(section.subspan(previousEnd, cursor.pos - previousEnd))
                 : kUnsetWord;
    const std::uint16_t recorded = u16(at + th::kEntrySignature);
    if (recorded != signature)
      problem(formatString(isSigned ? "table %zu (%s): entry signature 0x%04X, "
                                    "computed 0x%04X"
                                  : "table %zu (%s): entry signature 0x%04X, "
                                    "expected 0x%04X",
                         t, name, recorded, signature));
    return true;
  }

  bool readFieldEntry(SectionCursor& cursor, std::size_t t, std::size_t f) {
    TableField& field = d_.tables[t].fields[f];
    std::uint8_t type = 0;
    std::uint8_t zero = 0;
    std::string name;
    if (!cursor.u8(type) || !cursor.text(name) || !cursor.u8(zero) ||
        !cursor.text(field.processing) || !cursor.text(field.units) ||
        !cursor.u8(zero) || !cursor.u32Be(field.firstIndex) ||
        !cursor.u32Be(field.count))
      return false;
    std::uint32_t next = 0;
    if (!cursor.u32Be(next)) return false;
    if (next != 0) {
      field.subDimension = next;
      if (!cursor.u32Be(next)) return false;
    }
    const char* table = d_.tables[t].name.c_str();
    if (name != field.name)
      problem(formatString("table %zu (%s): field %zu is %s in the definitions, %s "
                         "in its header", t, table, f, name.c_str(), field.name.c_str()));
    if (type != field.dataType)
      problem(formatString("table %zu (%s): field %zu (%s) has data type %u in the "
                         "definitions, %u in its header", t, table, f,
                         field.name.c_str(), type, field.dataType));
    if (next != 0)
      problem(formatString("table %zu (%s): field %zu (%s) does not end in a zero word",
                         t, table, f, field.name.c_str()));
    return true;
  }

  std::string fieldName(std::uint16_t tableWord, std::uint16_t fieldWord) const {
    std::optional<std::size_t> index;
    if (tableWord == kPublicTableNumber) {
      index = publicIndex_;
    } else if (tableWord == kStatusTableNumber) {
      index = 0;
    } else if (tableWord & kDataTableNumberBase) {
      index = tableWord & ~kDataTableNumberBase;
    }
    std::string table = index && *index < d_.tables.size()
                            ? d_.tables[*index].name
                            : formatString("table%04X", tableWord);
    if (tableWord == kPublicTableNumber && !(index && *index < d_.tables.size()))
      table = "Public";
    for (const SpecialField& special : kSpecialFields)
      if (fieldWord == special.word) return table + "." + special.name;
    if (index && *index < d_.tables.size() &&
        fieldWord < d_.tables[*index].fields.size())
      return table + "." + d_.tables[*index].fields[fieldWord].name;
    return table + formatString(".field%u", fieldWord);
  }

  void readCode() {
    CodeContext context;
    context.code = im_.subspan(kProgramHeaderSize, d_.codeSize);
    context.area = im_.subspan(areaOffset_, d_.areaSize);
    for (const TableInfo& t : d_.tables) context.tableNames.push_back(t.name);
    context.naming.fields = [this](std::uint16_t table, std::uint16_t field) {
      return fieldName(table, field);
    };
    context.naming.variables =
        options_.variables.empty() ? publicVariables() : options_.variables;
    CodeListing listing = disassembleCode(context);
    d_.records = std::move(listing.records);
    for (std::string& p : listing.problems) problem(std::move(p));
    checkEntryPoint("BeginProg offset", u16(ph::kBeginProg));
    checkEntryPoint("scan offset", u16(ph::kScan));
    if (u16(ph::kInterrupt) != 0)
      checkEntryPoint("interrupt offset", u16(ph::kInterrupt));

    std::vector<std::size_t> offsets = listing.operandOffsets;
    std::sort(offsets.begin(), offsets.end());
    for (std::size_t offset : offsets) {
      Disassembly d = disassembleExpression(context.area, offset, context.naming);
      if (!d.problem.empty())
        problem(formatString("expression @%04zX: ", offset) + d.problem);
      d_.expressions.push_back(std::move(d));
    }
  }

  // The public table's fields are the public variables, each at the byte
  // offset of its first location.
  std::vector<NamedVariable> publicVariables() const {
    std::vector<NamedVariable> variables;
    if (!publicIndex_ || *publicIndex_ >= d_.tables.size()) return variables;
    for (const TableField& f : d_.tables[*publicIndex_].fields)
      variables.push_back({f.byteOffset / kLocationBytes,
                           std::max(1, f.byteSize / kLocationBytes), f.name});
    return variables;
  }

  void checkEntryPoint(const char* name, std::uint16_t offset) {
    if (offset == d_.codeSize) return;
    for (const DecodedRecord& r : d_.records)
      if (r.offset == offset && r.layout != nullptr) return;
    problem(formatString("%s %04X is not at a record", name, offset));
  }

  ByteSpan im_;
  const InspectOptions& options_;
  ImageDump d_;
  std::size_t areaOffset_ = 0;
  std::size_t tableHeaders_ = 0;
  std::size_t identOffset_ = 0;
  std::optional<std::size_t> publicIndex_;
};

}  // namespace

ImageDump inspectImage(ByteSpan image, const InspectOptions& options) {
  return Reader(image, options).run();
}

int exitCodeOf(const ImageDump& dump) {
  switch (dump.verdict) {
    case ImageVerdict::kSound: return 0;
    case ImageVerdict::kFaulty: return 1;
    case ImageVerdict::kNotAnImage: return 2;
  }
  return 2;
}

}  // namespace vk6
