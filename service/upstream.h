#pragma once
// The upstream port: one GET of a public data address, answered with the
// status and body, or with an error text that names the host and what it
// answered, and whether the time ran out. The real adapter runs the
// project's libcurl transfer component on the calling thread; tests use a
// fake that answers from a table.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace cirrodex::service {

struct UpstreamAnswer {
  int status = 0;     // the HTTP status when one came, else 0
  std::string body;   // the document on success
  std::string error;  // empty on success: "https://host/path: 404 Not Found"
  bool timed_out = false;

  bool ok() const { return error.empty() && status >= 200 && status < 300; }
};

class Upstream {
 public:
  virtual ~Upstream() = default;
  // Blocks the caller until the answer is complete. Safe to call from
  // several threads at once.
  virtual UpstreamAnswer fetch(const std::string& url) = 0;
};

// "Cirrodex/2.05.0 (http://www.velmoraworks.com)": the program and who to
// ask about it, as the National Weather Service asks of its clients.
std::string service_user_agent(std::string_view maker_web);

struct UpstreamLimits {
  std::chrono::milliseconds connect{10'000};
  std::chrono::milliseconds whole{20'000};
  // Station files and zone forecasts are a few kilobytes; anything much
  // larger is not what we asked for.
  std::size_t max_body_bytes = std::size_t{1024} * 1024;
};

// The adapter over CurlHttpTransfer: a fresh transfer object per fetch, so
// fetches on different threads share nothing but libcurl's global state.
class CurlUpstream final : public Upstream {
 public:
  CurlUpstream(std::string user_agent, UpstreamLimits limits) : user_agent_(std::move(user_agent)), limits_(limits) {}
  UpstreamAnswer fetch(const std::string& url) override;
  // Ends every running fetch soon (each answers with an error) and every
  // later one at once: for shutting down.
  void cancel() { cancelled_ = true; }

 private:
  std::string user_agent_;
  UpstreamLimits limits_;
  std::atomic<bool> cancelled_{false};
};

}  // namespace cirrodex::service
