// Generated programs: each seed's program compiles cleanly on both models
// to an image the inspector finds sound, and its varied spelling compiles
// to the same image but for the signatures over the source and the image.
#include <gtest/gtest.h>

#include <algorithm>

#include "dump/image_reader.h"
#include "program_generator.h"
#include "test_support.h"
#include "vk6/compiler.h"

namespace vk6 {
namespace {

constexpr std::uint32_t kPrograms = 500;
constexpr std::size_t kImageSignatureAt = 6;
constexpr std::size_t kSignatureSize = 2;
// The identification block starts with the model string and ends with the
// source signature.
constexpr std::size_t kSourceSignatureInBlock = 106;

struct Compiled {
  std::string errors;
  Bytes image;
};

Compiled compileWith(const std::string& source, const BuildInfo& build) {
  CompileResult r = compileProgram({source, "prog.cr"}, build);
  return {std::move(r.errorText), std::move(r.image)};
}

std::string problemsOf(const Bytes& image, const std::string& model) {
  const ImageDump dump = inspectImage(image, {.model = model});
  std::string out = dump.verdict == ImageVerdict::kSound ? "" : "not sound\n";
  for (const std::string& p : dump.problems) out += p + "\n";
  return out;
}

// `image` with both signatures zeroed.
Bytes withoutSignatures(Bytes image, const std::string& model) {
  std::fill_n(image.begin() + kImageSignatureAt, kSignatureSize, 0);
  const auto block = std::search(image.begin(), image.end(), model.begin(), model.end());
  if (block != image.end() &&
      static_cast<std::size_t>(image.end() - block) >= kSourceSignatureInBlock + kSignatureSize)
    std::fill_n(block + kSourceSignatureInBlock, kSignatureSize, 0);
  return image;
}

TEST(GeneratedPrograms, SeedGivesOneProgram) {
  EXPECT_EQ(test::generateProgram(7), test::generateProgram(7));
  EXPECT_NE(test::generateProgram(7), test::generateProgram(8));
  EXPECT_NE(test::generateProgram(7), test::generateProgram(7, test::Spelling::kVaried));
}

TEST(GeneratedPrograms, CompileToSoundImagesInEverySpelling) {
  const BuildInfo models[] = {test::modelVK617Q(), test::modelVK610Q()};
  for (std::uint32_t seed = 1; seed <= kPrograms; ++seed) {
    const std::string plain = test::generateProgram(seed);
    SCOPED_TRACE("seed " + std::to_string(seed) + ":\n" + plain);
    Bytes first;
    for (const BuildInfo& model : models) {
      const Compiled compiled = compileWith(plain, model);
      ASSERT_EQ("", compiled.errors) << model.model;
      ASSERT_EQ("", problemsOf(compiled.image, model.model)) << model.model;
      if (first.empty()) first = compiled.image;
    }
    const std::string varied = test::generateProgram(seed, test::Spelling::kVaried);
    const Compiled again = compileWith(varied, models[0]);
    ASSERT_EQ("", again.errors) << varied;
    ASSERT_EQ(withoutSignatures(first, models[0].model),
              withoutSignatures(again.image, models[0].model))
        << varied;
  }
}

}  // namespace
}  // namespace vk6
