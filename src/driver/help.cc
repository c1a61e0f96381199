#include "driver/help.h"

#include <filesystem>

namespace vk6 {
namespace {

std::string fileNameOf(const std::string& invocationName) {
  const std::string name =
      std::filesystem::path(invocationName).filename().string();
  return name.empty() ? "vk6comp" : name;
}

// "VK617Q.Std.03" names the logger "VK617Q".
std::string loggerOf(const BuildInfo& build) {
  return build.model.substr(0, build.model.find('.'));
}

}  // namespace

std::string usageText(const std::string& invocationName, const BuildInfo& build) {
  return "Usage: " + fileNameOf(invocationName) +
         " [options] program [results]\n"
         "Compiles a measurement program for the " + loggerOf(build) +
         " datalogger into the program\n"
         "image the logger loads, and reports every problem with its line number.\n"
         "\n"
         "Options:\n"
         "  -d             Write the version banner and stop without compiling.\n"
         "  -v             Write the version banner, then compile.\n"
         "  -n             Check the program image but do not write the .bin file.\n"
         "  -m             Trace tracked allocations on standard error.\n"
         "  -l <file>      After a successful compile, write the table-definition\n"
         "                 listing to <file>.\n"
         "  -z <file>      After a successful compile, write the table-definition\n"
         "                 file to <file>.\n"
         "  --help         Display this information.\n"
         "  --version      Display the version, model and build date.\n"
         "Letters combine (-vn). -l and -z take the rest of their word (-lout.txt)\n"
         "or the next word. Options end at the first word not beginning with '-'.\n"
         "\n"
         "Outputs:\n"
         "  results        The outcome, then the errors (\"line N: ...\") or the\n"
         "                 warnings; the same text is printed. Without a results\n"
         "                 argument it is vk6cmple.xxx in the current folder.\n"
         "  program.bin    The program image, named after the program with its\n"
         "                 extension replaced; written only after a successful\n"
         "                 compile.\n"
         "  -l, -z files   A relative name is taken from the program's folder.\n"
         "\n"
         "Exit status:\n"
         "  0              Compiled OK (also after -d, --help, --version).\n"
         "  1              The compile failed, the command line was refused, or\n"
         "                 the results file could not be written.\n"
         "\n"
         "The language reference is language.md in the documentation folder\n"
         "(share/doc/vk6comp/ where installed); see also 'man vk6comp'.\n";
}

std::string versionText(const std::string& invocationName, const BuildInfo& build) {
  return fileNameOf(invocationName) + " (vk6comp) " VK6_VERSION "\n" +
         "VERSION:" + build.model + "  DATE:" + build.buildDate + "\n";
}

}  // namespace vk6
