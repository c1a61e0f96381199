// Helpers of the image-inspector tests: the image the compiler writes for
// a program text, and the lines of one part of a report.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "format/byte_io.h"
#include "image/image_writer.h"
#include "test_support.h"
#include "vk6/compiler.h"
#include "vk6/passes.h"

namespace vk6::test {

// The image of `source` compiled as prog.cr (empty when the compile
// fails; its errors then go to the test's failure message).
inline Bytes compiledImage(const std::string& source) {
  vk6::CompileResult r = compileProgram({source, "prog.cr"}, modelVK617Q());
  EXPECT_EQ("", r.errorText) << source;
  return std::move(r.image);
}

// The image of `source` as the image writer builds it from the compiled
// code and expression area, without tables: the same bytes whatever the
// final allocation adds.
inline Bytes builtImage(const std::string& source) {
  Compilation c;
  c.options.build = modelVK617Q();
  loadText(c, source);
  runCompile(c);
  EXPECT_EQ("", c.diag.errorText) << source;
  ImageInputs none;
  Bytes image;
  EXPECT_TRUE(buildProgramImage(c, none, image));
  return image;
}

// The lines of `report` from the one that starts with `first` up to, not
// including, the one that starts with `last`.
inline std::string reportPart(const std::string& report, const std::string& first,
                              const std::string& last) {
  const std::size_t from = report.find("\n" + first);
  const std::size_t to = report.find("\n" + last, from + 1);
  if (from == std::string::npos || to == std::string::npos) return report;
  return report.substr(from + 1, to - from);
}

}  // namespace vk6::test
