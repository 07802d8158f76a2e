#pragma once
// The service's clock port: a steady time for cache lives and time-outs,
// and the UTC time for the age of a weather report. Tests set both and
// never wait.

#include <chrono>

namespace cirrodex::service {

using SteadyTime = std::chrono::steady_clock::time_point;
using UtcTime = std::chrono::system_clock::time_point;

class ServiceClock {
 public:
  virtual ~ServiceClock() = default;
  virtual SteadyTime steady() = 0;
  virtual UtcTime utc() = 0;
};

// The machine's clocks.
class SystemServiceClock final : public ServiceClock {
 public:
  SteadyTime steady() override { return std::chrono::steady_clock::now(); }
  UtcTime utc() override { return std::chrono::system_clock::now(); }
};

}  // namespace cirrodex::service
