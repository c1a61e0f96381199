#include "test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "dump/image_reader.h"
#include "format/image_format.h"
#include "format/record_format.h"
#include "vk6/compiler.h"

namespace vk6::test {

Reported compileText(const std::string& source, const BuildInfo& build) {
  CompileOptions options;
  options.noImage = true;
  const vk6::CompileResult r = compileProgram({source, "prog.cr"}, build, options);
  return {r.errorCount, r.warningCount, r.errorText, r.warningText};
}

Compiled compileInScan(const std::string& declarations, const std::string& body,
                       const BuildInfo& build) {
  return compileSource(declarations + "BeginProg\r\n  Scan(1, Sec)\r\n" + body +
                           "  NextScan\r\nEndProg\r\n",
                       build);
}

Compiled compileStatement(const std::string& declarations, const std::string& statement,
                          const BuildInfo& build) {
  return compileInScan(declarations, "    " + statement + "\r\n", build);
}

std::uint16_t imageWord(const Bytes& image, std::size_t offset) {
  return image.size() < kProgramHeaderSize ? 0 : loadU16(image.data() + offset);
}

Bytes scanBody(const Compiled& compiled) {
  const Bytes& code = compiled.code;
  if (code.empty()) return {};
  // Data tables compile before the Scan record; the header says where it is.
  const std::size_t begin = imageWord(compiled.image, program_header::kScan) +
                            recordLength(kRecordScan);
  const std::size_t end = code.size() - recordLength(kRecordNextScan);
  if (begin > end) return {};
  return Bytes(code.begin() + static_cast<std::ptrdiff_t>(begin),
               code.begin() + static_cast<std::ptrdiff_t>(end));
}

Compiled compileSource(const std::string& source, const BuildInfo& build) {
  const CompileResult r = compileProgram({source, "prog.cr"}, build);
  Compiled out{r.errorText, r.warningText, r.image, {}};
  if (r.image.size() < kProgramHeaderSize) return out;
  namespace ph = program_header;
  const std::uint8_t* image = r.image.data();
  out.code.assign(image + loadU16(image + ph::kCodeOffset),
                  image + loadU16(image + ph::kAreaOffset));
  return out;
}

std::vector<TableInfo> tablesOf(const Bytes& image) {
  if (image.empty()) return {};
  return inspectImage(image).tables;
}

Bytes patched(Bytes record, std::initializer_list<std::pair<std::size_t, std::uint8_t>> bytes) {
  for (const auto& [offset, value] : bytes) record[offset] = value;
  return record;
}

void expectStatements(const std::string& declarations,
                      std::span<const StatementCase> cases) {
  for (const StatementCase& t : cases) {
    const Compiled c = compileStatement(declarations, t.statement);
    EXPECT_EQ(t.errors, c.errors) << t.statement;
    EXPECT_EQ(t.records, scanBody(c)) << t.statement;
  }
}

std::filesystem::path scratchFolder(const std::string& name) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("vk6comp_test_" + name + "_" + std::to_string(getpid()));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in),
                     std::istreambuf_iterator<char>());
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

ProgramRun runIn(const std::filesystem::path& folder, const std::string& binary,
                 const std::string& arguments) {
  const std::string command = "cd '" + folder.string() + "' && '" + binary +
                              "' " + arguments + " >stdout.txt 2>stderr.txt";
  const int status = std::system(command.c_str());
  return {WEXITSTATUS(status), readFile(folder / "stdout.txt")};
}

}  // namespace vk6::test
