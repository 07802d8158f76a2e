// The Linux adapters of the connection ports: the routing tables and
// NetworkManager's state behind the online detector; nmcli's terse output,
// its exit codes and the pppd fallback behind the dial-up port, played by
// stand-in nmcli, pon and poff scripts over recorded listings (no
// NetworkManager or pppd needed).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <sstream>

#include "platform/qt/nm_dialup.h"
#include "platform/qt/online_detector.h"

namespace cirrodex {
namespace {

using Calls = std::vector<std::string>;

const QString kData = QStringLiteral(CIRRODEX_TEST_DATA "/connection");

std::string fixture(const char* name) {
  std::ifstream in(std::string(CIRRODEX_TEST_DATA) + "/connection/" + name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// --- The online detector ---

TEST(Routes, DefaultRouteInTheTables) {
  struct Case {
    const char* ipv4;
    const char* ipv6;
    bool v4, v6;
  };
  for (const Case& c : {Case{"route_lan.txt", "ipv6_route_default.txt", true, true},
                        Case{"route_no_default.txt", "ipv6_route_no_default.txt", false, false},
                        // "unreachable default" and the kernel's null route on lo
                        Case{"route_unreachable_default.txt", "ipv6_route_no_default.txt", false, false},
                        Case{"route_ppp_default.txt", "ipv6_route_no_default.txt", true, false}}) {
    SCOPED_TRACE(c.ipv4);
    EXPECT_EQ(ipv4_default_route(fixture(c.ipv4)), c.v4);
    EXPECT_EQ(ipv6_default_route(fixture(c.ipv6)), c.v6);
  }
  // The IPv4 table swapped into the IPv6 parser (and the other way) finds nothing.
  EXPECT_FALSE(ipv6_default_route(fixture("route_lan.txt")));
  EXPECT_FALSE(ipv4_default_route(fixture("ipv6_route_default.txt")));
  EXPECT_FALSE(ipv4_default_route(""));
}

TEST(Routes, NetworkManagersAnswerWinsOverTheRoutes) {
  EXPECT_TRUE(online_from(std::nullopt, true));
  EXPECT_FALSE(online_from(std::nullopt, false));
  EXPECT_TRUE(online_from(70u, false));
  for (unsigned state : {0u, 20u, 40u, 50u, 60u}) EXPECT_FALSE(online_from(state, true)) << state;
}

TEST(SystemOnlineDetector, RaisesTheChangeOnlyWhenTheStateChanges) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString v4 = dir.filePath(QStringLiteral("route")), v6 = dir.filePath(QStringLiteral("ipv6_route"));
  const auto use = [](const char* name, const QString& to) {
    QFile::remove(to);
    ASSERT_TRUE(QFile::copy(kData + "/" + name, to));
  };
  use("route_no_default.txt", v4);
  use("ipv6_route_no_default.txt", v6);

  SystemOnlineDetector detector({v4, v6, false, 1000});
  EXPECT_FALSE(detector.online());
  std::vector<bool> changes;
  detector.set_on_change([&](bool online) { changes.push_back(online); });
  detector.check_now();
  EXPECT_TRUE(changes.empty());

  use("route_ppp_default.txt", v4);
  detector.check_now();
  detector.check_now();
  EXPECT_TRUE(detector.online());
  use("route_no_default.txt", v4);
  use("ipv6_route_default.txt", v6);
  detector.check_now();
  QFile::remove(v6);  // a table that cannot be read has no route
  detector.check_now();
  EXPECT_EQ(changes, (std::vector<bool>{true, false}));
  EXPECT_FALSE(detector.online());
}

// --- nmcli's output and exit codes ---

TEST(Nmcli, TerseFieldsHonourTheirEscapes) {
  struct Case {
    const char* line;
    Calls fields;
  };
  for (const Case& c : {Case{"a:b:c", {"a", "b", "c"}}, Case{R"(Mobile\: Pay:u)", {"Mobile: Pay", "u"}},
                        Case{R"(back\\slash:u)", {R"(back\slash)", "u"}}, Case{"a::", {"a", "", ""}}, Case{"", {""}}}) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(split_terse_fields(c.line), c.fields);
  }
}

TEST(Nmcli, RecordedListingsParse) {
  const std::vector<NmConnection> all = parse_nmcli_connections(fixture("nmcli_connections.txt"));
  ASSERT_EQ(all.size(), 7u);
  EXPECT_EQ(all[2].name, "Vodafone Mobile: Pay as you go");
  EXPECT_EQ(all[2].uuid, "5f0e2c7d-1a3b-4c5d-8e9f-a0b1c2d3e4f5");
  EXPECT_EQ(all[2].type, "gsm");
  EXPECT_EQ(all[2].device, "");
  EXPECT_EQ(all[0].device, "eth0");

  const std::vector<NmConnection> active = parse_nmcli_connections(fixture("nmcli_active.txt") + "too:few\n");
  ASSERT_EQ(active.size(), 4u);
  EXPECT_EQ(active[2].device, "ppp0");
  EXPECT_EQ(active[2].state, "activating");

  Calls dialup;
  for (const NmConnection& c : all)
    if (is_dialup_type(c.type)) dialup.push_back(c.type);
  EXPECT_EQ(dialup, (Calls{"gsm", "pppoe", "bluetooth"}));
  for (const char* other : {"cdma", "adsl"}) EXPECT_TRUE(is_dialup_type(other));
  for (const char* other : {"802-3-ethernet", "ethernet", "vpn", "GSM", ""}) EXPECT_FALSE(is_dialup_type(other));
}

TEST(Nmcli, ExitCodesOfConnectionUp) {
  EXPECT_EQ(nmcli_up_result(0), DialResult::Connected);
  for (int code : {3, 4}) EXPECT_EQ(nmcli_up_result(code), DialResult::NotConnected) << code;
  for (int code : {1, 2, 8, 10, -1}) EXPECT_EQ(nmcli_up_result(code), DialResult::Error) << code;
}

TEST(Pppd, CommandLinesAndPeerFiles) {
  using namespace std::string_literals;
  struct Case {
    std::string cmdline;
    std::optional<std::string> peer;
  };
  for (const Case& c :
       {Case{"pppd\0call\0work\0"s, "work"}, Case{"/usr/sbin/pppd\0nodetach\0call\0isp two\0"s, "isp two"},
        Case{"pppd\0call\0"s, std::nullopt}, Case{"pppdump\0call\0work\0"s, std::nullopt},
        Case{"sh\0-c\0pppd call work\0"s, std::nullopt}, Case{""s, std::nullopt}}) {
    EXPECT_EQ(pppd_call_name(c.cmdline), c.peer);
  }
  for (const char* good : {"provider", "work isp", "dsl-provider"}) EXPECT_TRUE(is_peer_file_name(good)) << good;
  for (const char* bad : {".hidden", "provider~", "provider.dpkg-old", "provider.ucf-dist", ""})
    EXPECT_FALSE(is_peer_file_name(bad)) << bad;
}

// --- The adapter over stand-in commands ---

class Listener final : public DialUpListener {
 public:
  void on_dialing() override { events.push_back("dialing"); }
  void on_connected() override { events.push_back("connected"); }
  void on_not_connected(int code, const std::string& text) override {
    events.push_back("not connected " + std::to_string(code) + " " + text);
  }
  void on_error(int code, const std::string& text) override {
    events.push_back("error " + std::to_string(code) + " " + text);
  }
  void on_progress(int state, const std::string& text) override {
    events.push_back("progress " + std::to_string(state) + " " + text);
  }
  Calls events;
};

struct Stand_ins {
  QTemporaryDir dir;
  QString log, proc, net, peers;
  NmDialUpOptions options;

  Stand_ins() {
    log = dir.filePath(QStringLiteral("log"));
    proc = dir.filePath(QStringLiteral("proc"));
    net = dir.filePath(QStringLiteral("net"));
    peers = dir.filePath(QStringLiteral("peers"));
    for (const QString& d : {proc, net, peers}) QDir().mkpath(d);
    for (const char* peer : {"work", "home isp", ".hidden", "work~"}) {
      QFile f(peers + "/" + peer);
      f.open(QIODevice::WriteOnly);
    }
    options.nmcli = install("fake_nmcli.sh", "nmcli");
    options.pon = install("fake_pon.sh", "pon");
    options.poff = install("fake_poff.sh", "poff");
    options.peers_dir = peers;
    options.proc_dir = proc;
    options.net_dir = net;
    options.link_poll_ms = 20;
    options.link_timeout_ms = 2000;
    qputenv("FAKE_LOG", log.toLocal8Bit());
    qputenv("FAKE_DATA", kData.toLocal8Bit());
    qputenv("FAKE_PROC", proc.toLocal8Bit());
    qputenv("FAKE_NET", net.toLocal8Bit());
    for (const char* v : {"FAKE_NMCLI_EXIT", "FAKE_NMCLI_UP", "FAKE_PON"}) qunsetenv(v);
  }
  QString install(const char* script, const char* as) {
    const QString to = dir.filePath(QString::fromLatin1(as));
    QFile::copy(kData + "/" + script, to);
    QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return to;
  }
  Calls commands() const {
    QFile f(log);
    Calls out;
    if (!f.open(QIODevice::ReadOnly)) return out;
    for (const QByteArray& line : f.readAll().split('\n'))
      if (!line.isEmpty()) out.push_back(line.toStdString());
    return out;
  }
  void running_pppd(const char* pid, const std::string& cmdline) {
    QDir().mkpath(proc + "/" + pid);
    QFile f(proc + "/" + pid + "/cmdline");
    f.open(QIODevice::WriteOnly);
    f.write(cmdline.data(), static_cast<qint64>(cmdline.size()));
  }
};

bool wait_for(const Listener& l, std::size_t count) {
  return QTest::qWaitFor([&] { return l.events.size() >= count; }, 5000);
}

TEST(NmDialUp, ListsAndHangsUpOnlyDialUpConnectionsOfNetworkManager) {
  Stand_ins s;
  NmDialUp dialup(s.options);
  EXPECT_EQ(dialup.entries(), (Calls{"Vodafone Mobile: Pay as you go", "DSL Provider", "Phone DUN"}));
  const std::vector<ActiveConnection> active = dialup.active_connections();
  ASSERT_EQ(active.size(), 2u);
  EXPECT_EQ(active[0].handle, "nm:5f0e2c7d-1a3b-4c5d-8e9f-a0b1c2d3e4f5");
  EXPECT_EQ(active[0].device_name, "cdc-wdm0");
  EXPECT_EQ(active[0].device_type, "gsm");
  EXPECT_EQ(active[0].entry_name, "Vodafone Mobile: Pay as you go");
  EXPECT_EQ(active[1].status, "activating");
  dialup.hang_up(active[1].handle);
  EXPECT_EQ(s.commands(), (Calls{"nmcli -t -f NAME,UUID,TYPE,DEVICE connection show",
                                 "nmcli -t -f NAME,UUID,TYPE,DEVICE,STATE connection show --active",
                                 "nmcli connection down uuid 7a8b9c0d-1e2f-4a3b-8c4d-5e6f7a8b9c0d"}));
  EXPECT_THROW(dialup.hang_up("someone else's"), DialUpError);
}

TEST(NmDialUp, DialRunsInTheBackgroundAndMapsTheExitCode) {
  struct Case {
    const char* up_exit;
    Calls events;
  };
  const std::vector<Case> cases = {
      {"0",
       {"dialing",
        "progress 1 Connection successfully activated (D-Bus active path: "
        "/org/freedesktop/NetworkManager/ActiveConnection/7)",
        "connected"}},
      {"4", {"dialing", "not connected 4 Error: Connection activation failed: The modem could not be found."}},
      {"10", {"dialing", "error 10 Error: unknown connection '7a8b9c0d-1e2f-4a3b-8c4d-5e6f7a8b9c0d'."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.up_exit);
    Stand_ins s;
    qputenv("FAKE_NMCLI_UP", c.up_exit);
    NmDialUp dialup(s.options);
    Listener listener;
    dialup.set_listener(&listener);
    dialup.dial("DSL Provider");
    EXPECT_TRUE(listener.events.empty());  // nothing from inside dial
    EXPECT_TRUE(dialup.dialing());
    EXPECT_THROW(dialup.dial("DSL Provider"), DialUpError);
    ASSERT_TRUE(wait_for(listener, c.events.size()));
    QTest::qWait(50);
    EXPECT_EQ(listener.events, c.events);
    EXPECT_FALSE(dialup.dialing());
    EXPECT_EQ(s.commands().back(), "nmcli --wait 90 connection up uuid 7a8b9c0d-1e2f-4a3b-8c4d-5e6f7a8b9c0d");
  }
  Stand_ins s;
  NmDialUp dialup(s.options);
  EXPECT_THROW(dialup.dial("Wired connection 1"), DialUpError);  // not a dial-up entry
}

TEST(NmDialUp, FallsBackToPppdPeersWithoutNetworkManager) {
  for (const bool nmcli_installed : {true, false}) {
    SCOPED_TRACE(nmcli_installed);
    Stand_ins s;
    if (nmcli_installed)
      qputenv("FAKE_NMCLI_EXIT", "8");
    else
      s.options.nmcli = s.dir.filePath(QStringLiteral("no-such-nmcli"));
    NmDialUp dialup(s.options);
    EXPECT_EQ(dialup.entries(), (Calls{"home isp", "work"}));

    using namespace std::string_literals;
    s.running_pppd("4242", "pppd\0call\0work\0"s);
    s.running_pppd("77", "bash\0"s);
    const std::vector<ActiveConnection> active = dialup.active_connections();
    ASSERT_EQ(active.size(), 1u);
    EXPECT_EQ(active[0].handle, "ppp:work");
    EXPECT_EQ(active[0].entry_name, "work");
    // poff returns at once; the hang-up waits until pppd is gone.
    dialup.hang_up(active[0].handle);
    EXPECT_FALSE(QFile::exists(s.proc + "/4242"));
    EXPECT_EQ(s.commands().back(), "poff work");
  }
}

TEST(NmDialUp, PppdDialWaitsForTheLink) {
  struct Case {
    const char* pon;
    Calls events;
  };
  for (const Case& c : {Case{"up", {"dialing", "connected"}},
                        Case{"dies", {"dialing", "not connected 4 pppd for work ended before the link came up"}}}) {
    SCOPED_TRACE(c.pon);
    Stand_ins s;
    qputenv("FAKE_NMCLI_EXIT", "8");
    qputenv("FAKE_PON", c.pon);
    NmDialUp dialup(s.options);
    Listener listener;
    dialup.set_listener(&listener);
    dialup.dial("work");
    ASSERT_TRUE(wait_for(listener, c.events.size()));
    EXPECT_EQ(listener.events, c.events);
    EXPECT_EQ(s.commands().back(), "pon work");
    EXPECT_FALSE(dialup.dialing());
  }
  Stand_ins s;
  qputenv("FAKE_NMCLI_EXIT", "8");
  NmDialUp dialup(s.options);
  for (const char* bad : {"nobody", ".hidden", "../peers/work"}) EXPECT_THROW(dialup.dial(bad), DialUpError) << bad;
}

}  // namespace
}  // namespace cirrodex
