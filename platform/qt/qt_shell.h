#pragma once
// The shell port over the desktop: addresses open through Qt's desktop
// services (xdg-open, or the portal), programs start detached.

#include "platform/shell.h"

namespace cirrodex {

class QtShell final : public Shell {
 public:
  bool open_address(const std::string& address) override;
  bool start_program(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& folder) override;
};

}  // namespace cirrodex
