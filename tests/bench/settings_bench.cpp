// Reading and writing one key of a settings file of 200 keys, in a temporary
// folder. A read is a stat plus a look-up while the file is unchanged; a
// write is a full locked, fsynced replacement of the file.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/file_settings_store.h"
#include "platform/settings_file_format.h"

namespace {

class BenchFolder {
 public:
  BenchFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string name = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/cirrodex-bench-XXXXXX";
    if (::mkdtemp(name.data()) != nullptr) path_ = name;
    cirrodex::SettingsDocument doc;
    for (int i = 0; i < 200; ++i) doc.set("Settings", "Key" + std::to_string(i), "value number " + std::to_string(i));
    std::ofstream(file(), std::ios::binary) << cirrodex::serialize_settings(doc);
  }
  ~BenchFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  BenchFolder(const BenchFolder&) = delete;
  BenchFolder& operator=(const BenchFolder&) = delete;
  bool ok() const { return !path_.empty(); }
  std::string file() const { return path_ + "/settings.ini"; }

 private:
  std::string path_;
};

void BM_ReadOneKey(benchmark::State& state) {
  const BenchFolder folder;
  if (!folder.ok()) return state.SkipWithError("no temporary folder");
  cirrodex::FileSettingsStore store(folder.file());
  for (auto _ : state) benchmark::DoNotOptimize(store.read("Settings", "key150"));
}
BENCHMARK(BM_ReadOneKey);

// The first read in a new store, or after another process wrote: parse all.
void BM_ReadOneKeyAfterChange(benchmark::State& state) {
  const BenchFolder folder;
  if (!folder.ok()) return state.SkipWithError("no temporary folder");
  for (auto _ : state) {
    cirrodex::FileSettingsStore store(folder.file());
    benchmark::DoNotOptimize(store.read("Settings", "key150"));
  }
}
BENCHMARK(BM_ReadOneKeyAfterChange);

void BM_WriteOneKey(benchmark::State& state) {
  const BenchFolder folder;
  if (!folder.ok()) return state.SkipWithError("no temporary folder");
  cirrodex::FileSettingsStore store(folder.file());
  int n = 0;
  for (auto _ : state) {
    if (store.write("Settings", "key150", std::to_string(++n))) return state.SkipWithError("write refused");
  }
}
BENCHMARK(BM_WriteOneKey)->Unit(benchmark::kMillisecond);

}  // namespace
