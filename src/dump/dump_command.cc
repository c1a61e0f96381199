#include "dump/dump_command.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "core/options.h"
#include "core/text.h"
#include "dump/image_reader.h"
#include "dump/report.h"
#include "image/checksum.h"
#include "vk6/compiler.h"

namespace vk6 {
namespace {

constexpr const char* kUsageLine =
    "usage: vk6dump [--json] [--all] [--model MODEL] [--source PROG] image.bin\n";

std::string usageText(const std::string& program) {
  return "Usage: " + program + " [options] image.bin\n"
         "Prints a program image (.bin) of any VK6xx model field by field, decoding\n"
         "its code and expressions, then checks it and lists every problem found.\n"
         "\n"
         "Options:\n"
         "  --json          Print the same content as one JSON document.\n"
         "  --all           List the status table's fields and the stack code too.\n"
         "  --model MODEL   The image must be for MODEL (VK617Q or VK610Q).\n"
         "  --source PROG   Show each line of PROG, the program the image was\n"
         "                  compiled from, above the records compiled from it,\n"
         "                  and every variable by name.\n"
         "  --help          Display this information.\n"
         "  --version       Display the version and the models known.\n"
         "\n"
         "Exit status:\n"
         "  0               The image is sound (also after --help, --version).\n"
         "  1               The image has problems, is for another model than\n"
         "                  --model names, or PROG is not its source.\n"
         "  2               The file is not a program image or cannot be read, or\n"
         "                  the command line is wrong.\n"
         "\n"
         "See also 'man vk6dump' and 'man vk6comp'.\n";
}

std::string versionText(const std::string& program) {
  std::string models;
  for (const char* model : kModelStrings) models += std::string(models.empty() ? "" : ", ") + model;
  return program + " (vk6comp) " VK6_VERSION "\nModels: " + models + "\n";
}

std::optional<std::string> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct DumpRequest {
  bool json = false;
  bool all = false;
  bool help = false;
  bool version = false;
  std::string model;
  std::string source;
  std::vector<std::string> files;
};

// False when an option lacks its value.
bool parseArguments(const std::vector<std::string>& args, DumpRequest& request) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--json") {
      request.json = true;
    } else if (a == "--all") {
      request.all = true;
    } else if (a == "--help") {
      request.help = true;
    } else if (a == "--version") {
      request.version = true;
    } else if (a == "--model" || a == "--source") {
      if (++i == args.size()) return false;
      (a == "--model" ? request.model : request.source) = args[i];
    } else {
      request.files.push_back(a);
    }
  }
  return true;
}

// Compiles the source of `dump`'s image into a listing and the names of
// its variables; the exit code on failure, with its message on `err`.
std::optional<int> compileSource(const DumpRequest& request, const ImageDump& dump,
                                 SourceListing& listing, InspectOptions& inspect,
                                 std::ostream& err) {
  const std::optional<std::string> text = readFile(request.source);
  if (!text) {
    err << "vk6dump: cannot open " << request.source << "\n";
    return kDumpUsageError;
  }
  if (dump.modelName.empty()) {
    err << "vk6dump: " << request.files[0]
        << " is no image of a known model, so its source cannot be compiled\n";
    return 1;
  }
  const Identification& id = dump.identification;
  const std::uint16_t signature = textSignature(*text);
  if (signature != id.sourceSignature) {
    err << formatString("vk6dump: %s was built from another version of %s (source "
                        "signature 0x%04X in the image, 0x%04X of the file)\n",
                        request.files[0].c_str(), request.source.c_str(),
                        id.sourceSignature, signature);
    return 1;
  }
  CompileOptions options;
  options.noImage = true;
  options.recordLines = true;
  const CompileResult r =
      compileProgram({*text, request.source}, {id.model, id.buildDate}, options);
  if (r.outcome() != Outcome::kCompiled) {
    err << "vk6dump: " << request.source << " does not compile:\n" << r.errorText << "\n";
    return 1;
  }
  // An alias names its element before the variable does, as the source
  // does where it uses the alias.
  for (const AliasSymbol& a : r.symbols.aliases) inspect.variables.push_back({a.location, 1, a.name});
  for (const VariableSymbol& v : r.symbols.variables)
    inspect.variables.push_back({v.location, v.size, v.name});
  listing.lines = sourceLines(*text);
  for (const RecordLine& l : r.recordLines) {
    listing.recordOffsets.push_back(l.offset);
    listing.recordLines.push_back(l.line);
  }
  return std::nullopt;
}

}  // namespace

int runDump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  DumpRequest request;
  const bool complete = parseArguments(args, request);
  std::string program =
      args.empty() ? "" : std::filesystem::path(args[0]).filename().string();
  if (program.empty()) program = "vk6dump";
  if (complete && (request.help || request.version)) {
    out << (request.help ? usageText(program) : versionText(program));
    return 0;
  }
  if (!complete || request.files.size() != 1) {
    err << kUsageLine;
    return kDumpUsageError;
  }
  if (!request.model.empty() &&
      std::none_of(std::begin(kModelStrings), std::end(kModelStrings),
                   [&](const char* known) { return isModel(request.model, known); })) {
    err << "vk6dump: unknown model " << request.model << " (VK617Q or VK610Q)\n";
    return kDumpUsageError;
  }
  const std::optional<std::string> image = readFile(request.files[0]);
  if (!image) {
    err << "vk6dump: cannot open " << request.files[0] << "\n";
    return kDumpUsageError;
  }
  const ByteSpan bytes(reinterpret_cast<const std::uint8_t*>(image->data()), image->size());
  InspectOptions inspect;
  inspect.model = request.model;
  ImageDump dump = inspectImage(bytes, inspect);
  SourceListing listing;
  ReportOptions report;
  report.all = request.all;
  if (!request.source.empty()) {
    if (const std::optional<int> failed = compileSource(request, dump, listing, inspect, err))
      return *failed;
    dump = inspectImage(bytes, inspect);
    report.source = &listing;
  }
  out << (request.json ? reportJson(dump, report) : reportText(dump, report));
  return exitCodeOf(dump);
}

}  // namespace vk6
