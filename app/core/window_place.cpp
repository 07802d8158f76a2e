#include "app/core/window_place.h"

#include "platform/text.h"

namespace cirrodex {

namespace {
bool as_int(const std::string& s, int& out) {
  const auto v = text::to_integer(s);
  if (!v || *v < -1000000 || *v > 1000000) return false;
  out = static_cast<int>(*v);
  return true;
}
}  // namespace

WindowPoint first_show_position(Settings& settings, WindowPoint current, int screen_width, int screen_height,
                                int window_width, int window_height) {
  const std::string x = settings.get("Xpos");
  if (x == kMissing) return {screen_width - window_width, screen_height - window_height};
  WindowPoint p = current;
  if (!as_int(x, p.left)) return p;
  as_int(settings.get("Ypos"), p.top);
  return p;
}

void save_window_geometry(Settings& settings, int left, int top, int width, int height) {
  settings.set("Xpos", std::to_string(left));
  settings.set("Ypos", std::to_string(top));
  settings.set("width", std::to_string(width));
  settings.set("height", std::to_string(height));
}

}  // namespace cirrodex
