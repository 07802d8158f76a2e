#include "app/splash_window.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

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
      gauge_(new PieGauge(this)) {
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

}  // namespace cirrodex
