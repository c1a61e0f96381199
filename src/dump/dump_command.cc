#include "dump/dump_command.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "dump/image_reader.h"
#include "dump/report.h"

namespace vk6 {
namespace {

std::string usageText(const std::string& program, const std::string& model) {
  return "Usage: " + program + " [--json] image.bin\n"
         "Prints a " + model.substr(0, model.find('.')) +
         " program image (.bin) field by field, decoding its code and\n"
         "expressions, then checks it and lists every problem found.\n"
         "\n"
         "Options:\n"
         "  --json         Print the same content as one JSON document.\n"
         "  --help         Display this information.\n"
         "  --version      Display the version and model.\n"
         "\n"
         "Exit status:\n"
         "  0              The image is sound (also after --help, --version).\n"
         "  1              The image has problems.\n"
         "  2              The file is not a program image or cannot be read, or\n"
         "                 the command line is wrong.\n"
         "\n"
         "See also 'man vk6dump' and 'man vk6comp'.\n";
}

}  // namespace

int runDump(const std::vector<std::string>& args, const std::string& buildModel,
            std::ostream& out, std::ostream& err) {
  bool json = false;
  bool help = false;
  bool version = false;
  std::vector<std::string> files;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--json") {
      json = true;
    } else if (args[i] == "--help") {
      help = true;
    } else if (args[i] == "--version") {
      version = true;
    } else {
      files.push_back(args[i]);
    }
  }
  std::string program =
      args.empty() ? "" : std::filesystem::path(args[0]).filename().string();
  if (program.empty()) program = "vk6dump";
  if (help || version) {
    out << (help ? usageText(program, buildModel)
                 : program + " (vk6comp) " VK6_VERSION "\nModel: " + buildModel + "\n");
    return 0;
  }
  if (files.size() != 1) {
    err << "usage: vk6dump [--json] image.bin\n";
    return kDumpUsageError;
  }
  std::ifstream in(files[0], std::ios::binary);
  if (!in) {
    err << "vk6dump: cannot open " << files[0] << "\n";
    return kDumpUsageError;
  }
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
  const ImageDump dump = inspectImage(bytes, buildModel);
  out << (json ? reportJson(dump) : reportText(dump));
  return exitCodeOf(dump);
}

}  // namespace vk6
