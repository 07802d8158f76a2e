// What runs on the UI thread after every reading, apart from the pauses the
// status texts ask for: appending the record to a real log file in a
// temporary folder, and the temperature alarm's check with its settings read
// from a real settings file (an audible alarm that fires: the sound port is
// a fake, the player runs asynchronously anyway). The temperature icons,
// drawn in the same step, are measured with their own code.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "conditions/stats_log.h"
#include "conditions/temperature_alarm.h"
#include "platform/fakes/fake_clock.h"
#include "platform/fakes/fake_date_format.h"
#include "platform/fakes/fake_display.h"
#include "platform/fakes/fake_host.h"
#include "platform/fakes/fake_mail.h"
#include "platform/fakes/fake_sound.h"
#include "platform/file_settings_store.h"

namespace {

using namespace cirrodex;

class BenchFolder {
 public:
  BenchFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string name = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/cirrodex-bench-XXXXXX";
    if (::mkdtemp(name.data()) != nullptr) path_ = name;
  }
  ~BenchFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  BenchFolder(const BenchFolder&) = delete;
  BenchFolder& operator=(const BenchFolder&) = delete;
  bool ok() const { return !path_.empty(); }
  std::string file(const char* name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

Readings a_reading() {
  Readings r;
  r.Conditions = "Partly Cloudy";
  r.Temperature =
      "72\xB0"
      "F";
  r.Humidity = "45%";
  r.Pressure = "30.12 in";
  r.Wind = "From the South @ 10mph";
  r.Visibility = "10 miles";
  r.Dewpoint =
      "50\xB0"
      "F";
  r.WindChill =
      "70\xB0"
      "F";
  r.HeatIndex =
      "75\xB0"
      "F";
  return r;
}

struct AfterReading {
  explicit AfterReading(const BenchFolder& folder) : store(folder.file("settings.ini")) {
    for (const auto& [key, value] : {std::pair{"AlarmType", "audible"},
                                     {"AlarmTemp", "70"},
                                     {"AlarmTempCompare", "exceeds"},
                                     {"Aaudible", "/usr/share/sounds/alarm.wav"},
                                     {"writelog", "y"}})
      store.write("Settings", key, value);
  }
  void log_record() {
    const LocalDateTime t = fakes::local_time(2026, 12, 11, 14, 30, 5);
    write_log_record(files, host, "Cirrodex - Tuscaloosa, AL", log_stamp(format, t), readings);
  }
  void alarm() {
    check_temperature_alarm(readings, ports);
    calls.clear();
  }

  FileSettingsStore store;
  fakes::CallLog calls;
  fakes::FakeHost host{calls};
  fakes::FakeDisplay display{calls};
  fakes::FakeSound sound{calls};
  fakes::FakeMail mail{calls};
  fakes::FakeDateFormat format;
  MailStatusLine mail_events{host};
  Settings settings{store, host};
  Services services{"maker_web = http://www.example.org\n"};
  AlarmPorts ports{settings, host, display, sound, mail, mail_events, services};
  PosixAppendFile files;
  Readings readings = a_reading();
};

// The log lives in the folder: a bare name is resolved against it.
struct InFolder {
  explicit InFolder(const BenchFolder& folder) : before(std::filesystem::current_path()) {
    std::filesystem::current_path(std::filesystem::path(folder.file("")));
  }
  ~InFolder() { std::filesystem::current_path(before); }
  InFolder(const InFolder&) = delete;
  InFolder& operator=(const InFolder&) = delete;
  std::filesystem::path before;
};

void BM_LogAppend(benchmark::State& state) {
  const BenchFolder folder;
  if (!folder.ok()) return state.SkipWithError("no temporary folder");
  const InFolder here(folder);
  AfterReading work(folder);
  for (auto _ : state) work.log_record();
  if (!work.calls.entries.empty()) state.SkipWithError("the log could not be written");
}
BENCHMARK(BM_LogAppend)->Unit(benchmark::kMicrosecond);

void BM_AlarmCheck(benchmark::State& state) {
  const BenchFolder folder;
  if (!folder.ok()) return state.SkipWithError("no temporary folder");
  AfterReading work(folder);
  for (auto _ : state) work.alarm();
}
BENCHMARK(BM_AlarmCheck)->Unit(benchmark::kMicrosecond);

// Both, as the retrieval cycle runs them for one reading.
void BM_LogAndAlarmPerReading(benchmark::State& state) {
  const BenchFolder folder;
  if (!folder.ok()) return state.SkipWithError("no temporary folder");
  const InFolder here(folder);
  AfterReading work(folder);
  for (auto _ : state) {
    work.log_record();
    work.alarm();
  }
}
BENCHMARK(BM_LogAndAlarmPerReading)->Unit(benchmark::kMicrosecond);

}  // namespace
