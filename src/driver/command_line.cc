#include "driver/command_line.h"

namespace vk6 {
namespace {

constexpr int kMaxFileArguments = 2;

}  // namespace

CommandLineStatus parseCommandLine(const std::vector<std::string>& words,
                                   CommandLine& line, TextOut& out) {
  std::size_t w = 0;
  for (; w < words.size() && !words[w].empty() && words[w][0] == '-'; ++w) {
    const std::string& word = words[w];
    // Only the whole words: "--hello" keeps its letters' old meanings.
    if (word == "--help") {
      line.help = true;
      continue;
    }
    if (word == "--version") {
      line.versionInfo = true;
      continue;
    }
    for (std::size_t i = 1; i < word.size(); ++i) {
      const char letter = word[i];
      if (letter == 'l' || letter == 'z') {
        std::string name;
        if (i + 1 < word.size()) {
          name = word.substr(i + 1);
        } else if (w + 1 < words.size()) {
          name = words[++w];
        } else {
          out << "Option -" << letter << " needs a file name.\n";
          return CommandLineStatus::kMissingName;
        }
        if (letter == 'l') {
          line.compile.listing = true;
          line.listingName = name;
        } else {
          line.compile.definitionFile = true;
          line.definitionFileName = name;
        }
        break;
      }
      switch (letter) {
        case 'd':
          line.version = line.versionOnly = true;
          break;
        case 'v':
          line.version = true;
          break;
        case 'm':
          line.compile.memoryTrace = true;
          break;
        case 'n':
          line.compile.noImage = true;
          break;
        default:
          out << "illegal option!\n";
          break;
      }
    }
  }
  const std::size_t files = words.size() - w;
  if (files > kMaxFileArguments) return CommandLineStatus::kTooManyFiles;
  if (files >= 1) line.sourcePath = words[w];
  if (files == 2) line.resultsPath = words[w + 1];
  return CommandLineStatus::kOk;
}

std::string placeBesideSource(const std::string& sourcePath,
                              const std::string& name) {
  const bool absolute = !name.empty() && (name[0] == '/' || name[0] == '\\');
  if (absolute || name.find(':') != std::string::npos) return name;
  std::size_t cut = sourcePath.rfind('\\');
  if (cut == std::string::npos) cut = sourcePath.rfind('/');
  if (cut == std::string::npos) cut = sourcePath.rfind(':');
  if (cut == std::string::npos) return name;
  return sourcePath.substr(0, cut + 1) + name;
}

}  // namespace vk6
