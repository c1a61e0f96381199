#include "fmt/format_command.h"

#include <cstdio>
#include <filesystem>
#include <iterator>

#include "vk6/formatter.h"

namespace vk6 {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxTabSize = 16;
constexpr std::size_t kReadBlockSize = 4096;
// Attempts at a free name for the temporary file of an in-place write.
constexpr int kTemporaryNames = 100;

enum class Mode { kPrint, kCheck, kInPlace };

struct Request {
  Mode mode = Mode::kPrint;
  FormatOptions options;
  std::vector<std::string> files;
  bool help = false;
  bool version = false;
};

const char kUsage[] =
    "Usage: vk6fmt [--check | -i] [--tab-size N] [--tabs] file...\n"
    "Lays measurement programs out: indentation by block, keywords in their\n"
    "usual spelling, no trailing blanks. Comments, strings and line ends stay\n"
    "as they are, and a program compiles to the same image as before. A\n"
    "program that does not compile only has its indentation mended. The\n"
    "file - is standard input.\n"
    "\n"
    "Options:\n"
    "  (none)           Print the formatted programs on standard output.\n"
    "  --check          Print the names of the files formatting would change;\n"
    "                   change nothing.\n"
    "  -i, --in-place   Rewrite the files formatting changes.\n"
    "  --tab-size N     Indent by N blanks a level (1 to 16, default 2).\n"
    "  --tabs           Indent by one tab a level.\n"
    "  --help           Display this information.\n"
    "  --version        Display the version.\n"
    "\n"
    "Exit status:\n"
    "  0                Done (with --check: no file would change).\n"
    "  1                With --check: some file would change.\n"
    "  2                The command line is wrong, or a file could not be read\n"
    "                   or written; such a file is left as it was.\n"
    "\n"
    "See also 'man vk6fmt'.\n";

bool parseTabSize(const std::string& text, int& size) {
  if (text.empty() || text.size() > 2) return false;
  size = 0;
  for (char ch : text) {
    if (ch < '0' || ch > '9') return false;
    size = size * 10 + (ch - '0');
  }
  return size >= 1 && size <= kMaxTabSize;
}

// Reads the command line into `r`; an empty text, or what is wrong.
std::string parseArguments(const std::vector<std::string>& args, Request& r) {
  bool check = false;
  bool inPlace = false;
  bool filesOnly = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (filesOnly || a == "-" || a.empty() || a[0] != '-') {
      r.files.push_back(a);
    } else if (a == "--") {
      filesOnly = true;
    } else if (a == "--check") {
      check = true;
    } else if (a == "-i" || a == "--in-place") {
      inPlace = true;
    } else if (a == "--tabs") {
      r.options.insertSpaces = false;
    } else if (a == "--tab-size" || a.starts_with("--tab-size=")) {
      std::string value;
      if (a != "--tab-size") {
        value = a.substr(a.find('=') + 1);
      } else if (i + 1 < args.size()) {
        value = args[++i];
      }
      if (!parseTabSize(value, r.options.tabSize))
        return "--tab-size needs a whole number from 1 to 16";
    } else if (a == "--help") {
      r.help = true;
    } else if (a == "--version") {
      r.version = true;
    } else {
      return "unknown option " + a;
    }
  }
  if (r.help || r.version) return "";
  if (check && inPlace) return "--check and --in-place exclude each other";
  if (r.files.empty()) return "no file named";
  r.mode = check ? Mode::kCheck : inPlace ? Mode::kInPlace : Mode::kPrint;
  for (const std::string& file : r.files) {
    if (file == "-" && r.mode == Mode::kInPlace)
      return "standard input cannot be rewritten in place";
  }
  return "";
}

// Reads a whole file through stdio, which fails on a folder where a
// stream would throw; false when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char block[kReadBlockSize];
  std::size_t count = 0;
  while ((count = std::fread(block, 1, sizeof block, file)) != 0) bytes.append(block, count);
  const bool read = std::ferror(file) == 0;
  std::fclose(file);
  return read;
}

// A name beside `target` that no file has yet.
fs::path freeTemporaryName(const fs::path& target) {
  for (int n = 0; n < kTemporaryNames; ++n) {
    fs::path name = target;
    name += ".vk6fmt" + std::to_string(n) + ".tmp";
    std::error_code error;
    if (fs::symlink_status(name, error).type() == fs::file_type::not_found) return name;
  }
  return {};
}

// Replaces the file at `path` by `text`: a temporary file in the same
// folder, given the file's permissions, then renamed over it; on any
// failure the file stays as it was. A link is followed to its file.
std::string replaceFile(const std::string& path, const std::string& text) {
  std::error_code error;
  const fs::path target = fs::canonical(path, error);
  if (error) return error.message();
  const fs::perms perms = fs::status(target, error).permissions();
  if (error) return error.message();
  // The rename would replace even a file its owner protected from writing.
  const fs::perms writable = fs::perms::owner_write | fs::perms::group_write |
                             fs::perms::others_write;
  if ((perms & writable) == fs::perms::none) return "the file is write-protected";
  const fs::path temporary = freeTemporaryName(target);
  if (temporary.empty()) return "no free name for a temporary file";
  std::FILE* file = std::fopen(temporary.string().c_str(), "wb");
  if (file == nullptr) return "cannot create " + temporary.string();
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (std::fclose(file) == 0 && written) {
    fs::permissions(temporary, perms, error);
    if (!error) fs::rename(temporary, target, error);
    if (!error) return "";
  }
  const std::string why = error ? error.message() : "cannot write " + temporary.string();
  fs::remove(temporary, error);
  return why;
}

}  // namespace

int runFormatter(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                 std::ostream& err) {
  Request r;
  const std::string wrong = parseArguments(args, r);
  if (!wrong.empty()) {
    err << "vk6fmt: " << wrong << "\n"
        << "usage: vk6fmt [--check | -i] [--tab-size N] [--tabs] file...\n";
    return kFormatUsageError;
  }
  if (r.help || r.version) {
    out << (r.help ? kUsage : "vk6fmt (vk6comp) " VK6_VERSION "\n");
    return 0;
  }
  int code = 0;
  for (const std::string& file : r.files) {
    std::string text;
    if (file == "-") {
      text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } else if (!readWholeFile(file, text)) {
      err << "vk6fmt: cannot read " << file << "\n";
      code = kFormatUsageError;
      continue;
    }
    const std::string formatted = formatProgram(text, r.options);
    if (r.mode == Mode::kPrint) {
      out << formatted;
    } else if (formatted == text) {
      continue;
    } else if (r.mode == Mode::kCheck) {
      out << file << "\n";
      if (code == 0) code = kFormatChanges;
    } else if (const std::string why = replaceFile(file, formatted); !why.empty()) {
      err << "vk6fmt: cannot rewrite " << file << ": " << why << "\n";
      code = kFormatUsageError;
    }
  }
  return code;
}

}  // namespace vk6
