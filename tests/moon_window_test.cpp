// The moon windows offscreen, on a clock the tests set: captions, menus,
// fast mode, Stop and Run, the place fields and their file.
#include "app/moon_window.h"

#include <gtest/gtest.h>

#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "platform/fakes/call_log.h"
#include "platform/fakes/fake_clock.h"
#include "platform/fakes/fake_host.h"
#include "platform/fakes/memory_settings_store.h"

namespace cirrodex {
namespace {

QStringList texts(const QList<QAction*>& actions) {
  QStringList out;
  for (const QAction* a : actions) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
  return out;
}

class MoonWindows : public ::testing::Test {
 protected:
  fakes::CallLog log;
  fakes::FakeHost host{log};
  fakes::FakeClock clock;
  fakes::MemorySettingsStore place;
  int moreShown = 0;
};

TEST_F(MoonWindows, MoontoolLayoutAndMenus) {
  clock.set(fakes::local_time(1999, 12, 9, 15, 5, 9, 3600));
  TfrmMoon w(clock, host, moon::english_month_names(), [this] { ++moreShown; });
  EXPECT_EQ(w.windowTitle(), "Moontool");
  EXPECT_EQ(w.centralWidget()->size(), QSize(375, 260));
  EXPECT_EQ(w.minimumSize(), w.maximumSize());
  EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(w.timer().interval(), 1000);
  EXPECT_TRUE(w.timer().isActive());
  EXPECT_EQ(w.picture()->size(), QSize(64, 64));

  EXPECT_EQ(texts(w.menuBar()->actions()), QStringList({"&File", "&Edit", "&Options", "&About"}));
  const auto menu = [&](int i) { return w.menuBar()->actions().at(i)->menu()->actions(); };
  EXPECT_EQ(texts(menu(0)), QStringList({"E&xit"}));
  EXPECT_EQ(texts(menu(1)), QStringList({"&Copy"}));
  EXPECT_FALSE(w.copy_item()->isEnabled());
  EXPECT_EQ(texts(menu(2)), QStringList({"&Fast Mode", "&Stop", "-", "&More Data"}));
  EXPECT_TRUE(w.fast_mode_item()->isCheckable());

  // The values of the creation, in Universal Time but for the local time.
  EXPECT_EQ(w.value("Universal time:"), "14:05:09 9 December 1999");
  EXPECT_EQ(w.value("Local time:"), "15:05:09 9 December 1999");
  EXPECT_EQ(w.value("Julian date:"), "2451522.08691");
  for (const char* caption :
       {"Age of the moon:", "Moon phase:", "Moon's distance:", "Moon subtends:", "Sun's distance:", "Sun subtends:",
        "Last new moon:", "First quarter:", "Full moon:", "Last quarter:", "New new moon:", "Lunation:", "Lunation:+1"})
    EXPECT_FALSE(w.value(caption).isEmpty()) << caption;
  EXPECT_EQ(w.value("Lunation:+1").toInt(), w.value("Lunation:").toInt() + 1);

  w.more_data_item()->trigger();
  EXPECT_EQ(moreShown, 1);
  w.about_item()->trigger();
  ASSERT_FALSE(log.with_prefix("message: ").empty());
  w.show();
  w.exit_item()->trigger();
  EXPECT_FALSE(w.isVisible());
}

TEST_F(MoonWindows, FastModeStopAndRun) {
  clock.set(fakes::local_time(2026, 12, 11, 9, 0, 0));
  TfrmMoon w(clock, host, moon::english_month_names(), {});
  w.fast_mode_item()->trigger();
  EXPECT_TRUE(w.fast_mode_item()->isChecked());
  clock.set(fakes::local_time(2026, 12, 11, 9, 0, 10));
  w.TimerTimer();
  EXPECT_EQ(w.value("Universal time:"), "19:00:10 11 December 2026");
  EXPECT_EQ(w.value("Local time:"), "");

  w.stop_item()->trigger();
  EXPECT_FALSE(w.timer().isActive());
  EXPECT_EQ(w.stop_item()->text(), "&Run");
  w.stop_item()->trigger();
  EXPECT_TRUE(w.timer().isActive());
  EXPECT_EQ(w.stop_item()->text(), "&Stop");

  w.fast_mode_item()->trigger();
  EXPECT_FALSE(w.fast_mode_item()->isChecked());
  clock.set(fakes::local_time(2026, 12, 11, 9, 1, 0));
  w.TimerTimer();
  EXPECT_EQ(w.value("Universal time:"), "09:01:00 11 December 2026");
  EXPECT_EQ(w.value("Local time:"), "09:01:00 11 December 2026");
}

TEST_F(MoonWindows, ThePictureFollowsThePhase) {
  clock.set(fakes::local_time(2026, 12, 11, 9, 0, 0));
  TfrmMoon w(clock, host, moon::english_month_names(), {});
  w.TimerTimer();
  const QImage before = w.picture()->picture();
  const moon::Instant shown = w.picture()->date();
  clock.set(fakes::local_time(2026, 12, 18, 9, 0, 0));  // a week later, near first quarter
  w.TimerTimer();
  EXPECT_GT(w.picture()->date(), shown + 6);
  EXPECT_NE(w.picture()->picture(), before);
}

TEST_F(MoonWindows, MoreDataReadsThePlaceOnShowAndWritesItOnHide) {
  clock.set(fakes::local_time(2026, 6, 21, 12, 0, 0));
  place.write("Location", "Name", "Ny-\xc5lesund");
  place.write("Location", "Latitude", "80");
  place.write("Location", "Longitude", "500");
  Tfrm_more w(clock, host, place, moon::english_month_names());
  EXPECT_EQ(w.windowTitle(), "Moon - More Data");
  EXPECT_EQ(w.size(), QSize(369, 393));
  EXPECT_EQ(w.minimumSize(), w.maximumSize());
  EXPECT_EQ(w.timer().interval(), 65535);
  EXPECT_TRUE(w.timer().isActive());

  w.show();
  EXPECT_EQ(w.location_field()->text(), QString::fromLatin1("Ny-\xc5lesund"));
  EXPECT_EQ(w.latitude_field()->value(), 80);
  EXPECT_EQ(w.longitude_field()->value(), 180);  // beyond the range: the nearest limit
  // Midsummer at 80 north: no sunrise or sunset that day.
  for (const char* caption : {"Sun rise:", "Sun transit:", "Sun set:"}) EXPECT_EQ(w.value(caption), "---");
  EXPECT_TRUE(w.value("Spring Equinox:").endsWith(" March 2026"));
  EXPECT_TRUE(w.value("Winter Solstice:").endsWith(" December 2026"));
  EXPECT_FALSE(w.eclipse_type(false).isEmpty());
  EXPECT_FALSE(w.eclipse_type(true).isEmpty());

  // Every change of a field recomputes; a field's text that is not a whole
  // number counts as its lowest value.
  w.latitude_field()->setValue(48);
  EXPECT_NE(w.value("Sun rise:"), "---");
  const moon::MoreDataValues south =
      moon::more_data_values(moon::make_instant(2026, 6, 21, 12, 0, 0), -90, 180, moon::english_month_names());
  QLineEdit* typed = w.latitude_field()->findChild<QLineEdit*>();
  typed->selectAll();
  QTest::keyClicks(typed, QStringLiteral("-"));
  ASSERT_EQ(typed->text(), "-");
  EXPECT_EQ(w.value("Sun rise:").toStdString(), south.sun_rise);

  w.latitude_field()->setValue(10);
  w.longitude_field()->setValue(0);
  w.location_field()->setText(QStringLiteral("Equator"));
  w.hide();
  EXPECT_EQ(moon::read_moon_place(place), (moon::MoonPlace{"Equator", 10, 0}));
  w.latitude_field()->setValue(33);
  w.show();
  EXPECT_EQ(w.latitude_field()->value(), 10);

  // A place that cannot be saved is said so.
  place.set_fail_writes(true);
  w.hide();
  EXPECT_EQ(log.with_prefix("message: The place of the More Data window was not saved.").size(), 1u);
}

}  // namespace
}  // namespace cirrodex
