// Connection handling through the fakes: proxy and authentication values on
// the transfer components, the connection check and the detector's changes,
// dialing when needed and its events, hanging up, the menu commands and the
// exit step, and what the Connection Preferences OK writes.
#include "app/core/connection.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "platform/fakes/fake_dialup.h"
#include "platform/fakes/fake_host.h"
#include "platform/fakes/memory_settings_store.h"

namespace cirrodex {
namespace {

using Calls = std::vector<std::string>;
using Values = std::map<std::string, std::string>;

struct Rig {
  fakes::CallLog log;
  fakes::MemorySettingsStore store;
  fakes::FakeHost host{log};
  Settings settings{store, host, KeyCheck::Strict};
  fakes::FakeDialUp dialup{log};
  fakes::FakeOnlineDetector detector;
  fakes::FakeOnlineIndicator indicator{log};
  RunningState state;
  ConnectionManager manager{settings,
                            host,
                            dialup,
                            detector,
                            indicator,
                            state,
                            {[this] { log.add("abort all"); }, [this] { log.add("pending"); }}};

  void set(const Values& values) {
    for (const auto& [key, value] : values) settings.set(key, value);
    writes_before = store.writes().size();
    log.clear();
  }
  Calls calls() const { return log.entries; }
  // The settings written since the last set().
  Calls writes() const {
    return Calls(store.writes().begin() + static_cast<std::ptrdiff_t>(writes_before), store.writes().end());
  }
  std::size_t writes_before = 0;
};

ActiveConnection line(std::string handle, std::string entry) {
  return {std::move(handle), "ttyUSB0", "gsm", std::move(entry), "activated"};
}

// --- process_proxy_info ---

bool same(const ProxySettings& a, const ProxySettings& b) {
  return a.mode == b.mode && a.host == b.host && a.port == b.port && a.user == b.user && a.password == b.password;
}

TEST(ProcessProxyInfo, AppliesWhatIsPresentToBothComponentsAndKeepsTheRest) {
  using M = ProxySettings::Mode;
  const ProxySettings before{M::Direct, "old.host", 1, "olduser", "oldpass"};
  struct Case {
    const char* name;
    Values settings;
    ProxySettings expected;
  };
  const std::vector<Case> cases = {
      {"nothing set", {}, before},
      {"proxy off keeps its values", {{"ProxyUse", "n"}, {"Proxy", "p.test"}, {"ProxyPort", "8080"}}, before},
      {"capital Y is off", {{"ProxyUse", "Y"}, {"Proxy", "p.test"}}, before},
      {"all four",
       {{"ProxyUse", "y"}, {"Proxy", "p.test"}, {"ProxyPort", "3128"}, {"ProxyUserid", "pu"}, {"ProxyPass", "pp"}},
       {M::Manual, "p.test", 3128, "pu", "pp"}},
      {"only the host present",
       {{"ProxyUse", "y"}, {"Proxy", "p.test"}},
       {M::Manual, "p.test", 1, "olduser", "oldpass"}},
      {"empty texts are present", {{"ProxyUse", "y"}, {"ProxyUserid", ""}}, {M::Manual, "old.host", 1, "", "oldpass"}},
      {"authentication replaces the proxy user",
       {{"ProxyUse", "y"},
        {"ProxyUserid", "pu"},
        {"ProxyPass", "pp"},
        {"APort", "80"},
        {"AUserid", "au"},
        {"APass", "ap"}},
       {M::Manual, "old.host", 1, "au", "ap"}},
      {"authentication without the proxy",
       {{"APort", "1"}, {"AUserid", "au"}},
       {M::Direct, "old.host", 1, "au", "oldpass"}},
      {"APort sorts after 0 as text", {{"APort", "00"}, {"APass", "ap"}}, {M::Direct, "old.host", 1, "olduser", "ap"}},
      {"APort 0 is not after 0", {{"APort", "0"}, {"AUserid", "au"}}, before},
      {"empty APort", {{"APort", ""}, {"AUserid", "au"}}, before},
      {"APort missing", {{"AUserid", "au"}, {"APass", "ap"}}, before},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.set(c.settings);
    ProxySettings a = before, b = before;
    rig.manager.process_proxy_info(a, b);
    EXPECT_TRUE(same(a, c.expected)) << a.host << " " << a.port << " " << a.user << " " << a.password;
    EXPECT_TRUE(same(b, c.expected));
  }
}

TEST(ProcessProxyInfo, PortThatIsNotAWholeNumberStopsAfterTheHost) {
  Rig rig;
  rig.set({{"ProxyUse", "y"},
           {"Proxy", "p.test"},
           {"ProxyPort", "80a"},
           {"ProxyUserid", "pu"},
           {"APort", "80"},
           {"AUserid", "au"}});
  ProxySettings a, b;
  try {
    rig.manager.process_proxy_info(a, b);
    FAIL() << "no error";
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "'80a' is not a valid integer value");
  }
  for (const ProxySettings* p : {&a, &b}) {
    EXPECT_EQ(p->host, "p.test");
    EXPECT_EQ(p->port, 0);
    EXPECT_EQ(p->user, "");  // neither the proxy user nor the authentication one
  }
}

// --- The connection check and the detector ---

TEST(ConnectionCheck, OnlineSetsTheFlagOfflineLeavesItAndBothBringTheIndicatorForward) {
  Rig rig;
  rig.state.connected = "";
  rig.detector.set_online(true);
  rig.log.clear();
  rig.state.connected = "";
  rig.manager.check_connection();
  EXPECT_EQ(rig.state.connected, "y");
  EXPECT_EQ(rig.calls(), (Calls{"indicator: lime", "indicator: front"}));

  rig.detector.set_online(false);
  rig.log.clear();
  rig.state.connected = "y";  // as a dial-up event may have left it
  rig.manager.check_connection();
  EXPECT_EQ(rig.state.connected, "y");
  EXPECT_EQ(rig.calls(), (Calls{"indicator: red", "indicator: front"}));
}

TEST(ConnectionCheck, DetectorChangesDriveTheFlagAndTheIndicatorUntilTheManagerIsGone) {
  fakes::CallLog log;
  fakes::MemorySettingsStore store;
  fakes::FakeHost host{log};
  Settings settings{store, host, KeyCheck::Strict};
  fakes::FakeDialUp dialup{log};
  fakes::FakeOnlineDetector detector;
  fakes::FakeOnlineIndicator indicator{log};
  RunningState state;
  {
    ConnectionManager manager(settings, host, dialup, detector, indicator, state);
    ASSERT_NE(dialup.listener(), nullptr);
    detector.set_online(true);
    EXPECT_EQ(state.connected, "y");
    EXPECT_TRUE(indicator.lime());
    detector.set_online(false);
    EXPECT_EQ(state.connected, "");
    EXPECT_FALSE(indicator.lime());
    EXPECT_EQ(log.entries, (Calls{"indicator: lime", "indicator: red"}));
  }
  EXPECT_EQ(dialup.listener(), nullptr);
  EXPECT_FALSE(detector.has_callback());
}

// --- dial_if_needed and the dial ---

TEST(DialIfNeeded, FollowsTheDialupSettingTheEntryAndTheLine) {
  const Calls no_entry = {"beep", "status: " + std::string(kNoDialupEntryText)};
  const Calls dials = {"indicator: red", "indicator: front", "status: Processing dial-up logic...",
                       "dial: Work ISP", "pending",          "pause: 5000"};
  struct Case {
    const char* name;
    Values settings;
    bool online;
    bool stop;
    Calls calls;
  };
  const std::vector<Case> cases = {
      {"dialup off", {{"dialup", ""}, {"DialupEntry", "Work ISP"}}, false, false, {}},
      {"dialup missing", {{"DialupEntry", "Work ISP"}}, false, false, {}},
      {"empty entry", {{"dialup", "y"}, {"DialupEntry", ""}}, false, true, no_entry},
      {"two characters", {{"dialup", "y"}, {"DialupEntry", "ab"}}, false, true, no_entry},
      // "n/a" has three characters: the dial itself complains.
      {"entry missing",
       {{"dialup", "y"}},
       false,
       false,
       {"indicator: red", "indicator: front", "beep", "status: Dialup entry not preset in preferences.", "beep",
        "pause: 2500"}},
      {"offline dials", {{"dialup", "y"}, {"DialupEntry", "Work ISP"}}, false, false, dials},
      {"online does not dial",
       {{"dialup", "y"}, {"DialupEntry", "Work ISP"}},
       true,
       false,
       {"indicator: lime", "indicator: front"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.detector.set_online(c.online);
    rig.set(c.settings);
    rig.state.connected = "y";
    EXPECT_EQ(rig.manager.dial_if_needed(), c.stop);
    EXPECT_EQ(rig.calls(), c.calls);
    if (c.calls == dials) {
      EXPECT_EQ(rig.state.connected, "");  // cleared before the check
    }
  }
}

TEST(Dial, EventsReportOnTheStatusLine) {
  Rig rig;
  rig.state.connected = "y";
  rig.dialup.fire_dialing();
  rig.dialup.fire_progress(1, "Opening port");
  rig.dialup.fire_progress(2, "Authenticated");
  rig.dialup.fire_connected();
  EXPECT_EQ(rig.state.connected, "y");
  rig.dialup.fire_not_connected(4, "activation failed");
  EXPECT_EQ(rig.state.connected, "");
  rig.dialup.fire_error(10, "no such connection");
  EXPECT_EQ(rig.calls(), (Calls{"status: Dialing...", "pending", "status: Opening port", "status: Authenticated",
                                "status: Connected...", "status: Not Connected...", "status: Error dialing...", "beep",
                                "pause: 1500"}));
}

TEST(Dial, ADialThatCannotStartBeepsWithoutThePause) {
  Rig rig;
  rig.set({{"DialupEntry", "Work ISP"}});
  rig.dialup.fail_dial = true;
  rig.manager.dial();
  EXPECT_EQ(rig.calls(), (Calls{"status: Processing dial-up logic...", "dial: Work ISP", "beep"}));
}

// --- Hang-up ---

TEST(HangUp, OnlyTheFirstReportedConnectionIsHungUp) {
  Rig rig;
  rig.dialup.active = {line("uuid-1", "Work ISP"), line("uuid-2", "Backup")};
  rig.state.connected = "";
  rig.manager.hang_up();
  EXPECT_EQ(rig.calls(), (Calls{"abort all", "hangup: uuid-1", "pause: 2500", "pending"}));
  EXPECT_EQ(rig.state.connected, "y");  // set for each reported line
  EXPECT_EQ(rig.manager.hang_up_request(), "");
  ASSERT_EQ(rig.dialup.active.size(), 1u);
  EXPECT_EQ(rig.dialup.active[0].handle, "uuid-2");
}

TEST(HangUp, FailureGoesToTheStatusLineAndKeepsTheRequest) {
  for (const bool listing_fails : {true, false}) {
    SCOPED_TRACE(listing_fails);
    Rig rig;
    rig.dialup.active = {line("uuid-1", "Work ISP")};
    (listing_fails ? rig.dialup.fail_active : rig.dialup.fail_hang_up) = true;
    rig.manager.hang_up();
    Calls expected = {"abort all"};
    if (!listing_fails) expected.push_back("hangup: uuid-1");
    for (const char* c : {"beep", "status: Error occurred hanging up conn.", "pause: 1500"}) expected.push_back(c);
    EXPECT_EQ(rig.calls(), expected);
    EXPECT_EQ(rig.manager.hang_up_request(), "y");
  }
}

TEST(HangUp, ExitRetriesARequestThatFoundNoLineOnlyWhileConnected) {
  struct Case {
    const char* name;
    bool earlier_request;  // a hang-up that found no connection
    bool online_at_exit;
    Calls calls;
  };
  const std::vector<Case> cases = {
      {"no request", false, true, {}},
      {"request, offline", true, false, {"indicator: red", "indicator: front"}},
      {"request, online",
       true,
       true,
       {"indicator: lime", "indicator: front", "abort all", "hangup: uuid-7", "pause: 2500", "pending"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    if (c.earlier_request) {
      rig.manager.hang_up();
      EXPECT_EQ(rig.manager.hang_up_request(), "y");
    }
    rig.dialup.active = {line("uuid-7", "Work ISP")};
    rig.detector.set_online(c.online_at_exit);
    rig.log.clear();
    rig.state.connected = "";
    rig.manager.exit_hang_up();
    EXPECT_EQ(rig.calls(), c.calls);
  }
}

// --- Menu commands ---

TEST(MenuCommands, DialDefaultConnectionIgnoresTheDialupSetting) {
  struct Case {
    const char* name;
    Values settings;
    bool online;
    Calls calls;
  };
  const std::vector<Case> cases = {
      {"short entry",
       {{"dialup", "y"}, {"DialupEntry", "ab"}},
       false,
       {"beep", "status: " + std::string(kNoDialupEntryText)}},
      {"dialup off still dials",
       {{"dialup", ""}, {"DialupEntry", "Work ISP"}},
       false,
       {"indicator: red", "indicator: front", "status: Processing dial-up logic...", "dial: Work ISP", "pending",
        "pause: 5000"}},
      {"online", {{"DialupEntry", "Work ISP"}}, true, {"indicator: lime", "indicator: front"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.detector.set_online(c.online);
    rig.set(c.settings);
    rig.state.connected = "y";
    rig.manager.dial_default_connection();
    EXPECT_EQ(rig.calls(), c.calls);
  }
}

TEST(MenuCommands, HangUpOnlyWhenConnected) {
  Rig rig;
  rig.dialup.active = {line("uuid-1", "Work ISP")};
  rig.state.connected = "";
  rig.manager.hang_up_command();
  EXPECT_EQ(rig.calls(), (Calls{"indicator: red", "indicator: front"}));

  rig.log.clear();
  rig.state.connected = "y";  // a dial-up event said so, the detector not yet
  rig.manager.hang_up_command();
  EXPECT_EQ(rig.calls(),
            (Calls{"indicator: red", "indicator: front", "abort all", "hangup: uuid-1", "pause: 2500", "pending"}));
}

// --- Connection Preferences values ---

TEST(ConnectionPrefs, TimeoutTextsBothWays) {
  struct Case {
    const char* setting;
    const char* choice;
  };
  for (const Case& c : {Case{"30000", "30 seconds"}, Case{"60000", "60 seconds"}, Case{"120000", "120 seconds"},
                        Case{"240000", "240 seconds"}, Case{"360000", "360 seconds"}}) {
    EXPECT_EQ(timeout_choice_for(c.setting), c.choice);
    EXPECT_EQ(std::to_string(timeout_ms_for(c.choice)), c.setting);
  }
  for (const char* other : {"n/a", "", "90000", " 30000", "30000 "})
    EXPECT_EQ(timeout_choice_for(other), "120 seconds");
  for (const char* other : {"", "45 seconds", "30 Seconds"}) EXPECT_EQ(timeout_ms_for(other), 120000);
}

TEST(ConnectionPrefs, LoadKeepsFieldsWhoseKeysAreMissingAndListsTheEntryOnce) {
  Rig rig;
  rig.set({{"Timeout", "60000"},
           {"ProxyUse", "y"},
           {"Proxy", "p.test"},
           {"APort", ""},
           {"dialupconn", "y"},
           {"DialupEntry", "Work ISP"},
           {"hangup", "y"}});
  ConnectionPrefsForm form;
  form.proxy_port = "typed before";
  form.entry_names = {"Backup"};
  load_connection_prefs(rig.settings, form);
  load_connection_prefs(rig.settings, form);
  EXPECT_EQ(form.timeout_choice, "60 seconds");
  EXPECT_TRUE(form.use_proxy);
  EXPECT_FALSE(form.use_auth);
  EXPECT_EQ(form.proxy, "p.test");
  EXPECT_EQ(form.proxy_port, "typed before");
  EXPECT_EQ(form.auth_port, "");
  EXPECT_TRUE(form.dialup_connection);
  EXPECT_EQ(form.entry_names, (std::vector<std::string>{"Backup", "Work ISP"}));
  EXPECT_EQ(form.entry, "Work ISP");
  EXPECT_FALSE(form.dial_as_needed);
  EXPECT_TRUE(form.hang_up_when_done);
  EXPECT_TRUE(rig.writes().empty());
}

struct Effects {
  Calls calls;
  ConnectionPrefsEffects hooks{[this](int ms) { calls.push_back("timeout " + std::to_string(ms)); },
                               [this](bool on) { calls.push_back(on ? "watcher on" : "watcher off"); },
                               [this](std::string_view name) { calls.push_back("sound " + std::string(name)); }};
};

TEST(ConnectionPrefs, DirectConnectionWritesConnectedAndTheNextStartBeginsConnected) {
  Rig rig;
  Effects effects;
  ConnectionPrefsForm form;
  form.timeout_choice = "30 seconds";
  form.quiet_watch = true;  // greyed out, but still read
  rig.state.dialup = "y";
  rig.state.connected = "";
  EXPECT_EQ(apply_connection_prefs(form, rig.settings, rig.host, rig.state, effects.hooks), PrefsOutcome::Close);
  EXPECT_EQ(rig.writes(), (Calls{"Settings\\Timeout=30000", "Settings\\AutoProxy=", "Settings\\ProxyUse=n",
                                 "Settings\\AuthUse=n", "Settings\\dialupconn=", "Settings\\connected=y",
                                 "Settings\\quietwatch=", "Settings\\dialup=", "Settings\\quietwatch=y"}));
  EXPECT_EQ(effects.calls, (Calls{"timeout 30000", "watcher on"}));
  EXPECT_EQ(rig.state.connection_timeout_ms, 30000);
  EXPECT_EQ(rig.state.dialup, "");
  EXPECT_EQ(rig.state.connected, "y");
  EXPECT_EQ(rig.state.quiet_watch, "y");

  RunningState next;
  read_running_flags(rig.settings, next);
  EXPECT_EQ(next.connected, "y");
}

TEST(ConnectionPrefs, UntickedAuthenticationStillAppliesWhileAPortSortsAfterZero) {
  Rig rig;
  Effects effects;
  ConnectionPrefsForm form;
  form.use_auth = true;
  form.auth_port = "8080";
  form.auth_user = "au";
  form.auth_password = "ap";
  apply_connection_prefs(form, rig.settings, rig.host, rig.state, effects.hooks);
  form.use_auth = false;
  form.auth_port = "typed but not saved";
  apply_connection_prefs(form, rig.settings, rig.host, rig.state, effects.hooks);
  EXPECT_EQ(rig.settings.get("AuthUse"), "n");
  EXPECT_EQ(rig.settings.get("APort"), "8080");

  ProxySettings a, b;
  rig.manager.process_proxy_info(a, b);
  EXPECT_EQ(a.user, "au");
  EXPECT_EQ(b.password, "ap");
}

TEST(ConnectionPrefs, DialupWithoutAnEntryIsRefusedAfterDialupconn) {
  for (const char* entry : {"", "x"}) {
    SCOPED_TRACE(entry);
    Rig rig;
    Effects effects;
    ConnectionPrefsForm form;
    form.dialup_connection = true;
    form.entry = entry;
    form.dial_as_needed = form.hang_up_when_done = form.quiet_watch = true;
    EXPECT_EQ(apply_connection_prefs(form, rig.settings, rig.host, rig.state, effects.hooks), PrefsOutcome::KeepOpen);
    const Calls writes = rig.writes();
    ASSERT_FALSE(writes.empty());
    EXPECT_EQ(writes.back(), "Settings\\dialupconn=y");
    EXPECT_EQ(rig.settings.get("DialupEntry"), "n/a");
    EXPECT_EQ(rig.settings.get("quietwatch"), "n/a");
    EXPECT_EQ(rig.calls(), (Calls{"beep", "message: " + std::string(kNoEntryChosenText)}));
    EXPECT_EQ(effects.calls, (Calls{"timeout 120000", "sound sOkay"}));  // the Watcher is left alone
    EXPECT_EQ(rig.state.dialup, "y");
  }
}

TEST(ConnectionPrefs, DialupWithAnEntryWritesTheDialupKeys) {
  Rig rig;
  Effects effects;
  ConnectionPrefsForm form;
  form.timeout_choice = "something else";
  form.auto_proxy = true;
  form.use_proxy = true;
  form.proxy = "p.test";
  form.proxy_port = "3128";
  form.proxy_user = "pu";
  form.proxy_password = "pp";
  form.dialup_connection = true;
  form.entry = "ab";
  form.hang_up_when_done = true;
  rig.state.connected = "";
  EXPECT_EQ(apply_connection_prefs(form, rig.settings, rig.host, rig.state, effects.hooks), PrefsOutcome::Close);
  EXPECT_EQ(rig.writes(),
            (Calls{"Settings\\Timeout=120000", "Settings\\AutoProxy=y", "Settings\\Proxy=p.test",
                   "Settings\\ProxyPort=3128", "Settings\\ProxyUse=y", "Settings\\ProxyUserid=pu",
                   "Settings\\ProxyPass=pp", "Settings\\AuthUse=n", "Settings\\dialupconn=y",
                   "Settings\\DialupEntry=ab", "Settings\\dialup=", "Settings\\hangup=y", "Settings\\quietwatch="}));
  EXPECT_EQ(effects.calls, (Calls{"timeout 120000", "watcher off"}));
  EXPECT_EQ(rig.state.dialup, "y");
  EXPECT_EQ(rig.state.connected, "");
  EXPECT_EQ(rig.state.quiet_watch, "");
}

}  // namespace
}  // namespace cirrodex
