#pragma once
// The HTTP server of cirrodex-service: one thread runs an epoll loop over
// non-blocking sockets (accepting, reading request heads, writing answers)
// and hands each complete request to a small pool of worker threads, since
// a handler may wait for an upstream fetch. Every answer ends the
// connection. Slow clients have a time limit to send their head and to
// take their answer; clients that leave half way are dropped; beyond the
// connection limit a client gets a short 503.

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "service/conditions_service.h"
#include "service/request.h"
#include "service/service_clock.h"

namespace cirrodex::service {

struct ServerOptions {
  std::string address = "127.0.0.1";  // loopback unless told otherwise
  int port = 8080;                    // 0: any free port
  int workers = 8;
  std::size_t max_connections = 512;
  std::chrono::milliseconds head_timeout{10'000};   // from accept to the whole head
  std::chrono::milliseconds write_timeout{30'000};  // to take the whole answer
  std::chrono::milliseconds drain_timeout{5'000};   // answers still owed at shutdown
  // A listening socket handed over (systemd's LISTEN_FDS, or the program
  // that starts the service as its child); -1: bind address and port.
  int inherited_fd = -1;
};

using RequestHandler = std::function<Response(const RequestHead&)>;
using LogSink = std::function<void(const std::string& line)>;

// The bytes of an answer: status line, Date, Content-Type, Content-Length,
// Cache-Control, Connection: close, and the body unless head_only.
std::string format_response(const Response& response, bool head_only, UtcTime now);
// "Mon, 15 Jan 2024 14:51:00 GMT"
std::string http_date(UtcTime t);
// The text with control and non-ASCII bytes as \xHH, for a log line.
std::string log_escaped(std::string_view s);

class HttpServer {
 public:
  HttpServer(ServerOptions options, RequestHandler handler, LogSink log);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Binds and listens; "" on success, else what went wrong.
  std::string listen();
  // "ADDR:PORT" as bound (the real port when 0 was asked).
  std::string bound_address() const;
  // Serves until stop(); then answers what is owed (within drain_timeout)
  // and returns.
  void run();
  // From any thread, and from a signal handler (it only writes an eventfd).
  void stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace cirrodex::service
