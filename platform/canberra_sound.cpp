#include "platform/canberra_sound.h"

#include <canberra.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/paths.h"

namespace cirrodex {

namespace {

std::string absolute_env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

std::string default_cache_dir() {
  // The runtime folder is private to the user and emptied at logout, which
  // suits files that only exist to be handed to the sound library.
  if (std::string run = absolute_env("XDG_RUNTIME_DIR"); !run.empty()) return run + "/cirrodex";
  if (std::string cache = absolute_env("XDG_CACHE_HOME"); !cache.empty()) return cache + "/cirrodex/sounds";
  if (std::string home = absolute_env("HOME"); !home.empty()) return home + "/.cache/cirrodex/sounds";
  return {};
}

std::uint64_t fnv1a(std::string_view bytes) {
  std::uint64_t h = 1469598103934665603ULL;
  for (const char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ULL;
  }
  return h;
}

// Our own folder: a real directory (not a link) owned by this user.
bool private_dir(const std::string& dir) {
  if (!make_dirs(dir)) return false;
  struct stat st {};
  return ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
}

bool write_file(const std::string& path, std::string_view bytes) {
  // Written beside the target and renamed over it, so another copy of the
  // program playing the same sound never reads half a file.
  const std::string temp = path + ".tmp" + std::to_string(::getpid());
  ::unlink(temp.c_str());
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return false;
  bool ok = true;
  for (std::size_t done = 0; ok && done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n > 0)
      done += static_cast<std::size_t>(n);
    else if (n < 0 && errno != EINTR)
      ok = false;
  }
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

}  // namespace

CanberraSound::CanberraSound(std::string cache_dir)
    : dir_(cache_dir.empty() ? default_cache_dir() : std::move(cache_dir)) {
  if (ca_context_create(&context_) != CA_SUCCESS) {
    context_ = nullptr;
    return;
  }
  // Only the PulseAudio backend: the ALSA one would take the device for
  // itself and prints ALSA's complaints on standard error when there is none.
  ca_context_set_driver(context_, "pulse");
  ca_context_change_props(context_, CA_PROP_APPLICATION_NAME, "Cirrodex", CA_PROP_APPLICATION_ID, "cirrodex", nullptr);
}

CanberraSound::~CanberraSound() {
  // Destroying the context calls back for the sounds still playing, so it
  // goes before the members the callback touches.
  if (context_ != nullptr) ca_context_destroy(context_);
}

void CanberraSound::on_finished(ca_context*, std::uint32_t id, int, void* self) {
  auto* sound = static_cast<CanberraSound*>(self);
  const std::lock_guard lock(sound->mutex_);
  sound->active_.erase(id);
}

std::string CanberraSound::cached_file(std::string_view wav_bytes) {
  const std::uint64_t key = fnv1a(wav_bytes);
  if (const auto it = files_.find(key); it != files_.end()) return it->second;
  if (dir_.empty() || !private_dir(dir_)) return {};
  char name[32];
  std::snprintf(name, sizeof name, "/%016llx.wav", static_cast<unsigned long long>(key));
  std::string path = dir_ + name;
  if (!write_file(path, wav_bytes)) return {};
  files_.emplace(key, path);
  return path;
}

bool CanberraSound::play(std::string_view wav_bytes) {
  if (context_ == nullptr || wav_bytes.empty()) return false;
  const std::string path = cached_file(wav_bytes);
  return !path.empty() && play_file(path);
}

bool CanberraSound::play_file(const std::string& path) {
  if (context_ == nullptr) return false;
  ca_proplist* props = nullptr;
  if (ca_proplist_create(&props) != CA_SUCCESS) return false;
  ca_proplist_sets(props, CA_PROP_MEDIA_FILENAME, path.c_str());
  ca_proplist_sets(props, CA_PROP_MEDIA_ROLE, "event");
  ca_proplist_sets(props, CA_PROP_CANBERRA_CACHE_CONTROL, "never");

  const std::uint32_t id = next_id_++;
  {
    // Registered before the start: the callback may come before play returns.
    const std::lock_guard lock(mutex_);
    active_.insert(id);
  }
  // Opens the connection on first use, so a sound server that starts later
  // is found; without one this fails at once.
  const int result = ca_context_play_full(context_, id, props, &CanberraSound::on_finished, this);
  ca_proplist_destroy(props);
  if (result != CA_SUCCESS) {
    const std::lock_guard lock(mutex_);
    active_.erase(id);
    return false;
  }
  return true;
}

bool CanberraSound::playing() const {
  if (context_ == nullptr) return false;
  std::vector<std::uint32_t> ids;
  {
    const std::lock_guard lock(mutex_);
    ids.assign(active_.begin(), active_.end());
  }
  // Canberra drops a sound that ended before its start call returned without
  // calling back; asking it keeps such an id from counting as playing forever.
  bool any = false;
  for (const std::uint32_t id : ids) {
    int now = 0;
    if (ca_context_playing(context_, id, &now) == CA_SUCCESS && now != 0) {
      any = true;
    } else {
      const std::lock_guard lock(mutex_);
      active_.erase(id);
    }
  }
  return any;
}

}  // namespace cirrodex
