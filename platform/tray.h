#pragma once
// The tray port: what the desktop shell offers for notification-area icons.
// Each icon has an id of the caller's choosing; the shell adds, modifies and
// removes it and reports the mouse on it back to the listener of that id.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace cirrodex {

// An icon picture: width x height pixels, row by row, each 0xAARRGGBB
// (alpha not premultiplied). Kept plain so the logic never needs Qt.
struct TrayPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;

  // One colour over the whole square.
  static TrayPicture filled(int size, std::uint32_t argb_colour) {
    return {size, size,
            std::vector<std::uint32_t>(static_cast<std::size_t>(size) * static_cast<std::size_t>(size), argb_colour)};
  }
  bool empty() const {
    return width <= 0 || height <= 0 ||
           argb.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  }
  bool operator==(const TrayPicture&) const = default;
};

struct TrayPoint {
  int x = 0;
  int y = 0;
  bool operator==(const TrayPoint&) const = default;
};

enum class TrayButton { Left, Right, Middle };

// One mouse notification; at is the cursor position on the screen when it
// happened. A click arrives as Down followed by Up.
struct TrayEvent {
  enum class Kind { Move, Down, Up, DoubleClick };
  Kind kind = Kind::Down;
  TrayButton button = TrayButton::Left;
  TrayPoint at;
};

class Tray {
 public:
  using Listener = std::function<void(const TrayEvent&)>;

  virtual ~Tray() = default;
  // Results are not reported: a refused add or modify just leaves the icon
  // missing. Modifying or removing an id that is not there does nothing.
  virtual void add(int id, const TrayPicture& picture, const std::string& tip) = 0;
  virtual void modify(int id, const TrayPicture& picture, const std::string& tip) = 0;
  virtual void remove(int id) = 0;
  // Where the mouse events of that id go; an empty listener stops them.
  virtual void set_listener(int id, Listener listener) = 0;
  // False while no notification area is there to show icons: a window hidden
  // to the tray then could not be brought back.
  virtual bool available() const = 0;
};

}  // namespace cirrodex
