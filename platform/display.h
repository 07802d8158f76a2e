#pragma once
// The display: the main window's named text slots and its caption. A slot
// name the window does not have is ignored.

#include <string>

namespace cirrodex {

class Display {
 public:
  virtual ~Display() = default;
  // Sets the slot's text and repaints it.
  virtual void set_slot_text(const std::string& slot, const std::string& text) = 0;
  virtual void set_caption(const std::string& caption) = 0;
  virtual std::string caption() const = 0;
};

}  // namespace cirrodex
