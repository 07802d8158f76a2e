// Task-bar and stay-on-top states under a real window manager: Xvfb with
// openbox, started by window_states_test.sh. What the window manager did is
// read with xprop and xwininfo, not through the code under test. The Offscreen
// suite runs on its own with QT_QPA_PLATFORM=offscreen.
#include "platform/qt/window_states.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <memory>

namespace cirrodex {
namespace {

const QString kSkipTaskbar = QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR");
const QString kSkipPager = QStringLiteral("_NET_WM_STATE_SKIP_PAGER");
const QString kAbove = QStringLiteral("_NET_WM_STATE_ABOVE");
constexpr int kWaitMs = 5000;

QString run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(kWaitMs)) return {};
  return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// The QWindow's id: QWidget::internalWinId() goes stale when Qt recreates a window.
QString id_of(const QWidget& window) { return QStringLiteral("0x%1").arg(window.windowHandle()->winId(), 0, 16); }

// "_NET_WM_STATE(ATOM) = A, B" or "_NET_WM_STATE:  not found."
QStringList net_wm_state(const QWidget& window) {
  const QString out =
      run(QStringLiteral("xprop"), {QStringLiteral("-id"), id_of(window), QStringLiteral("_NET_WM_STATE")});
  const qsizetype equals = out.indexOf(QLatin1Char('='));
  if (equals < 0) return {};
  QStringList states = out.mid(equals + 1).trimmed().split(QStringLiteral(", "), Qt::SkipEmptyParts);
  states.sort();
  return states;
}

std::string text(const QStringList& states) { return states.join(QLatin1Char(' ')).toStdString(); }

bool has(const QWidget& window, const QString& state) { return net_wm_state(window).contains(state); }

// The window manager has taken the window (ICCCM WM_STATE Normal).
bool managed(const QWidget& window) {
  return run(QStringLiteral("xprop"), {QStringLiteral("-id"), id_of(window), QStringLiteral("WM_STATE")})
      .contains(QStringLiteral("window state: Normal"));
}

struct XPlace {
  bool viewable = false;
  QPoint origin;
};

XPlace x_place(const QWidget& window) {
  const QString out = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id_of(window)});
  const auto x = QRegularExpression(QStringLiteral("Absolute upper-left X:\\s+(-?\\d+)")).match(out);
  const auto y = QRegularExpression(QStringLiteral("Absolute upper-left Y:\\s+(-?\\d+)")).match(out);
  return {out.contains(QStringLiteral("Map State: IsViewable")), QPoint(x.captured(1).toInt(), y.captured(1).toInt())};
}

bool eventually(const std::function<bool()>& condition) { return QTest::qWaitFor(condition, kWaitMs); }

// Counts the widget's hide events: a visible flicker shows up here even when
// the window ends up where it was.
class HideCounter : public QObject {
 public:
  int hides = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Hide) ++hides;
    return false;
  }
};

class X11WindowStates : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb")) << "run through window_states_test.sh";
    window_ = std::make_unique<QWidget>();
    window_->setWindowTitle(QStringLiteral("window states"));
    window_->resize(240, 160);
  }

  void show_managed() {
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    ASSERT_TRUE(eventually([&] { return managed(*window_); })) << "openbox did not manage the window";
  }

  std::unique_ptr<QWidget> window_;
};

TEST_F(X11WindowStates, MappedWindowGainsAndLosesOnlySkipTaskbar) {
  show_managed();
  const QStringList before = net_wm_state(*window_);
  ASSERT_FALSE(before.contains(kSkipTaskbar));
  for (const bool on : {true, false}) {
    SCOPED_TRACE(on ? "on" : "off");
    // The second call comes before the window manager has answered the first.
    EXPECT_TRUE(set_skip_taskbar(window_.get(), on));
    EXPECT_TRUE(set_skip_taskbar(window_.get(), on));
    ASSERT_TRUE(eventually([&] { return has(*window_, kSkipTaskbar) == on; }));
    QStringList expected = before;
    if (on) expected << kSkipTaskbar;
    expected.sort();
    EXPECT_EQ(text(net_wm_state(*window_)), text(expected));
    EXPECT_EQ(skip_taskbar_state(window_.get()), on);
  }
}

// A property written over the window manager's head would be dropped the
// next time it writes its own state, here when the window goes on top.
TEST_F(X11WindowStates, SkipTaskbarOfAMappedWindowIsTheWindowManagersOwn) {
  show_managed();
  ASSERT_TRUE(set_skip_taskbar(window_.get(), true));
  ASSERT_TRUE(eventually([&] { return has(*window_, kSkipTaskbar); }));
  ASSERT_TRUE(set_stays_on_top(window_.get(), true));
  ASSERT_TRUE(eventually([&] { return has(*window_, kAbove); }));
  EXPECT_TRUE(has(*window_, kSkipTaskbar));
}

TEST_F(X11WindowStates, SetBeforeMappingKeepsOtherStatesAndAppliesOnceMapped) {
  window_->winId();  // creates the native window, unmapped
  run(QStringLiteral("xprop"),
      {QStringLiteral("-id"), id_of(*window_), QStringLiteral("-f"), QStringLiteral("_NET_WM_STATE"),
       QStringLiteral("32a"), QStringLiteral("-set"), QStringLiteral("_NET_WM_STATE"), kSkipPager});
  ASSERT_EQ(text(net_wm_state(*window_)), text({kSkipPager}));

  const struct {
    bool on;
    QStringList expected;
  } steps[] = {{true, {kSkipPager, kSkipTaskbar}}, {false, {kSkipPager}}, {true, {kSkipPager, kSkipTaskbar}}};
  for (const auto& step : steps) {
    EXPECT_TRUE(set_skip_taskbar(window_.get(), step.on));
    EXPECT_TRUE(eventually([&] { return net_wm_state(*window_) == step.expected; })) << text(net_wm_state(*window_));
  }

  show_managed();
  EXPECT_TRUE(eventually([&] { return has(*window_, kSkipTaskbar) && has(*window_, kSkipPager); }))
      << text(net_wm_state(*window_));
  EXPECT_TRUE(skip_taskbar_state(window_.get()));
}

TEST_F(X11WindowStates, StaysOnTopKeepsTheWindowShownInPlace) {
  show_managed();
  HideCounter counter;
  window_->installEventFilter(&counter);
  const WId id = window_->windowHandle()->winId();
  const QPoint qt_origin = window_->pos();
  const XPlace place = x_place(*window_);
  ASSERT_TRUE(place.viewable);

  for (const bool on : {true, false}) {
    SCOPED_TRACE(on ? "on" : "off");
    EXPECT_TRUE(set_stays_on_top(window_.get(), on));
    ASSERT_TRUE(eventually([&] { return has(*window_, kAbove) == on; }));
    EXPECT_EQ(stays_on_top_state(window_.get()), on);
    EXPECT_EQ(window_->windowFlags().testFlag(Qt::WindowStaysOnTopHint), on);
    EXPECT_EQ(window_->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint), on);

    EXPECT_EQ(counter.hides, 0);
    EXPECT_TRUE(window_->isVisible());
    ASSERT_TRUE(window_->windowHandle());
    EXPECT_EQ(window_->windowHandle()->winId(), id);
    EXPECT_EQ(window_->pos(), qt_origin);
    const XPlace now = x_place(*window_);
    EXPECT_TRUE(now.viewable);
    EXPECT_EQ(now.origin, place.origin);
  }
}

TEST_F(X11WindowStates, StaysOnTopSetBeforeShowingAppliesOnceMapped) {
  EXPECT_TRUE(set_stays_on_top(window_.get(), true));
  show_managed();
  EXPECT_TRUE(eventually([&] { return has(*window_, kAbove); }));
}

// Qt maps a shown-again window with the states of its own flags, and the
// window manager dropped the others when it withdrew the window; the program
// sets the task-bar state again after every show.
TEST_F(X11WindowStates, HideAndShowDropSkipTaskbarUntilSetAgain) {
  show_managed();
  ASSERT_TRUE(set_skip_taskbar(window_.get(), true));
  ASSERT_TRUE(eventually([&] { return has(*window_, kSkipTaskbar); }));

  window_->hide();
  ASSERT_TRUE(eventually([&] { return !managed(*window_); }));
  show_managed();
  EXPECT_FALSE(QTest::qWaitFor([&] { return has(*window_, kSkipTaskbar); }, 500));
  EXPECT_FALSE(skip_taskbar_state(window_.get()));

  EXPECT_TRUE(set_skip_taskbar(window_.get(), true));
  EXPECT_TRUE(eventually([&] { return has(*window_, kSkipTaskbar); }));
}

TEST_F(X11WindowStates, OnlyTopLevelWindows) {
  QWidget child(window_.get());
  show_managed();
  EXPECT_FALSE(set_skip_taskbar(&child, true));
  EXPECT_FALSE(set_stays_on_top(&child, true));
  EXPECT_FALSE(set_skip_taskbar(nullptr, true));
  EXPECT_EQ(child.internalWinId(), WId{0});
  EXPECT_FALSE(child.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST(OffscreenWindowStates, NothingIsChanged) {
  ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
  QWidget window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const Qt::WindowFlags flags = window.windowFlags();

  EXPECT_FALSE(set_skip_taskbar(&window, true));
  EXPECT_FALSE(set_stays_on_top(&window, true));
  EXPECT_FALSE(skip_taskbar_state(&window));
  EXPECT_FALSE(stays_on_top_state(&window));
  EXPECT_EQ(window.windowFlags(), flags);
  EXPECT_EQ(window.windowHandle()->flags(), flags);
  EXPECT_TRUE(window.isVisible());
}

}  // namespace
}  // namespace cirrodex

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
