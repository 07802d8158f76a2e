#pragma once
// HTTP (and FTP) downloads: the transfer component port. A GET blocks its
// caller until the transfer has ended while the program's event loop keeps
// running (paint, timers, commands), and reports what happens through
// events, in order: start, headers, the body in pieces, then either end of
// transfer (the only success signal) or an error, which GET also throws.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace cirrodex {

struct ProxySettings {
  enum class Mode {
    Direct,  // no proxy, whatever the environment says
    Manual,  // host and port below
    System,  // the desktop's proxy settings (environment, GNOME)
  };
  Mode mode = Mode::Direct;
  std::string host;  // "proxy.example.org" or "proxy.example.org:3128"
  int port = 0;      // 0: the port in host, or the scheme's default
  std::string user, password;
};

struct HttpRequest {
  std::string url;             // http://, https:// or ftp://
  std::string referer;         // empty: no Referer header
  std::string user_agent;      // empty: none
  int timeout_ms = 0;          // the whole transfer; 0: no limit
  int connect_timeout_ms = 0;  // up to the connection; 0: libcurl's default
  ProxySettings proxy;
  // Empty: the body arrives only through the events. Otherwise a bare file
  // name in the working (data) folder, written only when the transfer
  // succeeds; a name with a folder in it is refused.
  std::string local_file;
  std::string site_user, site_password;  // HTTP authentication, when set
};

// What went wrong, in words fit for the status line.
class TransferError : public std::runtime_error {
 public:
  TransferError(int code, const std::string& description) : std::runtime_error(description), code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

class HttpEvents {
 public:
  virtual ~HttpEvents() = default;
  virtual void on_start() {}
  // Every response header line; the field as the server sent it.
  virtual void on_header(const std::string& field, const std::string& value) {
    (void)field;
    (void)value;
  }
  // The next piece of the body; bytes_so_far counts this piece in.
  virtual void on_transfer(std::int64_t bytes_so_far, std::string_view piece) {
    (void)bytes_so_far;
    (void)piece;
  }
  // The body is complete.
  virtual void on_end() {}
  virtual void on_error(int code, const std::string& description) {
    (void)code;
    (void)description;
  }
  virtual void on_connected(const std::string& description) { (void)description; }
  virtual void on_disconnected(const std::string& description) { (void)description; }
  // The phase of the request ("Looking up IP address of ...", "Connecting
  // to the socket ...", "Waiting for the server response...", "Successfully
  // received the response ...").
  virtual void on_status(const std::string& text) { (void)text; }
};

class HttpTransfer {
 public:
  virtual ~HttpTransfer() = default;
  // Downloads the request's address; returns when the transfer has ended.
  // Throws TransferError after the error event when it failed or was
  // aborted. A GET while this component is already busy throws at once.
  virtual void get(const HttpRequest& request, HttpEvents& events) = 0;
  // Ends the running transfer (its GET then throws); nothing when idle.
  virtual void abort() = 0;
  virtual bool busy() const = 0;
};

}  // namespace cirrodex
