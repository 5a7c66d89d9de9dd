#include <gtest/gtest.h>

#include "support/init_result.h"
#include "support/support.h"

TEST(FormatString, FormatsAnyLength) {
  EXPECT_EQ(FormatString("%d X %d ( %d pieces )", 4, 3, 12), "4 X 3 ( 12 pieces )");
  const std::string big(20000, 'x');
  const std::string out = FormatString("<%s>", big.c_str());
  EXPECT_EQ(out.size(), 20002u);
  EXPECT_EQ(out.front(), '<');
  EXPECT_EQ(out.back(), '>');
  std::string to = "old";
  FormatStringTo(to, "%s", "");
  EXPECT_EQ(to, "");
  FormatStringTo(to, "%05.1f", 2.25);
  EXPECT_EQ(to, "002.2");
  // A conversion error (a wide character with no narrow form) gives "".
  const wchar_t unpaired[] = {static_cast<wchar_t>(0xD800), 0};
  EXPECT_EQ(FormatString("a%lsb", unpaired), "");
  FormatStringTo(to, "a%lsb", unpaired);
  EXPECT_EQ(to, "");
}

TEST(Trim, LeftEmptiesAllBlankButRightKeepsAllTrimmed) {
  std::string s = "  ";
  TrimLeft(s);
  EXPECT_EQ(s, "");
  s = " \t\r\nabc ";
  TrimLeft(s);
  EXPECT_EQ(s, "abc ");
  s = "//";
  TrimRight(s, "/");
  EXPECT_EQ(s, "//");
  s = "a/b//";
  TrimRight(s, "/");
  EXPECT_EQ(s, "a/b");
  s = "";
  TrimRight(s, "/");
  EXPECT_EQ(s, "");
}

TEST(Strings, LowerLeftAndLastChar) {
  std::string s = "FrEnCh 1.JPG";
  ToLowerString(s);
  EXPECT_EQ(s, "french 1.jpg");
  EXPECT_EQ(StringLeft(3, "abcdef"), "abc");
  EXPECT_EQ(StringLeft(10, "ab"), "ab");
  EXPECT_EQ(StringLastChar("path/"), "/");
}

TEST(SplitString, FieldsBetweenSeparators) {
  const struct {
    const char* text;
    std::vector<std::string> fields;
  } cases[] = {
      {"a;b", {"a", "b"}}, {"a;;b", {"a", "", "b"}}, {"a;", {"a", ""}},
      {";a", {"", "a"}},   {";", {"", ""}},          {"", {}},
      {"abc", {"abc"}},    {"bmp;", {"bmp", ""}},
  };
  std::vector<std::string> out{"stale"};
  for (const auto& c : cases) {
    SplitString(out, c.text, ';');
    EXPECT_EQ(out, c.fields) << '"' << c.text << '"';
  }
}

TEST(InitResult, CarriesFlagAndMessage) {
  const InitResult ok = InitResult::Ok();
  const InitResult bad(false, "no device");
  EXPECT_TRUE(ok.success);
  EXPECT_FALSE(bad.success);
  EXPECT_EQ(bad.message, "no device");
}

TEST(FitRectKeepAspect, FitsFromTheTopLeftInSinglePrecision) {
  const struct {
    RECT source, target, expected;
  } cases[] = {
      {{0, 0, 400, 200}, {10, 20, 110, 220}, {10, 20, 110, 70}},
      {{0, 0, 200, 400}, {0, 0, 100, 100}, {0, 0, 50, 100}},
      {{0, 0, 3, 3}, {0, 0, 10, 10}, {0, 0, 10, 10}},
      {{400, 200, 0, 0}, {10, 20, 110, 220}, {10, 20, 110, 70}},  // sizes taken as absolute
      // A picture without size: an empty rectangle, no division by zero.
      {{0, 0, 0, 0}, {10, 20, 110, 220}, {10, 20, 10, 20}},
      {{0, 0, 300, 0}, {10, 20, 110, 220}, {10, 20, 10, 20}},
      {{0, 0, 0, 300}, {10, 20, 110, 220}, {10, 20, 10, 20}},
  };
  for (const auto& c : cases) {
    RECT out;
    FitRectKeepAspect(c.source, c.target, out);
    EXPECT_EQ(out, c.expected) << c.source.right << "x" << c.source.bottom;
  }
}
