#pragma once
// The sound port over libcanberra's PulseAudio backend (PipeWire serves the
// same protocol). Sounds play asynchronously; with no sound server a play
// fails at once and quietly.

#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "platform/sound.h"

struct ca_context;

namespace cirrodex {

class CanberraSound final : public Sound {
 public:
  // In-memory sounds are written once each into cache_dir and played from
  // there (canberra reads only files). Empty: $XDG_RUNTIME_DIR/cirrodex,
  // or the user's cache folder when there is no runtime folder.
  explicit CanberraSound(std::string cache_dir = {});
  ~CanberraSound() override;
  CanberraSound(const CanberraSound&) = delete;
  CanberraSound& operator=(const CanberraSound&) = delete;

  bool play(std::string_view wav_bytes) override;
  bool play_file(const std::string& path) override;
  bool playing() const override;

  // The folder in-memory sounds go to.
  const std::string& cache_dir() const { return dir_; }

 private:
  static void on_finished(ca_context* context, std::uint32_t id, int error, void* self);
  std::string cached_file(std::string_view wav_bytes);

  ca_context* context_ = nullptr;
  std::string dir_;
  std::map<std::uint64_t, std::string> files_;  // content hash -> cache file written by this process
  std::uint32_t next_id_ = 1;
  // Ids of sounds started and not yet finished. The finish callback runs on
  // canberra's thread, hence the lock.
  mutable std::mutex mutex_;
  mutable std::set<std::uint32_t> active_;
};

}  // namespace cirrodex
