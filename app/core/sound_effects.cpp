#include "app/core/sound_effects.h"

#include "platform/text.h"
#include "resources/builtin.h"

namespace cirrodex {

void play_sound_effect(Settings& settings, Sound& sound, std::string_view name) {
  if (!settings.flag("playsounds")) return;
  // The resource names are upper case; callers write them as they like.
  const auto bytes = builtin_resource(text::upper(name), "WAVE");
  if (!bytes || sound.playing()) return;
  sound.play(*bytes);
}

void play_menu_sound(Settings& settings, Sound& sound, const std::string& path) {
  if (!path.empty() && settings.flag("playsounds") && !sound.playing()) sound.play_file(path);
}

}  // namespace cirrodex
