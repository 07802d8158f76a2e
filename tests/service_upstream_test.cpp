// The upstream adapter over the libcurl transfer component, against the
// local test server: answers, HTTP errors, time-outs, oversized bodies,
// refused connections, cancelling, and the User-Agent the NWS asks for.
#include <gtest/gtest.h>

#include "platform/version.h"
#include "service/upstream.h"
#include "support/local_server.h"

namespace cirrodex::service {
namespace {

using std::chrono::milliseconds;

class UpstreamTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server.start({})) << server.why(); }
  std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(server.port()) + path; }
  CurlUpstream make(UpstreamLimits limits = {}) {
    return CurlUpstream(service_user_agent("http://maker.example"), limits);
  }

  testing::LocalServer server{CIRRODEX_HTTP_SERVER};
};

TEST_F(UpstreamTest, AnAnswerWithItsBodyAndTheServiceUserAgent) {
  CurlUpstream upstream = make();
  const UpstreamAnswer a = upstream.fetch(url("/chunked"));
  EXPECT_TRUE(a.ok()) << a.error;
  EXPECT_EQ(a.status, 200);
  EXPECT_EQ(a.body.substr(0, 11), "line 00000\n");
  EXPECT_EQ(a.body.size(), 11u * 1000);

  const UpstreamAnswer asked = upstream.fetch(url("/_requests"));
  EXPECT_NE(asked.body.find("\tCirrodex/" + std::string(kProgramVersion) + " (http://maker.example)\t"),
            std::string::npos)
      << asked.body;
}

TEST_F(UpstreamTest, FailuresNameTheAddressAndWhatCameBack) {
  struct Case {
    std::string path;
    UpstreamLimits limits;
    int status;
    bool timed_out;
    std::string text;  // after "URL: "
  };
  const Case cases[] = {
      {"/404", {}, 404, false, "404 Not Found"},
      {"/stall", {milliseconds(10'000), milliseconds(300), 1 << 20}, 0, true, "Timeout was reached"},
      {"/plain", {milliseconds(10'000), milliseconds(20'000), 1000}, 0, false, "answer larger than 1000 bytes"},
  };
  for (const Case& c : cases) {
    CurlUpstream upstream = make(c.limits);
    const UpstreamAnswer a = upstream.fetch(url(c.path));
    EXPECT_FALSE(a.ok()) << c.path;
    EXPECT_EQ(a.status, c.status) << c.path;
    EXPECT_EQ(a.timed_out, c.timed_out) << c.path;
    EXPECT_EQ(a.error.rfind(url(c.path) + ": " + c.text, 0), 0u) << a.error;
    EXPECT_TRUE(a.body.empty()) << c.path;
  }
}

TEST_F(UpstreamTest, ARefusedConnectionIsAFailureNotATimeOut) {
  const int port = server.port();
  server.stop();
  CurlUpstream upstream = make();
  const UpstreamAnswer a = upstream.fetch("http://127.0.0.1:" + std::to_string(port) + "/plain");
  EXPECT_FALSE(a.ok());
  EXPECT_FALSE(a.timed_out);
  EXPECT_NE(a.error.find("127.0.0.1"), std::string::npos) << a.error;
}

TEST_F(UpstreamTest, CancelledFetchesEndAtOnce) {
  CurlUpstream upstream = make();
  upstream.cancel();
  const UpstreamAnswer a = upstream.fetch(url("/plain"));
  EXPECT_FALSE(a.ok());
  EXPECT_NE(a.error.find("cancelled"), std::string::npos) << a.error;
}

}  // namespace
}  // namespace cirrodex::service
