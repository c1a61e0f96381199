#include "driver/listings.h"

#include <gtest/gtest.h>

namespace vk6 {
namespace {

TEST(Listings, TablesWithIntervalsIndicesAndUnits) {
  const std::vector<ListingTable> tables = {
      {"Status", 0, 0, {{"OSVersion", 1, 0, 1, ""}}},
      {"Hourly", -3600, kTableHasInterval,
       {{"Temp_Avg", 1, 1, 1, "Deg C"}, {"Arr", 3, 2, 4, ""}, {"Flat", 2, 1, 1, ""}}},
      {"", 60, kTableHasInterval, {{"Hidden", 1, 0, 1, ""}}},
      {"Events", 60, 0, {{"X", 1, 0, 1, ""}}},
      {"Public", 0, 0, {{"PTemp", 1, 0, 1, ""}}},
  };
  const std::string hyphens(52, '-');
  EXPECT_EQ(hyphens + "\r\n"
            "Table: Hourly\r\n"
            "Interval: 3600 Seconds\r\n"
            "Fields:\r\n"
            " Temp_Avg\tUnits: Deg C\r\n"
            " Arr(4)\r\n"
            " Arr(5)\r\n"
            " Arr(6)\r\n"
            " Flat\r\n"
            " Flat\r\n"
            "\r\n" +
            hyphens + "\r\n"
            "Table: Events\r\n"
            "Interval: Event\r\n"
            "Fields:\r\n"
            " X\r\n"
            "\r\n" +
            hyphens + "\r\n"
            "Table: Public\r\n"
            "Interval: Event\r\n"
            "Fields:\r\n"
            " PTemp\r\n"
            "\r\n",
            tableListingText(tables));
}

TEST(Listings, DefinitionFileStartsWithAnExtraMarkerByte) {
  EXPECT_EQ((Bytes{0x01, 0x01, 'S', 0}), definitionFileBytes(Bytes{0x01, 'S', 0}));
  EXPECT_EQ((Bytes{0x01}), definitionFileBytes(Bytes{}));
}

}  // namespace
}  // namespace vk6
