#include "platform/file_settings_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#include "platform/paths.h"
#include "platform/text.h"

namespace cirrodex {

void UniqueFd::reset() {
  if (fd_ < 0) return;
  const int saved = errno;  // so that callers can still report the error that made them give up
  ::close(fd_);
  fd_ = -1;
  errno = saved;
}

namespace {

constexpr std::string_view kTempInfix = ".tmp-";

// Status texts are Latin-1 like all of the program's text; paths are UTF-8.
std::string shown(std::string_view path) { return text::utf8_to_latin1(path); }
std::string why(int err) { return std::strerror(err); }

StoreError refused(const std::string& what, int err) {
  return {"Settings not saved: " + what + " (" + why(err) + ")."};
}

std::string folder_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool write_all(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool read_all(int fd, std::string& out, off_t size_hint) {
  out.reserve(static_cast<std::size_t>(size_hint > 0 ? size_hint : 0));
  char buffer[16384];
  while (true) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    out.append(buffer, static_cast<std::size_t>(n));
  }
}

// A rename or a new file is durable only once its folder is flushed too.
bool sync_dir(const std::string& dir) {
  const UniqueFd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return fd && ::fsync(fd.get()) == 0;
}

std::string timestamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char buffer[32];
  std::strftime(buffer, sizeof buffer, "%Y%m%d-%H%M%S", &local);
  return buffer;
}

}  // namespace

struct FileSettingsStore::Snapshot {
  enum class State { Missing, Ok, Damaged };
  State state = State::Missing;
  SettingsDocument document;   // empty unless Ok
  std::optional<Stamp> stamp;  // of the file read, when there is one
  UniqueFd fd;                 // the file read, kept open for the cache
  std::string damage;          // "was damaged (line 3: ...)" or "could not be read (...)"
};

FileSettingsStore::Stamp FileSettingsStore::stamp_of(const struct stat& st) {
  return Stamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

FileSettingsStore::FileSettingsStore(std::string path)
    : path_(std::move(path)),
      dir_(folder_of(path_)),
      name_(path_.substr(path_.rfind('/') + 1)),
      lock_path_(path_ + ".lock") {}

FileSettingsStore::Snapshot FileSettingsStore::load() const {
  Snapshot s;
  struct stat st {};
  s.fd = UniqueFd(::open(path_.c_str(), O_RDONLY | O_CLOEXEC));
  if (!s.fd) {
    const int err = errno;
    if (err == ENOENT || err == ENOTDIR) return s;
    s.state = Snapshot::State::Damaged;
    s.damage = "could not be read (" + why(err) + ")";
    if (::stat(path_.c_str(), &st) == 0) s.stamp = stamp_of(st);
    return s;
  }
  std::string bytes;
  if (::fstat(s.fd.get(), &st) == 0) s.stamp = stamp_of(st);
  if (!s.stamp || !read_all(s.fd.get(), bytes, st.st_size)) {
    s.state = Snapshot::State::Damaged;
    s.damage = "could not be read (" + why(errno) + ")";
    return s;
  }
  SettingsParseResult parsed = parse_settings(bytes);
  if (parsed.error) {
    s.state = Snapshot::State::Damaged;
    s.damage = "was damaged (" + parsed.error->describe() + ")";
    return s;
  }
  s.state = Snapshot::State::Ok;
  s.document = std::move(parsed.document);
  return s;
}

void FileSettingsStore::adopt(Snapshot&& s) {
  cache_ = std::move(s.document);
  seen_ = s.stamp;
  cached_file_ = std::move(s.fd);
  loaded_ = true;
}

void FileSettingsStore::refresh() {
  struct stat st {};
  std::optional<Stamp> now;
  if (::stat(path_.c_str(), &st) == 0) now = stamp_of(st);
  if (loaded_ && now == seen_) return;

  Snapshot s = load();
  if (s.state == Snapshot::State::Damaged) {
    // Another copy may be replacing the file right now: only under the lock
    // is it certain that this is the current file and safe to move it.
    const UniqueFd held = lock();
    const int lock_err = errno;
    if (held) s = load();
    if (s.state == Snapshot::State::Damaged) {
      const auto cause = held ? move_aside(s) : std::optional<std::string>(why(lock_err));
      if (cause) {
        add_notice("Settings file " + shown(path_) + " " + s.damage + " and could not be moved aside (" + *cause +
                   "); defaults are used and changes will not be saved.");
      }
    }
  }
  adopt(std::move(s));
}

// With the lock held. On success the snapshot becomes "no file"; otherwise
// the cause, and the file stays where it is.
std::optional<std::string> FileSettingsStore::move_aside(Snapshot& s) {
  const std::string base = path_ + ".broken-" + timestamp();
  std::string target = base;
  struct stat st {};
  for (int n = 2; ::lstat(target.c_str(), &st) == 0; ++n) target = base + "-" + std::to_string(n);
  if (::rename(path_.c_str(), target.c_str()) != 0) return why(errno);
  sync_dir(dir_);
  add_notice("Settings file " + s.damage + "; it was moved to " + shown(target) + " and defaults are used.");
  s = Snapshot();
  return std::nullopt;
}

UniqueFd FileSettingsStore::lock() const {
  UniqueFd fd(::open(lock_path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  while (fd && ::flock(fd.get(), LOCK_EX) != 0) {
    if (errno != EINTR) fd.reset();
  }
  return fd;
}

// Called with the lock held: no other writer is busy, so any temporary file
// left is a crashed writer's.
void FileSettingsStore::remove_stale_temporaries() const {
  struct CloseDir {
    void operator()(DIR* d) const { ::closedir(d); }
  };
  const std::unique_ptr<DIR, CloseDir> dir(::opendir(dir_.c_str()));
  if (!dir) return;
  const std::string prefix = name_ + std::string(kTempInfix);
  while (const dirent* entry = ::readdir(dir.get())) {
    if (std::string_view(entry->d_name).starts_with(prefix)) ::unlinkat(::dirfd(dir.get()), entry->d_name, 0);
  }
}

std::optional<StoreError> FileSettingsStore::change(const std::function<bool(SettingsDocument&)>& edit) {
  struct stat st {};
  if (::stat(dir_.c_str(), &st) != 0) {
    if (!make_dirs(dir_)) {
      const int err = errno;
      return refused("cannot create the folder " + shown(dir_), err);
    }
    sync_dir(folder_of(dir_));
  }
  const UniqueFd held = lock();
  if (!held) {
    const int err = errno;
    return refused("cannot lock " + shown(lock_path_), err);
  }
  Snapshot s = load();
  if (s.state == Snapshot::State::Damaged) {
    if (const auto cause = move_aside(s)) {
      StoreError error{"Settings not saved: the settings file " + shown(path_) + " " + s.damage +
                       " and could not be moved aside (" + *cause + ")."};
      adopt(std::move(s));
      return error;
    }
  }
  if (!edit(s.document)) {
    adopt(std::move(s));
    return std::nullopt;
  }
  remove_stale_temporaries();
  return replace_file(std::move(s.document));
}

std::optional<StoreError> FileSettingsStore::replace_file(SettingsDocument document) {
  const std::string bytes = serialize_settings(document);
  std::string temp = path_ + std::string(kTempInfix) + "XXXXXX";
  UniqueFd fd(::mkostemp(temp.data(), O_CLOEXEC));  // O_EXCL and mode 0600
  if (!fd) {
    const int err = errno;
    return refused("cannot write " + shown(path_), err);
  }
  struct stat st {};
  if (!write_all(fd.get(), bytes) || ::fsync(fd.get()) != 0 || ::fstat(fd.get(), &st) != 0 ||
      ::rename(temp.c_str(), path_.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return refused("cannot write " + shown(path_), err);
  }
  cache_ = std::move(document);
  seen_ = stamp_of(st);
  cached_file_ = std::move(fd);
  loaded_ = true;
  if (!sync_dir(dir_)) {
    const int err = errno;
    return StoreError{"Settings may not be saved: cannot flush the folder " + shown(dir_) + " to disk (" + why(err) +
                      ")."};
  }
  return std::nullopt;
}

std::optional<std::string> FileSettingsStore::read(std::string_view section, std::string_view key) {
  refresh();
  const std::string* value = cache_.find(section, key);
  return value == nullptr ? std::nullopt : std::optional<std::string>(*value);
}

std::optional<StoreError> FileSettingsStore::write(std::string_view section, std::string_view key,
                                                   std::string_view value) {
  return change([&](SettingsDocument& d) {
    d.set(section, key, value);
    return true;
  });
}

std::optional<StoreError> FileSettingsStore::erase_section(std::string_view section) {
  refresh();
  // Erasing what is not there must not create the folder or rewrite the file.
  if (cache_.find_section(section) == nullptr) return std::nullopt;
  return change([&](SettingsDocument& d) { return d.erase_section(section); });
}

void FileSettingsStore::add_notice(const std::string& text) {
  if (!notice_.empty()) notice_ += ' ';
  notice_ += text;
}

}  // namespace cirrodex
