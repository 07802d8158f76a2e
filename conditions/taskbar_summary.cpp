#include "conditions/taskbar_summary.h"

namespace cirrodex {

std::string taskbar_summary(std::string_view caption, const Readings& r) {
  std::string s(caption);
  s += " - " + r.Conditions + " - " + r.Temperature + " / " + "Humidity: " + r.Humidity + " - " + "Wind: " + r.Wind;
  return s;
}

TaskbarDelivery send_taskbar_summary(const Display& display, const Readings& r, TaskbarChannel& channel) {
  return channel.deliver(taskbar_summary(display.caption(), r));
}

}  // namespace cirrodex
