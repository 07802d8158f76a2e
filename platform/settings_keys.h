#pragma once
// The one table of settings keys: every key the program reads or writes,
// with what a missing value means. Reading a key that is not here is a bug.

#include <span>
#include <string_view>

namespace cirrodex {

struct SettingKey {
  std::string_view section;
  std::string_view name;     // as the program spells it first; lookups fold case
  std::string_view missing;  // what the program does when the key is absent
};

std::span<const SettingKey> setting_keys();

// Whether section\key is a key of the table, ASCII case ignored; numbered
// keys (loc0..loc19, userrad1..userrad10, userrad1n.., usercam1..) count.
bool is_known_setting(std::string_view section, std::string_view key);

}  // namespace cirrodex
