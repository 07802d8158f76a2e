#include "skins/skin_control.h"

#include <algorithm>
#include <string_view>

namespace cirrodex {

int SkinControl::hot_area_at(int x, int y) const {
  for (std::size_t i = 0; i < skin_.hot_areas.size(); ++i)
    if (skin_.hot_areas[i].contains(x, y)) return static_cast<int>(i);
  return -1;
}

void SkinControl::set_bar_offset(TrackBar& bar, int offset) {
  const int travel = bar.travel();
  if (travel <= 0) {
    bar.position = 0;
    bar.offset = 0;
    return;
  }
  offset = std::clamp(offset, 0, travel);
  bar.position = offset * 100 / travel;
  place_thumb(bar);
}

MouseOutcome SkinControl::press(int x, int y, bool left_button) {
  MouseOutcome out;
  active_bar_ = -1;
  if (!left_button) return out;

  bool hit = false;
  const int index = hot_area_at(x, y);
  if (index >= 0) {
    hit = true;
    HotArea& a = skin_.hot_areas[static_cast<std::size_t>(index)];
    a.pressed = true;
    out.id = a.id;
    if (!a.group.empty()) {
      // In a radio group the pressed member is down, whatever it was.
      RadioGroup& g = skin_.groups[static_cast<std::size_t>(skin_.group_index(a.group))];
      if (g.down >= 0 && g.down != index) skin_.hot_areas[static_cast<std::size_t>(g.down)].down = false;
      g.down = index;
      a.down = true;
    } else if (a.is_switch) {
      a.down = !a.down;
    }
    out.repaint = true;
  }

  for (std::size_t i = 0; i < skin_.track_bars.size(); ++i) {
    TrackBar& b = skin_.track_bars[i];
    const int tx = b.horizontal ? b.left + b.offset : b.left;
    const int ty = b.horizontal ? b.top : b.top + b.offset;
    if (x >= tx && x < tx + b.thumb_width() && y >= ty && y < ty + b.thumb_height()) {
      active_bar_ = static_cast<int>(i);
      grab_ = along(b, x, y) - b.offset;
      hit = true;
      break;
    }
    const bool on_bar = b.horizontal
                            ? (x >= b.left && x < b.left + b.length && y >= b.top && y < b.top + b.thumb_height())
                            : (x >= b.left && x < b.left + b.thumb_width() && y >= b.top && y < b.top + b.length);
    if (on_bar) {
      set_bar_offset(b, along(b, x, y) - b.thumb_size() / 2);
      out.track_bar = TrackBarChange{b.id, b.position};
      out.repaint = true;
      break;
    }
  }
  out.start_window_move = !hit;
  return out;
}

MouseOutcome SkinControl::move(int x, int y) {
  MouseOutcome out;
  if (repaint_needed_) {
    out.repaint = true;
    repaint_needed_ = false;
  }
  tooltip_.clear();
  const bool was_over = over_hot_area_;

  if (active_bar_ >= 0) {
    TrackBar& b = skin_.track_bars[static_cast<std::size_t>(active_bar_)];
    const int p = along(b, x, y);
    if (p >= 0 && p <= b.length) {
      set_bar_offset(b, p - grab_);
      out.track_bar = TrackBarChange{b.id, b.position};
      out.repaint = true;
    }
    out.id = b.id;
  } else {
    for (const TrackBar& b : skin_.track_bars) {
      const int w = b.horizontal ? b.length : b.thumb_width();
      const int h = b.horizontal ? b.thumb_height() : b.length;
      if (x >= b.left && x < b.left + w && y >= b.top && y < b.top + h) {
        tooltip_ = b.hint;
        break;
      }
    }
  }

  const int index = hot_area_at(x, y);
  const int before = index >= 0 ? index : static_cast<int>(skin_.hot_areas.size());
  for (int i = 0; i < before; ++i) {
    HotArea& a = skin_.hot_areas[static_cast<std::size_t>(i)];
    if (a.pressed) {
      a.pressed = false;
      out.repaint = true;
    }
  }
  hover_ = -1;
  if (index >= 0) {
    const HotArea& a = skin_.hot_areas[static_cast<std::size_t>(index)];
    out.id = a.id;
    tooltip_ = a.hint;
    if (skin_.hover) {
      hover_ = index;
      out.repaint = true;
    }
  }
  over_hot_area_ = index >= 0;
  if (over_hot_area_ != was_over) repaint_needed_ = true;
  return out;
}

MouseOutcome SkinControl::release(int x, int y) {
  MouseOutcome out;
  active_bar_ = -1;
  const int index = hot_area_at(x, y);
  if (index >= 0) {
    HotArea& a = skin_.hot_areas[static_cast<std::size_t>(index)];
    out.id = a.id;
    a.pressed = false;
  }
  out.repaint = true;
  return out;
}

bool SkinControl::set_switch(const std::string& id, bool down) {
  for (HotArea& a : skin_.hot_areas) {
    if (a.id == id) {
      a.down = down;
      return true;
    }
  }
  return false;
}

int number_cell(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  return c == ' ' ? 10 : 0;
}

TextCell text_cell(char c) {
  static constexpr std::string_view row0 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ@\"?*\xB0";
  static constexpr std::string_view row1 = "0123456789 .:<>-'!_+\\/[]^&%,=$";
  if (c >= 'a' && c <= 'z') return {2, c - 'a'};
  if (const auto at = row0.find(c); at != std::string_view::npos) return {0, static_cast<int>(at)};
  if (const auto at = row1.find(c); at != std::string_view::npos) return {1, static_cast<int>(at)};
  return {1, 10};
}

}  // namespace cirrodex
