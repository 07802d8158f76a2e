// Request heads and routes of cirrodex-service.
#include <gtest/gtest.h>

#include <string>

#include "service/request.h"

namespace cirrodex::service {
namespace {

using State = HeadParse::State;

struct HeadCase {
  const char* name;
  std::string bytes;
  State state;
  int status;  // of a refusal
};

class HeadTest : public ::testing::TestWithParam<HeadCase> {};

TEST_P(HeadTest, ParsesOrRefuses) {
  const HeadCase& c = GetParam();
  const HeadParse p = parse_request_head(c.bytes);
  EXPECT_EQ(p.state, c.state);
  if (c.state == State::Refused) {
    EXPECT_EQ(p.refusal.status, c.status) << p.refusal.reason;
  }
}

const std::string kHost = "Host: x\r\n";
INSTANTIATE_TEST_SUITE_P(
    Heads, HeadTest,
    ::testing::Values(
        HeadCase{"Get11", "GET / HTTP/1.1\r\n" + kHost + "\r\n", State::Complete, 0},
        HeadCase{"Get10NoHost", "GET / HTTP/1.0\r\n\r\n", State::Complete, 0},
        HeadCase{"BareLineFeeds", "GET / HTTP/1.1\nHost: x\n\n", State::Complete, 0},
        HeadCase{"LeadingBlankLine", "\r\nGET / HTTP/1.1\r\n" + kHost + "\r\n", State::Complete, 0},
        HeadCase{"NoBlankLineYet", "GET / HTTP/1.1\r\n" + kHost, State::Incomplete, 0},
        HeadCase{"HalfRequestLine", "GET /auto/Cirr", State::Incomplete, 0},
        HeadCase{"Empty", "", State::Incomplete, 0},
        HeadCase{"TlsHelloRefusedAtOnce", std::string("\x16\x03\x01\x02\xfc", 5), State::Refused, 400},
        HeadCase{"Host11Missing", "GET / HTTP/1.1\r\n\r\n", State::Refused, 400},
        HeadCase{"BrokenLineRefusedEarly", "GARBAGE\r\n", State::Refused, 400},
        HeadCase{"TwoSpaces", "GET  / HTTP/1.1\r\n" + kHost + "\r\n", State::Refused, 400},
        HeadCase{"Http2", "GET / HTTP/2.0\r\n" + kHost + "\r\n", State::Refused, 505},
        HeadCase{"NotHttp", "GET / FTP/1.1\r\n" + kHost + "\r\n", State::Refused, 400},
        HeadCase{"NulInHead", std::string("GET /\0 HTTP/1.1\r\n", 17), State::Refused, 400},
        HeadCase{"ControlInTarget", "GET /a\x01 HTTP/1.1\r\n" + kHost + "\r\n", State::Refused, 400},
        HeadCase{"TargetTooLong", "GET /" + std::string(600, 'a') + " HTTP/1.1\r\n" + kHost + "\r\n", State::Refused,
                 414},
        HeadCase{"HeadTooLarge", "GET / HTTP/1.1\r\nX: " + std::string(9000, 'a'), State::Refused, 431},
        HeadCase{"CompleteButTooLarge", "GET / HTTP/1.1\r\n" + kHost + "X: " + std::string(8200, 'a') + "\r\n\r\n",
                 State::Refused, 431},
        HeadCase{"FoldedHeader", "GET / HTTP/1.1\r\n" + kHost + " folded\r\n\r\n", State::Refused, 400},
        HeadCase{"HeaderWithoutColon", "GET / HTTP/1.1\r\n" + kHost + "NoColon\r\n\r\n", State::Refused, 400},
        HeadCase{"SpaceBeforeColon", "GET / HTTP/1.1\r\n" + kHost + "X : y\r\n\r\n", State::Refused, 400},
        HeadCase{"AsteriskTarget", "OPTIONS * HTTP/1.1\r\n" + kHost + "\r\n", State::Refused, 400},
        HeadCase{"FtpAddress", "GET ftp://h/x HTTP/1.1\r\n" + kHost + "\r\n", State::Refused, 400}),
    [](const auto& tc) { return std::string(tc.param.name); });

TEST(HeadTest, SixtyFourHeadersPassTheSixtyFifthIsRefused) {
  std::string head = "GET / HTTP/1.1\r\n" + kHost;
  for (int i = 1; i < 64; ++i) head += "X-" + std::to_string(i) + ": v\r\n";
  EXPECT_EQ(parse_request_head(head + "\r\n").state, State::Complete);
  const HeadParse p = parse_request_head(head + "X-65: v\r\n\r\n");
  ASSERT_EQ(p.state, State::Refused);
  EXPECT_EQ(p.refusal.status, 431);
}

TEST(HeadTest, GivesMethodPathHeadersAndLength) {
  const std::string head =
      "HEAD http://example.org/auto/raw/12345?x=1 HTTP/1.1\r\nHost: example.org\r\nUser-Agent:  "
      "Cirrodex HTTP Control \r\n\r\n";
  const HeadParse p = parse_request_head(head + "trailing body bytes");
  ASSERT_EQ(p.state, State::Complete);
  EXPECT_EQ(p.head.kind, Method::Head);
  EXPECT_EQ(p.head.method, "HEAD");
  EXPECT_EQ(p.head.path, "/auto/raw/12345");
  EXPECT_EQ(p.head.minor_version, 1);
  EXPECT_EQ(p.head.header("user-agent").value_or(""), "Cirrodex HTTP Control");
  EXPECT_FALSE(p.head.header("Referer"));
  EXPECT_EQ(p.head_bytes, head.size());
}

TEST(HeadTest, OtherMethodsParseForTheHandlerToRefuse) {
  const HeadParse p = parse_request_head("POST /auto/raw/12345 HTTP/1.0\r\n\r\n");
  ASSERT_EQ(p.state, State::Complete);
  EXPECT_EQ(p.head.kind, Method::Other);
}

// Routes.

std::string shown(const Route& r) {
  if (const auto* c = std::get_if<ConditionsRoute>(&r))
    return std::string(c->form == Form::Page ? "page " : "raw ") + describe(c->place);
  if (std::holds_alternative<UsageCounterRoute>(r)) return "counter";
  if (std::holds_alternative<VersionFileRoute>(r)) return "version";
  if (std::holds_alternative<NotFoundRoute>(r)) return "404";
  return std::to_string(std::get<Refusal>(r).status);
}

struct RouteCase {
  const char* name;
  std::string path;
  std::string expected;
};

class RouteTest : public ::testing::TestWithParam<RouteCase> {};

TEST_P(RouteTest, Routes) { EXPECT_EQ(shown(route(GetParam().path)), GetParam().expected) << GetParam().path; }

INSTANTIATE_TEST_SUITE_P(
    Paths, RouteTest,
    ::testing::Values(
        RouteCase{"UsCityPage", "/auto/Cirrodex/AL/Muscle_Shoals.html", "page AL/Muscle_Shoals"},
        RouteCase{"UsCityRaw", "/auto/raw/AL/Muscle_Shoals.html", "raw AL/Muscle_Shoals"},
        RouteCase{"StateFolded", "/auto/Cirrodex/al/Muscle_Shoals.html", "page AL/Muscle_Shoals"},
        RouteCase{"CityPunctuation", "/auto/Cirrodex/MO/St._Louis.html", "page MO/St._Louis"},
        RouteCase{"CityApostropheHyphen", "/auto/Cirrodex/ID/Coeur_d'Alene-East.html", "page ID/Coeur_d'Alene-East"},
        RouteCase{"CityLatin1",
                  "/auto/Cirrodex/PR/Mayag\xFC"
                  "ez.html",
                  "page PR/Mayag\xFC"
                  "ez"},
        RouteCase{"Zip", "/auto/Cirrodex/12345", "page zip 12345"},
        RouteCase{"ZipRaw", "/auto/raw/35661", "raw zip 35661"},
        RouteCase{"Wmo", "/auto/Cirrodex/global/stations/68240.html", "page WMO 68240"},
        RouteCase{"WmoRaw", "/auto/raw/global/stations/68240.html", "raw WMO 68240"},
        RouteCase{"Counter", "/assets/CirrodexCount.txt", "counter"},
        RouteCase{"Version", "/assets/cirrodexvs.txt", "version"},
        RouteCase{"ZipWithHtml", "/auto/Cirrodex/12345.html", "404"},
        RouteCase{"ZipFourDigits", "/auto/Cirrodex/1234", "404"},
        RouteCase{"ZipSixDigits", "/auto/Cirrodex/123456", "404"},
        RouteCase{"WmoFourDigits", "/auto/Cirrodex/global/stations/6824.html", "404"},
        RouteCase{"WmoLetters", "/auto/Cirrodex/global/stations/abcde.html", "404"},
        RouteCase{"CityWithoutHtml", "/auto/Cirrodex/AL/Muscle_Shoals", "404"},
        RouteCase{"ThreeLetterState", "/auto/Cirrodex/ALA/Muscle_Shoals.html", "404"},
        RouteCase{"CityBlank", "/auto/Cirrodex/AL/Muscle Shoals.html", "404"},
        RouteCase{"CityOnlyDot", "/auto/Cirrodex/AL/..html", "400"},
        RouteCase{"CityStartingWithDots", "/auto/Cirrodex/AL/..Muscle.html", "400"},
        RouteCase{"CityOnlyUnderscore", "/auto/Cirrodex/AL/_.html", "404"},
        RouteCase{"CityEmpty", "/auto/Cirrodex/AL/.html", "404"},
        RouteCase{"CityHighNonLetter", "/auto/Cirrodex/AL/A\xD7\x42.html", "404"},
        RouteCase{"CityUtf8",
                  "/auto/Cirrodex/PR/Mayag\xC3\xBC"
                  "ez.html",
                  "404"},
        RouteCase{"CitySlash", "/auto/Cirrodex/AL/a/b.html", "404"},
        RouteCase{"OtherPrefix", "/auto/Other/AL/Muscle_Shoals.html", "404"}, RouteCase{"Root", "/", "404"},
        RouteCase{"CounterCase", "/assets/cirrodexcount.txt", "404"},
        RouteCase{"TrailingSlash", "/auto/Cirrodex/", "404"},
        RouteCase{"DotDot", "/auto/Cirrodex/../../etc/passwd", "400"},
        RouteCase{"DotDotAtEnd", "/auto/Cirrodex/AL/..", "400"}, RouteCase{"Dot", "/auto/./Cirrodex/12345", "400"},
        RouteCase{"DoubleSlash", "/auto//Cirrodex/12345", "400"},
        RouteCase{"PercentDot", "/auto/Cirrodex/%2e%2e/x", "400"},
        RouteCase{"PercentLetter", "/auto/Cirrodex/AL/Muscle%5FShoals.html", "400"},
        RouteCase{"Backslash", "/auto/Cirrodex\\..\\x", "400"},
        RouteCase{"Nul", std::string("/auto/Cirrodex/12345\0", 21), "400"},
        RouteCase{"Control", "/auto/Cirrodex/\x1b[2J", "400"}, RouteCase{"Delete", "/auto/Cirrodex/\x7f", "400"},
        RouteCase{"Relative", "auto/Cirrodex/12345", "400"}, RouteCase{"Empty", "", "400"},
        RouteCase{"Overlong", "/auto/Cirrodex/AL/" + std::string(500, 'a') + ".html", "414"}),
    [](const auto& tc) { return std::string(tc.param.name); });

TEST(RouteTest, CityNameHasItsBlanksBack) { EXPECT_EQ(city_name(UsCity{"AL", "Muscle_Shoals"}), "Muscle Shoals"); }

}  // namespace
}  // namespace cirrodex::service
