#include "core/text.h"

#include <gtest/gtest.h>

#include <string_view>

namespace vk6 {
namespace {

TEST(Text, FoldedLookupsIgnoreCaseOnly) {
  constexpr std::string_view kRows[] = {"Alpha", "", "beta", "ALPHA", "Beta2"};
  constexpr FoldedIndex<16> index(kRows, [](std::string_view s) { return s; });
  static_assert(index.find("alpha") == 0);  // the first row of a name wins
  FoldedMap<int> map{{"Alpha", 0}, {"beta", 2}};
  const struct {
    std::string_view name;
    int row;
  } cases[] = {{"ALPHA", 0}, {"Beta", 2}, {"beta2", 4}, {"Alph", -1},
               {"Alpha ", -1}, {"", -1}, {"Bet\xE1", -1}};
  for (const auto& t : cases) {
    EXPECT_EQ(t.row, index.find(t.name)) << t.name;
    const auto found = map.find(t.name);
    if (t.row == 0 || t.row == 2)
      EXPECT_EQ(t.row, found->second) << t.name;
    else
      EXPECT_TRUE(found == map.end()) << t.name;
  }
  EXPECT_EQ("Beta", beforeBlank("Beta rest"));
}

}  // namespace
}  // namespace vk6
