#pragma once
// A skin: its description (skin.ini) and its decoded pictures, as the
// skinned window needs them.

#include <functional>
#include <string>
#include <vector>

#include "platform/colour.h"
#include "skins/picture.h"

namespace cirrodex {

struct HotArea {
  std::string id;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool is_switch = false;
  bool down = false;
  std::string group;
  std::string hint;
  bool pressed = false;

  bool contains(int x, int y) const { return x >= left && x < left + width && y >= top && y < top + height; }
};

struct DisplaySlot {
  std::string id;
  std::string font_name;
  bool bold = false;
  bool italic = false;
  int size = 0;
  ColourValue colour = 0;  // 00BBGGRR
  int left = 0;
  int top = 0;
  std::string style;  // "Number", "Text", anything else: drawn with the font
  std::string text;
};

struct TrackBar {
  std::string id;
  std::string thumb_name;
  std::string dragged_name;
  Picture thumb;
  Picture dragged;
  int left = 0;
  int top = 0;
  int length = 0;
  bool horizontal = true;
  int position = 0;  // 0 to 100
  int offset = 0;    // of the thumb along the bar, in pixels
  std::string hint;

  int thumb_width() const { return dragged.width; }
  int thumb_height() const { return dragged.height; }
  int thumb_size() const { return horizontal ? dragged.width : dragged.height; }
  int travel() const { return length - thumb_size(); }
};

struct RadioGroup {
  std::string name;
  int down = -1;  // index of the hot area that is down, or -1
};

struct Skin {
  int version = 140;
  int charset = 1;
  bool hover = false;  // hover face differs from the pressed face
  std::string mask_name, up_name, down_name, on_name, numbers_name, text_name;
  Picture mask, face, over, pressed, numbers, text;  // numbers and text may be empty
  std::vector<HotArea> hot_areas;
  std::vector<DisplaySlot> displays;
  std::vector<TrackBar> track_bars;
  std::vector<RadioGroup> groups;

  int group_index(const std::string& name) const;
};

// Where a skin's pictures come from: files beside skin.ini, or the
// program's built-in pictures. The source returns the reason on failure.
using PictureLoader = std::function<PictureResult(const std::string& name)>;

struct SkinResult {
  std::optional<Skin> skin;
  std::string error;
};

// Reads a skin description and its pictures. gif_warning is called for every
// picture named as a GIF (it is not loaded).
SkinResult load_skin(std::string_view ini_text, const PictureLoader& pictures,
                     const std::function<void()>& gif_warning);

// Sets a track bar's thumb from its position: position * travel / 100.
void place_thumb(TrackBar& bar);

// True when the name's three characters after its first dot are "gif" in any case.
bool is_gif_name(const std::string& name);

}  // namespace cirrodex
