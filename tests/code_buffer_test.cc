#include <gtest/gtest.h>

#include "core/compilation.h"
#include "instructions/code_buffer.h"

namespace vk6 {
namespace {

TEST(CodeBuffer, BackPatchStoresTheOffsetPastTheRecord) {
  Compilation c;
  const Bytes filler(100, 0);
  EXPECT_EQ(100u, appendCode(c, filler.data(), filler.size(), false));
  EXPECT_EQ(106u, appendCode(c, RecordBuilder(7).u16(0x1234), kPatchNext));
  EXPECT_EQ(Bytes({0x07, 0x00, 0x6A, 0x00, 0x34, 0x12}),
            Bytes(c.code.bytes.begin() + 100, c.code.bytes.end()));
}

TEST(CodeBuffer, CodePastSixteenBitOffsetsIsReportedOnce) {
  Compilation c;
  const Bytes big(65534, 0);
  appendCode(c, big.data(), big.size(), false);
  EXPECT_EQ(0, c.diag.errorCount);
  EXPECT_EQ(65538u, appendCode(c, RecordBuilder(0), kPatchNext));
  appendCode(c, RecordBuilder(0), kPatchNext);
  EXPECT_EQ("Program code exceeds 65535 bytes.", c.diag.errorText);
  EXPECT_EQ(1, c.diag.errorCount);
}

}  // namespace
}  // namespace vk6
