// The retrieval cycle over the real transfer component against a local
// conditions service: the page arrives and is shown, and every kind of
// failure ends with the retrieval's own texts and leaves the window as it was.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/core/retrieval.h"
#include "locations/location_tree.h"
#include "locations/station_table.h"
#include "platform/curl_http.h"
#include "platform/fakes/fake_clock.h"
#include "support/local_server.h"
#include "support/parser_rig.h"

namespace cirrodex {
namespace {

using Calls = std::vector<std::string>;

class RetrievalServerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = new testing::LocalServer(CIRRODEX_CONDITIONS_SERVER);
    server_->start({std::string(CIRRODEX_TEST_DATA) + "/conditions_page.html"});
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override { ASSERT_GT(server_->port(), 0) << server_->why(); }

  // One fetch of Tuscaloosa, AL from the service under a path prefix.
  Calls fetch(const std::string& mode, std::function<void(RetrievalCycle&)> during = {}) {
    return fetch_from("http://127.0.0.1:" + std::to_string(server_->port()) + "/" + mode, std::move(during));
  }
  Calls fetch_from(const std::string& host, std::function<void(RetrievalCycle&)> during = {},
                   std::function<void(RetrievalCycle&)> start = {}) {
    Services services("conditions = " + host + "\nusage_counter =\n");
    RetrievalCycle* cycle_ptr = nullptr;
    bool fired = false;
    CurlHttpTransfer ipw([&] {
      if (during && !fired && cycle_ptr && !cycle_ptr->received_page().empty()) {
        fired = true;
        during(*cycle_ptr);
      }
    });
    CurlHttpTransfer cast({}), ick({});
    RunningState state;
    state.connection_timeout_ms = 1500;
    RetrievalCycle cycle(rig_.settings, rig_.host, rig_.display, clock_, services, {ipw, cast, ick}, rig_.parser,
                         rig_.presets, rig_.ctx, state);
    cycle_ptr = &cycle;
    rig_.log.clear();
    if (start) {
      cycle.hooks.lookup_station = [this](LocationContext& c) { return lookup_station(c, rig_.host); };
      start(cycle);
      address_ = cycle.conditions_address();
    } else {
      rig_.ctx.requested = "Tuscaloosa, AL";
      cycle.Get_the_Stats();
    }
    EXPECT_FALSE(cycle.running());
    return rig_.host_calls();
  }
  static bool has(const Calls& calls, const std::string& text) {
    return std::find(calls.begin(), calls.end(), text) != calls.end();
  }

  static testing::LocalServer* server_;
  std::string address_;
  testing::ParserRig rig_;
  fakes::FakeClock clock_;
};

testing::LocalServer* RetrievalServerTest::server_ = nullptr;

TEST_F(RetrievalServerTest, ThePageIsFetchedParsedAndShown) {
  const Calls calls = fetch("ok");
  EXPECT_TRUE(has(calls, "status: Transfer complete...")) << ::testing::PrintToString(calls);
  EXPECT_TRUE(has(calls, "status: Thank you for using Cirrodex..."));
  EXPECT_EQ(rig_.display.caption(), "Cirrodex - Tuscaloosa, AL");
  EXPECT_EQ(rig_.display.slot("TEXT_CONDITIONS"), "PARTLY CLOUDY");
}

TEST_F(RetrievalServerTest, EveryFailureEndsWithTheRetrievalsTexts) {
  // Port 1 refuses the connection; 404 ("missing"), a stall past the
  // time-out, a truncated and a 65 MB body come from the service.
  for (const std::string mode : {"refused", "missing", "stall", "truncated", "huge"}) {
    const Calls calls = mode == "refused" ? fetch_from("http://127.0.0.1:1") : fetch(mode);
    ASSERT_GE(calls.size(), 2u) << mode;
    EXPECT_EQ((Calls{calls.end() - 2, calls.end()}),
              (Calls{"status: An error occurred getting stats...", "pause: 1500"}))
        << mode << ": " << ::testing::PrintToString(calls);
    EXPECT_FALSE(has(calls, "status: Transfer complete...")) << mode;
    EXPECT_EQ(rig_.display.caption(), "Cirrodex") << mode;
  }
}

TEST_F(RetrievalServerTest, AnAbortInTheMiddleEndsTheDownload) {
  const Calls calls = fetch("slow", [](RetrievalCycle& cycle) { cycle.abort_all_transfers(); });
  EXPECT_TRUE(has(calls, "status: Closing internal connections..."));
  EXPECT_TRUE(has(calls, "status: Connection Aborted..."));
  EXPECT_EQ((Calls{calls.end() - 2, calls.end()}),
            (Calls{"status: An error occurred getting stats...", "pause: 1500"}));
  EXPECT_EQ(rig_.display.caption(), "Cirrodex");
}

// A place abroad chosen in the tree goes to its station's page; the service
// answers under /stations/ only for such an address.
TEST_F(RetrievalServerTest, APlaceAbroadIsFetchedFromItsStationsPage) {
  const auto& tree = LocationTree::builtin();
  int abbeville = -1;
  for (int i = 0; i < static_cast<int>(tree.size()); ++i)
    if (tree.path_text(i) == "Continent\\Europe\\France\\Abbeville\\") abbeville = i;
  ASSERT_GT(abbeville, 0);
  const std::string host = "http://127.0.0.1:" + std::to_string(server_->port()) + "/stations";
  const Calls calls = fetch_from(host, {}, [&](RetrievalCycle& cycle) {
    rig_.ctx = choose_location(tree, abbeville, "").context;
    cycle.fetch_location();
  });
  EXPECT_EQ(address_, host + "/auto/Cirrodex/global/stations/07005.html");
  EXPECT_TRUE(has(calls, "status: Transfer complete...")) << ::testing::PrintToString(calls);
  EXPECT_EQ(rig_.display.slot("TEXT_CONDITIONS"), "PARTLY CLOUDY");
  EXPECT_EQ(rig_.ctx.city, "07005");
  EXPECT_EQ(rig_.ctx.state_or_country, "France (O)");
}

}  // namespace
}  // namespace cirrodex
