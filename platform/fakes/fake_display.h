#pragma once
// A display that keeps the slot texts and the caption and records slot
// writes as "slot NAME=TEXT".

#include <map>

#include "platform/display.h"
#include "platform/fakes/call_log.h"

namespace cirrodex::fakes {

class FakeDisplay final : public Display {
 public:
  explicit FakeDisplay(CallLog& log) : log_(log) {}

  void set_slot_text(const std::string& slot, const std::string& text) override {
    slots_[slot] = text;
    log_.add("slot " + slot + "=" + text);
  }
  void set_caption(const std::string& caption) override { caption_ = caption; }
  std::string caption() const override { return caption_; }

  // The slot's text; "<unset>" when it was never written.
  std::string slot(const std::string& name) const {
    const auto it = slots_.find(name);
    return it == slots_.end() ? std::string("<unset>") : it->second;
  }

 private:
  CallLog& log_;
  std::map<std::string, std::string> slots_;
  std::string caption_ = "Cirrodex";
};

}  // namespace cirrodex::fakes
