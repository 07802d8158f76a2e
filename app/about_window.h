#pragma once
// TfrmAbout: the version, the disclaimer and the credits of the data
// sources, what the machine has in memory, screen and address, a star field
// for show, and the ways to reach the maker. The window knows nothing of
// the browser, the help or the sounds: the program hands those in.

#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointF>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "app/core/system_resources.h"

class QHideEvent;
class QPaintEvent;
class QShowEvent;

namespace cirrodex {

struct AboutWindowHooks {
  std::string site_url;      // shown on the link label and opened by it
  std::string support_mail;  // a bare address; the E-mail button adds "mailto:"
  std::function<void(const std::string& url)> open_address;
  std::function<void()> open_help;      // F1
  std::function<void()> closing_sound;  // once per closing of the window

  // Where the machine's figures come from; empty means the real system.
  std::function<std::string()> read_meminfo;
  std::function<std::vector<NetworkInterfaceInfo>()> list_interfaces;
};

// A disc filled clockwise from twelve o'clock by the free-memory percentage,
// with the figure in the middle, lime while memory is plentiful.
class MemoryGauge final : public QWidget {
 public:
  explicit MemoryGauge(QWidget* parent = nullptr);
  void set_percent(int percent);
  int percent() const { return percent_; }
  QColor fore_colour() const;
  static QColor back_colour() { return QColor(255, 255, 255); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int percent_ = 0;
};

// Stars flying out of the middle towards the viewer. It animates only while
// it is on screen: hidden (the About window spends most of the run so), it
// has no timer running and costs nothing.
class StarField final : public QWidget {
 public:
  static constexpr int kFrameMs = 40;

  explicit StarField(QWidget* parent = nullptr);
  bool running() const { return timer_.isActive(); }
  // One frame forward; the timer calls it.
  void advance();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  struct Star {
    double x, y, z;  // x and y in -1..1 across the field, z the distance (0..1]
  };
  void respawn(Star& star, bool anywhere);
  QPointF project(const Star& star) const;

  static constexpr std::size_t kStars = 90;
  std::array<Star, kStars> stars_{};
  std::minstd_rand engine_{20050};
  QTimer timer_;
};

class TfrmAbout final : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kWidth = 498;
  static constexpr int kHeight = 343;

  explicit TfrmAbout(AboutWindowHooks hooks, QWidget* parent = nullptr);

  // Reads memory, screen and host address again and puts them on the
  // labels; the program calls it each time it shows the window.
  void refresh_resources();
  // Centred on the screen the window is on.
  void centre_on_screen();

  QLabel* version_label() const { return version_; }
  QPlainTextEdit* credits_text() const { return credits_; }
  QLabel* resources_heading() const { return heading_; }
  MemoryGauge* memory_gauge() const { return gauge_; }
  QLabel* free_ram_label() const { return free_ram_; }
  QLabel* total_ram_label() const { return total_ram_; }
  QLabel* screen_label() const { return screen_; }
  QLabel* colour_depth_label() const { return colour_depth_; }
  QLabel* host_label() const { return host_; }
  StarField* star_field() const { return stars_; }
  QLabel* site_link() const { return site_; }
  QPushButton* mail_button() const { return mail_; }
  QPushButton* ok_button() const { return ok_; }

  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void open_address(const std::string& address) const;

  AboutWindowHooks hooks_;
  QLabel* version_;
  QPlainTextEdit* credits_;
  QLabel* heading_;
  MemoryGauge* gauge_;
  QLabel* free_ram_;
  QLabel* total_ram_;
  QLabel* screen_;
  QLabel* colour_depth_;
  QLabel* host_;
  StarField* stars_;
  QLabel* site_;
  QPushButton* mail_;
  QPushButton* ok_;
};

}  // namespace cirrodex
