#pragma once
// The transfer component over libcurl (http, https, ftp). GET drives one
// transfer on libcurl's multi interface and calls the pump between rounds,
// so the caller's event loop keeps painting and running timers while it
// waits. Events are collected inside libcurl's callbacks and handed to the
// caller's handlers only between rounds, never from inside libcurl: a
// handler may therefore abort, start a GET on another component, or throw.
//
// Events of one GET, in order:
//   on_start
//   on_status "Looking up IP address of HOST..."
//   on_status "Connecting to the socket of HOST..."
//   on_connected "Connected to ADDRESS:PORT"
//   on_status "Waiting for the server response..."
//   on_status "Successfully received the response from HOST..."
//   on_header for each header line of the final response (not those of
//     redirects; for ftp a "Content-Length" when the server tells the size)
//   on_transfer for each body piece
//   on_end (success only) or on_error (code, description)
//   on_disconnected, when on_connected came
// A phase libcurl skips (a reused connection, an early failure) is either
// reported just before the next one or not at all. Error codes are HTTP
// statuses (400 and up) or CURLcode values.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/http.h"

namespace cirrodex {

// No document the program fetches comes near this; a larger one is refused
// rather than held in memory.
inline constexpr std::int64_t kMaxBodyBytes = std::int64_t{64} * 1024 * 1024;
inline constexpr long kMaxRedirects = 10;

// true when name can be a download file in the working folder: no folder
// part, not "." or "..", no NUL, not blank.
bool is_bare_file_name(std::string_view name);

class CurlHttpTransfer final : public HttpTransfer {
 public:
  // pump: runs the caller's pending events; called about every 30 ms and
  // after each burst of transfer events while a GET runs. May be empty.
  explicit CurlHttpTransfer(std::function<void()> pump);
  ~CurlHttpTransfer() override;
  CurlHttpTransfer(const CurlHttpTransfer&) = delete;
  CurlHttpTransfer& operator=(const CurlHttpTransfer&) = delete;

  // The object must outlive a GET that runs. A GET while busy throws at
  // once without any event; a refused local file name gives on_error and
  // the throw before anything goes on the network.
  void get(const HttpRequest& request, HttpEvents& events) override;
  // From a handler or the pump: the running GET ends with "Connection
  // Aborted" at the next round.
  void abort() override;
  bool busy() const override { return busy_; }

  // How ProxySettings::Mode::System finds the proxy for an address: ""
  // for none, else "scheme://host:port". Unset: libcurl's own reading of
  // http_proxy, HTTPS_PROXY, ALL_PROXY and NO_PROXY.
  void set_system_proxy(std::function<std::string(const std::string& url)> resolver) {
    system_proxy_ = std::move(resolver);
  }

 private:
  struct Run;
  void run(Run& r);
  // Sets the handle's options and callbacks; a libcurl error code, 0 when set.
  static int configure(Run& r, const std::optional<std::string>& proxy);
  // Drives the transfer to its end: the error code and text, {0, ""} on success.
  std::pair<int, std::string> perform(Run& r);

  std::function<void()> pump_;
  std::function<std::string(const std::string&)> system_proxy_;
  bool busy_ = false;
  bool abort_requested_ = false;
};

}  // namespace cirrodex
