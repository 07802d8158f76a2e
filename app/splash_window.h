#pragma once
// TfrmPleaseWait, the splash window: a borderless black panel with a
// "please wait" line over a pie gauge that the start-up fills while the
// other windows are created. The location chooser shows it again later.

#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace cirrodex {

// Paints a grey-rimmed disc in back, filled clockwise from twelve o'clock
// by percent in fore (the splash and About gauges).
void paint_pie(QPainter& painter, const QRectF& disc, int percent, const QColor& back, const QColor& fore);

// A disc filled clockwise from twelve o'clock by the percentage.
class PieGauge final : public QWidget {
 public:
  explicit PieGauge(QWidget* parent = nullptr);
  void set_percent(int percent);
  int percent() const { return percent_; }

  static QColor fore_colour() { return QColor(0, 0, 128); }  // navy
  static QColor back_colour() { return QColor(255, 255, 255); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int percent_ = 0;
};

// A sheet of paper flying from one folder to another: shown instead of the
// gauge while a window is built whose progress cannot be counted.
class FileCopyAnimation final : public QWidget {
 public:
  static constexpr int kFrames = 16;
  explicit FileCopyAnimation(QWidget* parent = nullptr);
  void start();
  void stop();
  bool running() const { return timer_.isActive(); }
  int frame() const { return frame_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QTimer timer_;
  int frame_ = 0;
};

class TfrmPleaseWait final : public QWidget {
 public:
  static constexpr int kWidth = 289;
  static constexpr int kHeight = 194;
  static constexpr int kOffsetX = 12;
  static constexpr int kOffsetY = 70;
  static const char* const kText;

  explicit TfrmPleaseWait(QWidget* parent = nullptr);

  // paint_now repaints before returning, for callers that keep the event
  // loop busy building windows; otherwise the gauge shows with the next paint.
  void set_progress(int percent, bool paint_now);
  int progress() const { return gauge_->percent(); }

  // Moves the splash 12 pixels right of and 70 below the main window's corner.
  void place_beside(const QWidget* main);
  // Shows it there, minimized when the main window is minimized.
  void show_beside(const QWidget* main);

  // Busy: the file-copy animation runs where the gauge was; not busy: the
  // animation stops and the gauge comes back.
  void set_busy(bool busy);
  // While work builds a window whose progress cannot be counted: shown 12
  // pixels right of the main window, busy, then hidden and put back.
  void busy_while(const QWidget* main, const std::function<void()>& work);
  FileCopyAnimation* animation() const { return animation_; }

  QLabel* text_label() const { return text_; }
  PieGauge* gauge() const { return gauge_; }

 private:
  QLabel* text_;
  PieGauge* gauge_;
  FileCopyAnimation* animation_;
};

}  // namespace cirrodex
