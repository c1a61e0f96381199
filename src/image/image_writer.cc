#include "image/image_writer.h"

#include "core/compilation.h"
#include "image/checksum.h"

namespace vk6 {
namespace {

constexpr std::uint16_t kImageMagic = 0x5AFE;
constexpr std::size_t kModelFieldSize = 32;
constexpr std::size_t kDateFieldSize = 8;
constexpr std::size_t kNameFieldOffset = 42;
constexpr std::size_t kNameFieldSize = 64;
constexpr std::size_t kMaxProgramName = 63;
constexpr std::size_t kTableNameSize = 16;
constexpr std::size_t kFieldNameSize = 17;
constexpr std::uint32_t kSignedMarker = 0x01000000u;
constexpr std::uint32_t kDataTableMarker = 0xFFFFFFFFu;
constexpr std::size_t kFieldSizeLimit = 256;
constexpr int kMaxTableArray = 64;
constexpr int kMaxPublicArray = 128;

std::uint16_t signatureOf(const Bytes& bytes, std::size_t from, std::size_t to) {
  return computeSignature(kSignatureSeed, bytes.data() + from, to - from);
}

// A text field: the text NUL-terminated when shorter, the rest 0xFF.
void putPaddedName(Bytes& out, const std::string& text, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) {
    if (i < text.size()) {
      out.push_back(static_cast<std::uint8_t>(text[i]));
    } else {
      out.push_back(i == text.size() ? 0x00 : 0xFF);
    }
  }
}

Bytes identificationBlock(const Compilation& c) {
  Bytes block;
  putPaddedName(block, c.options.build.model, kModelFieldSize);
  putText(block, c.options.build.buildDate, kDateFieldSize);
  block.push_back(0xFF);
  block.push_back(0xFF);
  std::string name = programName(c.pass1.source.path);
  putText(block, name, kNameFieldSize);
  putU16(block, textSignature(c.pass1.source.bytes));
  return block;
}

// Entry offsets of one table within the definition section.
struct EntryPlace {
  std::uint16_t pastName = 0;
  std::uint16_t start = 0;
  std::uint16_t end = 0;
  std::uint16_t signature = 0xFFFF;
};

// Walks the definition block table by table, putting the markers in place
// of the entry lengths and signing the status and public entries.
std::vector<EntryPlace> markDefinitions(const std::vector<ImageTable>& tables,
                                        Bytes& block) {
  std::vector<EntryPlace> places;
  std::size_t pos = 0;
  std::size_t previousEnd = 1;
  for (const ImageTable& table : tables) {
    EntryPlace place;
    place.start = static_cast<std::uint16_t>(pos);
    while (pos < block.size() && block[pos] != 0) ++pos;
    ++pos;
    place.pastName = static_cast<std::uint16_t>(pos);
    if (pos + 4 > block.size()) {
      places.push_back(place);
      continue;
    }
    const std::uint32_t length = loadU32(block.data() + pos);
    storeU32(block, pos, table.signedEntry ? kSignedMarker : kDataTableMarker);
    pos = std::min(pos + length, block.size());
    place.end = static_cast<std::uint16_t>(pos);
    if (table.signedEntry) place.signature = signatureOf(block, previousEnd, pos);
    previousEnd = pos;
    places.push_back(place);
  }
  return places;
}

void checkFieldSizes(Compilation& c, const ImageInputs& in) {
  for (std::size_t t = 0; t < in.tables.size(); ++t) {
    const bool last = t + 1 == in.tables.size();
    for (const ImageField& field : in.tables[t].fields) {
      if (field.byteSize < kFieldSizeLimit) continue;
      if (!last) {
        reportError(c, "%s exceeds max array size of %d", field.name.c_str(),
                    kMaxTableArray);
      } else if (field.byteSize / 4 > kMaxPublicArray) {
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
  for (const ImageTable& table : in.tables) fieldCount += table.fields.size();
  const std::size_t areaOffset = kProgramHeaderSize + code.size();
  const std::size_t identOffset = areaOffset + area.size();
  const std::size_t tableHeadersOffset = identOffset + kIdentificationSize;
  const std::size_t fieldHeadersOffset =
      tableHeadersOffset + kTableHeaderSize * in.tables.size();
  const std::size_t definitionsOffset =
      fieldHeadersOffset + kFieldHeaderSize * fieldCount;
  Bytes noDefinitions;
  Bytes& definitions = in.definitions != nullptr ? *in.definitions : noDefinitions;
  const std::vector<EntryPlace> places = markDefinitions(in.tables, definitions);

  // Program header; the signature at 6 and the length at 8 come last.
  const std::string& model = c.options.build.model;
  Bytes header;
  putU16(header, kImageMagic);
  putU16(header, computeSignature(kSignatureSeed,
                                  reinterpret_cast<const std::uint8_t*>(model.data()),
                                  model.size()));
  putU16(header, 0xFFFF);
  putU16(header, 0);
  putU16(header, 0);
  putU16(header, kProgramHeaderSize);
  putU16(header, c.header.beginProgOffset);
  putU16(header, c.header.scanOffset);
  putU16(header, static_cast<std::uint32_t>(areaOffset));
  putU16(header, c.header.scanInterval);
  putU16(header, c.header.publicFieldCount);
  putU16(header, static_cast<std::uint32_t>(c.header.locationPool));
  putU16(header, kLocationPoolStart);
  putU16(header, static_cast<std::uint32_t>(tableHeadersOffset));
  putU16(header, 0xFFFF);
  putU16(header, static_cast<std::uint32_t>(in.tables.size()));
  putU16(header, in.publicTablePosition);
  putU16(header, static_cast<std::uint32_t>(definitionsOffset));
  putU16(header, static_cast<std::uint32_t>(definitions.size()));
  putU16(header, c.header.pulseConfig);
  putU32(header, 0xFFFFFFFFu);
  putU16(header, c.program.interrupt ? c.header.interruptOffset : 0);

  image = header;
  image.insert(image.end(), code.begin(), code.end());
  image.insert(image.end(), area.begin(), area.end());
  const Bytes ident = identificationBlock(c);
  image.insert(image.end(), ident.begin(), ident.end());

  std::size_t fieldHeader = fieldHeadersOffset;
  for (std::size_t t = 0; t < in.tables.size(); ++t) {
    const ImageTable& table = in.tables[t];
    const EntryPlace& place = places[t];
    putU16(image, t == 0 ? static_cast<std::uint32_t>(identOffset) : 0xFFFFu);
    putU16(image, 0xFFFF);
    putU16(image, table.recordSize);
    putU16(image, table.recordsPer512);
    putU32(image, table.interval);
    putU32(image, table.offset);
    putU16(image, table.size);
    putU16(image, static_cast<std::uint32_t>(fieldHeader));
    putU16(image, place.pastName);
    putU16(image, place.start);
    putU16(image, place.end);
    putU16(image, place.signature);
    putPaddedName(image, table.name, kTableNameSize);
    putU8(image, table.flags);
    putU8(image, static_cast<std::uint32_t>(table.fields.size()));
    fieldHeader += kFieldHeaderSize * table.fields.size();
  }
  for (const ImageTable& table : in.tables) {
    for (const ImageField& field : table.fields) {
      putU16(image, field.byteOffset);
      putU16(image, field.byteSize);
      putU16(image, field.dataType);
      putPaddedName(image, field.name, kFieldNameSize);
      putU8(image, 0);
    }
  }
  checkFieldSizes(c, in);
  if (image.size() > kMaxImageSize) {
    reportError(c, "Binary image exceeds max size by %d bytes.",
                static_cast<int>(image.size() - kMaxImageSize));
    return false;
  }
  image.insert(image.end(), definitions.begin(), definitions.end());
  storeU16(image, 8, static_cast<std::uint32_t>(image.size() - 8));
  storeU16(image, 6, signatureOf(image, 8, image.size()));
  return static_cast<std::size_t>(c.diag.errorCount) == errorsBefore;
}

}  // namespace vk6
