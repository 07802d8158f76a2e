#pragma once
// The temperature spoken aloud from recorded words: "the temperature is",
// an optional "minus", the number in words and "degrees", with two short
// pauses. spoken_words decides the sequence; speak_temperature plays it, each
// word to its end, through the sound port.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "conditions/readings.h"
#include "platform/host.h"
#include "platform/sound.h"

namespace cirrodex {

inline constexpr int kSpokenPauseMs = 200;

// Which part of the sentence a word is: each has its own failure text.
enum class SpokenRole { Opening, Minus, Hundred, TensOrTeen, Units, Degrees };

struct SpokenStep {
  // A word names its sound resource (type "WAVE"), spelled as it is played:
  // "TEMPIS", "MINUS", "HUNDRED", "S0" ... "S9", "s10" ... "s19", "TWENTY" ...
  // "NINETY", "DEGREES". An empty word is a pause of pause_ms.
  std::string word;
  SpokenRole role = SpokenRole::Opening;
  int pause_ms = 0;
  bool operator==(const SpokenStep&) const = default;
};

// The sequence for a Temperature text as shown (either unit); empty when
// nothing is to be said. Only the first three characters count: "72°F"
// gives seventy, two; "-15°F" gives minus, fifteen; "100°F" gives hundred.
std::vector<SpokenStep> spoken_words(std::string_view temperature);

// The words separated by blanks with "pause:200" where the pauses fall.
std::string describe(const std::vector<SpokenStep>& steps);

// The longest a word may keep the sound busy before the next one starts
// anyway (a sound server that never reports the end must not hang us).
inline constexpr int kWordLimitMs = 5000;
// How often the end of a word is looked for.
inline constexpr int kWordPollMs = 10;

// Repaints the window, then plays the words of readings.Temperature in order.
// Each word is waited for through the host's pause, which keeps the window
// painting; a word that cannot be played is reported on the status line and
// the sentence goes on. stopped, when given, is asked before every step: the
// program's exit may come during a pause, and ends the sentence there.
void speak_temperature(const Readings& readings, Host& host, Sound& sound, const std::function<bool()>& stopped = {});

}  // namespace cirrodex
