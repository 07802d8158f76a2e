// The 1-based text helpers every parser offset depends on.
#include "platform/text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cirrodex {
namespace {

TEST(Text, FindIsOneBasedAndZeroWhenAbsent) {
  struct Row {
    std::string_view hay, needle;
    std::int64_t at;
  };
  for (const Row& r :
       {Row{"Updated: 3:53 PM", "Updated", 1}, Row{"abcabc", "c", 3}, Row{"abc", "abcd", 0}, Row{"abc", "", 0},
        Row{"", "a", 0}, Row{std::string_view("a\0b", 3), std::string_view("\0b", 2), 2}, Row{"x\xB0y", "\xB0", 2}})
    EXPECT_EQ(text::find(r.hay, r.needle), r.at) << r.hay << " / " << r.needle;

  struct From {
    std::string_view hay, needle;
    std::int64_t from, at;
  };
  for (const From& r : {From{"abcabc", "a", 1, 1}, From{"abcabc", "a", 2, 4}, From{"abcabc", "a", -5, 1},
                        From{"abcabc", "a", 5, 0}, From{"abcabc", "c", 6, 6}, From{"abc", "a", 99, 0}})
    EXPECT_EQ(text::find_from(r.hay, r.needle, r.from), r.at) << r.hay << " from " << r.from;
}

TEST(Text, CopyClampsItsPositionAndCount) {
  struct Row {
    std::string_view s;
    std::int64_t pos, count;
    std::string_view out;
  };
  for (const Row& r : {Row{"Temperature 72F", 13, 3, "72F"}, Row{"abc", 0, 2, "ab"}, Row{"abc", -7, 2, "ab"},
                       Row{"abc", 2, 99, "bc"}, Row{"abc", 4, 1, ""}, Row{"abc", 1, 0, ""}, Row{"abc", 1, -3, ""},
                       Row{"", 1, 5, ""}, Row{"abc", 3, INT64_MAX, "c"}})
    EXPECT_EQ(text::copy(r.s, r.pos, r.count), r.out) << r.s << " " << r.pos << "," << r.count;
}

TEST(Text, ReplaceAllGoesLeftToRightWithoutRescanning) {
  struct Row {
    std::string_view s, from, to, out;
  };
  for (const Row& r :
       {Row{"Wind at 5 at 6", "at", "@", "Wind @ 5 @ 6"}, Row{"aaa", "a", "aa", "aaaaaa"}, Row{"aaaa", "aa", "a", "aa"},
        Row{"abc", "", "x", "abc"}, Row{"abc", "d", "x", "abc"}, Row{"Updated", "Updated", " Updated", " Updated"},
        Row{"  two  spaces", "  ", " ", " two spaces"}})
    EXPECT_EQ(text::replace_all(r.s, r.from, r.to), r.out) << r.s;
}

TEST(Text, TrimStripsCodesZeroToThirtyTwoOnly) {
  const std::string edge = std::string("\0\t\r\n ", 5) + "a b" + std::string(" \x1F\0", 3);
  EXPECT_EQ(text::trim(edge), "a b");
  EXPECT_EQ(text::trim_left(" \ta "), "a ");
  EXPECT_EQ(text::trim_right(" a\t "), " a");
  EXPECT_EQ(text::trim("\xA0x\xA0"), "\xA0x\xA0") << "a Latin-1 no-break space is a character";
  EXPECT_EQ(text::trim("   "), "");
}

TEST(Text, CaseFoldsAsciiOnly) {
  EXPECT_EQ(text::upper("Tuscaloosa, al \xE9"), "TUSCALOOSA, AL \xE9");
  EXPECT_EQ(text::lower("VIENNA \xC9"), "vienna \xC9");
  EXPECT_TRUE(text::iequals("MS Sans Serif", "ms sans serif"));
  EXPECT_FALSE(text::iequals("\xC9", "\xE9"));
  EXPECT_LT(text::icompare("abc", "ABD"), 0);
  EXPECT_EQ(text::icompare("Abc", "aBC"), 0);
  EXPECT_GT(text::icompare("abcd", "ABC"), 0);
}

TEST(Text, IntegersAreWholeDecimalOrDollarHex) {
  struct Row {
    std::string_view s;
    std::optional<std::int64_t> n;
  };
  for (const Row& r :
       {Row{"1800000", 1800000}, Row{"-5", -5}, Row{"+7", 7}, Row{"$00FF00", 0xFF00}, Row{"$ff", 255},
        Row{"9223372036854775807", INT64_MAX}, Row{"9223372036854775808", {}}, Row{"", {}}, Row{" 5", {}},
        Row{"5 ", {}}, Row{"5x", {}}, Row{"1.5", {}}, Row{"-", {}}, Row{"$", {}}, Row{"0x1F", {}}, Row{"n/a", {}}})
    EXPECT_EQ(text::to_integer(r.s), r.n) << "\"" << r.s << "\"";
}

TEST(Text, Latin1AndUtf8RoundTrip) {
  EXPECT_EQ(text::latin1_to_utf8("72\xB0 F"), "72\xC2\xB0 F");
  EXPECT_EQ(text::utf8_to_latin1("72\xC2\xB0 F"), "72\xB0 F");
  EXPECT_EQ(text::utf8_to_latin1("\xE2\x82\xAC"), "?") << "the euro sign is not in Latin-1";
  EXPECT_EQ(text::utf8_to_latin1("caf\xE9"), "caf\xE9") << "invalid UTF-8 is taken as Latin-1";
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(text::utf8_to_latin1(text::latin1_to_utf8(all)), all);
}

TEST(Text, LinesSplitOnLineBreaksOfEitherKind) {
  using V = std::vector<std::string_view>;
  EXPECT_EQ(text::lines(""), V{});
  EXPECT_EQ(text::lines("a\r\nb\n"), (V{"a", "b"}));
  EXPECT_EQ(text::lines("a\n\nb"), (V{"a", "", "b"}));
  EXPECT_EQ(text::lines("\n"), V{""});
}

}  // namespace
}  // namespace cirrodex
