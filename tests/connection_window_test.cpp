// The Connection Preferences dialog offscreen: its face, what it shows from
// the settings, the enabling rules of its controls, and what OK and Cancel
// write and play.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <QTest>

#include "app/connect_pref_window.h"
#include "platform/fakes/fake_dialup.h"
#include "platform/fakes/fake_host.h"
#include "platform/fakes/memory_settings_store.h"

namespace cirrodex {
namespace {

using Calls = std::vector<std::string>;
using Values = std::vector<std::pair<std::string, std::string>>;

struct Rig {
  fakes::CallLog log;
  fakes::MemorySettingsStore store;
  fakes::FakeHost host{log};
  Settings settings{store, host, KeyCheck::Strict};
  fakes::FakeDialUp dialup{log};
  RunningState state;
  Calls effects;
  TfrmConnectPref window{settings,
                         host,
                         dialup,
                         state,
                         {[this](int ms) { effects.push_back("timeout " + std::to_string(ms)); },
                          [this](bool on) { effects.push_back(on ? "watcher on" : "watcher off"); },
                          [this](std::string_view name) { effects.push_back("sound " + std::string(name)); }}};
  std::size_t writes_before = 0;

  void open(const Values& values) {
    for (const auto& [key, value] : values) settings.set(key, value);
    writes_before = store.writes().size();
    window.show();
    log.clear();
  }
  Calls writes() const {
    return Calls(store.writes().begin() + static_cast<std::ptrdiff_t>(writes_before), store.writes().end());
  }
};

QColor base(const QWidget* w) { return w->palette().color(QPalette::Base); }
QColor text_colour(const QLabel* l) { return l->palette().color(QPalette::WindowText); }
QColor normal_text(const QLabel* l) { return QApplication::palette(l).color(QPalette::WindowText); }
QColor window_colour(const QWidget* w) { return QApplication::palette(w).color(QPalette::Base); }

TEST(ConnectPrefWindow, FaceCaptionsAndPlace) {
  Rig rig;
  TfrmConnectPref& w = rig.window;
  w.tabs()->setCurrentIndex(2);
  rig.open({});
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Cirrodex - Connection Preferences"));
  EXPECT_EQ(w.size(), QSize(413, 391));
  EXPECT_EQ(w.frameGeometry().center(), QGuiApplication::primaryScreen()->geometry().center());
  ASSERT_EQ(w.tabs()->count(), 3);
  EXPECT_EQ(w.tabs()->currentIndex(), 0);  // always opens on the first page
  EXPECT_EQ(w.tabs()->tabText(0), QStringLiteral("Connection Settings"));
  EXPECT_EQ(w.tabs()->tabText(1), QStringLiteral("Proxy Settings"));
  EXPECT_EQ(w.tabs()->tabText(2), QStringLiteral("Other"));

  const std::vector<std::pair<QString, const char*>> captions = {
      {w.how_label()->text(), "How do you connect to the Internet?"},
      {w.dialup_radio()->text(), "Dial-Up Connection"},
      {w.direct_radio()->text(), "LAN/Cable/Direct Connection"},
      {w.entry_label()->text(), "Choose dial-up connection:"},
      {w.dial_label()->text(), "Want Cirrodex to dial-up as needed?"},
      {w.dial_box()->text(), "Yes."},
      {w.hang_up_label()->text(),
       "If you're using a Dial-up connection, would you like Cirrodex to hang-up the connection when done (on "
       "initial & auto-updates)?"},
      {w.hang_up_box()->text(), "Yes, hang-up when done."},
      {w.watch_label()->text(), "Would you like Cirrodex to quietly watch until you connect, then update?"},
      {w.watch_box()->text(), "Yes, quietly watch"},
      {w.auto_proxy_box()->text(), "Automatically adjust for proxy settings.  (This is still in BETA)"},
      {w.proxy_group()->title(), " Proxy Settings "},
      {w.proxy_box()->text(), "Use these Proxy Settings"},
      {w.auth_group()->title(), "  Authentication Settings  "},
      {w.auth_box()->text(), "Use these Authentication Settings"},
      {w.timeout_group()->title(), " Connection Timeout  "},
      {w.timeout_label()->text(), "Default is 120 seconds."},
      {w.ok_button()->text(), "&OK"},
      {w.cancel_button()->text(), "&Cancel"},
  };
  for (const auto& [shown, caption] : captions) EXPECT_EQ(shown, QString::fromLatin1(caption));
  QStringList labels;
  for (QLabel* label : w.proxy_group()->findChildren<QLabel*>()) labels << label->text();
  EXPECT_EQ(labels, (QStringList{"Proxy:", "Proxy Port:", "Userid:", "Password:"}));
  labels.clear();
  for (QLabel* label : w.auth_group()->findChildren<QLabel*>()) labels << label->text();
  EXPECT_EQ(labels, (QStringList{"Port:", "Userid:", "Password:"}));

  QStringList choices;
  for (int i = 0; i < w.timeout_list()->count(); ++i) choices << w.timeout_list()->itemText(i);
  EXPECT_EQ(choices, (QStringList{"30 seconds", "60 seconds", "120 seconds", "240 seconds", "360 seconds"}));
  for (QLineEdit* secret : {w.proxy_password_field(), w.auth_password_field()}) {
    EXPECT_EQ(secret->echoMode(), QLineEdit::Password);
    EXPECT_EQ(secret->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, secret), '*');
  }
  EXPECT_EQ(w.proxy_field()->echoMode(), QLineEdit::Normal);
}

TEST(ConnectPrefWindow, ShowsTheStoredDialupAndProxyValues) {
  Rig rig;
  TfrmConnectPref& w = rig.window;
  rig.open({{"Timeout", "240000"},
            {"AutoProxy", "y"},
            {"ProxyUse", "y"},
            {"Proxy", "p.test"},
            {"ProxyPort", "3128"},
            {"ProxyUserid", "pu"},
            {"ProxyPass", "pp"},
            {"AuthUse", "n"},
            {"APort", "8080"},
            {"dialupconn", "y"},
            {"DialupEntry", "Work ISP"},
            {"dialup", "y"},
            {"hangup", ""},
            {"quietwatch", "y"}});
  EXPECT_EQ(w.timeout_list()->currentText(), QStringLiteral("240 seconds"));
  EXPECT_TRUE(w.auto_proxy_box()->isChecked());
  EXPECT_TRUE(w.proxy_box()->isChecked());
  for (QLineEdit* f : {w.proxy_field(), w.proxy_port_field(), w.proxy_user_field(), w.proxy_password_field()}) {
    EXPECT_TRUE(f->isEnabled());
    EXPECT_EQ(base(f), window_colour(f));
  }
  EXPECT_EQ(w.proxy_port_field()->text(), QStringLiteral("3128"));
  EXPECT_EQ(w.proxy_password_field()->text(), QStringLiteral("pp"));
  EXPECT_FALSE(w.auth_box()->isChecked());
  for (QLineEdit* f : {w.auth_port_field(), w.auth_user_field(), w.auth_password_field()}) {
    EXPECT_FALSE(f->isEnabled());
    EXPECT_EQ(base(f), TfrmConnectPref::silver());
  }
  EXPECT_EQ(w.auth_port_field()->text(), QStringLiteral("8080"));  // shown even though unticked

  EXPECT_TRUE(w.dialup_radio()->isChecked());
  EXPECT_EQ(w.entry_list()->count(), 1);
  EXPECT_EQ(w.entry_list()->currentText(), QStringLiteral("Work ISP"));
  for (QWidget* c : std::initializer_list<QWidget*>{w.entry_list(), w.dial_box(), w.watch_box()})
    EXPECT_TRUE(c->isEnabled());
  for (QLabel* l : {w.entry_label(), w.dial_label(), w.watch_label()}) EXPECT_EQ(text_colour(l), normal_text(l));
  EXPECT_TRUE(w.dial_box()->isChecked());
  EXPECT_FALSE(w.hang_up_box()->isChecked());
  EXPECT_TRUE(w.watch_box()->isChecked());
  EXPECT_TRUE(rig.writes().empty());
}

TEST(ConnectPrefWindow, DirectConnectionAndAnEmptyStoreGreyTheDialupPart) {
  for (const bool empty_store : {true, false}) {
    SCOPED_TRACE(empty_store);
    Rig rig;
    TfrmConnectPref& w = rig.window;
    rig.open(empty_store ? Values{} : Values{{"Timeout", "45000"}, {"dialupconn", ""}, {"hangup", "y"}});
    EXPECT_EQ(w.timeout_list()->currentText(), QStringLiteral("120 seconds"));
    EXPECT_TRUE(w.direct_radio()->isChecked());
    for (QWidget* c : std::initializer_list<QWidget*>{w.entry_list(), w.dial_box(), w.hang_up_box(), w.watch_box()})
      EXPECT_FALSE(c->isEnabled());
    for (QLabel* l : {w.entry_label(), w.dial_label(), w.hang_up_label(), w.watch_label()})
      EXPECT_EQ(text_colour(l), TfrmConnectPref::grey_text());
    EXPECT_EQ(w.hang_up_box()->isChecked(), !empty_store);
    EXPECT_FALSE(w.proxy_field()->isEnabled());
    EXPECT_EQ(base(w.proxy_port_field()), TfrmConnectPref::silver());
  }
}

TEST(ConnectPrefWindow, OnlyTheDialupClickEnablesTheHangUpBox) {
  Rig rig;
  TfrmConnectPref& w = rig.window;
  rig.open({{"dialupconn", ""}});
  w.hide();
  rig.settings.set("dialupconn", "y");
  w.show();
  EXPECT_TRUE(w.watch_box()->isEnabled());
  EXPECT_FALSE(w.hang_up_box()->isEnabled());
  EXPECT_EQ(text_colour(w.hang_up_label()), TfrmConnectPref::grey_text());
  QTest::mouseClick(w.dialup_radio(), Qt::LeftButton);
  EXPECT_TRUE(w.hang_up_box()->isEnabled());
}

TEST(ConnectPrefWindow, ClicksEnableAndDisableTheirControls) {
  Rig rig;
  TfrmConnectPref& w = rig.window;
  rig.dialup.entry_names = {"Work ISP", "Backup"};
  rig.open({{"dialupconn", ""}});

  QTest::mouseClick(w.dialup_radio(), Qt::LeftButton);
  EXPECT_EQ(w.entry_list()->count(), 2);
  EXPECT_EQ(w.entry_list()->itemText(1), QStringLiteral("Backup"));
  EXPECT_EQ(w.entry_list()->currentIndex(), -1);
  for (QWidget* c : std::initializer_list<QWidget*>{w.entry_list(), w.dial_box(), w.hang_up_box(), w.watch_box()})
    EXPECT_TRUE(c->isEnabled());
  for (QLabel* l : {w.entry_label(), w.dial_label(), w.hang_up_label(), w.watch_label()})
    EXPECT_EQ(text_colour(l), normal_text(l));
  EXPECT_TRUE(rig.log.entries.empty());

  QTest::mouseClick(w.direct_radio(), Qt::LeftButton);
  EXPECT_FALSE(w.hang_up_box()->isEnabled());
  EXPECT_EQ(text_colour(w.dial_label()), TfrmConnectPref::grey_text());

  rig.dialup.fail_entries = true;
  QTest::mouseClick(w.dialup_radio(), Qt::LeftButton);
  EXPECT_EQ(rig.log.entries, (Calls{"beep"}));
  EXPECT_EQ(w.entry_list()->count(), 0);
  EXPECT_TRUE(w.watch_box()->isEnabled());

  // The proxy fields swap with the proxy field's own state, not the box's.
  const auto proxy_fields_on = [&](bool on) {
    for (QLineEdit* f : {w.proxy_field(), w.proxy_port_field(), w.proxy_user_field(), w.proxy_password_field()}) {
      EXPECT_EQ(f->isEnabled(), on);
      EXPECT_EQ(base(f), on ? window_colour(f) : TfrmConnectPref::silver());
    }
  };
  w.proxy_box()->click();
  EXPECT_TRUE(w.proxy_box()->isChecked());
  proxy_fields_on(true);
  w.proxy_box()->setChecked(false);  // out of step with the fields
  w.proxy_box()->click();
  EXPECT_TRUE(w.proxy_box()->isChecked());
  proxy_fields_on(false);

  w.auth_box()->click();
  EXPECT_TRUE(w.auth_port_field()->isEnabled());
  EXPECT_EQ(base(w.auth_user_field()), window_colour(w.auth_user_field()));
  w.auth_box()->click();
  EXPECT_FALSE(w.auth_password_field()->isEnabled());
  EXPECT_EQ(base(w.auth_port_field()), TfrmConnectPref::silver());
}

TEST(ConnectPrefWindow, OkWritesClosesAndPlays) {
  Rig rig;
  TfrmConnectPref& w = rig.window;
  rig.dialup.entry_names = {"Work ISP"};
  rig.open({});
  w.timeout_list()->setCurrentIndex(1);
  QTest::mouseClick(w.dialup_radio(), Qt::LeftButton);
  w.entry_list()->setCurrentIndex(0);
  w.dial_box()->setChecked(true);
  w.watch_box()->setChecked(true);
  w.ok_button()->click();
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(w.result(), QDialog::Accepted);
  EXPECT_EQ(rig.writes(), (Calls{"Settings\\Timeout=60000", "Settings\\AutoProxy=", "Settings\\ProxyUse=n",
                                 "Settings\\AuthUse=n", "Settings\\dialupconn=y", "Settings\\DialupEntry=Work ISP",
                                 "Settings\\dialup=y", "Settings\\hangup=", "Settings\\quietwatch=y"}));
  EXPECT_EQ(rig.effects, (Calls{"timeout 60000", "watcher on", "sound sOkay", "sound sOkay"}));
  EXPECT_EQ(rig.state.connection_timeout_ms, 60000);
  EXPECT_EQ(rig.state.dialup, "y");
  EXPECT_EQ(rig.state.quiet_watch, "y");
}

TEST(ConnectPrefWindow, DialupWithoutAnEntryKeepsTheDialogOpen) {
  Rig rig;
  TfrmConnectPref& w = rig.window;
  rig.dialup.entry_names = {"Work ISP"};
  rig.open({});
  QTest::mouseClick(w.dialup_radio(), Qt::LeftButton);  // nothing chosen in the list
  w.ok_button()->click();
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(rig.log.entries, (Calls{"beep", "message: Uh oh, you did not select a dial-up connection name."}));
  EXPECT_EQ(rig.writes().back(), "Settings\\dialupconn=y");
  EXPECT_EQ(rig.settings.get("DialupEntry"), "n/a");
  EXPECT_EQ(rig.effects, (Calls{"timeout 120000", "sound sOkay"}));

  // Choosing one now goes through.
  w.entry_list()->setCurrentIndex(0);
  w.ok_button()->click();
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(rig.settings.get("DialupEntry"), "Work ISP");
}

TEST(ConnectPrefWindow, CancelWritesNothing) {
  Rig rig;
  TfrmConnectPref& w = rig.window;
  rig.open({{"ProxyUse", "y"}, {"Proxy", "p.test"}});
  w.proxy_field()->setText(QStringLiteral("changed.test"));
  QTest::mouseClick(w.direct_radio(), Qt::LeftButton);
  w.cancel_button()->click();
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(w.result(), QDialog::Rejected);
  EXPECT_TRUE(rig.writes().empty());
  EXPECT_EQ(rig.effects, (Calls{"sound sCancel", "sound sOkay"}));
  EXPECT_EQ(rig.state.connected, "");

  // Shown again, it has the stored text back.
  w.show();
  EXPECT_EQ(w.proxy_field()->text(), QStringLiteral("p.test"));
}

}  // namespace
}  // namespace cirrodex
