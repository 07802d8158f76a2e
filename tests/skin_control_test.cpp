// The mouse on a skin: pressed, hover and switch states, radio groups,
// track-bar arithmetic, window moves, and the glyph cells.
#include <gtest/gtest.h>

#include "skins/skin_control.h"
#include "skins/skin_region.h"

namespace cirrodex {
namespace {

HotArea area(const std::string& id, int left, int top, int w, int h) {
  HotArea a;
  a.id = id;
  a.left = left;
  a.top = top;
  a.width = w;
  a.height = h;
  a.hint = id + " tip";
  return a;
}

Picture picture(int w, int h) { return Picture{w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w * h))}; }

TrackBar bar(bool horizontal, int length, int thumb_w, int thumb_h) {
  TrackBar b;
  b.id = horizontal ? "H" : "V";
  b.left = 100;
  b.top = 100;
  b.length = length;
  b.horizontal = horizontal;
  b.thumb = picture(thumb_w, thumb_h);
  b.dragged = picture(thumb_w, thumb_h);
  b.hint = "slide";
  place_thumb(b);
  return b;
}

TEST(SkinControl, PressOnButtonOrBackground) {
  Skin skin;
  skin.hot_areas = {area("BUTTON_EXIT", 10, 10, 20, 10)};
  SkinControl c(skin);
  MouseOutcome out = c.press(15, 15, true);
  EXPECT_EQ(out.id, "BUTTON_EXIT");
  EXPECT_FALSE(out.start_window_move);
  EXPECT_TRUE(skin.hot_areas[0].pressed);
  EXPECT_EQ(c.release(15, 15).id, "BUTTON_EXIT");
  EXPECT_FALSE(skin.hot_areas[0].pressed);

  out = c.press(50, 50, true);
  EXPECT_EQ(out.id, "");
  EXPECT_TRUE(out.start_window_move);                      // the background moves the window
  EXPECT_FALSE(c.press(15, 15, false).start_window_move);  // only the left button does anything
  EXPECT_FALSE(skin.hot_areas[0].pressed);
}

TEST(SkinControl, SwitchesAndRadioGroups) {
  Skin skin;
  for (int i = 0; i < 3; ++i) {
    HotArea a = area("R" + std::to_string(i), i * 10, 0, 10, 10);
    a.is_switch = true;
    a.group = "g";
    skin.hot_areas.push_back(a);
  }
  HotArea lone = area("S", 50, 0, 10, 10);
  lone.is_switch = true;
  skin.hot_areas.push_back(lone);
  skin.hot_areas[0].down = true;
  skin.groups = {{"g", 0}};
  SkinControl c(skin);

  auto downs = [&] {
    std::string s;
    for (const auto& a : skin.hot_areas) s += a.down ? '1' : '0';
    return s;
  };
  c.press(15, 5, true);  // the second member
  EXPECT_EQ(downs(), "0100");
  c.press(15, 5, true);  // pressing the down member again keeps it down
  EXPECT_EQ(downs(), "0100");
  c.press(55, 5, true);  // a lone switch toggles
  EXPECT_EQ(downs(), "0101");
  c.press(55, 5, true);
  EXPECT_EQ(downs(), "0100");
  EXPECT_TRUE(c.set_switch("R2", true));
  EXPECT_FALSE(c.set_switch("NOPE", true));
}

TEST(SkinControl, HoverTooltipsAndPressedMarks) {
  Skin skin;
  skin.hover = true;
  skin.hot_areas = {area("A", 0, 0, 10, 10), area("B", 20, 0, 10, 10)};
  SkinControl c(skin);
  MouseOutcome out = c.move(25, 5);
  EXPECT_EQ(out.id, "B");
  EXPECT_EQ(c.tooltip(), "B tip");
  EXPECT_EQ(c.hover_index(), 1);
  // Entering a hot area asks for a repaint on the next move.
  EXPECT_TRUE(c.move(26, 5).repaint);

  c.press(5, 5, true);
  EXPECT_TRUE(skin.hot_areas[0].pressed);
  c.move(5, 5);  // still on it: the mark stays
  EXPECT_TRUE(skin.hot_areas[0].pressed);
  out = c.move(50, 50);  // off every area: every mark goes
  EXPECT_FALSE(skin.hot_areas[0].pressed);
  EXPECT_EQ(out.id, "");
  EXPECT_EQ(c.tooltip(), "");
  EXPECT_EQ(c.hover_index(), -1);

  skin.hover = false;
  c.move(5, 5);
  EXPECT_EQ(c.hover_index(), -1);  // no hover picture without hover faces
  EXPECT_EQ(c.tooltip(), "A tip");
}

TEST(SkinControl, TrackBarClickJumpsTheThumb) {
  Skin skin;
  skin.track_bars = {bar(true, 100, 10, 8)};
  SkinControl c(skin);
  const MouseOutcome out = c.press(170, 104, true);  // 70 pixels from the start
  ASSERT_TRUE(out.track_bar);
  EXPECT_EQ(out.track_bar->position, 72);  // offset 65 -> 65 * 100 / 90
  EXPECT_EQ(skin.track_bars[0].offset, 64);
  EXPECT_TRUE(out.start_window_move);  // a jump grabs nothing
}

TEST(SkinControl, TrackBarDrag) {
  Skin skin;
  skin.track_bars = {bar(false, 110, 8, 10)};  // vertical, travel 100
  skin.track_bars[0].position = 50;
  place_thumb(skin.track_bars[0]);
  SkinControl c(skin);
  ASSERT_EQ(skin.track_bars[0].offset, 50);
  EXPECT_FALSE(c.press(103, 153, true).start_window_move);  // on the thumb, 3 px below its top
  EXPECT_EQ(c.dragged_bar(), 0);
  MouseOutcome out = c.move(103, 183);
  ASSERT_TRUE(out.track_bar);
  EXPECT_EQ(out.track_bar->position, 80);
  EXPECT_EQ(out.id, "V");
  out = c.move(103, 101);  // to the top
  EXPECT_EQ(out.track_bar->position, 0);
  out = c.move(103, 40);  // above the bar: nothing moves, it stays at 0
  EXPECT_FALSE(out.track_bar);
  EXPECT_EQ(skin.track_bars[0].position, 0);
  c.release(103, 40);
  EXPECT_EQ(c.dragged_bar(), -1);
  EXPECT_EQ(c.move(104, 120).id, "");
  EXPECT_EQ(c.tooltip(), "slide");
}

TEST(SkinControl, ThumbAsLongAsItsBarStaysPut) {
  Skin skin;
  skin.track_bars = {bar(true, 10, 10, 8)};
  SkinControl c(skin);
  const MouseOutcome out = c.press(105, 104, true);
  EXPECT_EQ(skin.track_bars[0].position, 0);
  EXPECT_FALSE(out.start_window_move);
}

TEST(Glyphs, Cells) {
  EXPECT_EQ(number_cell('7'), 7);
  EXPECT_EQ(number_cell(' '), 10);
  for (char c : std::string("n/a-.")) EXPECT_EQ(number_cell(c), 0) << c;  // "n/a" draws three 0 cells

  struct Case {
    char c;
    int row;
    int column;
  };
  const Case cases[] = {{'A', 0, 0},     {'Z', 0, 25}, {'@', 0, 26}, {'"', 0, 27},   {'?', 0, 28}, {'*', 0, 29},
                        {'\xB0', 0, 30}, {'0', 1, 0},  {' ', 1, 10}, {'.', 1, 11},   {'$', 1, 29}, {'\\', 1, 20},
                        {'a', 2, 0},     {'z', 2, 25}, {'~', 1, 10}, {'\xE9', 1, 10}};
  for (const auto& k : cases) {
    const TextCell cell = text_cell(k.c);
    EXPECT_EQ(cell.row, k.row) << k.c;
    EXPECT_EQ(cell.column, k.column) << k.c;
  }
}

TEST(SkinRegion, KeyColourAndTolerance) {
  const Rgb magenta{255, 0, 255};
  EXPECT_TRUE(is_key_pixel(0xFFFF00FFu, magenta, {0, 0, 0}));
  EXPECT_FALSE(is_key_pixel(0xFFFE00FFu, magenta, {0, 0, 0}));  // one step off stays
  EXPECT_FALSE(is_key_pixel(0xFFFF01FFu, magenta, {0, 0, 0}));
  const Rgb key{250, 250, 250};
  for (unsigned v = 245; v <= 255; ++v) {
    const std::uint32_t px = 0xFF000000u | (v << 16) | (v << 8) | v;
    EXPECT_EQ(is_key_pixel(px, key, {10, 10, 10}), v >= 250) << v;  // 250 to 255, capped
  }

  Picture mask = picture(5, 2);
  const std::uint32_t m = 0xFFFF00FFu, k = 0xFF000000u;
  mask.pixels = {m, k, k, m, k,  //
                 m, m, m, m, m};
  const std::vector<Rect> rects = mask_rects(mask, kClFuchsia, kClBlack);
  EXPECT_EQ(rects, (std::vector<Rect>{{1, 0, 2, 1}, {4, 0, 1, 1}}));
}

}  // namespace
}  // namespace cirrodex
