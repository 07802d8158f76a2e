#pragma once
// Preset entries kept in memory; a visible write is recorded as
// "preset N=TEXT", a hidden one as "preset N hidden".

#include <array>

#include "platform/fakes/call_log.h"
#include "platform/preset_menu.h"

namespace cirrodex::fakes {

class FakePresetMenu final : public PresetMenu {
 public:
  struct Entry {
    std::string caption;
    bool visible = false;
  };
  explicit FakePresetMenu(CallLog& log) : log_(log) {}

  void set_preset_entry(int index, const std::string& caption, bool visible) override {
    auto& e = entries_.at(static_cast<std::size_t>(index));
    e.caption = caption;
    e.visible = visible;
    log_.add("preset " + std::to_string(index) + (visible ? "=" + caption : std::string(" hidden")));
  }
  const Entry& entry(int index) const { return entries_.at(static_cast<std::size_t>(index)); }
  int visible_count() const {
    int n = 0;
    for (const auto& e : entries_) n += e.visible ? 1 : 0;
    return n;
  }

 private:
  CallLog& log_;
  std::array<Entry, kPresetSlots> entries_{};
};

}  // namespace cirrodex::fakes
