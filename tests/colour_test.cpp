#include "platform/colour.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

namespace cirrodex {
namespace {

struct NamedCase {
  const char* name;
  ColourValue value;
};

// Every name the settings and skins may hold, with its value.
constexpr NamedCase kNames[] = {
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clScrollBar", 0x80000000},
    {"clBackground", 0x80000001},
    {"clActiveCaption", 0x80000002},
    {"clInactiveCaption", 0x80000003},
    {"clMenu", 0x80000004},
    {"clWindow", 0x80000005},
    {"clWindowFrame", 0x80000006},
    {"clMenuText", 0x80000007},
    {"clWindowText", 0x80000008},
    {"clCaptionText", 0x80000009},
    {"clActiveBorder", 0x8000000A},
    {"clInactiveBorder", 0x8000000B},
    {"clAppWorkSpace", 0x8000000C},
    {"clHighlight", 0x8000000D},
    {"clHighlightText", 0x8000000E},
    {"clBtnFace", 0x8000000F},
    {"clBtnShadow", 0x80000010},
    {"clGrayText", 0x80000011},
    {"clBtnText", 0x80000012},
    {"clInactiveCaptionText", 0x80000013},
    {"clBtnHighlight", 0x80000014},
    {"cl3DDkShadow", 0x80000015},
    {"cl3DLight", 0x80000016},
    {"clInfoText", 0x80000017},
    {"clInfoBk", 0x80000018},
    {"clHotLight", 0x8000001A},
    {"clGradientActiveCaption", 0x8000001B},
    {"clGradientInactiveCaption", 0x8000001C},
    {"clMenuHighlight", 0x8000001D},
    {"clMenuBar", 0x8000001E},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
};

TEST(ColourNames, EveryNameReadsAsItsValueAndIsWrittenBack) {
  for (const auto& c : kNames) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(colour_from_text(c.name), c.value);
    EXPECT_EQ(colour_to_text(c.value), c.name);
  }
}

TEST(ColourNames, CaseIsIgnored) {
  EXPECT_EQ(colour_from_text("CLMAROON"), 0x000080u);
  EXPECT_EQ(colour_from_text("clhighlighttext"), 0x8000000Eu);
  EXPECT_EQ(colour_from_text("Cl3ddkShadow"), 0x80000015u);
}

struct TextCase {
  const char* text;
  bool allow_hash;
  std::optional<ColourValue> expected;
};

// Readable test names in ctest and in failure reports.
void PrintTo(const TextCase& c, std::ostream* os) { *os << '"' << c.text << '"' << (c.allow_hash ? " with #" : ""); }

class ColourText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ColourText, Parses) {
  const auto& c = GetParam();
  EXPECT_EQ(colour_from_text(c.text, c.allow_hash), c.expected) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(Numbers, ColourText,
                         ::testing::Values(TextCase{"$0000FF00", false, 0x00FF00},
                                           TextCase{"$00302010", false, 0x302010}, TextCase{"$ff", false, 0xFF},
                                           TextCase{"$8000000F", false, 0x8000000F},
                                           TextCase{"$FFFFFFFF", false, 0xFFFFFFFF}, TextCase{"255", false, 255},
                                           TextCase{"0", false, 0}, TextCase{"4294967295", false, 0xFFFFFFFF},
                                           // Older files hold system colours as signed 32-bit numbers.
                                           TextCase{"-2147483633", false, 0x8000000F}));

INSTANTIATE_TEST_SUITE_P(Hash, ColourText,
                         ::testing::Values(
                             // Red 16, green 32, blue 48 as the colour dialog writes it.
                             TextCase{"#102030", true, 0x302010}, TextCase{"#ff0000", true, 0x0000FF},
                             TextCase{"#102030", false, {}}, TextCase{"#10203", true, {}},
                             TextCase{"#1020304", true, {}}, TextCase{"#10203G", true, {}}, TextCase{"#", true, {}}));

INSTANTIATE_TEST_SUITE_P(Junk, ColourText,
                         ::testing::Values(TextCase{"", true, {}}, TextCase{"$", false, {}},
                                           TextCase{"$000000001", false, {}}, TextCase{"$00GG0000", false, {}},
                                           TextCase{"-$1", false, {}}, TextCase{"+$1", false, {}},
                                           TextCase{"4294967296", false, {}}, TextCase{"-2147483649", false, {}},
                                           TextCase{"0x00FF00", false, {}}, TextCase{"clBlackish", false, {}},
                                           TextCase{" clBlack", false, {}}, TextCase{"clBlack ", false, {}},
                                           TextCase{"Black", false, {}}, TextCase{"12 ", false, {}}));

TEST(ColourToText, UnnamedValuesAreEightUpperCaseHexDigits) {
  EXPECT_EQ(colour_to_text(0x00302010), "$00302010");
  EXPECT_EQ(colour_to_text(0x00ABCDEF), "$00ABCDEF");
  EXPECT_EQ(colour_to_text(0x8000001F), "$8000001F");
  EXPECT_EQ(colour_to_text(0x80000019), "$80000019");  // index 25 has no name
  EXPECT_EQ(colour_from_text(colour_to_text(0x00ABCDEF)), 0x00ABCDEFu);
}

TEST(ColourRgb, PlainValuesAreBlueGreenRed) {
  EXPECT_EQ(colour_rgb(0x00302010), (Rgb{0x10, 0x20, 0x30}));
  EXPECT_EQ(colour_rgb(0x000080), (Rgb{0x80, 0, 0}));
  EXPECT_EQ(colour_rgb(0xFF0000), (Rgb{0, 0, 0xFF}));
}

struct SystemCase {
  const char* name;
  Rgb rgb;
};

TEST(ColourRgb, SystemColoursDrawWithTheClassicScheme) {
  const SystemCase cases[] = {
      {"clBtnFace", {0xC0, 0xC0, 0xC0}},       {"clHighlight", {0, 0, 0x80}},
      {"clHighlightText", {0xFF, 0xFF, 0xFF}}, {"clBtnShadow", {0x80, 0x80, 0x80}},
      {"clWindow", {0xFF, 0xFF, 0xFF}},        {"clWindowText", {0, 0, 0}},
      {"clInfoBk", {0xFF, 0xFF, 0xE1}},        {"clBackground", {0, 0x80, 0x80}},
      {"clActiveCaption", {0, 0, 0x80}},       {"clInactiveCaption", {0x80, 0x80, 0x80}},
      {"clMenu", {0xC0, 0xC0, 0xC0}},          {"clMenuText", {0, 0, 0}},
      {"clBtnHighlight", {0xFF, 0xFF, 0xFF}},  {"cl3DDkShadow", {0, 0, 0}},
      {"clGrayText", {0x80, 0x80, 0x80}},      {"clMenuBar", {0xC0, 0xC0, 0xC0}},
      {"clMenuHighlight", {0, 0, 0x80}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto value = colour_from_text(c.name);
    ASSERT_TRUE(value);
    EXPECT_EQ(colour_rgb(*value), c.rgb);
  }
}

TEST(ColourRgb, NoneAndDefaultDrawWhiteAndUnknownSystemIndexesBlack) {
  EXPECT_EQ(colour_rgb(kClNone), (Rgb{0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(colour_rgb(kClDefault), (Rgb{0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(colour_rgb(0x80000019), (Rgb{0, 0, 0}));
  EXPECT_EQ(colour_rgb(0x800000FF), (Rgb{0, 0, 0}));
}

}  // namespace
}  // namespace cirrodex
