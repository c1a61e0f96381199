#include "driver/compile.h"

#include <cstdio>
#include <filesystem>

#include "driver/command_line.h"
#include "core/compilation.h"
#include "image/image_inputs.h"
#include "image/image_writer.h"
#include "vk6/passes.h"

namespace vk6 {
namespace {

constexpr std::size_t kSourceBlockSize = 1024;

// Writes the run's texts to the results file and, where asked, to `out`;
// remembers any write that did not complete.
class ResultsWriter {
 public:
  ResultsWriter(std::FILE* file, std::ostream& out) : file_(file), out_(out) {}
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
  std::ostream& out_;
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

// Writes the image beside the source through a temporary file, so a failed
// write never leaves a half-written image behind.
void saveImage(Compilation& c, const Bytes& image) {
  const std::string name = imageFileName(c.pass1.source.path);
  if (sameFile(name, c.pass1.source.path)) {
    reportError(c, "Binary image file %s would overwrite the program file.",
                name.c_str());
    return;
  }
  // The rename below would replace even a write-protected image, which
  // opening the image itself for writing would refuse.
  if (isWriteProtected(name)) {
    reportError(c, "Unable to create binary image file: %s", name.c_str());
    return;
  }
  const std::string temporary = name + ".tmp";
  std::FILE* file = std::fopen(temporary.c_str(), "w+b");
  if (file == nullptr) {
    reportError(c, "Unable to create binary image file: %s", name.c_str());
    return;
  }
  const bool written =
      std::fwrite(image.data(), 1, image.size(), file) == image.size();
  const bool closed = std::fclose(file) == 0;
  std::error_code error;
  if (written && closed) std::filesystem::rename(temporary, name, error);
  if (!written || !closed || error) {
    std::filesystem::remove(temporary, error);
    reportError(c, "Unable to create binary image file: %s", name.c_str());
  }
}

// A listing may not replace the program, its image or the results file.
bool safeOutputName(const Compilation& c, const std::string& name) {
  const std::string& source = c.pass1.source.path;
  return !sameFile(name, source) && !sameFile(name, imageFileName(source)) &&
         !sameFile(name, c.options.resultsPath);
}

std::string versionBanner(const Options& options) {
  return "\r\n" + options.invocationName + " VERSION:" +
         options.build.model + "  DATE:" + options.build.buildDate + "\r\n";
}

// Writes a whole file; false when it cannot be created or written.
bool writeWholeFile(const std::string& name, const std::string& bytes) {
  std::FILE* file = std::fopen(name.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

// The -l and -z outputs, placed beside the source. They never change the
// outcome of the compile.
void writeListings(const Compilation& c, std::ostream& out) {
  const Options& options = c.options;
  if (options.listing) {
    const std::string name = placeBesideSource(options.sourcePath, options.listingName);
    if (!safeOutputName(c, name) ||
        !writeWholeFile(name, tableListingText(collectListingTables(c))))
      out << "Unable to create listtdf file: " << name << "\r\n";
  }
  if (options.definitionFile) {
    const std::string name =
        placeBesideSource(options.sourcePath, options.definitionFileName);
    const Bytes bytes = definitionFileBytes(c.tables.definitions);
    if (!safeOutputName(c, name) ||
        !writeWholeFile(name, std::string(bytes.begin(), bytes.end())))
      out << "Unable to create list file: " << name << "\r\n";
  }
}

int finish(ResultsWriter& results, std::ostream& out, const Options& options,
           int code) {
  if (!results.close()) {
    out << "Unable to write file " << options.resultsPath << ".\n";
    return 1;
  }
  return code;
}

}  // namespace

void loadSource(Compilation& c) {
  SourceText& source = c.pass1.source;
  source.path = c.options.sourcePath;
  if (source.path.empty()) return;
  // Read through stdio: a stream reading a folder throws from inside the
  // library instead of failing.
  std::FILE* file = std::fopen(source.path.c_str(), "rb");
  if (file == nullptr) return;
  char block[kSourceBlockSize];
  std::size_t count = 0;
  while ((count = std::fread(block, 1, sizeof block, file)) != 0)
    source.bytes.append(block, count);
  source.opened = std::ferror(file) == 0;
  if (!source.opened) source.bytes.clear();
  std::fclose(file);
}

int runProgram(const std::vector<std::string>& args, const BuildInfo& build,
               std::ostream& out, std::ostream& err) {
  Compilation c;
  c.options.build = build;
  c.options.invocationName = args.empty() ? std::string() : args[0];
  const std::vector<std::string> words(args.empty() ? args.begin()
                                                    : args.begin() + 1,
                                       args.end());
  switch (parseCommandLine(words, c.options, out)) {
    case CommandLineStatus::kOk:
      break;
    case CommandLineStatus::kTooManyFiles:
      err << "Too many file arguments: give the program file and at most "
             "a results file.\n";
      return 1;
    case CommandLineStatus::kMissingName:
      return 1;
  }
  const Options& options = c.options;
  // "wb" would empty the program before it is read.
  if (!options.sourcePath.empty() &&
      sameFile(options.sourcePath, options.resultsPath)) {
    out << "Results file " << options.resultsPath
        << " is the program file; nothing was written.\n";
    return 1;
  }
  std::FILE* file = std::fopen(options.resultsPath.c_str(), "wb");
  if (file == nullptr) {
    out << "Unable to open file " << options.resultsPath << ".";
    return 1;
  }
  ResultsWriter results(file, out);
  if (options.version) {
    results.toFileOnly("[Version]");
    results.toBoth(versionBanner(options));
    if (options.versionOnly) return finish(results, out, options, 0);
  }

  loadSource(c);
  c.diag.traceOn = options.memoryTrace;
  runCompile(c);
  if (c.diag.errorCount == 0 && !options.noImage) saveImage(c, c.image);
  if (options.memoryTrace) err << c.diag.memoryTrace;

  const Diagnostics& d = c.diag;
  if (d.errorCount != 0) {
    results.toBoth(options.sourcePath + " -- Compile Failed!\r\n\n");
    results.toBoth(d.errorText);
    return finish(results, out, options, 1);
  }
  writeListings(c, out);
  results.toBoth(options.sourcePath + " -- Compiled OK.\r\n");
  if (d.warningCount != 0) results.toBoth(d.warningText);
  return finish(results, out, options, 0);
}

}  // namespace vk6
