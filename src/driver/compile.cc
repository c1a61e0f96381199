#include "driver/compile.h"

#include <cstdio>
#include <filesystem>

#include "core/text.h"
#include "driver/command_line.h"
#include "driver/help.h"
#include "format/byte_io.h"
#include "image/image_writer.h"
#include "vk6/compiler.h"

namespace vk6 {
namespace {

constexpr std::size_t kSourceBlockSize = 1024;

// Writes the run's texts to the results file and, where asked, to `out`;
// remembers any write that did not complete.
class ResultsWriter {
 public:
  ResultsWriter(std::FILE* file, TextOut& out) : file_(file), out_(out) {}
  void toFileOnly(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size())
      failed_ = true;
  }
  void toBoth(const std::string& text) {
    toFileOnly(text);
    out_ << text;
  }
  // Closes the file; false when anything could not be written.
  bool close() {
    if (std::fclose(file_) != 0) failed_ = true;
    return !failed_;
  }

 private:
  std::FILE* file_;
  TextOut& out_;
  bool failed_ = false;
};

bool sameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error) && !error;
}

bool isWriteProtected(const std::string& name) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status = fs::status(name, error);
  if (error || !fs::exists(status)) return false;
  const fs::perms writable =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  return (status.permissions() & writable) == fs::perms::none;
}

// Reads the whole program; false when it cannot be opened or read.
bool readSource(const std::string& path, std::string& bytes) {
  // Read through stdio: a stream reading a folder throws from inside the
  // library instead of failing.
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char block[kSourceBlockSize];
  std::size_t count = 0;
  while ((count = std::fread(block, 1, sizeof block, file)) != 0)
    bytes.append(block, count);
  const bool read = std::ferror(file) == 0;
  std::fclose(file);
  return read;
}

// Writes a whole file; false when it cannot be created or written.
bool writeWholeFile(const std::string& name, const void* data, std::size_t size) {
  std::FILE* file = std::fopen(name.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

// Writes the image beside the source through a temporary file, so a failed
// write never leaves a half-written image behind. A failure fails the
// compile, with the error among the compiler's own.
void saveImage(const std::string& sourcePath, CompileResult& result) {
  const std::string name = imageFileName(sourcePath);
  if (sameFile(name, sourcePath)) {
    result.addError(formatString(
        "Binary image file %s would overwrite the program file.", name.c_str()));
    return;
  }
  const std::string refused =
      formatString("Unable to create binary image file: %s", name.c_str());
  // The rename below would replace even a write-protected image, which
  // opening the image itself for writing would refuse.
  if (isWriteProtected(name)) {
    result.addError(refused);
    return;
  }
  const std::string temporary = name + ".tmp";
  const Bytes& image = result.image;
  const bool written = writeWholeFile(temporary, image.data(), image.size());
  std::error_code error;
  if (written) std::filesystem::rename(temporary, name, error);
  if (!written || error) {
    std::filesystem::remove(temporary, error);
    result.addError(refused);
  }
}

// A listing may not replace the program, its image or the results file.
bool safeOutputName(const CommandLine& line, const std::string& name) {
  const std::string& source = line.sourcePath;
  return !sameFile(name, source) && !sameFile(name, imageFileName(source)) &&
         !sameFile(name, line.resultsPath);
}

std::string versionBanner(const CommandLine& line, const BuildInfo& build) {
  return "\r\n" + line.invocationName + " VERSION:" + build.model +
         "  DATE:" + build.buildDate + "\r\n";
}

// The -l and -z outputs, placed beside the source. They never change the
// outcome of the compile.
void writeListings(const CommandLine& line, const CompileResult& result,
                   TextOut& out) {
  if (line.compile.listing) {
    const std::string name = placeBesideSource(line.sourcePath, line.listingName);
    const std::string& text = result.listing;
    if (!safeOutputName(line, name) || !writeWholeFile(name, text.data(), text.size()))
      out << "Unable to create listtdf file: " << name << "\r\n";
  }
  if (line.compile.definitionFile) {
    const std::string name =
        placeBesideSource(line.sourcePath, line.definitionFileName);
    const Bytes& bytes = result.definitionFile;
    if (!safeOutputName(line, name) || !writeWholeFile(name, bytes.data(), bytes.size()))
      out << "Unable to create list file: " << name << "\r\n";
  }
}

int finish(ResultsWriter& results, TextOut& out, const CommandLine& line,
           int code) {
  if (!results.close()) {
    out << "Unable to write file " << line.resultsPath << ".\n";
    return 1;
  }
  return code;
}

}  // namespace

int runProgram(const std::vector<std::string>& args, const BuildInfo& build,
               TextOut& out, TextOut& err) {
  CommandLine line;
  line.invocationName = args.empty() ? std::string() : args[0];
  const std::vector<std::string> words(args.empty() ? args.begin()
                                                    : args.begin() + 1,
                                       args.end());
  const CommandLineStatus status = parseCommandLine(words, line, out);
  // Asked for help, a user has asked for no results file.
  if (line.help || line.versionInfo) {
    out << (line.help ? usageText(line.invocationName, build)
                      : versionText(line.invocationName, build));
    return 0;
  }
  switch (status) {
    case CommandLineStatus::kOk:
      break;
    case CommandLineStatus::kTooManyFiles:
      err << "Too many file arguments: give the program file and at most "
             "a results file.\n";
      return 1;
    case CommandLineStatus::kMissingName:
      return 1;
  }
  // "wb" would empty the program before it is read.
  if (!line.sourcePath.empty() && sameFile(line.sourcePath, line.resultsPath)) {
    out << "Results file " << line.resultsPath
        << " is the program file; nothing was written.\n";
    return 1;
  }
  std::FILE* file = std::fopen(line.resultsPath.c_str(), "wb");
  if (file == nullptr) {
    out << "Unable to open file " << line.resultsPath << ".";
    return 1;
  }
  ResultsWriter results(file, out);
  if (line.version) {
    results.toFileOnly("[Version]");
    results.toBoth(versionBanner(line, build));
    if (line.versionOnly) return finish(results, out, line, 0);
  }

  std::string bytes;
  const bool readable = !line.sourcePath.empty() && readSource(line.sourcePath, bytes);
  // The results file shows the capped texts only: a program that draws a
  // million messages need not keep ten thousand of them as well.
  CompileOptions options = line.compile;
  options.diagnosticRecords = false;
  CompileResult result = compileProgram({bytes, line.sourcePath, readable}, build, options);
  if (result.outcome() == Outcome::kCompiled && !line.compile.noImage)
    saveImage(line.sourcePath, result);
  if (line.compile.memoryTrace) err << result.memoryTrace;

  if (result.outcome() == Outcome::kFailed) {
    results.toBoth(line.sourcePath + " -- Compile Failed!\r\n\n");
    results.toBoth(result.errorText);
    return finish(results, out, line, 1);
  }
  writeListings(line, result, out);
  results.toBoth(line.sourcePath + " -- Compiled OK.\r\n");
  if (result.warningCount != 0) results.toBoth(result.warningText);
  return finish(results, out, line, 0);
}

}  // namespace vk6
