#pragma once
// A transfer component that answers from a script keyed by address and
// records every request.
//   get: URL          (NAME get: URL when the fake has a name)
// Events of a scripted answer, in the order the real component gives them:
// start, the four phase texts with connected, any further phase texts, the
// headers, the pieces (the after_piece hook runs after each one), then end,
// or the scripted error, then disconnected. An address with no script fails
// with 404 Not Found.

#include <algorithm>
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
    // Phase texts after the standard four (the real component passes on
    // whatever the library reports).
    std::vector<std::string> statuses;
    // false: the transfer stops after the pieces without its end event and
    // without an error (the received flag then stays empty).
    bool end = true;
  };

  explicit FakeHttpTransfer(CallLog& log, std::string name = {}) : log_(log), name_(std::move(name)) {}

  void script(const std::string& url, Reply reply) { replies_[url] = std::move(reply); }
  // The whole body with its Content-Length, in `pieces` pieces of about
  // the same size.
  void script_body(const std::string& url, const std::string& body, std::size_t pieces = 1) {
    Reply reply;
    reply.headers = {{"Content-Length", std::to_string(body.size())}};
    const std::size_t step = pieces <= 1 ? body.size() : std::max<std::size_t>(1, body.size() / pieces);
    std::size_t at = 0;
    while (reply.pieces.size() + 1 < pieces && at + step < body.size()) {
      reply.pieces.push_back(body.substr(at, step));
      at += step;
    }
    reply.pieces.push_back(body.substr(at));
    script(url, std::move(reply));
  }
  void script_error(const std::string& url, int code, const std::string& text) {
    Reply reply;
    reply.error = text;
    reply.error_code = code;
    script(url, std::move(reply));
  }

  // After each piece (its index): lets a test abort or run a timer tick in
  // the middle of a transfer.
  std::function<void(std::size_t)> after_piece;

  const std::vector<HttpRequest>& requests() const { return requests_; }
  // The bodies that successful GETs with a local file would have written.
  const std::map<std::string, std::string>& files() const { return files_; }

  void get(const HttpRequest& request, HttpEvents& events) override {
    if (busy_) throw TransferError(93, "The transfer component is busy");
    log_.add((name_.empty() ? "get: " : name_ + " get: ") + request.url);
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
    for (const std::string& text : reply.statuses) events.on_status(text);
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
    if (!reply.end) return;
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
  std::string name_;
  std::map<std::string, Reply> replies_;
  std::vector<HttpRequest> requests_;
  std::map<std::string, std::string> files_;
  bool busy_ = false;
  bool aborted_ = false;
};

}  // namespace cirrodex::fakes
