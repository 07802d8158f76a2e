// The About window: the memory figures read from /proc/meminfo texts, the
// screen, colour-depth and host lines, the gauge's colour rule, and the
// window offscreen with its hooks, labels and star field.
#include <gtest/gtest.h>

#include <QImage>
#include <QScreen>
#include <QTest>
#include <cmath>
#include <numbers>

#include "app/about_window.h"
#include "app/core/system_resources.h"

namespace cirrodex {
namespace {

// The top of a real /proc/meminfo, with MemFree and MemAvailable apart.
constexpr const char* kMeminfo =
    "MemTotal:       16315324 kB\n"
    "MemFree:         1234567 kB\n"
    "MemAvailable:    8157662 kB\n"
    "Buffers:          412300 kB\n"
    "Cached:          6123400 kB\n"
    "HugePages_Total:       0\n"
    "Hugepagesize:       2048 kB\n";

TEST(Meminfo, ParsedIntoBytesPercentAndTexts) {
  struct Case {
    const char* name;
    std::string text;
    std::uint64_t total, free;
    int percent;
    const char *free_text, *total_text;
  };
  const Case cases[] = {
      {"normal", kMeminfo, 16706891776u, 8353445888u, 50, "Free RAM: 8353445 K bytes", "Total RAM: 16706891 K bytes"},
      {"no MemAvailable: MemFree", "MemTotal: 16315324 kB\nMemFree: 1234567 kB\n", 16706891776u, 1264196608u, 7,
       "Free RAM: 1264196 K bytes", "Total RAM: 16706891 K bytes"},
      {"garbled MemAvailable falls back", "MemTotal: 1000 kB\nMemAvailable: lots kB\nMemFree: 100 kB\n", 1024000u,
       102400u, 10, "Free RAM: 102 K bytes", "Total RAM: 1024 K bytes"},
      {"cut off before the unit", "MemTotal: 1000 kB\nMemFree: 100 kB\nMemAvailable:   5", 1024000u, 102400u, 10,
       "Free RAM: 102 K bytes", "Total RAM: 1024 K bytes"},
      {"CRLF, tabs, no final newline", "MemTotal:\t2000 kB\r\nMemAvailable:\t1000 kB\r", 2048000u, 1024000u, 50,
       "Free RAM: 1024 K bytes", "Total RAM: 2048 K bytes"},
      {"names must match whole, first line wins",
       "SwapMemTotal: 9 kB\nMemTotal 7 kB\nMemTotal: 1000 kB\nMemTotal: 5 kB\nMemAvailable: 1000 kB\n", 1024000u,
       1024000u, 100, "Free RAM: 1024 K bytes", "Total RAM: 1024 K bytes"},
      {"floored, not rounded", "MemTotal: 10000 kB\nMemAvailable: 499 kB\n", 10240000u, 510976u, 4,
       "Free RAM: 510 K bytes", "Total RAM: 10240 K bytes"},
      {"zero total", "MemTotal: 0 kB\nMemAvailable: 0 kB\n", 0u, 0u, 0, "Free RAM: 0 K bytes", "Total RAM: 0 K bytes"},
      {"empty", "", 0u, 0u, 0, "Free RAM: 0 K bytes", "Total RAM: 0 K bytes"},
      {"garbage", "\n\n:::\nMemTotal:\nMemFree: -5 kB\n\xFF\xFE kB\n", 0u, 0u, 0, "Free RAM: 0 K bytes",
       "Total RAM: 0 K bytes"},
      // 2^50 kB: a hundred times the free bytes no longer fits in 64 bits.
      {"exabyte machine", "MemTotal: 1125899906842624 kB\nMemAvailable: 562949953421312 kB\n", 1152921504606846976u,
       576460752303423488u, 50, "Free RAM: 576460752303423 K bytes", "Total RAM: 1152921504606846 K bytes"},
      {"largest that fits in bytes", "MemTotal: 18014398509481983 kB\nMemAvailable: 18014398509481983 kB\n",
       18446744073709550592u, 18446744073709550592u, 100, "Free RAM: 18446744073709550 K bytes",
       "Total RAM: 18446744073709550 K bytes"},
      {"too big in bytes or in digits", "MemTotal: 18014398509481984 kB\nMemFree: 99999999999999999999999 kB\n", 0u, 0u,
       0, "Free RAM: 0 K bytes", "Total RAM: 0 K bytes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const MemoryStatus m = parse_meminfo(c.text);
    EXPECT_EQ(m.total_bytes, c.total);
    EXPECT_EQ(m.free_bytes, c.free);
    EXPECT_EQ(free_memory_percent(m), c.percent);
    EXPECT_EQ(free_ram_text(m), c.free_text);
    EXPECT_EQ(total_ram_text(m), c.total_text);
  }
}

TEST(Meminfo, PercentStaysWithinRangeWhenFreeExceedsTotal) {
  EXPECT_EQ(free_memory_percent({.total_bytes = 1000, .free_bytes = 5000}), 100);
  EXPECT_EQ(free_memory_percent({.total_bytes = 0, .free_bytes = 5000}), 0);
}

TEST(Meminfo, ReadsTheRealFile) {
  const MemoryStatus m = parse_meminfo(read_meminfo_file());
  EXPECT_GT(m.total_bytes, 0u);
  EXPECT_GT(m.free_bytes, 0u);
  EXPECT_LE(m.free_bytes, m.total_bytes);
  EXPECT_EQ(read_meminfo_file("/nonexistent/meminfo"), "");
}

TEST(ColourDepth, TwoToTheBitsTimesPlanesWithoutOverflow) {
  struct Case {
    int bits, planes;
    const char* count;
  };
  for (const Case& c : {Case{8, 1, "256"}, Case{16, 1, "65536"}, Case{24, 1, "16777216"}, Case{32, 1, "4294967296"},
                        Case{4, 4, "65536"}, Case{64, 1, "18446744073709551616"}, Case{1, 1, "2"}, Case{0, 1, "1"},
                        Case{-8, 1, "1"}, Case{8, -1, "1"}}) {
    SCOPED_TRACE(c.bits);
    EXPECT_EQ(colour_count(c.bits, c.planes), c.count);
    EXPECT_EQ(colour_depth_text(c.bits, c.planes), std::string("Color Depth: ") + c.count + " colors.");
  }
}

TEST(ResourceTexts, GaugeColourScreenHostAndVersion) {
  for (int p : {0, 1, 4}) EXPECT_EQ(gauge_colour(p), GaugeColour::Red) << p;
  for (int p : {5, 50, 100}) EXPECT_EQ(gauge_colour(p), GaugeColour::Lime) << p;
  EXPECT_EQ(screen_resolution_text(1024, 768), "Screen Resolution: 1024x768");
  EXPECT_EQ(local_host_text("192.168.1.20"), "Your local Host is: 192.168.1.20");
  EXPECT_EQ(local_host_text(""), "Your local Host is: (unknown)");
  EXPECT_EQ(version_text(), "Version 2.05.0");
}

TEST(LocalHost, FirstNonLoopbackAddressOfAnInterfaceThatIsUp) {
  using List = std::vector<NetworkInterfaceInfo>;
  const NetworkInterfaceInfo lo{true, true, {"127.0.0.1"}};
  const NetworkInterfaceInfo down{false, false, {"10.0.0.5"}};
  const NetworkInterfaceInfo no_v4{true, false, {}};
  const NetworkInterfaceInfo eth{true, false, {"127.0.1.1", "192.168.1.20", "192.168.1.21"}};
  const NetworkInterfaceInfo wlan{true, false, {"172.16.0.9"}};
  struct Case {
    const char* name;
    List list;
    const char* expected;
  };
  for (const Case& c : {Case{"none", {}, ""}, Case{"loopback only", {lo}, ""}, Case{"down skipped", {down, lo}, ""},
                        Case{"first usable of the first interface", {lo, down, no_v4, eth, wlan}, "192.168.1.20"},
                        Case{"system's order", {wlan, eth}, "172.16.0.9"}}) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(pick_local_host(c.list), c.expected);
  }
}

// --- the window ---

struct Recorder {
  std::string meminfo = kMeminfo;
  std::vector<NetworkInterfaceInfo> interfaces{{true, false, {"192.168.1.20"}}};
  int meminfo_reads = 0;
  std::vector<std::string> opened;
  int help = 0;
  int sounds = 0;

  AboutWindowHooks hooks() {
    AboutWindowHooks h;
    h.site_url = "http://www.velmoraworks.example/html/software/Cirrodex.html";
    h.support_mail = "support@velmoraworks.example";
    h.open_address = [this](const std::string& url) { opened.push_back(url); };
    h.open_help = [this] { ++help; };
    h.closing_sound = [this] { ++sounds; };
    h.read_meminfo = [this] {
      ++meminfo_reads;
      return meminfo;
    };
    h.list_interfaces = [this] { return interfaces; };
    return h;
  }
};

TEST(AboutWindow, CaptionSizeAndLabels) {
  Recorder r;
  TfrmAbout about(r.hooks());
  EXPECT_EQ(about.windowTitle(), QStringLiteral("About Cirrodex"));
  EXPECT_EQ(about.size(), QSize(498, 343));
  EXPECT_EQ(about.minimumSize(), about.maximumSize());
  EXPECT_EQ(about.version_label()->text(), QStringLiteral("Version 2.05.0"));
  EXPECT_EQ(about.resources_heading()->text(), QStringLiteral("Your System Resources:"));
  EXPECT_EQ(about.free_ram_label()->text(), QStringLiteral("Free RAM: 8353445 K bytes"));
  EXPECT_EQ(about.total_ram_label()->text(), QStringLiteral("Total RAM: 16706891 K bytes"));
  EXPECT_EQ(about.memory_gauge()->percent(), 50);
  EXPECT_EQ(about.host_label()->text(), QStringLiteral("Your local Host is: 192.168.1.20"));

  const QScreen* screen = about.screen();
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(
      about.screen_label()->text(),
      QStringLiteral("Screen Resolution: %1x%2").arg(screen->geometry().width()).arg(screen->geometry().height()));
  EXPECT_EQ(about.colour_depth_label()->text(),
            QString::fromStdString("Color Depth: " + colour_count(screen->depth(), 1) + " colors."));

  EXPECT_TRUE(about.credits_text()->isReadOnly());
  const QString credits = about.credits_text()->toPlainText();
  for (const char* source : {"should not be relied on in lieu of officially disseminated weather forecasts",
                             "National Weather Service", "Weather Underground", "NOAA", "NASA", "USDA", "Unisys",
                             "Purdue", "Ohio State", "University of Wisconsin", "Texas A&M", "Weather Channel"})
    EXPECT_TRUE(credits.contains(QString::fromLatin1(source))) << source;
}

TEST(AboutWindow, RefreshReadsAgainAndUnknownHost) {
  Recorder r;
  TfrmAbout about(r.hooks());
  const int reads = r.meminfo_reads;
  r.meminfo = "MemTotal: 2000 kB\nMemFree: 60 kB\n";
  r.interfaces = {{true, true, {"127.0.0.1"}}};
  about.refresh_resources();
  EXPECT_EQ(r.meminfo_reads, reads + 1);
  EXPECT_EQ(about.free_ram_label()->text(), QStringLiteral("Free RAM: 61 K bytes"));
  EXPECT_EQ(about.total_ram_label()->text(), QStringLiteral("Total RAM: 2048 K bytes"));
  EXPECT_EQ(about.memory_gauge()->percent(), 3);
  EXPECT_EQ(about.host_label()->text(), QStringLiteral("Your local Host is: (unknown)"));
}

// The colour halfway out on the gauge at `turn` (0 = twelve o'clock, 0.25 = three).
QColor at_turn(const QImage& gauge, double turn) {
  const double r = std::min(gauge.width(), gauge.height()) / 4.0;
  const double a = 2 * std::numbers::pi * turn;
  return gauge.pixelColor(static_cast<int>(gauge.width() / 2.0 + r * std::sin(a)),
                          static_cast<int>(gauge.height() / 2.0 - r * std::cos(a)));
}

TEST(AboutWindow, GaugeRedAtFourPercentLimeAtFive) {
  Recorder r;
  TfrmAbout about(r.hooks());
  struct Case {
    const char* meminfo;
    QColor fill;
  };
  for (const Case& c : {Case{"MemTotal: 1000 kB\nMemAvailable: 49 kB\n", QColor(255, 0, 0)},
                        Case{"MemTotal: 1000 kB\nMemAvailable: 50 kB\n", QColor(0, 255, 0)},
                        Case{"MemTotal: 1000 kB\nMemAvailable: 900 kB\n", QColor(0, 255, 0)}}) {
    SCOPED_TRACE(c.meminfo);
    r.meminfo = c.meminfo;
    about.refresh_resources();
    const QImage gauge = about.memory_gauge()->grab().toImage();
    // Just clockwise of twelve is filled; the far side (past 90 %) is not.
    EXPECT_EQ(at_turn(gauge, 0.02), c.fill);
    EXPECT_EQ(at_turn(gauge, 0.95), MemoryGauge::back_colour());
  }
}

TEST(AboutWindow, HelpMailSiteAndClosingSound) {
  Recorder r;
  TfrmAbout about(r.hooks());
  about.show();
  about.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
  QTest::keyClick(&about, Qt::Key_F1);
  EXPECT_EQ(r.help, 1);

  QTest::mouseClick(about.mail_button(), Qt::LeftButton);
  emit about.site_link()->linkActivated(QStringLiteral("ignored"));
  EXPECT_EQ(r.opened, (std::vector<std::string>{"mailto:support@velmoraworks.example",
                                                "http://www.velmoraworks.example/html/software/Cirrodex.html"}));
  EXPECT_EQ(r.sounds, 0);

  about.close();
  EXPECT_FALSE(about.isVisible());
  EXPECT_EQ(r.sounds, 1);
  // Ending an already hidden window is no closing.
  about.reject();
  EXPECT_EQ(r.sounds, 1);

  about.show();
  QTest::keyClick(&about, Qt::Key_Escape);
  EXPECT_FALSE(about.isVisible());
  EXPECT_EQ(r.sounds, 2);

  about.show();
  QTest::mouseClick(about.ok_button(), Qt::LeftButton);
  EXPECT_FALSE(about.isVisible());
  EXPECT_EQ(r.sounds, 3);
  EXPECT_EQ(r.help, 1);
}

TEST(AboutWindow, CentredOnTheScreen) {
  Recorder r;
  TfrmAbout about(r.hooks());
  about.move(0, 0);
  about.show();
  const QPoint offset = about.frameGeometry().center() - about.screen()->availableGeometry().center();
  EXPECT_LE(offset.manhattanLength(), 2);
}

TEST(AboutWindow, StarsMoveOnlyWhileShown) {
  Recorder r;
  TfrmAbout about(r.hooks());
  StarField* stars = about.star_field();
  EXPECT_FALSE(stars->running());
  about.show();
  EXPECT_TRUE(stars->running());
  const QImage before = stars->grab().toImage();
  QTest::qWait(StarField::kFrameMs * 4);
  const QImage after = stars->grab().toImage();
  EXPECT_NE(before, after);
  // Some stars on a black sky.
  int lit = 0;
  for (int y = 0; y < after.height(); ++y)
    for (int x = 0; x < after.width(); ++x) lit += after.pixelColor(x, y) != QColor(Qt::black);
  EXPECT_GT(lit, 10);

  about.close();
  EXPECT_FALSE(stars->running());
  const QImage idle = stars->grab().toImage();
  QTest::qWait(StarField::kFrameMs * 3);
  EXPECT_EQ(stars->grab().toImage(), idle);

  about.show();
  EXPECT_TRUE(stars->running());
  about.hide();
  EXPECT_FALSE(stars->running());
}

}  // namespace
}  // namespace cirrodex
