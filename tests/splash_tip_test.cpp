// The splash window and the tip of the day offscreen: the splash's face and
// gauge pixels, its place beside the main window, the tip dialog's texts and
// its show-at-start-up box.
#include <gtest/gtest.h>

#include <QImage>
#include <QTest>
#include <cmath>
#include <numbers>

#include "app/core/tips.h"
#include "app/splash_window.h"
#include "app/tip_window.h"

namespace cirrodex {
namespace {

TEST(Splash, BlackBorderlessPanelWithTheTextAndAnEmptyGauge) {
  TfrmPleaseWait splash;
  EXPECT_EQ(splash.size(), QSize(289, 194));
  EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(splash.text_label()->text(), QStringLiteral("Please wait...           loading information..."));
  EXPECT_EQ(splash.progress(), 0);
  const QImage face = splash.grab().toImage();
  EXPECT_EQ(face.pixelColor(2, 2), QColor(Qt::black));
  EXPECT_EQ(face.pixelColor(288, 193), QColor(Qt::black));
  // Some white text above the gauge.
  const QRect text_box = splash.text_label()->geometry();
  EXPECT_LT(text_box.bottom(), splash.gauge()->geometry().top());
  int white = 0;
  for (int y = text_box.top(); y <= text_box.bottom(); ++y)
    for (int x = text_box.left(); x <= text_box.right(); ++x) white += face.pixelColor(x, y) == QColor(Qt::white);
  EXPECT_GT(white, 50);
}

// The colour at `turn` (0 = twelve o'clock, 0.25 = three) halfway out on the gauge.
QColor at_turn(const QImage& gauge, double turn) {
  const double r = gauge.width() / 4.0;
  const double a = 2 * std::numbers::pi * turn;
  return gauge.pixelColor(static_cast<int>(gauge.width() / 2.0 + r * std::sin(a)),
                          static_cast<int>(gauge.height() / 2.0 - r * std::cos(a)));
}

TEST(Splash, GaugeFillsClockwiseFromTwelve) {
  TfrmPleaseWait splash;
  const QColor navy(0, 0, 128);
  const QColor empty = PieGauge::back_colour();
  struct Case {
    int percent;
    std::vector<double> filled, unfilled;
  };
  for (const Case& c : {Case{0, {}, {0.05, 0.5, 0.95}}, Case{25, {0.05, 0.2}, {0.3, 0.5, 0.95}},
                        Case{50, {0.05, 0.45}, {0.55, 0.95}}, Case{100, {0.05, 0.5, 0.95}, {}}}) {
    SCOPED_TRACE(c.percent);
    splash.set_progress(c.percent, true);
    EXPECT_EQ(splash.progress(), c.percent);
    const QImage gauge = splash.gauge()->grab().toImage();
    for (double t : c.filled) EXPECT_EQ(at_turn(gauge, t), navy) << t;
    for (double t : c.unfilled) EXPECT_EQ(at_turn(gauge, t), empty) << t;
  }
}

TEST(Splash, PlacedBesideTheMainWindowAndMinimizedWithIt) {
  QWidget main;
  main.setGeometry(300, 200, 200, 100);
  main.show();
  TfrmPleaseWait splash;
  splash.place_beside(&main);
  EXPECT_EQ(splash.pos(), main.pos() + QPoint(12, 70));

  main.move(40, 50);
  splash.show_beside(&main);
  EXPECT_EQ(splash.pos(), main.pos() + QPoint(12, 70));
  EXPECT_TRUE(splash.isVisible());
  EXPECT_FALSE(splash.isMinimized());

  main.showMinimized();
  splash.hide();
  splash.show_beside(&main);
  EXPECT_TRUE(splash.isMinimized());
}

QString latin1(std::string_view s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

TEST(TipOfTheDay, CaptionHeadingAndATipDrawnOnEachOpening) {
  std::vector<std::size_t> draws = {5, 2};
  std::size_t asked_count = 0;
  TipOfTheDay tip(nullptr, [&](std::size_t count) {
    asked_count = count;
    const std::size_t v = draws.front();
    draws.erase(draws.begin());
    return v;
  });
  EXPECT_EQ(tip.windowTitle(), QStringLiteral("Cirrodex Tip-of-the-Day"));
  EXPECT_EQ(tip.heading_label()->text(), QStringLiteral("Did you know..."));

  tip.show();
  EXPECT_EQ(asked_count, 8u);
  EXPECT_EQ(tip.tip_label()->text(), latin1(kTips[5]));
  tip.hide();
  tip.show();
  EXPECT_EQ(tip.tip_label()->text(), latin1(kTips[2]));
  EXPECT_TRUE(draws.empty());
}

TEST(TipOfTheDay, NextTipStepsThroughAllAndWraps) {
  TipOfTheDay tip(nullptr, [](std::size_t) { return std::size_t{6}; });
  tip.show();
  for (std::size_t expected : {6u, 7u, 0u, 1u}) {
    EXPECT_EQ(tip.tip_label()->text().toLatin1().toStdString(), std::string(kTips[expected]));
    QTest::mouseClick(tip.next_button(), Qt::LeftButton);
  }
}

TEST(TipOfTheDay, ShowAtStartupBoxKeepsItsState) {
  TipOfTheDay tip;
  for (bool on : {true, false, true}) {
    tip.set_show_at_startup(on);
    tip.show();
    tip.hide();
    EXPECT_EQ(tip.show_at_startup(), on);
    EXPECT_EQ(tip.show_box()->isChecked(), on);
  }
  // A click by the user counts too.
  tip.set_show_at_startup(false);
  tip.show();
  QTest::mouseClick(tip.show_box(), Qt::LeftButton);
  EXPECT_TRUE(tip.show_at_startup());
}

}  // namespace
}  // namespace cirrodex
