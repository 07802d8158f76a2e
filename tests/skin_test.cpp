// Skin descriptions: the list-line splitter, the INI reader and the rules by
// which items become hot areas, display slots and track bars.
#include <gtest/gtest.h>

#include <map>

#include "skins/ini_file.h"
#include "skins/list_line.h"
#include "skins/skin.h"

namespace cirrodex {
namespace {

using Items = std::vector<std::string>;

TEST(ListLine, Splits) {
  const std::pair<std::string, Items> cases[] = {
      {"NOT_DEFINED, 0, 0, 0, 0", {"NOT_DEFINED", "0", "0", "0", "0"}},
      {"TEXT_X, MS Sans Serif, TRUE", {"TEXT_X", "MS Sans Serif", "TRUE"}},  // blanks inside kept
      {"  \t a,b", {"a", "b"}},                                              // leading blanks skipped
      {"a,,b", {"a", "", "b"}},                                              // empty items kept
      {"a, ,b", {"a", "", "b"}},
      {"a,", {"a"}},
      {"\"x, y\",z", {"x, y", "z"}},                   // quoted items may hold commas
      {"\"say \"\"hi\"\"\", 2", {"say \"hi\"", "2"}},  // doubled quotes
      {"\"open", {"open"}},                            // an unclosed quote runs to the end
      {"a\tb", {"a", "b"}},                            // a control code ends an item
      {"a , b", {"a ", "b"}},                          // blanks before a comma belong to the item
      {std::string("a,b\0,c", 6), {"a", "b"}},         // NUL ends the line
      {"", {}},
  };
  for (const auto& [line, items] : cases) EXPECT_EQ(split_list_line(line), items) << line;
}

TEST(ListLine, Numbers) {
  EXPECT_EQ(skin_number("42"), 42);
  EXPECT_EQ(skin_number(" -7 "), -7);
  EXPECT_EQ(skin_number("$0000FF00"), 0xFF00);
  EXPECT_EQ(skin_number("$ff"), 255);
  EXPECT_EQ(skin_number("12px"), std::nullopt);
  EXPECT_EQ(skin_number(""), std::nullopt);
}

TEST(IniFile, CaseBlindFirstWinsCrlf) {
  const IniFile ini =
      IniFile::parse("; comment\r\n[Version]\r\nVer = 150 \r\nver=140\r\n[other]\r\nMenuColor=clSilver");
  EXPECT_EQ(ini.read_string("VERSION", "VER", "x"), "150");
  EXPECT_EQ(ini.read_string("OTHER", "menucolor", "x"), "clSilver");
  EXPECT_EQ(ini.read_string("OTHER", "nothing", "n/a"), "n/a");
  EXPECT_EQ(ini.find("Nowhere", "Ver"), std::nullopt);
}

// Pictures by name, all 4 x 4 unless given.
struct Pictures {
  std::map<std::string, Picture> files;
  std::vector<std::string> asked;
  PictureLoader loader() {
    return [this](const std::string& name) -> PictureResult {
      asked.push_back(name);
      const auto it = files.find(name);
      if (it == files.end()) return {std::nullopt, "cannot read " + name};
      return {it->second, {}};
    };
  }
};

Picture picture(int w, int h, std::uint32_t argb = 0xFF000000u) {
  return Picture{w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w * h), argb)};
}

SkinResult load(const std::string& ini, Pictures& pics, int* gifs = nullptr) {
  return load_skin(ini, pics.loader(), [gifs] {
    if (gifs) ++*gifs;
  });
}

TEST(SkinLoad, MaskAloneServesEveryFace) {
  Pictures pics;
  pics.files["m.bmp"] = picture(20, 10);
  const SkinResult r = load("[BITMAPINFO]\nMaskBitmap=m.bmp\n", pics);
  ASSERT_TRUE(r.skin) << r.error;
  EXPECT_EQ(r.skin->version, 140);
  EXPECT_EQ(r.skin->up_name, "m.bmp");
  EXPECT_EQ(r.skin->down_name, "m.bmp");
  EXPECT_EQ(r.skin->on_name, "m.bmp");
  EXPECT_FALSE(r.skin->hover);  // hover and pressed names are equal
  EXPECT_EQ(r.skin->face.width, 20);
  EXPECT_TRUE(r.skin->numbers.pixels.empty());
}

TEST(SkinLoad, HoverOnlyWhenNamesDiffer) {
  Pictures pics;
  for (const char* n : {"m.bmp", "up.jpg", "on.jpg"}) pics.files[n] = picture(4, 4);
  const SkinResult r = load("[BITMAPINFO]\nMaskBitmap=m.bmp\nMouseUpBitmap=up.jpg\nMouseOnBitmap=on.jpg\n", pics);
  ASSERT_TRUE(r.skin) << r.error;
  EXPECT_EQ(r.skin->down_name, "up.jpg");  // pressed defaults to the normal face
  EXPECT_TRUE(r.skin->hover);
}

TEST(SkinLoad, PictureFailures) {
  struct Case {
    const char* name;
    std::string ini;
    const char* error_part;
    int gifs;
  };
  const Case cases[] = {
      {"no mask named", "[Version]\nVer=150\n", "cannot read ERROR", 0},
      {"missing face", "[BITMAPINFO]\nMaskBitmap=m.bmp\nMouseUpBitmap=gone.jpg\n", "cannot read gone.jpg", 0},
      {"gif face", "[BITMAPINFO]\nMaskBitmap=m.bmp\nMouseUpBitmap=face.GIF\n", "GIF", 1},
      {"small face", "[BITMAPINFO]\nMaskBitmap=m.bmp\nMouseUpBitmap=tiny.bmp\n", "smaller than the mask", 0},
      {"bad version with hot areas", "[Version]\nVer=160\n[BITMAPINFO]\nMaskBitmap=m.bmp\n[HOTAREAINFO]\nCount=1\n",
       "version 160", 0},
      {"bad number", "[BITMAPINFO]\nMaskBitmap=m.bmp\n[HOTAREAINFO]\nCount=1\n1=B, 1, x2, 3, 4\n",
       "hot area 1: \"x2\" is not a number", 0},
      {"absurd count", "[BITMAPINFO]\nMaskBitmap=m.bmp\n[DISPLAYINFO]\nCount=99999999\n", "Count", 0},
  };
  for (const auto& c : cases) {
    Pictures pics;
    pics.files["m.bmp"] = picture(8, 8);
    pics.files["tiny.bmp"] = picture(2, 2);
    int gifs = 0;
    const SkinResult r = load(c.ini, pics, &gifs);
    EXPECT_FALSE(r.skin) << c.name;
    EXPECT_NE(r.error.find(c.error_part), std::string::npos) << c.name << ": " << r.error;
    EXPECT_EQ(gifs, c.gifs) << c.name;
  }
}

TEST(SkinLoad, GifGlyphSheetIsSkipped) {
  Pictures pics;
  pics.files["m.bmp"] = picture(8, 8);
  int gifs = 0;
  const SkinResult r = load("[BITMAPINFO]\nMaskBitmap=m.bmp\nTextBitmap=text.gif.bmp\n", pics, &gifs);
  ASSERT_TRUE(r.skin) << r.error;  // the three characters after the first dot say gif
  EXPECT_EQ(gifs, 1);
  EXPECT_TRUE(r.skin->text.pixels.empty());
  EXPECT_TRUE(is_gif_name("x.GiF"));
  EXPECT_FALSE(is_gif_name("gif.bmp"));
}

const char* kBase = "[BITMAPINFO]\nMaskBitmap=m.bmp\n";

Skin loaded(const std::string& ini) {
  Pictures pics;
  pics.files["m.bmp"] = picture(40, 40);
  pics.files["t.bmp"] = picture(10, 6);
  pics.files["td.bmp"] = picture(10, 8);
  SkinResult r = load(kBase + ini, pics);
  EXPECT_TRUE(r.skin) << r.error;
  return r.skin ? std::move(*r.skin) : Skin{};
}

TEST(SkinLoad, HotAreaItemCounts) {
  const Skin v150 = loaded(
      "[Version]\nVer=150\n[HOTAREAINFO]\nCount=5\n"
      "1=PLAIN, 1, 2, 3, 4, Tip\n"
      "2=SWITCH, 1, 2, 3, 4, Tip, FALSE\n"
      "3=RADIO_A, 1, 2, 3, 4, Tip, TRUE, modes\n"
      "4=RADIO_B, 1, 2, 3, 4, Tip, no, modes\n"
      "5=EXTRA, 1, 2, 3, 4, Tip, FALSE, g, more\n");
  ASSERT_EQ(v150.hot_areas.size(), 5u);
  const auto& a = v150.hot_areas;
  EXPECT_EQ(a[0].hint, "Tip");
  EXPECT_FALSE(a[0].is_switch);
  EXPECT_TRUE(a[1].is_switch);
  EXPECT_FALSE(a[1].down);
  EXPECT_EQ(a[1].group, "");
  EXPECT_EQ(a[2].group, "modes");
  EXPECT_TRUE(a[2].down);
  EXPECT_TRUE(a[3].down);     // anything but FALSE is down
  EXPECT_EQ(a[4].group, "");  // a group only with exactly that many items
  ASSERT_EQ(v150.groups.size(), 1u);
  EXPECT_EQ(v150.groups[0].down, 3);  // the last member that starts down

  const Skin v140 =
      loaded("[HOTAREAINFO]\nCount=3\n1=A, 1, 2, 3, 4\n2=B, 1, 2, 3, 4, FALSE\n3=C, 1, 2, 3, 4, FALSE, g\n");
  EXPECT_EQ(v140.hot_areas[0].hint, "");
  EXPECT_TRUE(v140.hot_areas[1].is_switch);
  EXPECT_EQ(v140.hot_areas[2].group, "g");

  const Skin filler = loaded("[HOTAREAINFO]\nCount=2\n2=B, 5, 6, 7, 8\n");
  EXPECT_EQ(filler.hot_areas[0].id, "NOT_DEFINED");  // a missing line reads as the filler
  EXPECT_EQ(filler.hot_areas[1].left, 5);
}

TEST(SkinLoad, DisplaySlotItemCounts) {
  const Skin s = loaded(
      "[DISPLAYINFO]\nCount=4\n"
      "1=TEXT_A, MS Sans Serif, TRUE, FALSE, 10, $0000FF00, 10, 45\n"
      "2=TEXT_B, Arial, FALSE, TRUE, 8, $00FFFFFF, 1, 2, Number\n"
      "3=TEXT_C, Arial, FALSE, FALSE, 12, $000000FF, 3, 4, Text, \"CONDITIONS, AT\"\n");
  ASSERT_EQ(s.displays.size(), 4u);
  EXPECT_EQ(s.displays[0].font_name, "MS Sans Serif");
  EXPECT_TRUE(s.displays[0].bold);
  EXPECT_FALSE(s.displays[0].italic);
  EXPECT_EQ(s.displays[0].colour, 0x00FF00u);
  EXPECT_EQ(s.displays[0].style, "Normal");  // no style item
  EXPECT_EQ(s.displays[3].style, "Normal");
  EXPECT_EQ(s.displays[0].text, "");
  EXPECT_TRUE(s.displays[1].italic);
  EXPECT_EQ(s.displays[1].style, "Number");
  EXPECT_EQ(s.displays[1].text, "");
  EXPECT_EQ(s.displays[2].text, "CONDITIONS, AT");
  EXPECT_EQ(s.displays[3].id, "NOT_DEFINED");
  EXPECT_EQ(s.charset, 1);
}

TEST(SkinLoad, TrackBarPlacement) {
  const Skin s = loaded(
      "[TRACKBARINFO]\nCount=3\n"
      "1=VOL, t.bmp, td.bmp, 5, 6, 100, H, 50, Volume\n"
      "2=V, t.bmp, td.bmp, 5, 6, 58, V\n"
      "3=OVER, t.bmp, td.bmp, 0, 0, 100, H, 250\n");
  ASSERT_EQ(s.track_bars.size(), 3u);
  const TrackBar& h = s.track_bars[0];
  EXPECT_TRUE(h.horizontal);
  EXPECT_EQ(h.thumb_width(), 10);  // the dragged picture's size is the thumb's
  EXPECT_EQ(h.offset, 45);         // 50 * (100 - 10) / 100
  EXPECT_EQ(h.hint, "Volume");
  const TrackBar& v = s.track_bars[1];
  EXPECT_FALSE(v.horizontal);
  EXPECT_EQ(v.position, 0);
  EXPECT_EQ(s.track_bars[2].position, 100);  // limited to 100
  EXPECT_EQ(s.track_bars[2].offset, 90);
}

}  // namespace
}  // namespace cirrodex
