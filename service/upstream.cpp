#include "service/upstream.h"

#include <curl/curl.h>

#include "platform/curl_http.h"
#include "platform/version.h"

namespace cirrodex::service {
namespace {

// Collects the body, and stops a transfer that grows past the limit.
class BodyCollector final : public HttpEvents {
 public:
  BodyCollector(HttpTransfer& transfer, std::size_t limit) : transfer_(transfer), limit_(limit) {}
  void on_transfer(std::int64_t, std::string_view piece) override {
    if (too_large_) return;
    if (body_.size() + piece.size() > limit_) {
      too_large_ = true;
      transfer_.abort();
      return;
    }
    body_.append(piece);
  }
  std::string& body() { return body_; }
  bool too_large() const { return too_large_; }

 private:
  HttpTransfer& transfer_;
  std::size_t limit_;
  std::string body_;
  bool too_large_ = false;
};

}  // namespace

std::string service_user_agent(std::string_view maker_web) {
  return "Cirrodex/" + std::string(kProgramVersion) + " (" + std::string(maker_web) + ")";
}

UpstreamAnswer CurlUpstream::fetch(const std::string& url) {
  UpstreamAnswer answer;
  if (cancelled_) {
    answer.error = url + ": cancelled, the service is shutting down";
    return answer;
  }
  HttpRequest request;
  request.url = url;
  request.user_agent = user_agent_;
  request.timeout_ms = static_cast<int>(limits_.whole.count());
  request.connect_timeout_ms = static_cast<int>(limits_.connect.count());
  request.proxy.mode = ProxySettings::Mode::Direct;

  // The pump runs between rounds of the transfer on this thread: the one
  // place where a shutdown can end it early.
  HttpTransfer* running = nullptr;
  CurlHttpTransfer transfer([this, &running] {
    if (cancelled_ && running != nullptr) running->abort();
  });
  running = &transfer;
  BodyCollector events(transfer, limits_.max_body_bytes);
  try {
    transfer.get(request, events);
    answer.status = 200;  // the component ends only 2xx answers successfully
    answer.body = std::move(events.body());
  } catch (const TransferError& e) {
    if (events.too_large()) {
      answer.error = url + ": answer larger than " + std::to_string(limits_.max_body_bytes) + " bytes";
    } else if (cancelled_) {
      answer.error = url + ": cancelled, the service is shutting down";
    } else {
      if (e.code() >= 400 && e.code() <= 599) answer.status = e.code();
      answer.timed_out = e.code() == CURLE_OPERATION_TIMEDOUT;
      answer.error = url + ": " + e.what();
    }
  }
  return answer;
}

}  // namespace cirrodex::service
