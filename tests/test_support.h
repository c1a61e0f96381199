// Helpers shared by the tests: compile a program text in memory, spell
// bytes, make scratch folders, run the built programs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/compilation.h"
#include "format/byte_io.h"

namespace vk6 {
struct TableInfo;
}  // namespace vk6

namespace vk6::test {

// What a compile reported.
struct Reported {
  int errorCount = 0;
  int warningCount = 0;
  std::string errors;
  std::string warnings;
};

inline BuildInfo modelVK617Q() { return {"VK617Q.Std.03", "131104"}; }
inline BuildInfo modelVK610Q() { return {"VK610Q.Std.03", "131104"}; }

// Loads `source` as the program "prog.cr" of `c` without touching the disk.
inline void loadText(Compilation& c, std::string_view source) {
  c.pass1.source.path = "prog.cr";
  c.pass1.source.opened = true;
  c.pass1.source.bytes = source;
}

Reported compileText(const std::string& source,
                     const BuildInfo& build = modelVK617Q());

// A program compiled through the library, with the code records of its
// image (empty after a failed compile, when there is no image).
struct Compiled {
  std::string errors;
  std::string warnings;
  Bytes image;
  Bytes code;
};

// Compiles `declarations` (whole lines, each ending "\r\n"), then `body`
// in "BeginProg / Scan(1, Sec) ... NextScan / EndProg". The body's first
// line is the declarations' line count + 3.
Compiled compileInScan(const std::string& declarations, const std::string& body,
                       const BuildInfo& build = modelVK617Q());

// compileInScan with `statement` alone in the scan, on its own line.
Compiled compileStatement(const std::string& declarations, const std::string& statement,
                          const BuildInfo& build = modelVK617Q());

// The u16 at `offset` of `image`; 0 when there is no image.
std::uint16_t imageWord(const Bytes& image, std::size_t offset);

// The records of `body` from compileInScan: the code from the Scan(1, Sec)
// record on, without that record and the trailing NextScan record. Empty
// when the compile made no image.
Bytes scanBody(const Compiled& compiled);

// Compiles the whole program `source` through the library, with the code
// records of its image as compileInScan gives them.
Compiled compileSource(const std::string& source,
                       const BuildInfo& build = modelVK617Q());

// The tables of `image` as the inspector reads them, the status table
// first; none when there is no image.
std::vector<TableInfo> tablesOf(const Bytes& image);

// `record` with the bytes at the given offsets replaced: an expected record
// spelled as the one it differs from.
Bytes patched(Bytes record, std::initializer_list<std::pair<std::size_t, std::uint8_t>> bytes);

// A handler test case: one statement compiled alone in the scan after the
// declarations, the errors it draws and the records it compiles to (none
// after a failed compile, which makes no image).
struct StatementCase {
  const char* statement;
  const char* errors;
  Bytes records;
};
void expectStatements(const std::string& declarations,
                      std::span<const StatementCase> cases);

// A fresh empty folder under the system's temporary folder.
std::filesystem::path scratchFolder(const std::string& name);
std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& bytes);

struct ProgramRun {
  int exitCode;
  std::string out;
};

// Runs `binary` with `arguments` in `folder`, capturing standard output
// (standard error goes to stderr.txt there).
ProgramRun runIn(const std::filesystem::path& folder, const std::string& binary,
                 const std::string& arguments);

}  // namespace vk6::test
