#include "app/splash_window.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace cirrodex {

namespace {
constexpr int kGaugeSize = 110;
constexpr int kTextTop = 16;
constexpr int kTextHeight = 40;
// Narrow enough that the run of blanks wraps "loading information..." onto
// a line of its own under "Please wait...".
constexpr int kTextWidth = 176;
}  // namespace

const char* const TfrmPleaseWait::kText = "Please wait...           loading information...";

PieGauge::PieGauge(QWidget* parent) : QWidget(parent) {}

void PieGauge::set_percent(int percent) { percent_ = std::clamp(percent, 0, 100); }

void paint_pie(QPainter& painter, const QRectF& disc, int percent, const QColor& back, const QColor& fore) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(160, 160, 160), 1.0));
  painter.setBrush(back);
  painter.drawEllipse(disc);
  if (percent > 0) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(fore);
    // Qt's angles are sixteenths of a degree, counter-clockwise from three
    // o'clock: start at twelve and go the negative way.
    painter.drawPie(disc, 90 * 16, -percent * 360 * 16 / 100);
  }
}

void PieGauge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paint_pie(painter, QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), percent_, back_colour(), fore_colour());
}

TfrmPleaseWait::TfrmPleaseWait(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      text_(new QLabel(QString::fromLatin1(kText), this)),
      gauge_(new PieGauge(this)),
      animation_(new FileCopyAnimation(this)) {
  setObjectName(QStringLiteral("frmPleaseWait"));
  setFixedSize(kWidth, kHeight);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  pal.setColor(QPalette::WindowText, Qt::white);
  setPalette(pal);

  text_->setTextFormat(Qt::PlainText);
  text_->setWordWrap(true);
  text_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(15);
  font.setBold(true);
  text_->setFont(font);
  text_->setGeometry((kWidth - kTextWidth) / 2, kTextTop, kTextWidth, kTextHeight);

  const int gauge_top = kTextTop + kTextHeight + (kHeight - kTextTop - kTextHeight - kGaugeSize) / 2;
  gauge_->setGeometry((kWidth - kGaugeSize) / 2, gauge_top, kGaugeSize, kGaugeSize);
  animation_->setGeometry((kWidth - 200) / 2, gauge_top + (kGaugeSize - 70) / 2, 200, 70);
  animation_->hide();
}

void TfrmPleaseWait::set_busy(bool busy) {
  gauge_->setVisible(!busy);
  animation_->setVisible(busy);
  if (busy)
    animation_->start();
  else
    animation_->stop();
}

FileCopyAnimation::FileCopyAnimation(QWidget* parent) : QWidget(parent) {
  timer_.setInterval(60);
  QObject::connect(&timer_, &QTimer::timeout, this, [this] {
    frame_ = (frame_ + 1) % kFrames;
    update();
  });
}

void FileCopyAnimation::start() {
  frame_ = 0;
  timer_.start();
  update();
}

void FileCopyAnimation::stop() { timer_.stop(); }

void FileCopyAnimation::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const auto folder = [&](qreal x) {
    painter.setPen(QPen(QColor(128, 96, 0), 1.0));
    painter.setBrush(QColor(240, 200, 64));
    painter.drawRect(QRectF(x, 38, 44, 28));
    painter.drawRect(QRectF(x, 32, 18, 6));
  };
  folder(4);
  folder(width() - 48.0);
  // The sheet flies along a half circle from the left folder to the right.
  const qreal t = static_cast<qreal>(frame_) / (kFrames - 1);
  const qreal from = 26, to = width() - 26.0;
  const qreal x = from + (to - from) * t;
  const qreal y = 34 - 30 * std::sin(t * 3.14159265358979);
  painter.save();
  painter.translate(x, y);
  painter.rotate(-30 + 60 * t);
  painter.setPen(QPen(Qt::darkGray, 1.0));
  painter.setBrush(Qt::white);
  painter.drawRect(QRectF(-8, -10, 16, 20));
  for (int i = 0; i < 3; ++i) painter.drawLine(QPointF(-5, -5 + 5 * i), QPointF(5, -5 + 5 * i));
  painter.restore();
}

void TfrmPleaseWait::set_progress(int percent, bool paint_now) {
  gauge_->set_percent(percent);
  if (paint_now)
    gauge_->repaint();
  else
    gauge_->update();
}

void TfrmPleaseWait::place_beside(const QWidget* main) { move(main->pos() + QPoint(kOffsetX, kOffsetY)); }

void TfrmPleaseWait::show_beside(const QWidget* main) {
  if (main->isMinimized()) {
    showMinimized();
    return;
  }
  place_beside(main);
  showNormal();
}

void TfrmPleaseWait::busy_while(const QWidget* main, const std::function<void()>& work) {
  const QPoint home = pos();
  move(main->x() + kOffsetX, y());
  set_busy(true);
  show();
  repaint();
  work();
  set_busy(false);
  hide();
  move(home);
}

}  // namespace cirrodex
