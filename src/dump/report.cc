#include "dump/report.h"

#include "core/text.h"
#include "dump/disassembler.h"
#include "format/record_layouts.h"

namespace vk6 {
namespace {

const char* verdictName(ImageVerdict v) {
  switch (v) {
    case ImageVerdict::kSound: return "sound";
    case ImageVerdict::kFaulty: return "faulty";
    case ImageVerdict::kNotAnImage: return "not an image";
  }
  return "?";
}

std::string headerValue(const HeaderField& f) {
  switch (f.style) {
    case ValueStyle::kHex:
      return formatString(f.width == 4 ? "0x%08X" : "0x%04X", f.value);
    case ValueStyle::kCodeOffset:
      return formatString("%04X", f.value);
    case ValueStyle::kDecimal:
      break;
  }
  return std::to_string(f.value);
}

std::string quote(const std::string& text) {
  std::string out = "\"";
  for (char ch : text) {
    const auto b = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (b < 0x20 || b >= 0x7F) {
      out += formatString("\\u%04X", b);
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string recordLine(const DecodedRecord& r) {
  if (r.layout == nullptr)
    return formatString("  %04zX unknown (%u)", r.offset, r.opcode);
  std::string line = formatString("  %04zX %s (%u)", r.offset, r.layout->name, r.opcode);
  const char* separator = ": ";
  for (const DecodedField& f : r.fields) {
    if (f.layout->kind == FieldKind::kOpcode) continue;
    line += separator;
    line += std::string(f.layout->name) + "=" + f.text;
    separator = "; ";
  }
  return line;
}

// A small writer of one JSON document; keys and values are appended in
// order, commas placed as needed.
class Json {
 public:
  Json& open(const char* key, char bracket) {
    comma();
    if (key) out_ += quote(key) + ":";
    out_ += bracket;
    first_ = true;
    return *this;
  }
  Json& close(char bracket) {
    out_ += bracket;
    first_ = false;
    return *this;
  }
  Json& text(const char* key, const std::string& value) {
    return raw(key, quote(value));
  }
  Json& number(const char* key, std::uint64_t value) {
    return raw(key, std::to_string(value));
  }
  Json& boolean(const char* key, bool value) { return raw(key, value ? "true" : "false"); }
  std::string str() const { return out_ + "\n"; }

 private:
  void comma() {
    if (!first_) out_ += ",";
    first_ = false;
  }
  Json& raw(const char* key, const std::string& value) {
    comma();
    if (key) out_ += quote(key) + ":";
    out_ += value;
    return *this;
  }
  std::string out_;
  bool first_ = true;
};

}  // namespace

std::string reportText(const ImageDump& d) {
  std::string out = formatString("Image of %zu bytes: %s\n", d.imageSize,
                               verdictName(d.verdict));
  if (!d.header.empty()) {
    out += "Header\n";
    for (const HeaderField& f : d.header)
      out += formatString("  %2zu %s: ", f.offset, f.name) + headerValue(f) + "\n";
  }
  if (!d.identification.model.empty() || !d.header.empty()) {
    const Identification& id = d.identification;
    out += "Identification\n";
    out += "  model: " + id.model +
           (id.modelMatches ? " (matches this build)\n"
                            : " (this build is " + d.buildModel + ")\n");
    out += "  build date: " + id.buildDate + "\n";
    out += "  program name: " + id.programName + "\n";
    out += formatString("  source signature: 0x%04X\n", id.sourceSignature);
  }
  out += formatString("Tables: %zu\n", d.tables.size());
  for (std::size_t t = 0; t < d.tables.size(); ++t) {
    const TableInfo& table = d.tables[t];
    out += formatString("  %zu %s: interval %u s, offset %u s, record %u bytes, size %u "
                      "blocks, %u records per 512 bytes, flags 0x%02X, %zu fields\n",
                      t, table.name.c_str(), table.interval, table.offset,
                      table.recordSize, table.size, table.recordsPer512, table.flags,
                      table.fields.size());
    for (std::size_t f = 0; f < table.fields.size(); ++f) {
      const TableField& field = table.fields[f];
      out += formatString("    %zu %s: type %u, byte offset %u, first index %u, count %u",
                        f, field.name.c_str(), field.dataType, field.byteOffset,
                        field.firstIndex, field.count);
      if (field.subDimension != 0)
        out += formatString(", sub-dimension %u", field.subDimension);
      out += ", units " + quote(field.units) + ", processing " +
             quote(field.processing) + "\n";
    }
  }
  out += formatString("Code: %zu bytes\n", d.codeSize);
  for (const DecodedRecord& r : d.records) out += recordLine(r) + "\n";
  out += formatString("Expression area: %zu bytes\n", d.areaSize);
  for (const Disassembly& e : d.expressions) {
    out += formatString("  @%04zX ", e.start) +
           (e.problem.empty() ? e.expression : "?") + "\n";
    for (const StackInstruction& i : e.code)
      out += formatString("    @%04zX %2u %s\n", i.offset, i.opcode, i.text.c_str());
  }
  if (d.problems.empty()) {
    out += "Problems: none\n";
  } else {
    out += formatString("Problems: %zu\n", d.problems.size());
    for (const std::string& p : d.problems) out += "  " + p + "\n";
  }
  return out;
}

std::string reportJson(const ImageDump& d) {
  Json j;
  j.open(nullptr, '{');
  j.number("size", d.imageSize).text("verdict", verdictName(d.verdict));
  j.open("header", '[');
  for (const HeaderField& f : d.header) {
    j.open(nullptr, '{').text("name", f.name).number("offset", f.offset);
    j.number("value", f.value).text("text", headerValue(f)).close('}');
  }
  j.close(']');
  const Identification& id = d.identification;
  j.open("identification", '{').text("model", id.model);
  j.boolean("modelMatches", id.modelMatches).text("buildModel", d.buildModel);
  j.text("buildDate", id.buildDate).text("programName", id.programName);
  j.number("sourceSignature", id.sourceSignature).close('}');
  j.open("tables", '[');
  for (const TableInfo& t : d.tables) {
    j.open(nullptr, '{').text("name", t.name).number("interval", t.interval);
    j.number("offset", t.offset).number("recordSize", t.recordSize);
    j.number("size", t.size).number("recordsPer512", t.recordsPer512);
    j.number("flags", t.flags).open("fields", '[');
    for (const TableField& f : t.fields) {
      j.open(nullptr, '{').text("name", f.name).number("dataType", f.dataType);
      j.number("byteOffset", f.byteOffset).number("byteSize", f.byteSize);
      j.number("firstIndex", f.firstIndex).number("count", f.count);
      j.number("subDimension", f.subDimension).text("units", f.units);
      j.text("processing", f.processing).close('}');
    }
    j.close(']').close('}');
  }
  j.close(']');
  j.open("code", '{').number("size", d.codeSize).open("records", '[');
  for (const DecodedRecord& r : d.records) {
    j.open(nullptr, '{').number("offset", r.offset).number("opcode", r.opcode);
    j.text("name", r.layout ? r.layout->name : "unknown").open("fields", '[');
    for (const DecodedField& f : r.fields) {
      j.open(nullptr, '{').text("name", f.layout->name);
      j.text("kind", fieldKindName(f.layout->kind)).number("offset", f.layout->offset);
      j.number("width", f.layout->width).number("value", f.value);
      j.text("text", f.text).close('}');
    }
    j.close(']').close('}');
  }
  j.close(']').close('}');
  j.open("expressionArea", '{').number("size", d.areaSize).open("expressions", '[');
  for (const Disassembly& e : d.expressions) {
    j.open(nullptr, '{').number("offset", e.start).text("text", e.expression);
    j.text("problem", e.problem).open("code", '[');
    for (const StackInstruction& i : e.code) {
      j.open(nullptr, '{').number("offset", i.offset).number("opcode", i.opcode);
      j.text("text", i.text).close('}');
    }
    j.close(']').close('}');
  }
  j.close(']').close('}');
  j.open("problems", '[');
  for (const std::string& p : d.problems) j.text(nullptr, p);
  j.close(']');
  j.close('}');
  return j.str();
}

}  // namespace vk6
