#include "dump/dump_command.h"

#include <fstream>
#include <iterator>

#include "dump/image_reader.h"
#include "dump/report.h"

namespace vk6 {

int runDump(const std::vector<std::string>& args, const std::string& buildModel,
            std::ostream& out, std::ostream& err) {
  bool json = false;
  std::vector<std::string> files;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--json") {
      json = true;
    } else {
      files.push_back(args[i]);
    }
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
