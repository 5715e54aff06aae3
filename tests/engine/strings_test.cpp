#include "subtitles/strings.h"

#include <gtest/gtest.h>

#include "subtitles/errors.h"

namespace vorlane {
namespace {

TEST(CopyRange, TakesFromUpToNotIncludingTo) {
  EXPECT_EQ(CopyRange("abcdef", 2, 4), "bc");
  EXPECT_EQ(CopyRange("abcdef", 4, 2), "");
  EXPECT_EQ(CopyRange("abcdef", 5, 100), "ef");
  EXPECT_EQ(CopyRange("abc", 7, 9), "");
  EXPECT_EQ(CopyTail("abcdef", 3), "cdef");
  EXPECT_EQ(CopyTail("abc", 9), "");
}

TEST(SplitByChar, AppendsFieldsAndDropsOnlyAnEmptyLastOne) {
  LineList list{"kept"};
  SplitByChar('|', "a||b|", list);
  EXPECT_EQ(list, (LineList{"kept", "a", "", "b"}));
  list.clear();
  SplitByChar('|', "|x", list);
  EXPECT_EQ(list, (LineList{"", "x"}));
}

struct PatternCase {
  const char* line;
  const char* pattern;
  bool result;
  LineList fields;
};

class SplitByPatternTest : public testing::TestWithParam<PatternCase> {};

TEST_P(SplitByPatternTest, SplitsAsSearchedLiterals) {
  const auto& c = GetParam();
  LineList fields{"stale"};
  EXPECT_EQ(SplitByPattern(c.line, c.pattern, fields), c.result);
  EXPECT_EQ(fields, c.fields);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitByPatternTest,
    testing::Values(PatternCase{"00:00:01,000 --> 00:00:04,500",
                                "?:?:?,? --> ?:?:?,?",
                                true,
                                {"00", "00", "01", "000", "00", "00", "04", "500"}},
                    PatternCase{"00:00:01,000 --> 00:00:04,500", "[?:?:?]?", false, {}},
                    PatternCase{"1:2:3", "?:?:?,?", false, {"1", "2"}},
                    PatternCase{":5", "?:?", true, {"5"}},
                    // An empty field adds nothing and later fields shift down.
                    PatternCase{"1::3", "?:?:?", true, {"1", "3"}},
                    // Text before the first literal becomes a field even where the
                    // pattern has no "?".
                    PatternCase{"ab[1]", "[?]", true, {"ab", "1", ""}},
                    PatternCase{"", "?", true, {""}}));

struct IntCase {
  const char* text;
  bool ok;
  std::int32_t value;
};

TEST(StrToInt, AcceptsBlanksSignAndHexOnly) {
  const IntCase cases[] = {
      {"12", true, 12},
      {"  7", true, 7},
      {"-5", true, -5},
      {"+5", true, 5},
      {"$1F", true, 31},
      {"0x10", true, 16},
      {"007", true, 7},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, -2147483647 - 1},
      {"2147483648", false, 0},
      {"99999999999999999999", false, 0},
      {"", false, 0},
      {" ", false, 0},
      {"1 ", false, 0},
      {"1.5", false, 0},
      {"--1", false, 0},
      {"$", false, 0},
      {"0x", false, 0},
      {"12a", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    if (c.ok) {
      EXPECT_EQ(StrToInt(c.text), c.value);
    } else {
      try {
        StrToInt(c.text);
        ADD_FAILURE() << "no error";
      } catch (const SubtitleError& e) {
        EXPECT_EQ(e.what(), "'" + std::string(c.text) + "' is not a valid integer value");
      }
    }
  }
}

TEST(ListItem, MissingItemNamesTheIndex) {
  const LineList list{"a"};
  EXPECT_EQ(ListItem(list, 0), "a");
  try {
    ListItem(list, 3);
    ADD_FAILURE() << "no error";
  } catch (const SubtitleError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (3)");
  }
}

TEST(Pos, IsOneBasedAndZeroWhenAbsent) {
  EXPECT_EQ(Pos("][", "[1][5]"), 3);
  EXPECT_EQ(Pos("x", "abc"), 0);
  EXPECT_EQ(PosEx("a", "abca", 2), 4);
  EXPECT_EQ(PosEx("a", "abca", 9), 0);
}

TEST(ReplaceAll, ReplacesEveryOccurrence) {
  EXPECT_EQ(ReplaceAll("a\rb\r", "\r", "\r\n"), "a\r\nb\r\n");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
}

}  // namespace
}  // namespace vorlane
