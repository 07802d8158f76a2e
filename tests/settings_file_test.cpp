// The settings file: its text form, the file store on a real folder, and the
// folder rules.

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/file_settings_store.h"
#include "platform/paths.h"
#include "platform/settings_file_format.h"
#include "platform/text.h"

namespace cirrodex {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// A new folder under $TMPDIR (or /tmp), removed with its contents afterwards.
class TempDir {
 public:
  TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string name = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/cirrodex-settings-XXXXXX";
    if (::mkdtemp(name.data()) == nullptr) throw std::runtime_error("mkdtemp: "s + std::strerror(errno));
    path_ = name;
  }
  ~TempDir() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);  // a test may leave it read-only
    fs::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }

 private:
  std::string path_;
};

class UmaskGuard {
 public:
  UmaskGuard() : old_(::umask(022)) {}
  ~UmaskGuard() { ::umask(old_); }

 private:
  mode_t old_;
};

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void spit(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

unsigned mode_of(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return 0xFFFF;
  return st.st_mode & 07777U;
}

std::vector<std::string> names_starting(const std::string& dir, std::string_view prefix) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(dir)) {
    const std::string name = e.path().filename().string();
    if (name.starts_with(prefix)) out.push_back(name);
  }
  return out;
}

std::string byte_range(int from, int to) {
  std::string s;
  for (int c = from; c <= to; ++c) s += static_cast<char>(c);
  return s;
}

struct Named {
  const char* what;
  std::string text;
};

// Texts that a naive INI writer would lose or change on the way back.
const std::vector<Named> kNasty = {
    {"blanks at both ends", "  two blanks each side  "},
    {"a single blank", " "},
    {"equals signs", "a=b==c="},
    {"semicolon first", "; not a comment"},
    {"hash first", "# not a comment"},
    {"section lookalike", "[x]"},
    {"CR", "a\rb"},
    {"LF", "a\nb"},
    {"CRLF at the end", "line\r\n"},
    {"tabs", "\ta\tb\t"},
    {"NUL bytes", "a\0b\0"s},
    {"backslashes", "C:\\dir\\"},
    {"escape lookalikes", "\\x41\\n\\"},
    {"bytes 0x80-0xFF", byte_range(0x80, 0xFF)},
    {"degree sign", "72\xB0"},
    {"empty", ""},
    {"every byte", byte_range(0, 255)},
};

// ---------------------------------------------------------------------------
// The text form

TEST(SettingsFormat, EveryTextSurvivesAsValueKeyAndSectionName) {
  for (const Named& n : kNasty) {
    SCOPED_TRACE(n.what);
    SettingsDocument doc;
    doc.set("Settings", n.text, n.text);
    doc.set("Settings", "after", "next line intact");
    doc.set(n.text, "k", "v");
    const std::string file = serialize_settings(doc);
    const SettingsParseResult back = parse_settings(file);
    ASSERT_FALSE(back.error) << back.error->describe() << "\n" << file;
    EXPECT_EQ(back.document, doc) << file;

    // The file stays plain text: every line is its own trimmed form, and it
    // is valid UTF-8 holding nothing above U+00FF.
    std::size_t pos = 0;
    while (pos < file.size()) {
      const std::size_t end = file.find('\n', pos);
      const std::string line = file.substr(pos, end - pos);
      EXPECT_EQ(line, text::trim(line));
      pos = end + 1;
    }
    EXPECT_EQ(text::latin1_to_utf8(text::utf8_to_latin1(file)), file);
  }
}

TEST(SettingsFormat, WritesReadableLines) {
  struct Case {
    std::string section, key, value, line;
  };
  const Case cases[] = {
      {"S", "t", "72\260F", "t=72\302\260F"},
      {"S", "name", "Ren\xE9", "name=Ren\xC3\xA9"},
      {"S", "k", " a b ", "k=\\x20a b\\x20"},
      {"S", "k", "a=b;[c]", "k=a=b;[c]"},
      {"S", "k", "back\\slash", "k=back\\\\slash"},
      {"S", "k", "a\r\n\tb", "k=a\\r\\n\\tb"},
      {"S", "k", "\x01\x7F\x85", "k=\\x01\\x7F\\x85"},
      {"S", "a=b", "1", "a\\x3Db=1"},
      {"S", ";x", "1", "\\x3Bx=1"},
      {"S", "[x", "1", "\\x5Bx=1"},
      {"a]b", "k", "1", "[a\\x5Db]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    SettingsDocument doc;
    doc.set(c.section, c.key, c.value);
    const std::string file = serialize_settings(doc);
    EXPECT_NE(file.find("\n" + c.line + "\n"), std::string::npos) << file;
  }
  // The header is made of comment lines, so a reader that skips comments skips it.
  const std::string empty = serialize_settings(SettingsDocument());
  ASSERT_FALSE(empty.empty());
  for (std::size_t pos = 0; pos < empty.size(); pos = empty.find('\n', pos) + 1) EXPECT_EQ(empty[pos], ';');
}

TEST(SettingsFormat, ReadsHandEditedFiles) {
  struct Case {
    const char* what;
    std::string file, section, key;
    std::optional<std::string> value;
  };
  const Case cases[] = {
      {"BOM and CRLF", "\xEF\xBB\xBF[Settings]\r\nMetric=y\r\n", "Settings", "Metric", "y"},
      {"blanks around names and values", "  [ Settings ]  \n\t Metric  =  y  \n", "Settings", "Metric", "y"},
      {"comments and blank lines", "# mine\n\n[Settings]\n; note\n\nMetric=y\n# end", "Settings", "Metric", "y"},
      {"no line end at the end", "[Settings]\nMetric=y", "Settings", "Metric", "y"},
      {"letter case of names", "[settings]\nHINDEXICON=y\n", "Settings", "HindexIcon", "y"},
      {"first = splits", "[S]\nk=a=b\n", "S", "k", "a=b"},
      {"empty value", "[S]\nk=\n", "S", "k", ""},
      {"missing key", "[S]\nk=1\n", "S", "other", std::nullopt},
      {"UTF-8 degree sign", "[S]\nt=72\xC2\xB0\n", "S", "t", "72\xB0"},
      {"Latin-1 byte, not UTF-8", "[S]\nt=72\xB0\n", "S", "t", "72\xB0"},
      {"code point above 255", "[S]\nt=\342\202\2545\n", "S", "t", "?5"},
      {"lower-case hex escape", "[S]\nk=\\x3d\\x41\n", "S", "k", "=A"},
      {"repeated key: last wins", "[S]\nk=1\nK=2\n", "S", "k", "2"},
      {"repeated section merges", "[S]\na=1\n[T]\nb=2\n[s]\nc=3\n", "S", "a", "1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const SettingsParseResult r = parse_settings(c.file);
    ASSERT_FALSE(r.error) << r.error->describe();
    const std::string* got = r.document.find(c.section, c.key);
    EXPECT_EQ(got != nullptr ? std::optional<std::string>(*got) : std::nullopt, c.value);
  }

  const SettingsParseResult merged = parse_settings("[S]\nHindexIcon=1\n[T]\nb=2\n[s]\nhindexicon=3\n");
  ASSERT_EQ(merged.document.sections().size(), 2U);
  ASSERT_EQ(merged.document.sections()[0].entries().size(), 1U);
  EXPECT_EQ(merged.document.sections()[0].entries()[0].key, "HindexIcon");  // the first spelling stays
  EXPECT_EQ(merged.document.sections()[0].entries()[0].value, "3");
}

TEST(SettingsFormat, RejectsDamagedTextWithTheLine) {
  struct Case {
    const char* what;
    std::string file;
    std::size_t line;
  };
  const Case cases[] = {
      {"a line of words", "[S]\nk=v\njust words\n", 3},
      {"key before any section", "k=v\n[S]\n", 1},
      {"NUL byte", "[S]\nk=a\0b\n"s, 2},
      {"unknown escape", "[S]\nk=\\q\n", 2},
      {"short hex escape", "[S]\nk=\\x4\n", 2},
      {"non-hex escape", "[S]\nk=\\x4g\n", 2},
      {"backslash at the end", "[S]\nk=abc\\\n", 2},
      {"bad escape in a key", "[S]\n\\q=1\n", 2},
      {"bad escape in a section", "[a\\q]\n", 1},
      {"unclosed section", "[S\nk=v\n", 1},
      {"CRLF lines are counted", "\r\n\r\n[S]\r\nk=\\z\r\n", 4},
      {"truncated in the middle of an escape", "[S]\nok=1\nk=\\", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const SettingsParseResult r = parse_settings(c.file);
    ASSERT_TRUE(r.error);
    EXPECT_EQ(r.error->line, c.line);
    EXPECT_FALSE(r.error->reason.empty());
    EXPECT_TRUE(r.error->describe().starts_with("line " + std::to_string(c.line) + ": "));
    EXPECT_TRUE(r.document.sections().empty());
  }
  const SettingsParseResult q = parse_settings("[S]\nk=\\q\n");
  ASSERT_TRUE(q.error);
  EXPECT_NE(q.error->reason.find("\\q"), std::string::npos) << q.error->reason;
}

// ---------------------------------------------------------------------------
// The file store

TEST(FileStore, NastyValuesSurviveTheFileAndASecondInstance) {
  const UmaskGuard umask_022;
  const TempDir dir;
  const std::string folder = dir / "config/cirrodex";
  const std::string path = folder + "/settings.ini";
  FileSettingsStore writer(path);
  for (std::size_t i = 0; i < kNasty.size(); ++i) {
    ASSERT_FALSE(writer.write("Settings", "k" + std::to_string(i), kNasty[i].text)) << kNasty[i].what;
  }
  const std::string nasty_key = " [k]=;\\x41 ";
  ASSERT_FALSE(writer.write("Settings", nasty_key, "a nasty key"));

  FileSettingsStore reader(path);
  for (std::size_t i = 0; i < kNasty.size(); ++i) {
    SCOPED_TRACE(kNasty[i].what);
    EXPECT_EQ(writer.read("Settings", "k" + std::to_string(i)), kNasty[i].text);
    EXPECT_EQ(reader.read("Settings", "k" + std::to_string(i)), kNasty[i].text);
  }
  EXPECT_EQ(reader.read("Settings", nasty_key), "a nasty key");
  EXPECT_EQ(reader.take_notice(), "");

  // It holds passwords: private file, lock file and folders.
  EXPECT_EQ(mode_of(path), 0600U);
  EXPECT_EQ(mode_of(path + ".lock"), 0600U);
  EXPECT_EQ(mode_of(folder), 0700U);
  EXPECT_EQ(mode_of(dir / "config"), 0700U);
}

TEST(FileStore, NamesAreCaseBlindAndEmptyIsAValue) {
  const TempDir dir;
  const std::string path = dir / "settings.ini";
  FileSettingsStore store(path);
  ASSERT_FALSE(store.write("Settings", "HindexIcon", "y"));
  EXPECT_EQ(store.read("SETTINGS", "Hindexicon"), "y");
  ASSERT_FALSE(store.write("settings", "hindexicon", "n"));
  ASSERT_FALSE(store.write("Settings", "TaskBarHide", ""));

  FileSettingsStore other(path);
  EXPECT_EQ(other.read("Settings", "HINDEXICON"), "n");
  EXPECT_EQ(other.read("Settings", "TaskBarHide"), std::optional<std::string>(""));
  EXPECT_EQ(other.read("Settings", "Metric"), std::nullopt);
  EXPECT_EQ(other.read("Locations", "loc0"), std::nullopt);

  const std::string file = slurp(path);
  EXPECT_NE(file.find("\n[Settings]\n"), std::string::npos) << file;
  EXPECT_NE(file.find("\nHindexIcon=n\n"), std::string::npos) << file;  // one key, first spelling
  const std::string folded = text::lower(file);
  EXPECT_EQ(text::find_from(folded, "hindexicon", text::find(folded, "hindexicon") + 1), 0) << file;
}

TEST(FileStore, MissingFileAndErasingSections) {
  const TempDir dir;
  const std::string folder = dir / "cirrodex";
  const std::string path = folder + "/settings.ini";
  FileSettingsStore store(path);
  EXPECT_EQ(store.read("Settings", "Metric"), std::nullopt);
  EXPECT_FALSE(store.erase_section("Settings"));
  EXPECT_EQ(store.take_notice(), "");
  EXPECT_FALSE(fs::exists(folder)) << "erasing nothing created the folder";

  ASSERT_FALSE(store.write("Settings", "Metric", "y"));
  ASSERT_FALSE(store.write("Locations", "loc0", "Boston, MA"));
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  EXPECT_FALSE(store.erase_section("Interface"));
  struct stat after {};
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino) << "erasing a missing section rewrote the file";

  EXPECT_FALSE(store.erase_section("settings"));
  FileSettingsStore other(path);
  EXPECT_EQ(other.read("Settings", "Metric"), std::nullopt);
  EXPECT_EQ(other.read("Locations", "loc0"), "Boston, MA");
}

TEST(FileStore, DamagedFileIsMovedAsideAndKept) {
  struct Case {
    const char* what;
    std::string bytes;
    std::string where;
    bool write_first;
  };
  const Case cases[] = {
      {"a line of words", "[Settings]\nMetric=y\nthis is not a setting\n", "line 3", false},
      {"NUL byte", "[Settings]\nMetric=y\0\n"s, "line 2", true},
      {"bad escape", "[Settings]\r\nMetric=\\q\r\n", "line 2", false},
      {"binary junk", "\177ELF\2\1\1", "line 1", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TempDir dir;
    const std::string path = dir / "settings.ini";
    spit(path, c.bytes);
    FileSettingsStore store(path);
    if (c.write_first) {
      EXPECT_FALSE(store.write("Settings", "AutoUpdate", "y"));
    } else {
      EXPECT_EQ(store.read("Settings", "Metric"), std::nullopt);
    }
    const std::string notice = store.take_notice();
    const auto broken = names_starting(dir.path(), "settings.ini.broken-");
    ASSERT_EQ(broken.size(), 1U) << notice;
    EXPECT_EQ(slurp(dir / broken[0]), c.bytes);
    EXPECT_NE(notice.find(c.where), std::string::npos) << notice;
    EXPECT_NE(notice.find(dir / broken[0]), std::string::npos) << notice;
    EXPECT_NE(notice.find("defaults are used"), std::string::npos) << notice;
    EXPECT_EQ(store.take_notice(), "");

    // The store goes on as with no file, and what it writes now is sound.
    EXPECT_EQ(store.read("Settings", "Metric"), std::nullopt);
    EXPECT_FALSE(store.write("Settings", "Metric", "n"));
    FileSettingsStore other(path);
    EXPECT_EQ(other.read("Settings", "Metric"), "n");
    EXPECT_EQ(other.take_notice(), "");

    // A second damaged file in the same second must not replace the first.
    spit(path, "garbage");
    EXPECT_EQ(other.read("Settings", "Metric"), std::nullopt);
    EXPECT_NE(other.take_notice(), "");
    const auto both = names_starting(dir.path(), "settings.ini.broken-");
    ASSERT_EQ(both.size(), 2U);
    EXPECT_EQ(slurp(dir / broken[0]), c.bytes);
    EXPECT_EQ(slurp(dir / (both[0] == broken[0] ? both[1] : both[0])), "garbage");
  }
}

// A child process runs body() and sends back one text through a pipe.
template <typename Body>
std::string in_child(Body body) {
  int fds[2];
  if (::pipe(fds) != 0) return "pipe failed";
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    const std::string out = body();
    if (::write(fds[1], out.data(), out.size()) < 0) ::_exit(2);
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string out;
  char buffer[512];
  ssize_t n = 0;
  while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0) out.append(buffer, static_cast<std::size_t>(n));
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return out;
}

TEST(FileStore, RefusedWriteLeavesThePreviousFileAsItWas) {
  const TempDir dir;
  const std::string path = dir / "settings.ini";
  FileSettingsStore store(path);
  ASSERT_FALSE(store.write("Settings", "Proxy", "old"));
  const std::string before = slurp(path);

  // A file size limit makes write() fail half way, as a full disk does, and
  // works for root too.
  const std::string error = in_child([&] {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    FileSettingsStore child(path);
    const auto e = child.write("Settings", "Big", std::string(100000, 'x'));
    return e ? e->text : "no error";
  });
  EXPECT_NE(error.find(std::strerror(EFBIG)), std::string::npos) << error;
  EXPECT_NE(error.find(path), std::string::npos) << error;
  EXPECT_TRUE(error.starts_with("Settings not saved")) << error;
  EXPECT_EQ(slurp(path), before);
  EXPECT_TRUE(names_starting(dir.path(), "settings.ini.tmp").empty());
  EXPECT_EQ(store.read("Settings", "Big"), std::nullopt);
  EXPECT_EQ(store.read("Settings", "Proxy"), "old");
}

TEST(FileStore, UnusableFolderRefusesWrites) {
  const TempDir dir;
  spit(dir / "blocker", "a file where a folder should be");
  const std::string path = dir / "blocker/cirrodex/settings.ini";
  FileSettingsStore store(path);
  const auto error = store.write("Settings", "Metric", "y");
  ASSERT_TRUE(error);
  EXPECT_NE(error->text.find(std::strerror(ENOTDIR)), std::string::npos) << error->text;
  EXPECT_NE(error->text.find(dir / "blocker/cirrodex"), std::string::npos) << error->text;
  EXPECT_EQ(store.read("Settings", "Metric"), std::nullopt);
  EXPECT_EQ(store.take_notice(), "");
  EXPECT_EQ(slurp(dir / "blocker"), "a file where a folder should be");
}

// Folder permissions do not stop root, and CI runs as root: there the body
// runs in a child that has dropped to the unprivileged user "nobody".
template <typename Body>
std::string unprivileged(const TempDir& dir, Body body) {
  if (::geteuid() != 0) return body();
  constexpr uid_t kNobody = 65534;
  if (::chown(dir.path().c_str(), kNobody, kNobody) != 0) return "chown failed";
  return in_child([&] {
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
      return std::string("cannot drop privileges");
    return body();
  });
}

TEST(FileStore, ReadOnlyFolderRefusesWrites) {
  const TempDir dir;
  const std::string path = dir / "settings.ini";
  const std::string result = unprivileged(dir, [&]() -> std::string {
    FileSettingsStore store(path);
    if (store.write("Settings", "Proxy", "old")) return "the first write failed";
    const std::string before = slurp(path);
    ::chmod(dir.path().c_str(), 0500);
    const auto error = store.write("Settings", "Proxy", "new");
    ::chmod(dir.path().c_str(), 0700);
    if (!error) return "the write was not refused";
    if (slurp(path) != before) return "the file changed";
    if (store.read("Settings", "Proxy") != "old") return "the value changed";
    return error->text;
  });
  EXPECT_NE(result.find(std::strerror(EACCES)), std::string::npos) << result;
  EXPECT_NE(result.find(path), std::string::npos) << result;
}

TEST(FileStore, DamagedFileThatCannotBeMovedIsNeverWrittenOver) {
  const TempDir dir;
  const std::string path = dir / "settings.ini";
  const std::string damaged = "[Settings]\nProxyPass=\\q\n";
  const std::string result = unprivileged(dir, [&]() -> std::string {
    spit(path, damaged);
    ::chmod(dir.path().c_str(), 0500);
    FileSettingsStore store(path);
    if (store.read("Settings", "ProxyPass") != std::nullopt) return "a damaged value was read";
    const std::string notice = store.take_notice();
    const auto error = store.write("Settings", "ProxyPass", "secret");
    if (store.read("Settings", "ProxyPass") != std::nullopt) return "the refused value was read";
    if (!store.take_notice().empty()) return "the same damage was told twice";
    ::chmod(dir.path().c_str(), 0700);
    if (!error) return "the write was not refused";
    return notice + "\n" + error->text;
  });
  EXPECT_NE(result.find("could not be moved aside"), std::string::npos) << result;
  EXPECT_NE(result.find("line 2"), std::string::npos) << result;
  EXPECT_NE(result.find(std::strerror(EACCES)), std::string::npos) << result;
  EXPECT_EQ(slurp(path), damaged);
}

TEST(FileStore, WritesOfTwoProcessesAtOnceAllSurvive) {
  const TempDir dir;
  const std::string path = dir / "settings.ini";
  constexpr int kKeys = 200;
  int go[2];
  ASSERT_EQ(::pipe(go), 0);
  std::vector<pid_t> children;
  for (int p = 0; p < 2; ++p) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::close(go[1]);
      char c = 0;
      if (::read(go[0], &c, 1) < 0) ::_exit(3);  // returns at EOF, when the parent lets both go
      FileSettingsStore store(path);
      for (int i = 0; i < kKeys; ++i) {
        if (store.write("Settings", "p" + std::to_string(p) + "k" + std::to_string(i), std::to_string(i * 7)))
          ::_exit(1);
      }
      ::_exit(0);
    }
    children.push_back(pid);
  }
  ::close(go[0]);
  ::close(go[1]);
  for (const pid_t pid : children) {
    int status = -1;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  FileSettingsStore store(path);
  int lost = 0;
  for (int p = 0; p < 2; ++p) {
    for (int i = 0; i < kKeys; ++i) {
      if (store.read("Settings", "p" + std::to_string(p) + "k" + std::to_string(i)) != std::to_string(i * 7)) ++lost;
    }
  }
  EXPECT_EQ(lost, 0);
}

TEST(FileStore, ReadSeesWhatAnotherInstanceWrote) {
  const TempDir dir;
  const std::string path = dir / "settings.ini";
  FileSettingsStore writer(path);
  FileSettingsStore reader(path);
  EXPECT_EQ(reader.read("Settings", "Metric"), std::nullopt);
  // Files of one size and one time stamp, as when written within one tick of
  // a coarse clock: only the file's identity tells them apart. Two writes by
  // short-lived writers (like other processes) between reads give the file
  // system the chance to hand the reader's old inode number to a new file.
  const timespec same_time[2] = {{1700000000, 0}, {1700000000, 0}};
  for (int i = 0; i < 40; ++i) {
    const std::string value = i % 2 == 0 ? "y" : "n";
    for (int twice = 0; twice < 2; ++twice) {
      ASSERT_FALSE(FileSettingsStore(path).write("Settings", "Metric", value));
      ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), same_time, 0), 0);
    }
    ASSERT_EQ(reader.read("Settings", "Metric"), value) << "round " << i;
  }
  ASSERT_FALSE(writer.erase_section("Settings"));
  EXPECT_EQ(reader.read("Settings", "Metric"), std::nullopt);

  // A hand edit made in place, keeping the inode.
  {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary | std::ios::trunc);
    f << "[Settings]\nMetric=edited by hand\n";
  }
  EXPECT_EQ(reader.read("Settings", "Metric"), "edited by hand");
  EXPECT_EQ(reader.take_notice(), "");
}

TEST(FileStore, KillDuringWritesNeverLeavesATornFile) {
  const TempDir dir;
  const std::string path = dir / "settings.ini";
  constexpr std::size_t kSize = 60000;  // several write() calls per file
  std::mt19937 random(std::random_device{}());
  for (int round = 0; round < 6; ++round) {
    SCOPED_TRACE(round);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::close(ready[0]);
      FileSettingsStore store(path);
      for (unsigned n = 0;; ++n) {
        if (store.write("Settings", "Big", std::string(kSize, static_cast<char>('a' + n % 26)))) ::_exit(1);
        if (store.write("Locations", "loc" + std::to_string(n % 20), std::to_string(n))) ::_exit(1);
        if (n == 0 && ::write(ready[1], "r", 1) != 1) ::_exit(2);
      }
    }
    ::close(ready[1]);
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ::close(ready[0]);
    ::usleep(std::uniform_int_distribution<useconds_t>(0, 30000)(random));  // the race itself
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself: " << status;

    const SettingsParseResult parsed = parse_settings(slurp(path));
    ASSERT_FALSE(parsed.error) << parsed.error->describe();
    FileSettingsStore store(path);
    const auto big = store.read("Settings", "Big");
    ASSERT_TRUE(big);
    EXPECT_EQ(big->size(), kSize);
    EXPECT_EQ(big->find_first_not_of((*big)[0]), std::string::npos);
    EXPECT_EQ(store.take_notice(), "");
  }
  // The next writer clears what killed writers left, and such leftovers are
  // never taken for the settings.
  spit(path + ".tmp-AbC123", "[Settings]\nBig=half writ");
  FileSettingsStore store(path);
  EXPECT_EQ(store.read("Settings", "Big").value_or("").size(), kSize);
  ASSERT_FALSE(store.write("Settings", "Metric", "y"));
  EXPECT_TRUE(names_starting(dir.path(), "settings.ini.tmp").empty());
}

// ---------------------------------------------------------------------------
// Where the files live

class EnvGuard {
 public:
  explicit EnvGuard(const std::vector<const char*>& names) {
    for (const char* n : names) {
      const char* v = std::getenv(n);
      saved_.push_back({n, v != nullptr ? std::optional<std::string>(v) : std::nullopt});
    }
  }
  ~EnvGuard() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name, value->c_str(), 1);
      } else {
        ::unsetenv(name);
      }
    }
  }
  static void put(const char* name, const char* value) {
    if (value != nullptr) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }

 private:
  std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST(FileStorePaths, FollowXdgRules) {
  const EnvGuard guard({"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"});
  const passwd* pw = ::getpwuid(::getuid());
  ASSERT_NE(pw, nullptr);
  const std::string account_home = pw->pw_dir;
  struct Case {
    const char* what;
    const char *home, *config, *data;
    std::string config_dir, data_dir;
  };
  const Case cases[] = {
      {"absolute XDG folders", "/home/u", "/x/conf", "/x/data/", "/x/conf/cirrodex", "/x/data/cirrodex"},
      {"relative XDG folders are ignored", "/home/u", "conf", "./data", "/home/u/.config/cirrodex",
       "/home/u/.local/share/cirrodex"},
      {"empty XDG folders are ignored", "/home/u/", "", "", "/home/u/.config/cirrodex",
       "/home/u/.local/share/cirrodex"},
      {"no HOME: the account's folder", nullptr, nullptr, nullptr, account_home + "/.config/cirrodex",
       account_home + "/.local/share/cirrodex"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EnvGuard::put("HOME", c.home);
    EnvGuard::put("XDG_CONFIG_HOME", c.config);
    EnvGuard::put("XDG_DATA_HOME", c.data);
    EXPECT_EQ(config_dir(), c.config_dir);
    EXPECT_EQ(data_dir(), c.data_dir);
    EXPECT_EQ(settings_file_path(), c.config_dir + "/settings.ini");
  }
}

TEST(FileStorePaths, MakeDirsCreatesPrivateFolders) {
  const UmaskGuard umask_022;
  const TempDir dir;
  ASSERT_TRUE(make_dirs(dir / "a/b/c"));
  for (const char* sub : {"a", "a/b", "a/b/c"}) EXPECT_EQ(mode_of(dir / sub), 0700U) << sub;
  EXPECT_TRUE(make_dirs(dir / "a/b/c/"));  // already there

  spit(dir / "file", "x");
  errno = 0;
  EXPECT_FALSE(make_dirs(dir / "file/x"));
  EXPECT_EQ(errno, ENOTDIR);
  errno = 0;
  EXPECT_FALSE(make_dirs(dir / "file"));
  EXPECT_EQ(errno, ENOTDIR);
}

}  // namespace
}  // namespace cirrodex
