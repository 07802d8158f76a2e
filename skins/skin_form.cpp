#include "skins/skin_form.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWindow>
#include "skins/skin_files.h"

namespace cirrodex {

namespace {

QString latin1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

TSkinForm::TSkinForm(QWidget* window) : QWidget(window) {
  window->setWindowFlag(Qt::FramelessWindowHint, true);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

std::string TSkinForm::install(SkinResult result) {
  if (!result.skin) return result.error;
  Skin skin = std::move(*result.skin);
  QRegion region = skin_region(skin.mask, KeyColor, Tolerance);
  if (region.isEmpty()) return "the mask leaves nothing of the window";
  skin_ = std::move(skin);
  control_ = std::make_unique<SkinControl>(*skin_);
  images_ = SkinImages::of(*skin_);
  region_ = std::move(region);
  QWidget* w = window();
  w->setFixedSize(skin_->mask.width, skin_->mask.height);
  setGeometry(0, 0, skin_->mask.width, skin_->mask.height);
  w->setMask(region_);
  update();
  return {};
}

std::string TSkinForm::load_skin_file(const std::string& path) {
  const std::string error = install(load_skin_from_file(path, [this] { emit gifNotSupported(); }));
  if (error.empty()) emit OnSkinChanged();
  return error;
}

std::string TSkinForm::load_default_skin() {
  return install(load_builtin_skin([this] { emit gifNotSupported(); }));
}

void TSkinForm::SetDisplayText(const std::string& id, const std::string& text) {
  if (skin_) {
    for (DisplaySlot& slot : skin_->displays) {
      if (slot.id == id) {
        slot.text = text;
        break;
      }
    }
  }
  repaint();
}

const HotArea* TSkinForm::hot_area(const std::string& id) const {
  if (!skin_) return nullptr;
  for (const HotArea& a : skin_->hot_areas)
    if (a.id == id) return &a;
  return nullptr;
}

std::string TSkinForm::hot_area_id_at(QPoint point) const {
  return control_ ? hot_area_id(control_->hot_area_at(point.x(), point.y())) : std::string();
}

std::string TSkinForm::hot_area_id(int index) const {
  if (!skin_ || index < 0 || index >= static_cast<int>(skin_->hot_areas.size())) return {};
  return skin_->hot_areas[static_cast<std::size_t>(index)].id;
}

void TSkinForm::set_switch(const std::string& id, bool down) {
  if (control_ && control_->set_switch(id, down)) repaint();
}

void TSkinForm::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!skin_) {
    painter.fillRect(rect(), Qt::black);
    return;
  }
  paint_skin(painter, *skin_, images_, {control_->hover_index(), control_->dragged_bar()});
}

void TSkinForm::handle(const MouseOutcome& outcome) {
  if (outcome.track_bar) emit OnTrackBarNotify(latin1(outcome.track_bar->id), outcome.track_bar->position);
  if (outcome.repaint) update();
}

void TSkinForm::mousePressEvent(QMouseEvent* event) {
  if (!control_) return;
  const QPoint p = event->position().toPoint();
  const MouseOutcome out = control_->press(p.x(), p.y(), event->button() == Qt::LeftButton);
  handle(out);
  // The window system's own move works on X11 and Wayland alike.
  if (out.start_window_move && window()->windowHandle()) window()->windowHandle()->startSystemMove();
  emit OnMouseDownNotify(latin1(out.id), event->button(), event->modifiers(), p.x(), p.y());
}

void TSkinForm::mouseMoveEvent(QMouseEvent* event) {
  if (!control_) return;
  const QPoint p = event->position().toPoint();
  const QString before = latin1(control_->tooltip());
  const MouseOutcome out = control_->move(p.x(), p.y());
  handle(out);
  const QString tip = latin1(control_->tooltip());
  if (tip != before) {
    if (tip.isEmpty())
      QToolTip::hideText();
    else if (QToolTip::isVisible())
      QToolTip::showText(event->globalPosition().toPoint(), tip, this, QRect());
  }
  emit OnMouseMoveNotify(latin1(out.id), event->modifiers(), p.x(), p.y());
}

void TSkinForm::mouseReleaseEvent(QMouseEvent* event) {
  if (!control_) return;
  const QPoint p = event->position().toPoint();
  const MouseOutcome out = control_->release(p.x(), p.y());
  handle(out);
  emit OnMouseUpNotify(latin1(out.id), event->button(), event->modifiers(), p.x(), p.y());
}

bool TSkinForm::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip && control_) {
    // The tip follows the hot area under the mouse rather than the widget.
    auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = latin1(control_->tooltip());
    if (tip.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), tip, this, QRect());
    return true;
  }
  return QWidget::event(event);
}

}  // namespace cirrodex
