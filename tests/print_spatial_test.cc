#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace vk6 {
namespace {

constexpr char kDeclarations[] =
    "Public D1, D2(2), Src(4), X, P(2), R(2)\r\nConst DispC2 = 2\r\n";

test::Compiled compileStatement(const std::string& statement) {
  return test::compileStatement(kDeclarations, statement);
}

TEST(Spatial, Records) {
  const struct {
    const char* statement;
    const char* errors;
    Bytes record;
  } cases[] = {
      // Bytes 12 and 14: the number of results and the statistic code.
      {"MaxSpa(D2, 4, Src)", "",
       {0x22, 0x00, 0x16, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x02, 0x00,
        0x00, 0x00}},
      {"MaxSpa(D1, 4, Src)", "line 5: MaxSpa requires a dest array with at least 2 elements.",
       {}},
      {"MinSpa(D2, 4, Src)", "",
       {0x22, 0x00, 0x16, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x02, 0x00,
        0x01, 0x00}},
      {"MinSpa(D1, 4, Src)", "line 5: MinSpa requires a dest array with at least 2 elements.",
       {}},
      {"AvgSpa(D1, 4, Src)", "",
       {0x22, 0x00, 0x16, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x01, 0x00,
        0x02, 0x00}},
      {"StdDevSpa(D1, 4, Src)", "",
       {0x22, 0x00, 0x16, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x01, 0x00,
        0x03, 0x00}},
      // Parameters 2 and 3 go to bytes 12 and 10, 4 and 5 to 4 and 6.
      {"CovSpa(D1, 3, 8, X, Src)", "",
       {0x22, 0x00, 0x16, 0x00, 0x04, 0x00, 0x08, 0x00, 0x00, 0x00, 0x08, 0x00, 0x03, 0x00,
        0x05, 0x00}},
      // The second parameter is encoded first; its "()" leaves no mark.
      {"RectPolar(P, R())", "", {0x2C, 0x00, 0x0E, 0x00, 0x04, 0x00, 0x00, 0x00}},
  };
  for (const auto& t : cases) {
    const test::Compiled c = compileStatement(t.statement);
    EXPECT_EQ(t.errors, c.errors) << t.statement;
    EXPECT_EQ(t.record, test::scanBody(c)) << t.statement;
  }
}

Bytes slice(const Bytes& bytes, std::size_t from, std::size_t to) {
  return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
               bytes.begin() + static_cast<std::ptrdiff_t>(to));
}

TEST(Print, ItemsPortAndBaud) {
  const test::Compiled c = compileStatement("Print(1, 9600, \"Hi\"; X, CHR$(13))");
  EXPECT_EQ("", c.errors);
  const Bytes record = test::scanBody(c);
  ASSERT_EQ(130u, record.size());
  EXPECT_EQ(Bytes({0x21, 0x00, 0x88, 0x00, 0x00, 0x00, 0x0C, 0x00}), slice(record, 0, 8));
  EXPECT_EQ(Bytes({3, 0, 0x80, 0x25}), slice(record, 14, 18));
  EXPECT_EQ(Bytes({'H', 'i', 0}), slice(record, 18, 21));
  EXPECT_EQ(13, record[58]);
  EXPECT_EQ(Bytes({1, 0, 2, 0, 0, ';', ',', 0, 0, 0, 0, 0}), slice(record, 118, 130));
}

TEST(Print, Messages) {
  const struct {
    const char* text;
    int portCode;  // byte 128 of the record; -1: the compile fails
    const char* errors;
  } cases[] = {
      {"(1, 4800, X)", -1, "line 5: RF port must use baud rate of 9600."},
      {"(2, 4800, X)", 1, ""},
      {"(C2, 1200, X)", 3, ""},
      {"(C1, 1200, X)", 2, ""},
      // Only the name C1 or C2 itself marks a control port.
      {"(DispC2, 9600, X)", 1, ""},
      {"(2, 9600, X)", 1, ""},
      {"(C2 + 0, 9600, X)", 1, ""},
      {"( c2 , 1200, X)", 3, ""},
      {"(- C2, 1200, X)", 3, ""},
      {"(5, 9600, X)", -1, "line 5: Invalid Port 5."},
      {"(2, 300, X)", -1, "line 5: Invalid baud rate 300."},
      {"(2, 9600, \"ABCDEFGHIJKLMNOPQRS\")", 1, ""},
      {"(2, 9600, \"ABCDEFGHIJKLMNOPQRST\")", -1,
       "line 5: Print string ABCDEFGHIJKLMNOPQRST is too long, max is 19."},
      {"(\"A\", 2, 9600)", -1, "line 5: Invalid Port.\r\nline 5: Invalid baudrate."},
      {"(2, \"A\")", -1, "line 5: Invalid baudrate."},
      {"(2, 9600, X, X, X, X, X)", 1, ""},
      {"(2, 9600, X, X, X, X, X, X)", -1, "line 5: Too many parameters in Print(), max is 5."},
      {"(1)", 0, ""},
  };
  for (const auto& t : cases) {
    const test::Compiled c = compileStatement(std::string("Print") + t.text);
    EXPECT_EQ(t.errors, c.errors) << t.text;
    const Bytes record = test::scanBody(c);
    ASSERT_EQ(t.portCode < 0 ? 0u : 130u, record.size()) << t.text;
    if (t.portCode >= 0) {
      EXPECT_EQ(t.portCode, record[128]) << t.text;
    }
  }
}

}  // namespace
}  // namespace vk6
