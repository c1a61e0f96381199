#include "image/image_writer.h"

#include <algorithm>

#include "core/compilation.h"
#include "core/diagnostics.h"
#include "format/image_format.h"
#include "image/checksum.h"

namespace vk6 {
namespace {

constexpr std::size_t kMaxProgramName = 63;
constexpr std::size_t kFieldSizeLimit = 256;
constexpr int kMaxTableArray = 64;
constexpr int kMaxPublicArray = 128;

// Sizes and offsets of tables and fields are 16-bit fields in the image.
std::uint16_t word(std::int32_t value) { return static_cast<std::uint16_t>(value); }

// The status table (first) and the public table (last) carry signed
// definition entries.
bool signsEntry(std::size_t t, std::size_t count) { return t == 0 || t + 1 == count; }

std::uint16_t signatureOf(const Bytes& bytes, std::size_t from, std::size_t to) {
  return computeSignature(kSignatureSeed, bytes.data() + from, to - from);
}

std::uint16_t signatureOf(const std::string& text) {
  return computeSignature(kSignatureSeed,
                          reinterpret_cast<const std::uint8_t*>(text.data()),
                          text.size());
}

// A name field: the name NUL-terminated when shorter, the rest padding.
void storeName(Bytes& out, std::size_t at, const std::string& text,
               std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) {
    if (i < text.size()) {
      out[at + i] = static_cast<std::uint8_t>(text[i]);
    } else {
      out[at + i] = i == text.size() ? 0x00 : kNamePadding;
    }
  }
}

Bytes identificationBlock(const Compilation& c) {
  namespace id = identification;
  Bytes block(kIdentificationSize, 0);
  storeName(block, id::kModel, c.options.build.model, id::kModelSize);
  storeText(block, id::kBuildDate, c.options.build.buildDate, id::kBuildDateSize);
  storeU16(block, id::kReserved40, kUnsetWord);
  storeText(block, id::kProgramName, programName(c.pass1.source.path),
            id::kProgramNameSize);
  storeU16(block, id::kSourceSignature, textSignature(c.pass1.source.bytes));
  return block;
}

// Entry offsets of one table within the definition section.
struct EntryPlace {
  std::uint16_t pastName = 0;
  std::uint16_t start = 0;
  std::uint16_t end = 0;
  std::uint16_t signature = kUnsetWord;
};

// Walks the definition block table by table, putting the markers in place
// of the entry lengths and signing the status and public entries.
std::vector<EntryPlace> markDefinitions(std::span<const TableDescriptor> tables,
                                        Bytes& block) {
  std::vector<EntryPlace> places;
  std::size_t pos = 0;
  std::size_t previousEnd = definitions::kFirstSigned;
  for (std::size_t t = 0; t < tables.size(); ++t) {
    const bool signedEntry = signsEntry(t, tables.size());
    EntryPlace place;
    place.start = static_cast<std::uint16_t>(pos);
    while (pos < block.size() && block[pos] != 0) ++pos;
    ++pos;
    place.pastName = static_cast<std::uint16_t>(pos);
    if (pos + definitions::kMarkerSize > block.size()) {
      places.push_back(place);
      continue;
    }
    const std::uint32_t length = loadU32(block.data() + pos);
    storeU32(block, pos,
             signedEntry ? definitions::kSignedMarker : definitions::kDataTableMarker);
    pos = std::min(pos + length, block.size());
    place.end = static_cast<std::uint16_t>(pos);
    if (signedEntry) place.signature = signatureOf(block, previousEnd, pos);
    previousEnd = pos;
    places.push_back(place);
  }
  return places;
}

// Where the parts after the code go.
struct ImagePlaces {
  std::size_t area = 0;
  std::size_t identification = 0;
  std::size_t tableHeaders = 0;
  std::size_t fieldHeaders = 0;
  std::size_t definitions = 0;
};

Bytes programHeader(const Compilation& c, const ImageInputs& in,
                    const ImagePlaces& at, std::size_t definitionsLength) {
  namespace ph = program_header;
  Bytes h(kProgramHeaderSize, 0);
  for (const FixedHeaderWord& w : kFixedHeaderWords) {
    if (w.width == 4) {
      storeU32(h, w.offset, w.value);
    } else {
      storeU16(h, w.offset, w.value);
    }
  }
  // The image signature and length are stored once the image is whole.
  storeU16(h, ph::kMagic, kImageMagic);
  storeU16(h, ph::kModelSignature, signatureOf(c.options.build.model));
  storeU16(h, ph::kBeginProg, c.header.beginProgOffset);
  storeU16(h, ph::kScan, c.header.scanOffset);
  storeU16(h, ph::kAreaOffset, static_cast<std::uint32_t>(at.area));
  storeU16(h, ph::kScanInterval, c.header.scanInterval);
  storeU16(h, ph::kPublicFieldCount, c.header.publicFieldCount);
  storeU16(h, ph::kLocationPool, static_cast<std::uint32_t>(c.header.locationPool));
  storeU16(h, ph::kTableHeaders, static_cast<std::uint32_t>(at.tableHeaders));
  storeU16(h, ph::kTableCount, static_cast<std::uint32_t>(in.tables.size()));
  storeU16(h, ph::kPublicPosition, in.publicTablePosition);
  storeU16(h, ph::kDefinitions, static_cast<std::uint32_t>(at.definitions));
  storeU16(h, ph::kDefinitionsLength, static_cast<std::uint32_t>(definitionsLength));
  storeU16(h, ph::kPulseConfig, c.header.pulseConfig);
  storeU16(h, ph::kInterrupt, c.program.interrupt ? c.header.interruptOffset : 0);
  return h;
}

void putTableHeader(Bytes& image, const TableDescriptor& table, const EntryPlace& place,
                    std::uint16_t firstWord, std::size_t fieldHeaders) {
  namespace th = table_header;
  Bytes h(kTableHeaderSize, 0);
  storeU16(h, th::kFirstWord, firstWord);
  storeU16(h, th::kReserved2, kUnsetWord);
  storeU16(h, th::kRecordSize, word(table.recordSize));
  storeU16(h, th::kRecordsPer512, word(table.recordsPer512));
  storeU32(h, th::kInterval, table.interval);
  storeU32(h, th::kIntervalOffset, table.offset);
  storeU16(h, th::kBlocks, word(table.blocks));
  storeU16(h, th::kFieldHeaders, static_cast<std::uint32_t>(fieldHeaders));
  storeU16(h, th::kNameEnd, place.pastName);
  storeU16(h, th::kEntryStart, place.start);
  storeU16(h, th::kEntryEnd, place.end);
  storeU16(h, th::kEntrySignature, place.signature);
  storeName(h, th::kName, table.name, th::kNameSize);
  h[th::kFlags] = table.flags;
  h[th::kFieldCount] = static_cast<std::uint8_t>(table.fields.size());
  image.insert(image.end(), h.begin(), h.end());
}

void putFieldHeader(Bytes& image, const FieldDescriptor& field) {
  namespace fh = field_header;
  Bytes h(kFieldHeaderSize, 0);
  storeU16(h, fh::kByteOffset, word(field.byteOffset));
  storeU16(h, fh::kByteSize, word(field.byteSize));
  storeU16(h, fh::kDataType, field.dataType);
  storeName(h, fh::kName, field.name, fh::kNameSize);
  image.insert(image.end(), h.begin(), h.end());
}

void checkFieldSizes(Compilation& c, const ImageInputs& in) {
  for (std::size_t t = 0; t < in.tables.size(); ++t) {
    const bool last = t + 1 == in.tables.size();
    for (const FieldDescriptor& field : in.tables[t].fields) {
      const std::uint16_t byteSize = word(field.byteSize);
      if (byteSize < kFieldSizeLimit) continue;
      if (!last) {
        reportError(c, "%s exceeds max array size of %d", field.name.c_str(),
                    kMaxTableArray);
      } else if (byteSize / 4 > kMaxPublicArray) {
        reportError(c, "%s exceeds max array size of %d", field.name.c_str(),
                    kMaxPublicArray);
      }
    }
  }
}

}  // namespace

std::string imageFileName(const std::string& sourcePath) {
  // A dot in a folder's name is no extension of the file's.
  const std::size_t folderEnd = sourcePath.find_last_of("\\/:");
  const std::size_t dot = sourcePath.rfind('.');
  if (dot == std::string::npos || (folderEnd != std::string::npos && dot < folderEnd))
    return sourcePath + ".bin";
  return sourcePath.substr(0, dot) + ".bin";
}

std::string programName(const std::string& sourcePath) {
  std::size_t cut = sourcePath.rfind('\\');
  if (cut == std::string::npos) cut = sourcePath.rfind('/');
  if (cut == std::string::npos) cut = sourcePath.rfind(':');
  std::string name =
      cut == std::string::npos ? sourcePath : sourcePath.substr(cut + 1);
  if (name.size() > kMaxProgramName) name.resize(kMaxProgramName);
  if (!name.empty() && name.find('.') == std::string::npos) name.back() = '.';
  return name;
}

bool buildProgramImage(Compilation& c, ImageInputs& in, Bytes& image) {
  const std::size_t errorsBefore = static_cast<std::size_t>(c.diag.errorCount);
  const Bytes& code = c.code.bytes;
  const Bytes& area = c.exprArea.bytes;
  std::size_t fieldCount = 0;
  for (const TableDescriptor& table : in.tables) fieldCount += table.fields.size();
  ImagePlaces at;
  at.area = kProgramHeaderSize + code.size();
  at.identification = at.area + area.size();
  at.tableHeaders = at.identification + kIdentificationSize;
  at.fieldHeaders = at.tableHeaders + kTableHeaderSize * in.tables.size();
  at.definitions = at.fieldHeaders + kFieldHeaderSize * fieldCount;
  Bytes noDefinitions;
  Bytes& definitions = in.definitions != nullptr ? *in.definitions : noDefinitions;
  const std::vector<EntryPlace> places = markDefinitions(in.tables, definitions);

  image = programHeader(c, in, at, definitions.size());
  image.insert(image.end(), code.begin(), code.end());
  image.insert(image.end(), area.begin(), area.end());
  const Bytes ident = identificationBlock(c);
  image.insert(image.end(), ident.begin(), ident.end());
  std::size_t fieldHeader = at.fieldHeaders;
  for (std::size_t t = 0; t < in.tables.size(); ++t) {
    const std::uint16_t firstWord =
        t == 0 ? static_cast<std::uint16_t>(at.identification) : kUnsetWord;
    putTableHeader(image, in.tables[t], places[t], firstWord, fieldHeader);
    fieldHeader += kFieldHeaderSize * in.tables[t].fields.size();
  }
  for (const TableDescriptor& table : in.tables)
    for (const FieldDescriptor& field : table.fields) putFieldHeader(image, field);
  checkFieldSizes(c, in);
  if (image.size() > kMaxImageSize) {
    reportError(c, "Binary image exceeds max size by %d bytes.",
                static_cast<int>(image.size() - kMaxImageSize));
    return false;
  }
  image.insert(image.end(), definitions.begin(), definitions.end());
  const std::size_t signedFrom = program_header::kImageLength;
  storeU16(image, program_header::kImageLength,
           static_cast<std::uint32_t>(image.size() - signedFrom));
  storeU16(image, program_header::kImageSignature,
           signatureOf(image, signedFrom, image.size()));
  return static_cast<std::size_t>(c.diag.errorCount) == errorsBefore;
}

}  // namespace vk6
