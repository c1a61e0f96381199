#include "dump/report.h"

#include <nlohmann/json.hpp>

#include "core/text.h"
#include "dump/disassembler.h"
#include "format/record_layouts.h"

namespace vk6 {
namespace {

using Json = nlohmann::ordered_json;

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

// The status table's fields are the same in every image.
bool listsFields(std::size_t table, const ReportOptions& options) {
  return table != 0 || options.all;
}

// A record's decoded fields; the next-record offset, which the check
// covers, and fields the record does not use are left out.
std::string recordLine(const DecodedRecord& r) {
  if (r.layout == nullptr) return formatString("%04zX unknown (%u)", r.offset, r.opcode);
  std::string line = formatString("%04zX %s", r.offset, r.instruction);
  const char* separator = ": ";
  for (const DecodedField& f : r.fields) {
    const FieldKind kind = f.layout->kind;
    if (kind == FieldKind::kOpcode || kind == FieldKind::kNextOffset || f.unused)
      continue;
    line += separator;
    line += std::string(f.layout->name) + "=" + f.text;
    separator = "; ";
  }
  return line;
}

// The code, each record under the source lines up to its own.
std::string interleavedCode(const ImageDump& d, const SourceListing& s) {
  std::string out;
  std::size_t printed = 0;  // source lines shown so far
  auto showUpTo = [&](std::size_t line) {
    for (; printed < line && printed < s.lines.size(); ++printed)
      out += formatString("%4zu |", printed + 1) +
             (s.lines[printed].empty() ? "" : " " + utf8Text(s.lines[printed])) + "\n";
  };
  std::size_t next = 0;  // in s.recordOffsets
  for (const DecodedRecord& r : d.records) {
    while (next < s.recordOffsets.size() && s.recordOffsets[next] < r.offset) ++next;
    if (next < s.recordOffsets.size() && s.recordOffsets[next] == r.offset)
      showUpTo(static_cast<std::size_t>(s.recordLines[next]));
    out += "       " + recordLine(r) + "\n";
  }
  showUpTo(s.lines.size());
  return out;
}


}  // namespace

std::vector<std::string> sourceLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

std::string reportText(const ImageDump& d, const ReportOptions& options) {
  const std::string model = d.modelName.empty() ? "" : " for " + d.modelName;
  std::string out = formatString("Image of %zu bytes%s: %s\n", d.imageSize, model.c_str(),
                                 verdictName(d.verdict));
  if (!d.header.empty()) {
    out += "Header\n";
    for (const HeaderField& f : d.header)
      out += formatString("  %2zu %s: ", f.offset, f.name) + headerValue(f) + "\n";
    const Identification& id = d.identification;
    out += "Identification\n";
    out += "  model: " + utf8Text(id.model) + "\n";
    out += "  build date: " + utf8Text(id.buildDate) + "\n";
    out += "  program name: " + utf8Text(id.programName) + "\n";
    out += formatString("  source signature: 0x%04X\n", id.sourceSignature);
  }
  out += formatString("Tables: %zu\n", d.tables.size());
  for (std::size_t t = 0; t < d.tables.size(); ++t) {
    const TableInfo& table = d.tables[t];
    out += formatString("  %zu %s: interval %u s, offset %u s, record %u bytes, size %u "
                        "blocks, %u records per 512 bytes, flags 0x%02X, %zu fields",
                        t, utf8Text(table.name).c_str(), table.interval, table.offset,
                        table.recordSize, table.size, table.recordsPer512, table.flags,
                        table.fields.size());
    if (!listsFields(t, options)) {
      out += " (--all lists them)\n";
      continue;
    }
    out += "\n";
    for (std::size_t f = 0; f < table.fields.size(); ++f) {
      const TableField& field = table.fields[f];
      out += formatString("    %zu %s: type %u, byte offset %u, first index %u, count %u",
                          f, utf8Text(field.name).c_str(), field.dataType,
                          field.byteOffset, field.firstIndex, field.count);
      if (field.subDimension != 0)
        out += formatString(", sub-dimension %u", field.subDimension);
      out += ", units " + quotedText(field.units) + ", processing " +
             quotedText(field.processing) + "\n";
    }
  }
  out += formatString("Code: %zu bytes\n", d.codeSize);
  if (options.source != nullptr) {
    out += interleavedCode(d, *options.source);
  } else {
    for (const DecodedRecord& r : d.records) out += "  " + recordLine(r) + "\n";
  }
  out += formatString("Expression area: %zu bytes\n", d.areaSize);
  for (const Disassembly& e : d.expressions) {
    out += formatString("  @%04zX ", e.start) +
           (e.problem.empty() ? e.expression : "?") + "\n";
    if (!options.all) continue;
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

std::string reportJson(const ImageDump& d, const ReportOptions& options) {
  Json j;
  j["size"] = d.imageSize;
  j["verdict"] = verdictName(d.verdict);
  j["model"] = d.modelName;
  Json& header = j["header"] = Json::array();
  for (const HeaderField& f : d.header)
    header.push_back({{"name", f.name}, {"offset", f.offset}, {"value", f.value},
                      {"text", headerValue(f)}});
  const Identification& id = d.identification;
  j["identification"] = {{"model", utf8Text(id.model)},
                         {"buildDate", utf8Text(id.buildDate)},
                         {"programName", utf8Text(id.programName)},
                         {"sourceSignature", id.sourceSignature}};
  Json& tables = j["tables"] = Json::array();
  for (std::size_t t = 0; t < d.tables.size(); ++t) {
    const TableInfo& table = d.tables[t];
    Json fields = Json::array();
    for (const TableField& f : table.fields) {
      if (!listsFields(t, options)) break;
      fields.push_back({{"name", utf8Text(f.name)}, {"dataType", f.dataType},
                        {"byteOffset", f.byteOffset}, {"byteSize", f.byteSize},
                        {"firstIndex", f.firstIndex}, {"count", f.count},
                        {"subDimension", f.subDimension}, {"units", utf8Text(f.units)},
                        {"processing", utf8Text(f.processing)}});
    }
    tables.push_back({{"name", utf8Text(table.name)}, {"interval", table.interval},
                      {"offset", table.offset}, {"recordSize", table.recordSize},
                      {"size", table.size}, {"recordsPer512", table.recordsPer512},
                      {"flags", table.flags}, {"fieldCount", table.fields.size()},
                      {"fields", fields}});
  }
  Json records = Json::array();
  std::size_t next = 0;
  for (const DecodedRecord& r : d.records) {
    Json fields = Json::array();
    for (const DecodedField& f : r.fields)
      fields.push_back({{"name", f.layout->name}, {"kind", fieldKindName(f.layout->kind)},
                        {"offset", f.layout->offset}, {"width", f.layout->width},
                        {"value", f.value}, {"text", f.text}, {"unused", f.unused}});
    Json record = {{"offset", r.offset}, {"opcode", r.opcode},
                   {"name", r.layout ? r.layout->name : "unknown"},
                   {"instruction", r.instruction}};
    if (const SourceListing* s = options.source) {
      while (next < s->recordOffsets.size() && s->recordOffsets[next] < r.offset) ++next;
      const bool known = next < s->recordOffsets.size() && s->recordOffsets[next] == r.offset;
      record["line"] = known ? s->recordLines[next] : 0;
    }
    record["fields"] = std::move(fields);
    records.push_back(std::move(record));
  }
  j["code"] = {{"size", d.codeSize}, {"records", std::move(records)}};
  if (const SourceListing* s = options.source) {
    Json lines = Json::array();
    for (const std::string& line : s->lines) lines.push_back(utf8Text(line));
    j["source"] = std::move(lines);
  }
  Json expressions = Json::array();
  for (const Disassembly& e : d.expressions) {
    Json code = Json::array();
    for (const StackInstruction& i : e.code)
      code.push_back({{"offset", i.offset}, {"opcode", i.opcode}, {"text", i.text}});
    expressions.push_back({{"offset", e.start}, {"text", e.expression},
                           {"problem", e.problem}, {"code", std::move(code)}});
  }
  j["expressionArea"] = {{"size", d.areaSize}, {"expressions", std::move(expressions)}};
  j["problems"] = d.problems;
  // Texts from the image are made valid UTF-8 above; replacing what might
  // still slip through keeps any bytes printable.
  return j.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace vk6
