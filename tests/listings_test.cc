#include "image/listings.h"

#include <gtest/gtest.h>

namespace vk6 {
namespace {

TEST(Listings, TablesWithIntervalsIndicesAndUnits) {
  // Fields: name, count, sub-dimension, first index, units.
  const auto field = [](const char* name, int count, int subDimension,
                        int firstIndex, const char* units) {
    FieldDescriptor f;
    f.name = name;
    f.count = count;
    f.subDimension = subDimension;
    f.firstIndex = firstIndex;
    f.units = units;
    return f;
  };
  const auto table = [](const char* name, std::uint32_t interval, std::uint8_t flags,
                        std::vector<FieldDescriptor> fields) {
    TableDescriptor t;
    t.name = name;
    t.interval = interval;
    t.flags = flags;
    t.fields = std::move(fields);
    return t;
  };
  const std::vector<TableDescriptor> tables = {
      table("Status", 0, 0, {field("OSVersion", 1, 0, 1, "")}),
      table("Hourly", static_cast<std::uint32_t>(-3600), kTableFlagInterval,
            {field("Temp_Avg", 1, 1, 1, "Deg C"), field("Arr", 3, 2, 4, ""),
             field("Flat", 2, 1, 1, "")}),
      table("", 60, kTableFlagInterval, {field("Hidden", 1, 0, 1, "")}),
      table("Events", 60, 0, {field("X", 1, 0, 1, "")}),
      table("Public", 0, 0, {field("PTemp", 1, 0, 1, "")}),
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
