#include "service/http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

namespace cirrodex::service {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr std::uint64_t kListenId = 0;
constexpr std::uint64_t kWakeId = 1;
constexpr std::uint64_t kFirstConnectionId = 2;
constexpr std::size_t kReadChunk = 4096;
constexpr std::size_t kMaxDrainBytes = std::size_t{64} * 1024;
// How often the loop looks for connections past their time.
constexpr milliseconds kSweepEvery{100};
// After running out of descriptors, accepting waits this long.
constexpr milliseconds kAcceptPause{100};

// A short answer for a client the loop will not serve, sent once without
// waiting; whatever does not fit the socket buffer is lost with it.
void send_and_forget(int fd, const std::string& bytes) {
  [[maybe_unused]] const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

std::string errno_text(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

}  // namespace

std::string http_date(UtcTime t) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(t);
  std::tm tm{};
  ::gmtime_r(&seconds, &tm);
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char out[40];
  std::snprintf(out, sizeof out, "%s, %02d %s %04d %02d:%02d:%02d GMT", kDays[tm.tm_wday % 7], tm.tm_mday,
                kMonths[tm.tm_mon % 12], tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec);
  return out;
}

std::string format_response(const Response& response, bool head_only, UtcTime now) {
  std::string out =
      "HTTP/1.1 " + std::to_string(response.status) + " " + std::string(reason_phrase(response.status)) + "\r\n";
  out += "Date: " + http_date(now) + "\r\n";
  out += "Server: cirrodex-service\r\n";
  out += "Content-Type: " + response.content_type + "\r\n";
  out += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
  out += "Cache-Control: max-age=" + std::to_string(std::max<long long>(0, response.max_age.count())) + "\r\n";
  if (!response.allow.empty()) out += "Allow: " + response.allow + "\r\n";
  out += "Connection: close\r\n\r\n";
  if (!head_only) out += response.body;
  return out;
}

std::string log_escaped(std::string_view s) {
  std::string out;
  for (char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 32 || u >= 127 || c == '\\' || c == '"') {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", u);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

struct HttpServer::Impl {
  enum class State { Reading, Handling, Writing };
  struct Connection {
    int fd = -1;
    State state = State::Reading;
    std::string in;
    std::string out;
    std::size_t written = 0;
    Clock::time_point started;
    Clock::time_point deadline;  // Reading and Writing only
    std::string request;         // "GET /path" for the log
    int status = 0;
    std::string note;
  };
  struct Job {
    std::uint64_t id;
    RequestHead head;
  };
  struct Done {
    std::uint64_t id;
    Response response;
    bool head_only;
  };

  Impl(ServerOptions o, RequestHandler h, LogSink l)
      : options(std::move(o)), handler(std::move(h)), log(std::move(l)) {}

  ServerOptions options;
  RequestHandler handler;
  LogSink log;

  int listen_fd = -1;
  int epoll_fd = -1;
  int wake_fd = -1;
  std::string bound;
  std::unordered_map<std::uint64_t, Connection> connections;
  std::uint64_t next_id = kFirstConnectionId;
  bool accept_paused = false;
  Clock::time_point accept_resume;

  // Shared with the workers.
  std::mutex mutex;
  std::condition_variable work_ready;
  std::deque<Job> jobs;
  std::deque<Done> done;
  bool workers_stop = false;
  std::vector<std::thread> workers;

  ~Impl() {
    for (int fd : {listen_fd, epoll_fd, wake_fd})
      if (fd >= 0) ::close(fd);
    for (auto& [id, c] : connections) ::close(c.fd);
  }

  void wake() const {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(wake_fd, &one, sizeof one);
  }

  void watch(int fd, std::uint64_t id, std::uint32_t events, int op) const {
    epoll_event e{};
    e.events = events;
    e.data.u64 = id;
    ::epoll_ctl(epoll_fd, op, fd, &e);
  }

  std::string listen() {
    epoll_fd = ::epoll_create1(EPOLL_CLOEXEC);
    wake_fd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (epoll_fd < 0 || wake_fd < 0) return errno_text("epoll");
    if (options.inherited_fd >= 0) {
      listen_fd = options.inherited_fd;
      ::fcntl(listen_fd, F_SETFD, FD_CLOEXEC);
      ::fcntl(listen_fd, F_SETFL, ::fcntl(listen_fd, F_GETFL) | O_NONBLOCK);
      if (!serve_bound()) return "the socket handed over is not an IPv4 socket";
      return "";
    }
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(options.port));
    if (options.port < 0 || options.port > 65535 || ::inet_pton(AF_INET, options.address.c_str(), &addr.sin_addr) != 1)
      return "not an IPv4 address and port: " + options.address + ":" + std::to_string(options.port);
    listen_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listen_fd < 0) return errno_text("socket");
    const int on = 1;
    ::setsockopt(listen_fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(listen_fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0)
      return errno_text(("bind " + options.address + ":" + std::to_string(options.port)).c_str());
    if (::listen(listen_fd, SOMAXCONN) != 0) return errno_text("listen");
    serve_bound();
    return "";
  }

  // The listening socket's address into `bound`, then both descriptors
  // watched; false when it is no IPv4 socket.
  bool serve_bound() {
    sockaddr_in addr{};
    socklen_t length = sizeof addr;
    if (::getsockname(listen_fd, reinterpret_cast<sockaddr*>(&addr), &length) != 0 || addr.sin_family != AF_INET)
      return false;
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &addr.sin_addr, text, sizeof text);
    bound = std::string(text) + ":" + std::to_string(ntohs(addr.sin_port));
    watch(listen_fd, kListenId, EPOLLIN, EPOLL_CTL_ADD);
    watch(wake_fd, kWakeId, EPOLLIN, EPOLL_CTL_ADD);
    return true;
  }

  void work() {
    while (true) {
      Job job;
      {
        std::unique_lock lock(mutex);
        work_ready.wait(lock, [&] { return workers_stop || !jobs.empty(); });
        if (jobs.empty()) return;
        job = std::move(jobs.front());
        jobs.pop_front();
      }
      Response response;
      try {
        response = handler(job.head);
      } catch (const std::exception& e) {
        response = error_response(500, std::string("the handler failed: ") + e.what(), std::chrono::seconds(0));
      } catch (...) {
        response = error_response(500, "the handler failed", std::chrono::seconds(0));
      }
      {
        std::lock_guard lock(mutex);
        done.push_back(Done{job.id, std::move(response), job.head.kind == Method::Head});
      }
      wake();
    }
  }

  void close_connection(std::uint64_t id) {
    const auto it = connections.find(id);
    if (it == connections.end()) return;
    ::close(it->second.fd);  // also leaves the epoll set
    connections.erase(it);
  }

  void log_request(const Connection& c, std::size_t bytes, const char* outcome) {
    if (!log) return;
    const auto ms = std::chrono::duration_cast<milliseconds>(Clock::now() - c.started).count();
    std::string line = http_date(std::chrono::system_clock::now()) + " \"" + log_escaped(c.request) + "\" " +
                       std::to_string(c.status) + " " + std::to_string(bytes) + " " + std::to_string(ms) + "ms";
    if (!c.note.empty()) line += " " + log_escaped(c.note);
    if (outcome[0] != '\0') line += " (" + std::string(outcome) + ")";
    log(line);
  }

  // Starts writing an answer; the connection ends once it is out.
  void answer(std::uint64_t id, const Response& response, bool head_only) {
    Connection& c = connections.at(id);
    c.state = State::Writing;
    c.out = format_response(response, head_only, std::chrono::system_clock::now());
    c.written = 0;
    c.status = response.status;
    c.note = response.note;
    c.deadline = Clock::now() + options.write_timeout;
    watch(c.fd, id, EPOLLOUT, EPOLL_CTL_MOD);
    write_some(id);
  }

  void write_some(std::uint64_t id) {
    Connection& c = connections.at(id);
    while (c.written < c.out.size()) {
      const ssize_t n = ::send(c.fd, c.out.data() + c.written, c.out.size() - c.written, MSG_NOSIGNAL);
      if (n > 0) {
        c.written += static_cast<std::size_t>(n);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;  // EPOLLOUT brings us back
      log_request(c, c.written, "client left");
      close_connection(id);
      return;
    }
    log_request(c, c.written, "");
    ::shutdown(c.fd, SHUT_WR);
    // Unread request bytes would make the close a reset, which can cost
    // the client the end of its answer; take a bounded amount of them.
    char sink[4096];
    for (std::size_t taken = 0; taken < kMaxDrainBytes;) {
      const ssize_t n = ::recv(c.fd, sink, sizeof sink, MSG_DONTWAIT);
      if (n <= 0) break;
      taken += static_cast<std::size_t>(n);
    }
    close_connection(id);
  }

  void read_some(std::uint64_t id) {
    Connection& c = connections.at(id);
    char buffer[kReadChunk];
    bool ended = false;  // the client sends no more (it may still read)
    while (true) {
      const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, 0);
      if (n > 0) {
        c.in.append(buffer, static_cast<std::size_t>(n));
        if (c.in.size() > kMaxHeadBytes) break;  // the parse below refuses it
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
      ended = true;
      break;
    }
    HeadParse parsed = parse_request_head(c.in);
    switch (parsed.state) {
      case HeadParse::State::Incomplete:
        if (ended) close_connection(id);  // gone before the head was complete
        return;
      case HeadParse::State::Refused:
        c.request = "(refused request)";
        answer(id, error_response(parsed.refusal.status, parsed.refusal.reason, std::chrono::seconds(0)), false);
        return;
      case HeadParse::State::Complete:
        break;
    }
    c.request = parsed.head.method + " " + parsed.head.target;
    c.state = State::Handling;
    c.in.clear();
    c.in.shrink_to_fit();
    watch(c.fd, id, 0, EPOLL_CTL_MOD);  // errors and hang-ups still come
    {
      std::lock_guard lock(mutex);
      jobs.push_back(Job{id, std::move(parsed.head)});
    }
    work_ready.notify_one();
  }

  void accept_all() {
    while (true) {
      const int fd = ::accept4(listen_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (fd < 0) {
        if (errno == EINTR || errno == ECONNABORTED) continue;
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
          if (log) log(errno_text("accept") + "; pausing");
          accept_paused = true;
          accept_resume = Clock::now() + kAcceptPause;
          watch(listen_fd, kListenId, 0, EPOLL_CTL_MOD);
        }
        return;
      }
      if (connections.size() >= options.max_connections) {
        send_and_forget(fd, format_response(error_response(503, "too many connections", std::chrono::seconds(0)), false,
                                            std::chrono::system_clock::now()));
        ::close(fd);
        continue;
      }
      const int on = 1;
      ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
      const std::uint64_t id = next_id++;
      Connection& c = connections[id];
      c.fd = fd;
      c.started = Clock::now();
      c.deadline = c.started + options.head_timeout;
      watch(fd, id, EPOLLIN | EPOLLRDHUP, EPOLL_CTL_ADD);
    }
  }

  void take_done() {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = ::read(wake_fd, &count, sizeof count);
    std::deque<Done> finished;
    {
      std::lock_guard lock(mutex);
      finished.swap(done);
    }
    for (Done& d : finished) {
      const auto it = connections.find(d.id);
      if (it == connections.end()) continue;  // the client has gone meanwhile
      answer(d.id, d.response, d.head_only);
    }
  }

  void sweep(Clock::time_point now) {
    if (accept_paused && now >= accept_resume && listen_fd >= 0) {
      accept_paused = false;
      watch(listen_fd, kListenId, EPOLLIN, EPOLL_CTL_MOD);
    }
    std::vector<std::uint64_t> late;
    for (const auto& [id, c] : connections)
      if (c.state != State::Handling && now >= c.deadline) late.push_back(id);
    for (std::uint64_t id : late) {
      Connection& c = connections.at(id);
      if (c.state == State::Reading) {
        send_and_forget(
            c.fd, format_response(error_response(408, "the request head took too long", std::chrono::seconds(0)), false,
                                  std::chrono::system_clock::now()));
        c.request = "(slow request)";
        c.status = 408;
        log_request(c, 0, "timed out");
      } else {
        log_request(c, c.written, "client too slow");
      }
      close_connection(id);
    }
  }

  void on_event(const epoll_event& e) {
    const std::uint64_t id = e.data.u64;
    const auto it = connections.find(id);
    if (it == connections.end()) return;
    Connection& c = it->second;
    switch (c.state) {
      case State::Reading:
        if ((e.events & (EPOLLIN | EPOLLRDHUP | EPOLLHUP | EPOLLERR)) != 0) read_some(id);
        break;
      case State::Handling:
        // Only errors and hang-ups are watched now: the client is gone; its
        // answer, when it comes, is dropped.
        if ((e.events & (EPOLLHUP | EPOLLERR)) != 0) close_connection(id);
        break;
      case State::Writing:
        if ((e.events & (EPOLLOUT | EPOLLHUP | EPOLLERR)) != 0) write_some(id);
        break;
    }
  }

  void run() {
    for (int i = 0; i < std::max(1, options.workers); ++i) workers.emplace_back([this] { work(); });
    std::vector<epoll_event> events(64);
    bool stopping = false;
    Clock::time_point drain_end{};
    Clock::time_point next_sweep = Clock::now() + kSweepEvery;
    while (true) {
      const int n =
          ::epoll_wait(epoll_fd, events.data(), static_cast<int>(events.size()), static_cast<int>(kSweepEvery.count()));
      if (n < 0 && errno != EINTR) break;
      for (int i = 0; i < n; ++i) {
        const std::uint64_t id = events[static_cast<std::size_t>(i)].data.u64;
        if (id == kListenId) {
          if (!stopping) accept_all();
        } else if (id == kWakeId) {
          take_done();
        } else {
          on_event(events[static_cast<std::size_t>(i)]);
        }
      }
      const Clock::time_point now = Clock::now();
      if (!stopping && stop_requested) {
        stopping = true;
        drain_end = now + options.drain_timeout;
        ::close(listen_fd);
        listen_fd = -1;
        std::vector<std::uint64_t> idle;
        for (const auto& [cid, c] : connections)
          if (c.state == State::Reading) idle.push_back(cid);
        for (std::uint64_t cid : idle) close_connection(cid);
      }
      if (now >= next_sweep) {
        sweep(now);
        next_sweep = now + kSweepEvery;
      }
      if (stopping && (connections.empty() || now >= drain_end)) break;
    }
    {
      std::lock_guard lock(mutex);
      workers_stop = true;
      jobs.clear();
    }
    work_ready.notify_all();
    for (std::thread& t : workers) t.join();
    workers.clear();
    std::vector<std::uint64_t> rest;
    for (const auto& [cid, c] : connections) rest.push_back(cid);
    for (std::uint64_t cid : rest) close_connection(cid);
  }

  std::atomic<bool> stop_requested{false};
};

HttpServer::HttpServer(ServerOptions options, RequestHandler handler, LogSink log)
    : impl_(std::make_unique<Impl>(std::move(options), std::move(handler), std::move(log))) {}

HttpServer::~HttpServer() = default;

std::string HttpServer::listen() { return impl_->listen(); }

std::string HttpServer::bound_address() const { return impl_->bound; }

void HttpServer::run() { impl_->run(); }

void HttpServer::stop() {
  impl_->stop_requested = true;
  impl_->wake();
}

}  // namespace cirrodex::service
