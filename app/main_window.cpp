#include "app/main_window.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include "app/core/menu_bar.h"

namespace cirrodex {

namespace {
QString latin1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

PointerButton pointer_button(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return PointerButton::Left;
    case Qt::RightButton:
      return PointerButton::Right;
    case Qt::MiddleButton:
      return PointerButton::Middle;
    default:
      return PointerButton::Other;
  }
}
}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
  setWindowTitle(QStringLiteral("Cirrodex"));
  SkinForm1 = new TSkinForm(this);
  SkinForm1->KeyColor = kClFuchsia;
  SkinForm1->Tolerance = kClBlack;

  ShapeOnline1 = new QFrame(this);
  ShapeOnline1->setFixedSize(8, 8);
  ShapeOnline1->setToolTip(QStringLiteral("Online Indicator"));
  set_online(false);
  ImgMoon = new QLabel(this);
  ImgMoon->setFixedSize(50, 50);
  ImgMoon->setCursor(Qt::PointingHandCursor);
  ImgMoon->setToolTip(QStringLiteral("Click for more details..."));
  ImgMoon->installEventFilter(this);

  connect(SkinForm1, &TSkinForm::OnMouseDownNotify, this,
          [this](const QString& id, Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
            skinMouseDown(id, button, SkinForm1->mapToGlobal(QPoint(x, y)));
          });
}

TForm1::~TForm1() = default;

void TForm1::install_menus(MenuActions& actions) {
  menus_ = std::make_unique<PopupMenus>(actions, this);
  for (std::size_t i = 0; i < presetCache_.size(); ++i)
    menus_->set_preset_entry(static_cast<int>(i), presetCache_[i].first, presetCache_[i].second);
  for (const auto& [role, colour] : menuColours_)
    if (colour.isValid()) menus_->set_colour(role, colour);
  for (MenuName name : kBarMenus) {
    QMenu* menu = menus_->menu(name);
    menu->installEventFilter(this);
    connect(menu, &QMenu::aboutToHide, this, [this, menu] {
      if (openBar_ == menu) openBar_ = nullptr;
    });
  }
}

void TForm1::open_menu(MenuName name, QPoint at) {
  if (!menus_) return;
  QMenu* menu = menus_->menu(name);
  if (std::find(std::begin(kBarMenus), std::end(kBarMenus), name) != std::end(kBarMenus)) openBar_ = menu;
  menu->popup(at);
}

std::optional<MenuName> TForm1::open_bar_menu() const {
  if (!menus_ || openBar_.isNull() || !openBar_->isVisible()) return std::nullopt;
  return menus_->name_of(openBar_);
}

void TForm1::skinMouseDown(const QString& id, Qt::MouseButton button, QPoint at) {
  const ButtonPress press = skin_button_press(id.toStdString(), pointer_button(button));
  switch (press.action) {
    case ButtonAction::None:
      break;
    case ButtonAction::Minimize:
      emit minimizeRequested();
      break;
    case ButtonAction::Exit:
      close();
      break;
    case ButtonAction::ForecastPage:
      emit forecastPageRequested();
      break;
    case ButtonAction::OpenMenu: {
      const ScreenPoint p = menu_point_at_press({at.x(), at.y()});
      open_menu(press.menu, QPoint(p.x, p.y));
      break;
    }
  }
}

// While a bar menu is open it has the pointer; moving onto a neighbour's
// button closes it and opens the neighbour there.
bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ImgMoon && event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    emit moonClicked();
    return true;
  }
  if (event->type() == QEvent::MouseMove && watched == openBar_) {
    const auto* move = static_cast<QMouseEvent*>(event);
    const QPoint global = move->globalPosition().toPoint();
    if (const auto open = open_bar_menu(); open && !openBar_->geometry().contains(global)) slideFrom(*open, global);
  }
  return QWidget::eventFilter(watched, event);
}

void TForm1::slideFrom(MenuName open, QPoint global) {
  if (!isVisible()) return;
  const std::string id = SkinForm1->hot_area_id_at(SkinForm1->mapFromGlobal(global));
  const auto target = menu_of_button(id);
  if (!target || !slides_to(open, *target)) return;
  openBar_->hide();
  const ScreenPoint p = menu_point_at_press({global.x(), global.y()});
  // Open it once the closing menu has let go of the pointer.
  QTimer::singleShot(0, this, [this, name = *target, at = QPoint(p.x, p.y)] { open_menu(name, at); });
}

void TForm1::closeEvent(QCloseEvent* event) {
  emit closing();
  event->accept();
}

void TForm1::keyPressEvent(QKeyEvent* event) {
  const bool alt = event->modifiers() == Qt::AltModifier;
  if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
    emit helpRequested();
  } else if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !alt) {
    emit minimizeRequested();
  } else if (alt && event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z) {
    const auto menu = menu_of_alt_key(static_cast<char>('a' + (event->key() - Qt::Key_A)));
    if (!menu) return;
    const QPoint corner = frameGeometry().topLeft();
    const ScreenPoint p = menu_point_for_key({corner.x(), corner.y()});
    open_menu(*menu, QPoint(p.x, p.y));
  } else {
    return;  // no other key does anything
  }
  event->accept();
}

void TForm1::contextMenuEvent(QContextMenuEvent* event) {
  if (menus_) menus_->menu(MenuName::PopupForm)->popup(event->globalPos());
  event->accept();
}

void TForm1::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && isMinimized()) emit minimized();
}

void TForm1::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  emit painted();
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  emit painted();
}

void TForm1::set_slot_text(const std::string& slot, const std::string& text) { SkinForm1->SetDisplayText(slot, text); }

void TForm1::set_caption(const std::string& caption) { setWindowTitle(latin1(caption)); }

std::string TForm1::caption() const { return windowTitle().toLatin1().toStdString(); }

void TForm1::set_preset_entry(int index, const std::string& caption, bool visible) {
  presetCache_.at(static_cast<std::size_t>(index)) = {caption, visible};
  if (menus_) menus_->set_preset_entry(index, caption, visible);
}

void TForm1::place_online_indicator(int x, int y) {
  ShapeOnline1->move(x, y);
  ShapeOnline1->raise();
}

void TForm1::set_online(bool online) {
  ShapeOnline1->setStyleSheet(online ? QStringLiteral("background: lime; border: 1px solid black; border-radius: 4px;")
                                     : QStringLiteral("background: red; border: 1px solid black; border-radius: 4px;"));
}

void TForm1::place_moon_picture(int x, int y) { ImgMoon->move(x, y); }

void TForm1::set_moon_picture(const QPixmap& picture) { ImgMoon->setPixmap(picture); }

void TForm1::set_menu_colour(MenuColourRole role, ColourValue colour) {
  static constexpr QPalette::ColorRole kRoles[] = {QPalette::Window, QPalette::WindowText, QPalette::Highlight,
                                                   QPalette::HighlightedText};
  const auto index = static_cast<std::size_t>(role);
  const Rgb rgb = colour_rgb(colour);
  menuColours_.at(index) = {kRoles[index], QColor(rgb.r, rgb.g, rgb.b)};
  if (menus_) menus_->set_colour(kRoles[index], menuColours_[index].second);
}

void TForm1::set_menu_sounds(const std::string& popup_wav, const std::string& command_wav) {
  menuPopupSound_ = popup_wav;
  menuCommandSound_ = command_wav;
}

void TForm1::repaint_skin() { SkinForm1->repaint(); }

std::string TForm1::load_skin_file(const std::string& path) { return SkinForm1->load_skin_file(path); }

std::string TForm1::load_default_skin() { return SkinForm1->load_default_skin(); }

void TForm1::set_key_colour(ColourValue colour) { SkinForm1->KeyColor = colour; }

void TForm1::show_main_window() {
  showNormal();
  raise();
  activateWindow();
}

}  // namespace cirrodex
