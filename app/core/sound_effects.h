#pragma once
// The program's interface sounds: "sMax", "sMin", "sOkay", "sCancel",
// "sMnuP", "sMnuC" and "HELLO", compiled in as resources of type "WAVE".

#include <string>
#include <string_view>

#include "platform/settings.h"
#include "platform/sound.h"

namespace cirrodex {

// Plays the named sound (any letter case) when the playsounds setting is
// exactly "y". Returns at once; a sound still playing wins and the new one
// is skipped. An unknown name plays nothing.
void play_sound_effect(Settings& settings, Sound& sound, std::string_view name);

// A skin's menu sound file (its pop-up or command sound): played when
// playsounds is "y" and no other sound is playing.
void play_menu_sound(Settings& settings, Sound& sound, const std::string& path);

}  // namespace cirrodex
