#pragma once
// What the mouse does to a skin: pressed, hover and switch states, radio
// groups, track bars, tooltips and window moves. The widget turns its mouse
// events into these calls and paints the state they leave.

#include <optional>
#include <string>

#include "skins/skin.h"

namespace cirrodex {

struct TrackBarChange {
  std::string id;
  int position = 0;
};

struct MouseOutcome {
  std::string id;                           // the hot area or track bar under the mouse, or empty
  bool repaint = false;                     // the face must be painted again
  bool start_window_move = false;           // press on the background: move the window
  std::optional<TrackBarChange> track_bar;  // a thumb moved
};

class SkinControl {
 public:
  explicit SkinControl(Skin& skin) : skin_(skin) {}

  MouseOutcome press(int x, int y, bool left_button);
  MouseOutcome move(int x, int y);
  MouseOutcome release(int x, int y);

  // The hot area whose hover picture shows, or -1.
  int hover_index() const { return hover_; }
  // The track bar being dragged, or -1.
  int dragged_bar() const { return active_bar_; }
  const std::string& tooltip() const { return tooltip_; }

  // Sets a switch's state by ID; false when there is no such hot area.
  bool set_switch(const std::string& id, bool down);
  // The index of the hot area under a point, or -1.
  int hot_area_at(int x, int y) const;

 private:
  void set_bar_offset(TrackBar& bar, int offset);
  int along(const TrackBar& bar, int x, int y) const { return bar.horizontal ? x - bar.left : y - bar.top; }

  Skin& skin_;
  int active_bar_ = -1;
  int grab_ = 0;
  bool over_hot_area_ = false;
  bool repaint_needed_ = false;
  int hover_ = -1;
  std::string tooltip_;
};

// The cell of a glyph: numbers strip column (a character that is not
// "0123456789 " uses the 0 cell), and text sheet row and column (anything
// not on the sheet uses the blank of row 1, column 10).
int number_cell(char c);
struct TextCell {
  int row = 1;
  int column = 10;
};
TextCell text_cell(char c);

}  // namespace cirrodex
