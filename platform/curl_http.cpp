#include "platform/curl_http.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/text.h"

namespace cirrodex {
namespace {

// Anything else (file://, dict://, ...) is refused, also as a redirect
// target: a weather page has no business reading local files.
constexpr const char* kProtocols = "http,https,ftp";
constexpr int kPollMs = 30;

std::string too_large_text() { return "The document is larger than " + std::to_string(kMaxBodyBytes >> 20) + " MB"; }

void global_init() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::string host_of(const std::string& url) {
  std::string host = url;
  if (CURLU* u = curl_url()) {
    char* part = nullptr;
    if (curl_url_set(u, CURLUPART_URL, url.c_str(), CURLU_NON_SUPPORT_SCHEME) == CURLUE_OK &&
        curl_url_get(u, CURLUPART_HOST, &part, 0) == CURLUE_OK && part) {
      host = part;
    }
    curl_free(part);
    curl_url_cleanup(u);
  }
  return host;
}

std::string describe(CURLcode code, const char* detail_buffer) {
  switch (code) {
    case CURLE_TOO_MANY_REDIRECTS:
      return "Too many redirects (more than " + std::to_string(kMaxRedirects) + ")";
    case CURLE_FILESIZE_EXCEEDED:
      return too_large_text();
    case CURLE_ABORTED_BY_CALLBACK:
      return "Connection Aborted";
    default:
      break;
  }
  std::string text = curl_easy_strerror(code);
  const std::string detail = text::trim(detail_buffer);
  if (!detail.empty() && detail != text) text += " (" + detail + ")";
  return text;
}

// The body on its way to a local file: a fresh file beside the target that
// replaces it only on commit, so a failed transfer leaves the old one alone.
class TempFile {
 public:
  TempFile() = default;
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile() { discard(); }

  // "" or what went wrong.
  std::string create(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
      path_ = "." + target + ".part-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
      fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ >= 0) {
        target_ = target;
        return "";
      }
      if (errno != EEXIST) break;
    }
    std::string error = "Cannot create a file for " + target + ": " + std::strerror(errno);
    path_.clear();
    return error;
  }
  bool open() const { return fd_ >= 0; }
  std::string write(const char* data, std::size_t size) {
    while (size > 0) {
      const ssize_t n = ::write(fd_, data, size);
      if (n < 0) {
        if (errno == EINTR) continue;
        return "Cannot write " + target_ + ": " + std::strerror(errno);
      }
      data += n;
      size -= static_cast<std::size_t>(n);
    }
    return "";
  }
  std::string commit() {
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0) return "Cannot write " + target_ + ": " + std::strerror(errno);
    if (::rename(path_.c_str(), target_.c_str()) != 0) return "Cannot replace " + target_ + ": " + std::strerror(errno);
    path_.clear();
    return "";
  }
  void discard() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    if (!path_.empty()) ::unlink(path_.c_str());
    path_.clear();
  }

 private:
  int fd_ = -1;
  std::string path_, target_;
};

struct Handles {
  CURLM* multi = nullptr;
  CURL* easy = nullptr;
  bool added = false;
  Handles() = default;
  Handles(const Handles&) = delete;
  Handles& operator=(const Handles&) = delete;
  ~Handles() { reset(); }
  void reset() {
    if (added) curl_multi_remove_handle(multi, easy);
    if (easy) curl_easy_cleanup(easy);
    if (multi) curl_multi_cleanup(multi);
    added = false;
    easy = nullptr;
    multi = nullptr;
  }
};

}  // namespace

bool is_bare_file_name(std::string_view name) {
  if (text::trim(name).empty()) return false;
  if (name == "." || name == "..") return false;
  return name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

// One GET: the events collected by libcurl's callbacks wait in the queue
// until the loop hands them over.
struct CurlHttpTransfer::Run {
  struct Event {
    enum class Kind { Status, Connected, Header, Piece } kind;
    std::string a, b;
    std::int64_t n = 0;
  };
  enum class Phase { None, Lookup, Connect, Waiting, Received };

  Run(const HttpRequest& r, HttpEvents& e, const bool& aborting)
      : request(r), events(e), abort_requested(aborting), host(host_of(r.url)) {}

  const HttpRequest request;
  HttpEvents& events;
  const bool& abort_requested;
  const std::string host;
  Handles h;
  char error_buffer[CURL_ERROR_SIZE] = {};
  std::vector<Event> queue;

  Phase phase = Phase::None;
  bool connected = false;
  std::string peer;  // "address:port" once known

  // The HTTP response being read. Redirects and 1xx answers are interim:
  // their headers and bodies are not the document's.
  bool http = false;
  bool headers_done = false;
  bool final_response = false;
  bool has_location = false;
  long status = 0;
  std::string reason;
  std::vector<std::pair<std::string, std::string>> headers;

  std::int64_t bytes = 0;
  bool size_told = false;
  TempFile file;

  // A failure found in a callback; wins over libcurl's code for it.
  int fail_code = 0;
  std::string fail_text;

  void push(Event::Kind kind, std::string a, std::string b = {}, std::int64_t n = 0) {
    queue.push_back(Event{kind, std::move(a), std::move(b), n});
  }

  void advance(Phase to) {
    while (phase < to) {
      phase = static_cast<Phase>(static_cast<int>(phase) + 1);
      switch (phase) {
        case Phase::Lookup:
          push(Event::Kind::Status, "Looking up IP address of " + host + "...");
          break;
        case Phase::Connect:
          push(Event::Kind::Status, "Connecting to the socket of " + host + "...");
          break;
        case Phase::Waiting:
          connected = true;
          push(Event::Kind::Connected, "Connected to " + (peer.empty() ? host : peer));
          push(Event::Kind::Status, "Waiting for the server response...");
          break;
        case Phase::Received:
          push(Event::Kind::Status, "Successfully received the response from " + host + "...");
          break;
        case Phase::None:
          break;
      }
    }
  }

  void fail(int code, std::string text) {
    if (fail_code != 0) return;
    fail_code = code;
    fail_text = std::move(text);
  }

  // Hands the queued events over; stops at an abort so no piece follows it.
  void deliver() {
    std::size_t i = 0;
    for (; i < queue.size() && !abort_requested; ++i) {
      const Event& e = queue[i];
      switch (e.kind) {
        case Event::Kind::Status:
          events.on_status(e.a);
          break;
        case Event::Kind::Connected:
          events.on_connected(e.a);
          break;
        case Event::Kind::Header:
          events.on_header(e.a, e.b);
          break;
        case Event::Kind::Piece:
          events.on_transfer(e.n, e.a);
          break;
      }
    }
    queue.clear();
  }

  // false: stop the transfer.
  bool on_header_line(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    if (line.starts_with("HTTP/")) {
      http = true;
      headers_done = final_response = has_location = false;
      headers.clear();
      const std::size_t space = line.find(' ');
      const std::string rest = space == std::string_view::npos ? "" : text::trim(line.substr(space + 1));
      const auto code = text::to_integer(rest.substr(0, rest.find(' ')));
      status = code ? static_cast<long>(*code) : 0;
      reason = rest.find(' ') == std::string::npos ? "" : text::trim(rest.substr(rest.find(' ') + 1));
      advance(Phase::Received);
      return true;
    }
    if (!http) return true;  // an FTP server's replies
    if (line.empty()) {
      if (headers_done) return true;  // end of the trailers
      headers_done = true;
      const bool redirect = status >= 300 && status < 400 && status != 304 && has_location;
      if (status < 200 || redirect) {
        // libcurl skips a followed redirect's page; the next answer may
        // come from an FTP server.
        headers.clear();
        http = false;
        return true;
      }
      final_response = true;
      for (auto& [field, value] : headers) push(Event::Kind::Header, std::move(field), std::move(value));
      headers.clear();
      if (status >= 400) {
        fail(static_cast<int>(status),
             std::to_string(status) + " " + (reason.empty() ? std::string("HTTP error") : reason));
        return false;  // the error page is not the document
      }
      return true;
    }
    if ((line.front() == ' ' || line.front() == '\t') && !headers_done && !headers.empty()) {
      headers.back().second += " " + text::trim(line);  // a folded line
      return true;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return true;
    std::string field = text::trim(line.substr(0, colon));
    std::string value = text::trim(line.substr(colon + 1));
    if (headers_done) {
      if (final_response) push(Event::Kind::Header, std::move(field), std::move(value));  // a trailer
      return true;
    }
    if (text::iequals(field, "Location")) has_location = true;
    headers.emplace_back(std::move(field), std::move(value));
    return true;
  }

  bool on_body(const char* data, std::size_t size) {
    if (http && !final_response) return true;  // not the document's page
    if (!http) {
      advance(Phase::Received);
      curl_off_t length = -1;
      if (!size_told && curl_easy_getinfo(h.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK &&
          length >= 0)
        push(Event::Kind::Header, "Content-Length", std::to_string(length));
      size_told = true;
    }
    if (bytes + static_cast<std::int64_t>(size) > kMaxBodyBytes) {
      fail(CURLE_FILESIZE_EXCEEDED, too_large_text());
      return false;
    }
    if (file.open()) {
      if (std::string error = file.write(data, size); !error.empty()) {
        fail(CURLE_WRITE_ERROR, std::move(error));
        return false;
      }
    }
    bytes += static_cast<std::int64_t>(size);
    push(Event::Kind::Piece, std::string(data, size), {}, bytes);
    return true;
  }
};

CurlHttpTransfer::CurlHttpTransfer(std::function<void()> pump) : pump_(std::move(pump)) { global_init(); }

CurlHttpTransfer::~CurlHttpTransfer() = default;

void CurlHttpTransfer::abort() {
  if (busy_) abort_requested_ = true;
}

void CurlHttpTransfer::get(const HttpRequest& request, HttpEvents& events) {
  if (busy_) throw TransferError(CURLE_RECURSIVE_API_CALL, "The transfer component is busy");
  if (!request.local_file.empty() && !is_bare_file_name(request.local_file)) {
    std::string shown = request.local_file;
    for (char& c : shown)
      if (static_cast<unsigned char>(c) < 32) c = '?';  // a NUL would cut the message short
    const std::string text = "Invalid local file name: " + shown;
    events.on_error(CURLE_BAD_FUNCTION_ARGUMENT, text);
    throw TransferError(CURLE_BAD_FUNCTION_ARGUMENT, text);
  }
  struct Busy {
    CurlHttpTransfer& t;
    explicit Busy(CurlHttpTransfer& self) : t(self) {
      t.busy_ = true;
      t.abort_requested_ = false;
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
    ~Busy() { t.busy_ = t.abort_requested_ = false; }
  } busy(*this);
  Run r(request, events, abort_requested_);
  run(r);
}

namespace {

// The proxy for a request: "" for none (the environment's too), a proxy
// address, or nullopt when libcurl is to read the environment itself.
std::optional<std::string> proxy_for(const HttpRequest& q,
                                     const std::function<std::string(const std::string&)>& system_proxy) {
  switch (q.proxy.mode) {
    case ProxySettings::Mode::Direct:
      return std::string();
    case ProxySettings::Mode::Manual: {
      std::string proxy = q.proxy.host;
      if (!proxy.empty() && q.proxy.port > 0) proxy += ":" + std::to_string(q.proxy.port);
      return proxy;
    }
    case ProxySettings::Mode::System:
      if (system_proxy) return system_proxy(q.url);
      return std::nullopt;
  }
  return std::string();
}

}  // namespace

// Every option of the easy handle, the callbacks included; the first
// failure is returned.
int CurlHttpTransfer::configure(Run& r, const std::optional<std::string>& proxy) {
  const HttpRequest& q = r.request;
  CURL* e = r.h.easy;
  CURLcode setup = CURLE_OK;
  auto set = [&](CURLoption option, auto value) {
    if (setup == CURLE_OK) setup = curl_easy_setopt(e, option, value);
  };
  set(CURLOPT_ERRORBUFFER, r.error_buffer);
  set(CURLOPT_URL, q.url.c_str());
  set(CURLOPT_PROTOCOLS_STR, kProtocols);
  set(CURLOPT_REDIR_PROTOCOLS_STR, kProtocols);
  set(CURLOPT_FOLLOWLOCATION, 1L);
  set(CURLOPT_MAXREDIRS, kMaxRedirects);
  set(CURLOPT_NOSIGNAL, 1L);
  set(CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxBodyBytes));
  if (q.timeout_ms > 0) set(CURLOPT_TIMEOUT_MS, static_cast<long>(q.timeout_ms));
  if (q.connect_timeout_ms > 0) set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(q.connect_timeout_ms));
  // libcurl sends no Referer or User-Agent of its own.
  if (!q.referer.empty()) set(CURLOPT_REFERER, q.referer.c_str());
  if (!q.user_agent.empty()) set(CURLOPT_USERAGENT, q.user_agent.c_str());
  if (!q.site_user.empty()) {
    set(CURLOPT_USERNAME, q.site_user.c_str());
    set(CURLOPT_PASSWORD, q.site_password.c_str());
  }
  if (proxy) {
    // "" turns the environment's proxy off; an explicit proxy serves every host.
    set(CURLOPT_PROXY, proxy->c_str());
    set(CURLOPT_NOPROXY, "");
    if (!proxy->empty() && q.proxy.mode == ProxySettings::Mode::Manual && !q.proxy.user.empty()) {
      set(CURLOPT_PROXYUSERNAME, q.proxy.user.c_str());
      set(CURLOPT_PROXYPASSWORD, q.proxy.password.c_str());
    }
  }
  set(CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);

  // The callbacks only collect; the transfer loop hands the events over.
  curl_write_callback header_cb = [](char* data, std::size_t size, std::size_t count, void* user) -> std::size_t {
    const std::size_t n = size * count;
    return static_cast<Run*>(user)->on_header_line(std::string_view(data, n)) ? n : 0;
  };
  curl_write_callback write_cb = [](char* data, std::size_t size, std::size_t count, void* user) -> std::size_t {
    const std::size_t n = size * count;
    return static_cast<Run*>(user)->on_body(data, n) ? n : 0;
  };
  curl_xferinfo_callback progress_cb = [](void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) -> int {
    return static_cast<Run*>(user)->abort_requested ? 1 : 0;
  };
  curl_sockopt_callback sockopt_cb = [](void* user, curl_socket_t, curlsocktype purpose) -> int {
    if (purpose == CURLSOCKTYPE_IPCXN) static_cast<Run*>(user)->advance(Run::Phase::Connect);
    return CURL_SOCKOPT_OK;
  };
  curl_prereq_callback prereq_cb = [](void* user, char* primary_ip, char*, int primary_port, int) -> int {
    Run& run = *static_cast<Run*>(user);
    if (run.peer.empty() && primary_ip && *primary_ip)
      run.peer = std::string(primary_ip) + ":" + std::to_string(primary_port);
    run.advance(Run::Phase::Waiting);
    return CURL_PREREQFUNC_OK;
  };
  set(CURLOPT_HEADERFUNCTION, header_cb);
  set(CURLOPT_HEADERDATA, &r);
  set(CURLOPT_WRITEFUNCTION, write_cb);
  set(CURLOPT_WRITEDATA, &r);
  set(CURLOPT_NOPROGRESS, 0L);
  set(CURLOPT_XFERINFOFUNCTION, progress_cb);
  set(CURLOPT_XFERINFODATA, &r);
  set(CURLOPT_SOCKOPTFUNCTION, sockopt_cb);
  set(CURLOPT_SOCKOPTDATA, &r);
  set(CURLOPT_PREREQFUNCTION, prereq_cb);
  set(CURLOPT_PREREQDATA, &r);
  return static_cast<int>(setup);
}

// The pump runs between the rounds.
std::pair<int, std::string> CurlHttpTransfer::perform(Run& r) {
  bool done = false;
  CURLcode result = CURLE_OK;
  CURLMcode multi_error = CURLM_OK;
  while (!abort_requested_) {
    int running = 0;
    multi_error = curl_multi_perform(r.h.multi, &running);
    int left = 0;
    while (CURLMsg* m = curl_multi_info_read(r.h.multi, &left)) {
      if (m->msg == CURLMSG_DONE) {
        result = m->data.result;
        done = true;
      }
    }
    r.deliver();
    if (done || multi_error != CURLM_OK || abort_requested_) break;
    if (pump_) pump_();
    if (abort_requested_) break;
    multi_error = curl_multi_poll(r.h.multi, nullptr, 0, kPollMs, nullptr);
    if (multi_error != CURLM_OK) break;
  }

  if (abort_requested_) return {CURLE_ABORTED_BY_CALLBACK, describe(CURLE_ABORTED_BY_CALLBACK, "")};
  if (multi_error != CURLM_OK) return {CURLE_FAILED_INIT, curl_multi_strerror(multi_error)};
  if (result != CURLE_OK) {
    if (r.fail_code != 0) return {r.fail_code, r.fail_text};
    return {static_cast<int>(result), describe(result, r.error_buffer)};
  }
  if (r.file.open()) {
    if (std::string error = r.file.commit(); !error.empty()) return {CURLE_WRITE_ERROR, error};
  }
  return {0, {}};
}

void CurlHttpTransfer::run(Run& r) {
  auto fail_now = [&](int code, const std::string& text) {
    r.events.on_error(code, text);
    throw TransferError(code, text);
  };
  if (!r.request.local_file.empty()) {
    if (std::string error = r.file.create(r.request.local_file); !error.empty()) fail_now(CURLE_WRITE_ERROR, error);
  }
  r.h.multi = curl_multi_init();
  r.h.easy = curl_easy_init();
  if (!r.h.multi || !r.h.easy) fail_now(CURLE_OUT_OF_MEMORY, curl_easy_strerror(CURLE_OUT_OF_MEMORY));
  if (const auto setup = static_cast<CURLcode>(configure(r, proxy_for(r.request, system_proxy_))); setup != CURLE_OK)
    fail_now(setup, describe(setup, r.error_buffer));
  if (const CURLMcode m = curl_multi_add_handle(r.h.multi, r.h.easy); m != CURLM_OK)
    fail_now(CURLE_FAILED_INIT, curl_multi_strerror(m));
  r.h.added = true;

  r.events.on_start();
  r.advance(Run::Phase::Lookup);
  r.deliver();
  const auto [code, text] = perform(r);
  // The connection is closed (or back in libcurl's cache, which goes with
  // the multi handle) before the last events.
  r.h.reset();

  if (code == 0) {
    r.advance(Run::Phase::Received);  // an empty FTP file says nothing before
    r.deliver();
    r.events.on_end();
    if (r.connected) r.events.on_disconnected("Disconnected");
    return;
  }
  r.queue.clear();
  r.file.discard();
  r.events.on_error(code, text);
  if (r.connected) r.events.on_disconnected("Disconnected");
  throw TransferError(code, text);
}

}  // namespace cirrodex
