#include "platform/curl_mail.h"

#include <curl/curl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <ctime>
#include <mutex>
#include <vector>

#include "platform/text.h"

namespace cirrodex {
namespace {

constexpr int kPollMs = 30;

void global_init() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// The name the session greets the server with: this machine's, when it is
// a plain host name.
std::string ehlo_domain() {
  std::array<char, 256> name{};
  if (::gethostname(name.data(), name.size() - 1) != 0 || name[0] == '\0') return "localhost";
  std::string s(name.data());
  for (const char c : s)
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || text::is_digit(c) || c == '.' || c == '-'))
      return "localhost";
  return s;
}

std::string url_of(const MailServer& server) {
  const bool v6 = server.host.find(':') != std::string::npos;
  return "smtp://" + (v6 ? "[" + server.host + "]" : server.host) + ":" + std::to_string(server.port) + "/" +
         ehlo_domain();
}

bool is_auth_refusal(int code) { return code == 530 || code == 534 || code == 535 || code == 538; }

std::string two(int n) { return std::string(1, static_cast<char>('0' + n / 10)) + static_cast<char>('0' + n % 10); }

}  // namespace

std::string mail_date_now() {
  static constexpr std::array<const char*, 7> kDays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  const long offset = tm.tm_gmtoff / 60;
  const long magnitude = offset < 0 ? -offset : offset;
  return std::string(kDays.at(static_cast<std::size_t>(tm.tm_wday))) + ", " + std::to_string(tm.tm_mday) + " " +
         kMonths.at(static_cast<std::size_t>(tm.tm_mon)) + " " + std::to_string(tm.tm_year + 1900) + " " +
         two(tm.tm_hour) + ":" + two(tm.tm_min) + ":" + two(tm.tm_sec) + " " + (offset < 0 ? "-" : "+") +
         two(static_cast<int>(magnitude / 60)) + two(static_cast<int>(magnitude % 60));
}

// The session: one easy handle on its own multi handle, whose connection
// cache keeps the connection between the calls.
struct CurlMail::Session {
  CURLM* multi = nullptr;
  CURL* easy = nullptr;
  std::string url;
  Session() = default;
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  // The multi handle closes the cached connection, with QUIT.
  ~Session() {
    if (easy) curl_easy_cleanup(easy);
    if (multi) curl_multi_cleanup(multi);
  }
};

// One call's transfer: what libcurl's callbacks saw, queued for the caller.
struct CurlMail::Exchange {
  struct Queued {
    bool is_status;
    MailEvent event;
    std::string text;
  };

  Exchange(MailEvents& e, bool opening) : events(e), connecting(opening) {}
  MailEvents& events;
  const bool connecting;
  std::vector<Queued> queue;
  char error_buffer[CURL_ERROR_SIZE] = {};
  bool greeted = false;
  int last_code = 0;
  std::string last_reply;
  std::string last_command;
  // The first refusal (4xx or 5xx) and the command it answered; the QUIT
  // after a failure must not hide it.
  int refusal_code = 0;
  std::string refusal_reply, refused_command;
  std::string incoming;  // reply text not yet ended by its line feed
  std::string upload;
  std::size_t uploaded = 0;

  void push(MailEvent e) { queue.push_back({false, e, {}}); }

  void reply_line(std::string line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() < 3 || !text::is_digit(line[0]) || !text::is_digit(line[1]) || !text::is_digit(line[2])) return;
    if (line.size() > 3 && line[3] == '-') return;  // a reply goes on
    last_code = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
    last_reply = line;
    if (last_code >= 400 && refusal_code == 0) {
      refusal_code = last_code;
      refusal_reply = line;
      refused_command = last_command;
    }
    if (!greeted && last_code == 220 && last_command.empty()) {
      greeted = true;
      push(MailEvent::Connected);
    }
    queue.push_back({true, MailEvent::Failure, line});
  }

  void debug(curl_infotype type, std::string_view data) {
    if (type == CURLINFO_HEADER_IN) {
      incoming.append(data);
      for (std::size_t end = incoming.find('\n'); end != std::string::npos; end = incoming.find('\n')) {
        reply_line(incoming.substr(0, end));
        incoming.erase(0, end + 1);
      }
    } else if (type == CURLINFO_HEADER_OUT) {
      const std::size_t word_end = data.find_first_of(" \r\n");
      last_command = text::upper(data.substr(0, word_end));
      if (last_command == "MAIL") push(MailEvent::SendStarted);
    } else if (type == CURLINFO_DATA_OUT) {
      push(MailEvent::PacketSent);
    }
  }

  void deliver() {
    // A handler may throw: what it leaves undelivered goes with it.
    std::vector<Queued> now;
    now.swap(queue);
    for (const Queued& q : now) {
      if (q.is_status)
        events.on_status(q.text);
      else
        events.on_event(q.event);
    }
  }

  MailEvent failure_of(CURLcode code) const {
    if (code == CURLE_COULDNT_RESOLVE_HOST) return MailEvent::InvalidHost;
    if (is_auth_refusal(refusal_code) || code == CURLE_LOGIN_DENIED) return MailEvent::AuthenticationFailed;
    if (code == CURLE_COULDNT_CONNECT || (connecting && !greeted)) return MailEvent::ConnectionFailed;
    if (refused_command == "RCPT") return MailEvent::RecipientNotFound;
    return MailEvent::Failure;
  }

  std::string describe(CURLcode code) const {
    std::string text = curl_easy_strerror(code);
    if (error_buffer[0] != '\0') text += std::string(" (") + error_buffer + ")";
    const std::string& reply = refusal_reply.empty() ? last_reply : refusal_reply;
    if (!reply.empty()) text += ": " + reply;
    return text;
  }
};

CurlMail::CurlMail(std::function<void()> pump) : pump_(std::move(pump)) { global_init(); }

CurlMail::~CurlMail() = default;

namespace {

// The options every call of a session shares.
CURLcode common_options(CURL* e, const std::string& url, const std::string& ca_file, void* exchange,
                        char* error_buffer) {
  CURLcode setup = CURLE_OK;
  auto set = [&](CURLoption option, auto value) {
    if (setup == CURLE_OK) setup = curl_easy_setopt(e, option, value);
  };
  curl_debug_callback debug_cb = [](CURL*, curl_infotype type, char* data, std::size_t size, void* user) -> int {
    if (user != nullptr) static_cast<CurlMail::Exchange*>(user)->debug(type, std::string_view(data, size));
    return 0;
  };
  curl_write_callback discard_cb = [](char*, std::size_t size, std::size_t count, void*) -> std::size_t {
    return size * count;
  };
  curl_sockopt_callback sockopt_cb = [](void* user, curl_socket_t, curlsocktype purpose) -> int {
    if (purpose == CURLSOCKTYPE_IPCXN && user != nullptr)
      static_cast<CurlMail::Exchange*>(user)->push(MailEvent::HostResolved);
    return CURL_SOCKOPT_OK;
  };
  set(CURLOPT_URL, url.c_str());
  set(CURLOPT_PROTOCOLS_STR, "smtp");
  set(CURLOPT_ERRORBUFFER, error_buffer);
  set(CURLOPT_NOSIGNAL, 1L);
  set(CURLOPT_TIMEOUT_MS, static_cast<long>(kMailTimeoutMs));
  // STARTTLS whenever the server offers it; plain text when it does not.
  set(CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_TRY));
  if (!ca_file.empty()) set(CURLOPT_CAINFO, ca_file.c_str());
  // Mail goes straight to the server, whatever proxy the environment names.
  set(CURLOPT_PROXY, "");
  set(CURLOPT_VERBOSE, 1L);
  set(CURLOPT_DEBUGFUNCTION, debug_cb);
  set(CURLOPT_DEBUGDATA, exchange);
  set(CURLOPT_WRITEFUNCTION, discard_cb);
  set(CURLOPT_SOCKOPTFUNCTION, sockopt_cb);
  set(CURLOPT_SOCKOPTDATA, exchange);
  return setup;
}

// After a call the handle keeps no pointer into its exchange or message.
void forget_call(CURL* e) {
  curl_easy_setopt(e, CURLOPT_VERBOSE, 0L);
  curl_easy_setopt(e, CURLOPT_DEBUGDATA, nullptr);
  curl_easy_setopt(e, CURLOPT_SOCKOPTDATA, nullptr);
  curl_easy_setopt(e, CURLOPT_READDATA, nullptr);
  curl_easy_setopt(e, CURLOPT_MAIL_RCPT, static_cast<curl_slist*>(nullptr));
  curl_easy_setopt(e, CURLOPT_UPLOAD, 0L);
}

}  // namespace

void CurlMail::perform(Exchange& x) {
  Session& s = *session_;
  if (const CURLMcode m = curl_multi_add_handle(s.multi, s.easy); m != CURLM_OK) {
    x.events.on_event(MailEvent::Failure);
    throw MailError(MailEvent::Failure, curl_multi_strerror(m));
  }
  struct Attached {
    Session& s;
    ~Attached() {
      curl_multi_remove_handle(s.multi, s.easy);
      forget_call(s.easy);
    }
  } attached{s};
  struct Busy {
    CurlMail& m;
    explicit Busy(CurlMail& mail) : m(mail) { m.busy_ = true; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
    ~Busy() { m.busy_ = m.abort_requested_ = false; }
  } busy(*this);
  bool done = false;
  CURLcode result = CURLE_OK;
  CURLMcode multi_error = CURLM_OK;
  for (;;) {
    int running = 0;
    multi_error = curl_multi_perform(s.multi, &running);
    int left = 0;
    while (CURLMsg* m = curl_multi_info_read(s.multi, &left)) {
      if (m->msg == CURLMSG_DONE) {
        result = m->data.result;
        done = true;
      }
    }
    x.deliver();
    if (done || multi_error != CURLM_OK) break;
    if (pump_) pump_();
    if (abort_requested_) {
      result = CURLE_ABORTED_BY_CALLBACK;
      break;
    }
    multi_error = curl_multi_poll(s.multi, nullptr, 0, kPollMs, nullptr);
    if (multi_error != CURLM_OK) break;
  }
  curl_easy_getinfo(s.easy, CURLINFO_NUM_CONNECTS, &new_connections_);
  if (multi_error != CURLM_OK) {
    x.events.on_event(MailEvent::Failure);
    throw MailError(MailEvent::Failure, curl_multi_strerror(multi_error));
  }
  if (result != CURLE_OK) {
    const MailEvent failure = x.failure_of(result);
    x.events.on_event(failure);
    throw MailError(failure, x.describe(result));
  }
}

void CurlMail::connect(const std::string& server_text, MailEvents& events) {
  session_.reset();  // a session left from a failed message ends here
  new_connections_ = 0;
  const std::optional<MailServer> server = parse_mail_server(server_text);
  if (!server) {
    events.on_event(MailEvent::InvalidHost);
    throw MailError(MailEvent::InvalidHost, "Not a mail server name: " + server_text);
  }
  auto session = std::make_unique<Session>();
  session->multi = curl_multi_init();
  session->easy = curl_easy_init();
  if (!session->multi || !session->easy) {
    events.on_event(MailEvent::Failure);
    throw MailError(MailEvent::Failure, curl_easy_strerror(CURLE_OUT_OF_MEMORY));
  }
  session->url = url_of(*server);
  session_ = std::move(session);
  Exchange x(events, true);
  CURLcode setup = common_options(session_->easy, session_->url, ca_file_, &x, x.error_buffer);
  // A NOOP proves the session; libcurl keeps the connection for send.
  if (setup == CURLE_OK) setup = curl_easy_setopt(session_->easy, CURLOPT_CUSTOMREQUEST, "NOOP");
  if (setup != CURLE_OK) {
    session_.reset();
    events.on_event(MailEvent::Failure);
    throw MailError(MailEvent::Failure, curl_easy_strerror(setup));
  }
  try {
    perform(x);
  } catch (const MailError&) {
    session_.reset();
    throw;
  }
}

void CurlMail::send(const MailMessage& message, MailEvents& events) {
  if (!session_) {
    events.on_event(MailEvent::ConnectionRequired);
    throw MailError(MailEvent::ConnectionRequired, "Not connected to a mail server");
  }
  if (const std::optional<MailEvent> problem = message_problem(message)) {
    events.on_event(*problem);
    throw MailError(*problem, *problem == MailEvent::HeaderIncomplete ? "The message has no sender or no recipient"
                                                                      : "A header field of the message is not valid");
  }
  Exchange x(events, false);
  x.upload = mail_message_text(message, mail_date_now());
  struct Recipients {
    curl_slist* list = nullptr;
    ~Recipients() { curl_slist_free_all(list); }
  } recipients;
  for (const std::string& r : message.recipients) {
    curl_slist* grown = curl_slist_append(recipients.list, ("<" + r + ">").c_str());
    if (grown == nullptr) {
      events.on_event(MailEvent::Failure);
      throw MailError(MailEvent::Failure, curl_easy_strerror(CURLE_OUT_OF_MEMORY));
    }
    recipients.list = grown;
  }
  const std::string from = "<" + message.from_address + ">";
  CURL* e = session_->easy;
  CURLcode setup = common_options(e, session_->url, ca_file_, &x, x.error_buffer);
  auto set = [&](CURLoption option, auto value) {
    if (setup == CURLE_OK) setup = curl_easy_setopt(e, option, value);
  };
  curl_read_callback read_cb = [](char* buffer, std::size_t size, std::size_t count, void* user) -> std::size_t {
    if (user == nullptr) return 0;
    auto& ex = *static_cast<Exchange*>(user);
    const std::size_t n = std::min(size * count, ex.upload.size() - ex.uploaded);
    std::copy_n(ex.upload.data() + ex.uploaded, n, buffer);
    ex.uploaded += n;
    return n;
  };
  set(CURLOPT_CUSTOMREQUEST, static_cast<const char*>(nullptr));
  set(CURLOPT_MAIL_FROM, from.c_str());
  set(CURLOPT_MAIL_RCPT, recipients.list);
  set(CURLOPT_UPLOAD, 1L);
  set(CURLOPT_READFUNCTION, read_cb);
  set(CURLOPT_READDATA, &x);
  set(CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(x.upload.size()));
  if (setup != CURLE_OK) {
    forget_call(e);
    events.on_event(MailEvent::Failure);
    throw MailError(MailEvent::Failure, curl_easy_strerror(setup));
  }
  perform(x);
  events.on_event(MailEvent::Success);
}

void CurlMail::disconnect(MailEvents& events) {
  if (!session_) return;
  session_.reset();
  events.on_event(MailEvent::Disconnected);
}

}  // namespace cirrodex
