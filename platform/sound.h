#pragma once
// Sound output: the interface sounds of windows, buttons and menus.

#include <string>
#include <string_view>

namespace cirrodex {

class Sound {
 public:
  virtual ~Sound() = default;
  // Starts playing a complete WAV file held in memory and returns at once;
  // false when the sound could not start (no sound server, bad data, ...).
  virtual bool play(std::string_view wav_bytes) = 0;
  // The same for a sound file on disk.
  virtual bool play_file(const std::string& path) = 0;
  // True from a successful start until that sound has finished; a sound that
  // failed to start never counts, so a missing server cannot mute later sounds.
  virtual bool playing() const = 0;
};

}  // namespace cirrodex
