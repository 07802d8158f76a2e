// Interface sounds: when play_sound_effect plays what, the compiled-in
// sounds themselves, and the canberra adapter with and without a sound server.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <thread>

#include "app/core/sound_effects.h"
#include "platform/canberra_sound.h"
#include "platform/fakes/fake_host.h"
#include "platform/fakes/fake_sound.h"
#include "platform/fakes/memory_settings_store.h"
#include "resources/builtin.h"

namespace cirrodex {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Calls = std::vector<std::string>;

const char* const kSounds[] = {"sMax", "sMin", "sOkay", "sCancel", "sMnuP", "sMnuC", "HELLO"};

std::string_view sound_bytes(std::string_view name) {
  const auto bytes = builtin_resource(text::upper(name), "WAVE");
  return bytes ? *bytes : std::string_view();
}

struct Rig {
  fakes::CallLog log;
  fakes::MemorySettingsStore store;
  fakes::FakeHost host{log};
  Settings settings{store, host, KeyCheck::Strict};
  fakes::FakeSound sound{log};

  Rig() {
    for (const char* name : kSounds) sound.name_sound(name, sound_bytes(name));
    settings.set("playsounds", "y");
  }
  Calls play(std::string_view name) {
    log.clear();
    play_sound_effect(settings, sound, name);
    return log.entries;
  }
};

TEST(SoundEffects, PlayOnlyWhenTheSettingIsExactlyY) {
  Rig rig;
  EXPECT_EQ(rig.play("sOkay"), Calls{"sound: sOkay"});
  for (const char* value : {"Y", "yes", " y", "n", ""}) {
    rig.settings.set("playsounds", value);
    EXPECT_EQ(rig.play("sOkay"), Calls{}) << '"' << value << '"';
  }
  rig.store.erase_section("Settings");  // never set: off
  EXPECT_EQ(rig.play("sOkay"), Calls{});
}

TEST(SoundEffects, NamesInAnyCaseFindTheirOwnSound) {
  Rig rig;
  const std::pair<const char*, const char*> cases[] = {
      {"sMax", "sMax"},   {"SMIN", "sMin"},   {"sokay", "sOkay"}, {"sCANCEL", "sCancel"},
      {"smnuP", "sMnuP"}, {"SmNuC", "sMnuC"}, {"hello", "HELLO"},
  };
  for (const auto& [called, played] : cases)
    EXPECT_EQ(rig.play(called), Calls{std::string("sound: ") + played}) << called;

  std::set<std::string_view> distinct;
  for (const char* name : kSounds) distinct.insert(sound_bytes(name));
  EXPECT_EQ(distinct.size(), std::size(kSounds)) << "two interface sounds have the same bytes";
}

TEST(SoundEffects, UnknownNamesPlayNothing) {
  Rig rig;
  // "SKIN" and "TEXT" are resources too, but not sounds.
  for (const char* name : {"sBeep", "", "sMax.wav", " sMax", "SKIN", "TEXT"})
    EXPECT_EQ(rig.play(name), Calls{}) << '"' << name << '"';
}

TEST(SoundEffects, SkippedWhileAnotherSoundPlays) {
  Rig rig;
  rig.sound.set_playing(true);
  EXPECT_EQ(rig.play("sMnuP"), Calls{});
  rig.sound.set_playing(false);
  EXPECT_EQ(rig.play("sMnuP"), Calls{"sound: sMnuP"});
  // A sound that could not start leaves the next one free to try.
  rig.sound.set_starts(false);
  EXPECT_EQ(rig.play("sMax"), Calls{"sound: sMax"});
  EXPECT_EQ(rig.play("sMin"), Calls{"sound: sMin"});
}

// ---------------------------------------------------------------- the sounds

std::uint32_t le(std::string_view b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b.at(at + static_cast<std::size_t>(i)));
  return v;
}

TEST(SoundResources, ShortMonoPcmAtMinusTenDbWithoutClicks) {
  for (const char* name : kSounds) {
    SCOPED_TRACE(name);
    const std::string_view wav = sound_bytes(name);
    ASSERT_GE(wav.size(), 44u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(le(wav, 20, 2), 1u);  // PCM
    EXPECT_EQ(le(wav, 22, 2), 1u);  // mono
    EXPECT_EQ(le(wav, 24, 4), 22050u);
    EXPECT_EQ(le(wav, 34, 2), 16u);
    ASSERT_EQ(wav.substr(36, 4), "data");
    const std::size_t count = le(wav, 40, 4) / 2;
    ASSERT_EQ(wav.size(), 44 + count * 2);
    const double seconds = static_cast<double>(count) / 22050;
    EXPECT_GE(seconds, 0.1);
    EXPECT_LE(seconds, 0.6);

    std::vector<int> samples;
    for (std::size_t i = 0; i < count; ++i)
      samples.push_back(static_cast<std::int16_t>(static_cast<std::uint16_t>(le(wav, 44 + 2 * i, 2))));
    int peak = 0;
    for (const int s : samples) peak = std::max(peak, std::abs(s));
    const double dbfs = 20 * std::log10(peak / 32768.0);
    EXPECT_NEAR(dbfs, -10.0, 1.0);
    // Both ends on silence: a first or last sample far from zero clicks.
    EXPECT_LE(std::abs(samples.front()), 32);
    EXPECT_LE(std::abs(samples.back()), 32);
  }
}

// ---------------------------------------------------------------- the canberra adapter

// Sets environment variables for one test and puts the old values back.
class EnvGuard {
 public:
  void set(const char* name, const std::string& value) {
    remember(name);
    ::setenv(name, value.c_str(), 1);
  }
  void unset(const char* name) {
    remember(name);
    ::unsetenv(name);
  }
  ~EnvGuard() {
    for (const auto& [name, value] : saved_)
      value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
  }

 private:
  void remember(const char* name) {
    if (saved_.count(name)) return;
    const char* v = std::getenv(name);
    saved_[name] = v ? std::optional<std::string>(v) : std::nullopt;
  }
  std::map<std::string, std::optional<std::string>> saved_;
};

class CanberraSoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char dir_template[] = "/tmp/cirrodex-sound-XXXXXX";
    ASSERT_NE(::mkdtemp(dir_template), nullptr);
    dir_ = dir_template;
    // Only a server this test starts may answer: none named, none found
    // through X11, and no daemon spawned on demand by the client library.
    const std::string client_conf = dir_ + "/client.conf";
    std::ofstream(client_conf) << "autospawn = no\n";
    env_.set("XDG_RUNTIME_DIR", dir_);
    env_.set("PULSE_CLIENTCONFIG", client_conf);
    env_.unset("PULSE_SERVER");
    env_.unset("DISPLAY");
  }
  void TearDown() override {
    if (server_ > 0) {
      ::kill(server_, SIGTERM);
      int status = 0;
      ::waitpid(server_, &status, 0);
    }
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // Starts a PulseAudio daemon with only a null sink, listening in our
  // runtime folder; false when it did not come up.
  bool start_server() {
    const std::string home = dir_ + "/home";
    fs::create_directories(home);
    std::vector<std::string> env_text = {"XDG_RUNTIME_DIR=" + dir_, "HOME=" + home, "PATH=/usr/bin:/bin"};
    std::vector<char*> envp;
    for (auto& e : env_text) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> args = {"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                                     "--log-target=file:" + dir_ + "/server.log", "-L",
                                     // Without rewinds the null sink runs at a short latency; with
                                     // them it plays in 2 s blocks and reports ends that late.
                                     "module-null-sink norewinds=1", "-L",
                                     "module-native-protocol-unix auth-anonymous=1"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const int rc = ::posix_spawn(&server_, kPulseaudio, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
      server_ = 0;
      return false;
    }
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
      if (fs::exists(dir_ + "/pulse/native")) return true;
      if (::waitpid(server_, nullptr, WNOHANG) == server_) {
        server_ = 0;
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }
  std::string server_log() const {
    std::ifstream in(dir_ + "/server.log");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  static constexpr const char* kPulseaudio = "/usr/bin/pulseaudio";
  std::string dir_;
  EnvGuard env_;
  pid_t server_ = 0;
};

TEST_F(CanberraSoundTest, WithoutASoundServerPlaysFailAtOnceAndQuietly) {
  const std::string file = dir_ + "/ring.wav";
  std::ofstream(file, std::ios::binary) << sound_bytes("sMnuC");

  ::testing::internal::CaptureStderr();
  const auto start = Clock::now();
  bool any_started = false;
  bool any_playing = false;
  {
    CanberraSound sound(dir_ + "/cache");
    for (int i = 0; i < 3; ++i) {
      any_started |= sound.play(sound_bytes("sMax"));
      any_started |= sound.play_file(file);
      any_playing |= sound.playing();
    }
  }
  const auto elapsed = Clock::now() - start;
  const std::string errors = ::testing::internal::GetCapturedStderr();

  EXPECT_FALSE(any_started);
  EXPECT_FALSE(any_playing) << "a failed start must not count as playing";
  EXPECT_LT(elapsed, std::chrono::seconds(1));
  EXPECT_EQ(errors, "");
}

TEST_F(CanberraSoundTest, EachSoundIsWrittenOnceToAPrivateFile) {
  CanberraSound sound(dir_ + "/cache");
  const auto files = [&] {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::directory_iterator(sound.cache_dir())) {
      struct stat st {};
      EXPECT_EQ(::stat(e.path().c_str(), &st), 0);
      EXPECT_EQ(st.st_mode & 0777, 0600u) << e.path();
      std::ifstream in(e.path(), std::ios::binary);
      out[e.path().string()] = std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return out;
  };
  sound.play(sound_bytes("sMax"));
  sound.play(sound_bytes("sMax"));
  auto made = files();
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(made.begin()->second, sound_bytes("sMax"));

  sound.play(sound_bytes("HELLO"));
  made = files();
  std::set<std::string> contents;
  for (const auto& [path, bytes] : made) contents.insert(bytes);
  EXPECT_EQ(contents, (std::set<std::string>{std::string(sound_bytes("sMax")), std::string(sound_bytes("HELLO"))}));

  struct stat st {};
  ASSERT_EQ(::stat(sound.cache_dir().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0077, 0u) << "the cache folder is readable by others";
}

TEST_F(CanberraSoundTest, PlaysThroughANullSinkAndFinishes) {
  if (::access(kPulseaudio, X_OK) != 0) GTEST_SKIP() << "pulseaudio is not installed";
  ASSERT_TRUE(start_server()) << server_log();

  CanberraSound sound(dir_ + "/cache");
  const auto start = Clock::now();
  ASSERT_TRUE(sound.play(sound_bytes("sMax"))) << server_log();  // 0.4 s
  EXPECT_TRUE(sound.playing());
  while (sound.playing() && Clock::now() - start < std::chrono::seconds(3))
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const auto took = Clock::now() - start;
  EXPECT_FALSE(sound.playing());
  EXPECT_GE(took, std::chrono::milliseconds(300)) << "finished before the sound could have played";
  EXPECT_LT(took, std::chrono::seconds(1));

  // Finished means free again: the next sound starts.
  EXPECT_TRUE(sound.play(sound_bytes("sMnuP")));
}

}  // namespace
}  // namespace cirrodex
