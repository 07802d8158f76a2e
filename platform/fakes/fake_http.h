#pragma once
// A transfer component that answers from a script keyed by address and
// records every request.
//   get: URL
// Events of a scripted answer, in the order the real component gives them:
// start, the four phase texts with connected, the headers, the pieces (the
// after_piece hook runs after each one), then end, or the scripted error,
// then disconnected. An address with no script fails with 404 Not Found.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/fakes/call_log.h"
#include "platform/http.h"

namespace cirrodex::fakes {

class FakeHttpTransfer final : public HttpTransfer {
 public:
  struct Reply {
    std::vector<std::pair<std::string, std::string>> headers;
    std::vector<std::string> pieces;
    // Not empty: the transfer fails with it after the pieces.
    std::string error;
    int error_code = 0;
  };

  explicit FakeHttpTransfer(CallLog& log) : log_(log) {}

  void script(const std::string& url, Reply reply) { replies_[url] = std::move(reply); }
  // The whole body in one piece, with its Content-Length.
  void script_body(const std::string& url, const std::string& body) {
    script(url, Reply{{{"Content-Length", std::to_string(body.size())}}, {body}, {}, 0});
  }
  void script_error(const std::string& url, int code, const std::string& text) {
    script(url, Reply{{}, {}, text, code});
  }

  // After each piece (its index): lets a test abort or run a timer tick in
  // the middle of a transfer.
  std::function<void(std::size_t)> after_piece;

  const std::vector<HttpRequest>& requests() const { return requests_; }
  // The bodies that successful GETs with a local file would have written.
  const std::map<std::string, std::string>& files() const { return files_; }

  void get(const HttpRequest& request, HttpEvents& events) override {
    if (busy_) throw TransferError(93, "The transfer component is busy");
    log_.add("get: " + request.url);
    requests_.push_back(request);
    busy_ = true;
    aborted_ = false;
    struct Idle {
      FakeHttpTransfer& t;
      ~Idle() { t.busy_ = false; }
    } idle{*this};

    events.on_start();
    const auto it = replies_.find(request.url);
    if (it == replies_.end()) fail(events, 404, "404 Not Found", false);
    const Reply reply = it->second;  // a hook may script again
    const std::string host = "server";
    events.on_status("Looking up IP address of " + host + "...");
    events.on_status("Connecting to the socket of " + host + "...");
    events.on_connected("Connected to " + host);
    events.on_status("Waiting for the server response...");
    events.on_status("Successfully received the response from " + host + "...");
    for (const auto& [field, value] : reply.headers) events.on_header(field, value);
    std::int64_t bytes = 0;
    std::string body;
    for (std::size_t i = 0; i < reply.pieces.size(); ++i) {
      if (aborted_) break;
      bytes += static_cast<std::int64_t>(reply.pieces[i].size());
      body += reply.pieces[i];
      events.on_transfer(bytes, reply.pieces[i]);
      if (after_piece) after_piece(i);
    }
    if (aborted_) fail(events, 42, "Connection Aborted", true);
    if (!reply.error.empty()) fail(events, reply.error_code, reply.error, true);
    if (!request.local_file.empty()) files_[request.local_file] = body;
    events.on_end();
    events.on_disconnected("Disconnected");
  }
  void abort() override {
    if (busy_) aborted_ = true;
  }
  bool busy() const override { return busy_; }

 private:
  [[noreturn]] static void fail(HttpEvents& events, int code, const std::string& text, bool connected) {
    events.on_error(code, text);
    if (connected) events.on_disconnected("Disconnected");
    throw TransferError(code, text);
  }

  CallLog& log_;
  std::map<std::string, Reply> replies_;
  std::vector<HttpRequest> requests_;
  std::map<std::string, std::string> files_;
  bool busy_ = false;
  bool aborted_ = false;
};

}  // namespace cirrodex::fakes
