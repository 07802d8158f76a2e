#pragma once
// The settings store in one file, settings.ini (see settings_file_format.h).
//
// Every change happens under an exclusive lock on settings.ini.lock: read the
// current file, apply the change, write a new file beside it, fsync, rename it
// over the old one and fsync the folder. So several running copies never lose
// each other's changes, a crash leaves either the old or the new file, and a
// change is on disk when the call returns. Reads take no lock (the file is
// only ever replaced whole) and reuse the parsed file while stat shows the
// same file. A damaged file is moved aside, never written over.

#include <sys/stat.h>
#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/settings_file_format.h"
#include "platform/settings_store.h"

namespace cirrodex {

// Owns a file descriptor. Closing it also drops a flock taken through it.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  ~UniqueFd() { reset(); }
  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  void reset();

 private:
  int fd_ = -1;
};

class FileSettingsStore final : public SettingsStore {
 public:
  // path is normally settings_file_path(); its folder is made when missing.
  explicit FileSettingsStore(std::string path);

  std::optional<std::string> read(std::string_view section, std::string_view key) override;
  std::optional<StoreError> write(std::string_view section, std::string_view key, std::string_view value) override;
  std::optional<StoreError> erase_section(std::string_view section) override;
  std::string take_notice() override { return std::exchange(notice_, std::string()); }

 private:
  // What identifies one version of the file. Writers never change a file in
  // place, so a new version always has a new inode; size and time catch hand
  // edits made in place.
  struct Stamp {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    time_t mtime_sec = 0;
    long mtime_nsec = 0;
    bool operator==(const Stamp&) const = default;
  };
  struct Snapshot;

  static Stamp stamp_of(const struct stat& st);

  Snapshot load() const;
  void refresh();
  void adopt(Snapshot&& snapshot);
  std::optional<std::string> move_aside(Snapshot& snapshot);
  std::optional<StoreError> change(const std::function<bool(SettingsDocument&)>& edit);
  std::optional<StoreError> replace_file(SettingsDocument document);
  UniqueFd lock() const;
  void remove_stale_temporaries() const;
  void add_notice(const std::string& text);

  std::string path_;
  std::string dir_;
  std::string name_;
  std::string lock_path_;

  // The parsed file as last seen. cached_file_ keeps that file open, so that
  // its inode number cannot be given to a later file while we compare with it.
  bool loaded_ = false;
  SettingsDocument cache_;
  std::optional<Stamp> seen_;  // nothing: there was no file (or no way to stat it)
  UniqueFd cached_file_;
  std::string notice_;
};

}  // namespace cirrodex
