#pragma once
// A sound output that plays nothing and records "sound: NAME" for in-memory
// sounds the test has named (otherwise "sound: <N bytes>") and
// "sound: PATH" for files.

#include <map>
#include <string>

#include "platform/fakes/call_log.h"
#include "platform/sound.h"

namespace cirrodex::fakes {

class FakeSound final : public Sound {
 public:
  explicit FakeSound(CallLog& log) : log_(log) {}

  bool play(std::string_view wav_bytes) override {
    const auto it = names_.find(std::string(wav_bytes));
    log_.add("sound: " + (it != names_.end() ? it->second : "<" + std::to_string(wav_bytes.size()) + " bytes>"));
    return starts_;
  }
  bool play_file(const std::string& path) override {
    log_.add("sound: " + path);
    return starts_;
  }
  bool playing() const override { return playing_; }

  // The name the log shows for these bytes.
  void name_sound(std::string name, std::string_view wav_bytes) { names_[std::string(wav_bytes)] = std::move(name); }
  void set_playing(bool p) { playing_ = p; }
  // What play and play_file answer (true unless set).
  void set_starts(bool s) { starts_ = s; }

 private:
  CallLog& log_;
  std::map<std::string, std::string> names_;
  bool playing_ = false;
  bool starts_ = true;
};

}  // namespace cirrodex::fakes
