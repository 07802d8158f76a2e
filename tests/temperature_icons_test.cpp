// The temperature icons as numbers: which icons a reading draws, the text of
// each, its size and place, its colours.
#include "conditions/temperature_icons.h"

#include <gtest/gtest.h>

#include "platform/fakes/fake_host.h"
#include "platform/fakes/memory_settings_store.h"
#include "platform/text.h"

namespace cirrodex {
namespace {

const std::string kDeg(1, '\xB0');

struct Rig {
  fakes::CallLog log;
  fakes::MemorySettingsStore store;
  fakes::FakeHost host{log};
  Settings settings{store, host, KeyCheck::Strict};
};

TEST(IconText, TheLeadingDigitsAndADegreeSign) {
  struct Case {
    IconKind kind;
    std::string reading;
    std::string text;  // without the degree sign; "-" for no text at all
    IconTextLength length;
  };
  const auto T = IconKind::Temperature;
  const auto H = IconKind::HeatIndex;
  const auto W = IconKind::WindChill;
  const auto N = IconTextLength::Normal;
  const auto L = IconTextLength::Long;
  const auto X = IconTextLength::ExtraLong;
  const Case cases[] = {
      {T, "7" + kDeg + "F", "7", N},
      {T, "72" + kDeg + "F", "72", N},
      {T, "22" + kDeg + "C", "22", N},
      {T, "100" + kDeg + "F", "100", L},
      {T, "-5" + kDeg + "F", "-5", N},
      {T, "-15" + kDeg + "F", "-15", L},
      {T, "n/a", "n", N},
      {T, "N/A" + kDeg + " F", "N", N},
      {T, "", "-", N},
      {H, "105" + kDeg + "F", "105", L},
      {H, "88" + kDeg + "F", "88", N},
      {H, "N/A", "N", N},
      // The heat index stops at three characters like the temperature.
      {H, "-100", "-10", L},
      // The wind chill looks one character further.
      {W, "-15" + kDeg + "F", "-15", L},
      {W, "-100" + kDeg + "F", "-100", X},
      {W, "-5" + kDeg + "F", "-5", N},
      {W, "38" + kDeg + "F", "38", N},
      {W, "n/a", "n", N},
      {W, "", "-", N},
  };
  for (const Case& c : cases) {
    const auto got = icon_text(c.kind, c.reading);
    if (c.text == "-") {
      EXPECT_FALSE(got) << c.reading;
      continue;
    }
    ASSERT_TRUE(got) << c.reading;
    EXPECT_EQ(got->text, c.text + kDeg) << c.reading;
    EXPECT_EQ(got->length, c.length) << c.reading;
  }
}

TEST(IconText, AnyShortTextGivesAFewCharactersAndTheDegreeSign) {
  const std::string alphabet = "0159- n/.F" + kDeg;
  for (const IconKind kind : {IconKind::Temperature, IconKind::WindChill})
    for (const char a : alphabet)
      for (const char b : alphabet)
        for (const char c : alphabet)
          for (const char d : alphabet) {
            const std::string reading{a, b, c, d, 'F'};
            const auto got = icon_text(kind, reading);
            ASSERT_TRUE(got) << reading;
            const std::size_t taken = got->text.size() - 1;
            ASSERT_EQ(got->text.back(), '\xB0') << reading;
            ASSERT_EQ(got->text.substr(0, taken), reading.substr(0, taken)) << reading;
            ASSERT_LE(taken, kind == IconKind::WindChill ? 4u : 3u) << reading;
            // More than one character is taken only up to a digit.
            if (taken > 1) {
              ASSERT_TRUE(text::is_digit(reading[taken - 1])) << reading;
            }
            const IconLayout layout = icon_layout(*got);
            ASSERT_TRUE(layout.size == 20 || layout.size == 17 || layout.size == 14) << reading;
          }
}

TEST(IconLayout, SizeAndPlaceFollowTheText) {
  struct Case {
    IconKind kind;
    std::string reading;
    IconLayout layout;
  };
  const Case cases[] = {
      {IconKind::Temperature, "7" + kDeg + "F", {20, 3, 2}},  {IconKind::Temperature, "n/a", {20, 3, 2}},
      {IconKind::Temperature, "72" + kDeg + "F", {17, 1, 2}}, {IconKind::Temperature, "22" + kDeg + "C", {17, 1, 2}},
      {IconKind::Temperature, "-5" + kDeg + "C", {17, 1, 2}}, {IconKind::Temperature, "100" + kDeg + "F", {14, 1, 2}},
      {IconKind::WindChill, "-15" + kDeg + "F", {14, 1, 2}},  {IconKind::WindChill, "-100" + kDeg + "F", {14, 0, 2}},
  };
  for (const Case& c : cases) {
    const auto text = icon_text(c.kind, c.reading);
    ASSERT_TRUE(text) << c.reading;
    EXPECT_EQ(icon_layout(*text), c.layout) << c.reading;
  }
  // A lone character is the first row, whatever the length mark says.
  EXPECT_EQ(icon_layout({"7" + kDeg, IconTextLength::Long}), (IconLayout{20, 3, 2}));
}

TEST(IconsToDraw, TheSettingsChooseTheIconsInOrder) {
  struct Case {
    const char* temp_icon;
    const char* heat_index;
    const char* wind_chill;
    std::vector<IconKind> kinds;
  };
  const auto T = IconKind::Temperature;
  const auto H = IconKind::HeatIndex;
  const auto W = IconKind::WindChill;
  const Case cases[] = {
      {nullptr, nullptr, nullptr, {}}, {"", "", "", {}},
      {"y", nullptr, nullptr, {T}},    {"b", nullptr, nullptr, {T}},
      {"Y", nullptr, nullptr, {}},     {"n", "y", nullptr, {H}},
      {nullptr, nullptr, "y", {W}},    {"b", "y", "y", {T, H, W}},
      {"y", "yes", "y", {T, W}},
  };
  for (const Case& c : cases) {
    Rig rig;
    if (c.temp_icon) rig.settings.set("TempIcon", c.temp_icon);
    if (c.heat_index) rig.settings.set("HIndexIcon", c.heat_index);
    if (c.wind_chill) rig.settings.set("windcicon", c.wind_chill);
    EXPECT_EQ(icons_to_draw(rig.settings), c.kinds)
        << (c.temp_icon ? c.temp_icon : "-") << (c.heat_index ? c.heat_index : "-")
        << (c.wind_chill ? c.wind_chill : "-");
  }
}

TEST(IconPicture, ColoursComeFromTheSettingsOrTheirDefaults) {
  Readings r;
  r.Temperature = "72" + kDeg + "F";
  r.HeatIndex = "105" + kDeg + "F";
  r.WindChill = "-15" + kDeg + "F";
  {
    Rig rig;  // nothing set: blue, maroon, navy
    const auto t = icon_picture(IconKind::Temperature, r, rig.settings);
    const auto h = icon_picture(IconKind::HeatIndex, r, rig.settings);
    const auto w = icon_picture(IconKind::WindChill, r, rig.settings);
    ASSERT_TRUE(t && h && w);
    EXPECT_EQ(t->colour, "clBlue");
    EXPECT_EQ(h->colour, "clMaroon");
    EXPECT_EQ(w->colour, "clNavy");
    EXPECT_EQ(t->text_colour, kClYellow);
    EXPECT_EQ(h->text_colour, kClWhite);
    EXPECT_EQ(w->text_colour, kClWhite);
    EXPECT_EQ(icon_background(*t), 0xFF0000u);
    EXPECT_EQ(icon_background(*h), 0x000080u);
    EXPECT_EQ(icon_background(*w), 0x800000u);
    EXPECT_EQ(t->text.text, "72" + kDeg);
    EXPECT_EQ(t->layout, (IconLayout{17, 1, 2}));
    EXPECT_EQ(w->layout, (IconLayout{14, 1, 2}));
  }
  {
    Rig rig;  // stored texts are kept as written, whatever their form
    rig.settings.set("tempiconcolor", "$00008000");
    rig.settings.set("HINDEXICONCOLOR", "#102030");
    rig.settings.set("WindcIconcolor", "clTeal");
    const auto t = icon_picture(IconKind::Temperature, r, rig.settings);
    const auto h = icon_picture(IconKind::HeatIndex, r, rig.settings);
    const auto w = icon_picture(IconKind::WindChill, r, rig.settings);
    ASSERT_TRUE(t && h && w);
    EXPECT_EQ(t->colour, "$00008000");
    EXPECT_EQ(h->colour, "#102030");
    EXPECT_EQ(w->colour, "clTeal");
    EXPECT_EQ(icon_background(*t), 0x008000u);
    EXPECT_EQ(icon_background(*h), 0x302010u) << "#RRGGBB is turned to 00BBGGRR";
    EXPECT_EQ(icon_background(*w), 0x808000u);
  }
  {
    Rig rig;  // "#RRGGBB" is the Preferences' form for the other two only; an empty text is no colour
    rig.settings.set("tempiconcolor", "#102030");
    rig.settings.set("WindcIconcolor", "");
    const auto t = icon_picture(IconKind::Temperature, r, rig.settings);
    const auto w = icon_picture(IconKind::WindChill, r, rig.settings);
    ASSERT_TRUE(t && w);
    EXPECT_FALSE(icon_background(*t));
    EXPECT_EQ(w->colour, "");
    EXPECT_FALSE(icon_background(*w));
  }
  {
    Rig rig;  // an empty reading draws nothing
    Readings empty;
    empty.Temperature.clear();
    EXPECT_FALSE(icon_picture(IconKind::Temperature, empty, rig.settings));
    EXPECT_TRUE(icon_picture(IconKind::HeatIndex, empty, rig.settings)) << "n/a still shows n";
  }
}

TEST(IconName, TheNamesTheToolPrints) {
  EXPECT_EQ(icon_name(IconKind::Temperature), "temperature");
  EXPECT_EQ(icon_name(IconKind::HeatIndex), "heatindex");
  EXPECT_EQ(icon_name(IconKind::WindChill), "windchill");
}

}  // namespace
}  // namespace cirrodex
