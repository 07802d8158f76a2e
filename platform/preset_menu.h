#pragma once
// The preset entries of the "Get Stats" menu: 20 entries, each with a
// caption and a visible flag; a hidden entry takes no room.

#include <string>

namespace cirrodex {

inline constexpr int kPresetSlots = 20;

class PresetMenu {
 public:
  virtual ~PresetMenu() = default;
  virtual void set_preset_entry(int index, const std::string& caption, bool visible) = 0;
};

}  // namespace cirrodex
