#pragma once
// Files in memory that record each append.
//   append: NAME (N bytes) | append failed: NAME RESULT

#include <map>
#include <string>

#include "platform/append_file.h"
#include "platform/fakes/call_log.h"

namespace cirrodex::fakes {

class FakeAppendFile final : public AppendFile {
 public:
  explicit FakeAppendFile(CallLog& log) : log_(log) {}

  bool exists(const std::string& name) override { return files_.contains(name); }
  AppendResult append(const std::string& name, std::string_view first_lines, std::string_view bytes) override {
    const bool is_new = !files_.contains(name);
    AppendResult result = fail_with_;
    if (result == AppendResult::OpenFailed && is_new) result = AppendResult::CreateFailed;
    if (result == AppendResult::CreateFailed && !is_new) result = AppendResult::OpenFailed;
    if (result == AppendResult::Appended) {
      if (is_new) files_[name] = std::string(first_lines);
      files_[name] += bytes;
      log_.add("append: " + name + " (" + std::to_string(bytes.size()) + " bytes)");
    } else {
      log_.add("append failed: " + name);
    }
    return result;
  }

  // Every append from now on fails: OpenFailed for an existing file and
  // CreateFailed for a new one (either value), or WriteFailed.
  void fail_with(AppendResult result) { fail_with_ = result; }
  void put(const std::string& name, std::string content) { files_[name] = std::move(content); }
  // The file's bytes; "<none>" when it does not exist.
  std::string content(const std::string& name) const {
    const auto it = files_.find(name);
    return it == files_.end() ? std::string("<none>") : it->second;
  }

 private:
  CallLog& log_;
  std::map<std::string, std::string> files_;
  AppendResult fail_with_ = AppendResult::Appended;
};

}  // namespace cirrodex::fakes
