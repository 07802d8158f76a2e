#pragma once
// A settings store held in memory, with the same case-blind names as the
// file store. Used by the tests and by cirrodex-inspect.

#include <map>
#include <utility>
#include <vector>

#include "platform/settings_store.h"
#include "platform/text.h"

namespace cirrodex::fakes {

class MemorySettingsStore final : public SettingsStore {
 public:
  std::optional<std::string> read(std::string_view section, std::string_view key) override {
    ++reads_;
    const auto s = data_.find(text::lower(section));
    if (s == data_.end()) return std::nullopt;
    const auto k = s->second.find(text::lower(key));
    if (k == s->second.end()) return std::nullopt;
    return k->second;
  }
  std::optional<StoreError> write(std::string_view section, std::string_view key, std::string_view value) override {
    if (fail_writes_) return StoreError{"Settings not saved: the store refuses writes (test)."};
    writes_.push_back(std::string(section) + "\\" + std::string(key) + "=" + std::string(value));
    data_[text::lower(section)][text::lower(key)] = std::string(value);
    return std::nullopt;
  }
  std::optional<StoreError> erase_section(std::string_view section) override {
    if (fail_writes_) return StoreError{"Settings not saved: the store refuses writes (test)."};
    erased_.emplace_back(section);
    data_.erase(text::lower(section));
    return std::nullopt;
  }
  std::string take_notice() override { return std::exchange(notice_, std::string()); }

  void set_notice(std::string n) { notice_ = std::move(n); }
  void set_fail_writes(bool f) { fail_writes_ = f; }
  const std::vector<std::string>& writes() const { return writes_; }
  const std::vector<std::string>& erased() const { return erased_; }
  int reads() const { return reads_; }
  bool has_section(std::string_view section) const { return data_.count(text::lower(section)) != 0; }

 private:
  std::map<std::string, std::map<std::string, std::string>> data_;
  std::vector<std::string> writes_;
  std::vector<std::string> erased_;
  std::string notice_;
  bool fail_writes_ = false;
  int reads_ = 0;
};

}  // namespace cirrodex::fakes
