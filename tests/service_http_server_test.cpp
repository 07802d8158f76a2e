// The HTTP server in process, with a stub handler: the connection limit,
// HEAD, a handler that throws, and the stop.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "service/http_server.h"

namespace cirrodex::service {
namespace {

int connect_to(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<std::uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

std::string read_all(int fd) {
  std::string all;
  char buffer[4096];
  for (int rounds = 0; rounds < 200; ++rounds) {  // 20 s at most
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    all.append(buffer, static_cast<std::size_t>(n));
  }
  return all;
}

std::string ask(int port, const std::string& request) {
  const int fd = connect_to(port);
  if (fd < 0) return "";
  [[maybe_unused]] const ssize_t n = ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
  std::string answer = read_all(fd);
  ::close(fd);
  return answer;
}

class ServerTest : public ::testing::Test {
 protected:
  void start(ServerOptions options) {
    options.port = 0;
    server = std::make_unique<HttpServer>(
        options,
        [this](const RequestHead& head) {
          ++handled;
          if (head.path == "/throw") throw std::runtime_error("boom");
          Response r;
          r.content_type = "text/plain";
          r.body = "path " + head.path;
          return r;
        },
        nullptr);
    ASSERT_EQ(server->listen(), "");
    port = std::stoi(server->bound_address().substr(server->bound_address().rfind(':') + 1));
    loop = std::thread([this] { server->run(); });
  }
  void TearDown() override {
    if (!server) return;
    server->stop();
    loop.join();
  }

  std::unique_ptr<HttpServer> server;
  std::thread loop;
  int port = 0;
  std::atomic<int> handled{0};
};

TEST_F(ServerTest, BeyondTheConnectionLimitAClientGetsA503) {
  start(ServerOptions{"127.0.0.1", 0, 2, 2});
  const int a = connect_to(port), b = connect_to(port);
  ASSERT_GE(a, 0);
  ASSERT_GE(b, 0);
  ::send(a, "G", 1, MSG_NOSIGNAL);  // both are served, so both are counted
  ::send(b, "G", 1, MSG_NOSIGNAL);
  std::string third;
  for (int i = 0; i < 100 && third.find(" 503 ") == std::string::npos; ++i)
    third = ask(port, "GET /x HTTP/1.0\r\n\r\n");
  EXPECT_EQ(third.rfind("HTTP/1.1 503 Service Unavailable\r\n", 0), 0u) << third;
  ::close(a);
  ::close(b);
  // Room again once they are gone.
  std::string later;
  for (int i = 0; i < 100 && later.find(" 200 ") == std::string::npos; ++i)
    later = ask(port, "GET /x HTTP/1.0\r\n\r\n");
  EXPECT_EQ(later.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << later;
}

TEST_F(ServerTest, HeadAnswersWithoutTheBody) {
  start(ServerOptions{});
  const std::string get = ask(port, "GET /abc HTTP/1.0\r\n\r\n");
  const std::string head = ask(port, "HEAD /abc HTTP/1.0\r\n\r\n");
  EXPECT_EQ(get.substr(get.size() - 9), "path /abc");
  EXPECT_NE(head.find("Content-Length: 9\r\n"), std::string::npos) << head;
  EXPECT_EQ(head.substr(head.size() - 4), "\r\n\r\n");
}

TEST_F(ServerTest, ASocketHandedOverIsServedAtItsAddress) {
  // As the program hands it to its child (and systemd to a socket unit).
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof a;
  ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a), 0);
  ASSERT_EQ(::listen(fd, 16), 0);
  ASSERT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size), 0);
  ServerOptions options;
  options.address = "not-used";
  options.inherited_fd = fd;
  start(options);
  EXPECT_EQ(port, ntohs(a.sin_port));
  const std::string got = ask(port, "GET /handed HTTP/1.0\r\n\r\n");
  EXPECT_EQ(got.substr(got.size() - 12), "path /handed");
}

TEST_F(ServerTest, AHandlerThatThrowsGivesA500AndTheServerGoesOn) {
  start(ServerOptions{});
  EXPECT_EQ(ask(port, "GET /throw HTTP/1.0\r\n\r\n").rfind("HTTP/1.1 500 ", 0), 0u);
  EXPECT_EQ(ask(port, "GET /ok HTTP/1.0\r\n\r\n").rfind("HTTP/1.1 200 ", 0), 0u);
  EXPECT_EQ(handled, 2);
}

TEST_F(ServerTest, ARefusedHeadNeverReachesTheHandler) {
  start(ServerOptions{});
  EXPECT_EQ(ask(port, "GET /a%2e HTTP/1.1\r\n\r\n").rfind("HTTP/1.1 400 ", 0), 0u);
  EXPECT_EQ(handled, 0);
}

TEST(ServerListen, AnAddressThatIsNoneIsTold) {
  HttpServer server(
      ServerOptions{"not-an-address", 0}, [](const RequestHead&) { return Response{}; }, nullptr);
  EXPECT_NE(server.listen().find("not an IPv4 address"), std::string::npos);
}

}  // namespace
}  // namespace cirrodex::service
