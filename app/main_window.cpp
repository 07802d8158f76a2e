#include "app/main_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPalette>

namespace cirrodex {

namespace {
QString latin1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }
}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
  setWindowTitle(QStringLiteral("Cirrodex"));
  SkinForm1 = new TSkinForm(this);
  SkinForm1->KeyColor = kClFuchsia;
  SkinForm1->Tolerance = kClBlack;

  ShapeOnline1 = new QFrame(this);
  ShapeOnline1->setFixedSize(9, 9);
  ShapeOnline1->setStyleSheet(QStringLiteral("background: red; border: 1px solid black;"));
  ImgMoon = new QLabel(this);
  ImgMoon->setFixedSize(50, 50);

  mnuGetStats = new QMenu(QStringLiteral("Get Stats"), this);
  for (std::size_t i = 0; i < presetEntries_.size(); ++i) {
    QAction* entry = mnuGetStats->addAction(QString());
    entry->setVisible(false);
    connect(entry, &QAction::triggered, this,
            [this, i, entry] { emit presetClicked(static_cast<int>(i), entry->data().toString()); });
    presetEntries_[i] = entry;
  }
  connect(SkinForm1, &TSkinForm::OnMouseDownNotify, this,
          [this](const QString& id, Qt::MouseButton button, Qt::KeyboardModifiers, int, int) {
            skinMouseDown(id, button);
          });
}

void TForm1::skinMouseDown(const QString& id, Qt::MouseButton button) {
  if (button != Qt::LeftButton) return;
  if (id == QLatin1String("BUTTON_EXIT")) {
    close();
  } else if (id == QLatin1String("BUTTON_MINIMIZE") || id == QLatin1String("BUTTON_MINBTN")) {
    emit minimizeRequested();
  } else if (id == QLatin1String("BUTTON_LOCATIONS")) {
    mnuGetStats->popup(mapToGlobal(QPoint(5, 25)));
  }
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
  } else if (alt && (event->key() == Qt::Key_G || event->key() == Qt::Key_L)) {
    // Menus open with their corner 5 right of and 25 below the window's corner.
    mnuGetStats->popup(mapToGlobal(QPoint(5, 25)));
  } else {
    return;  // no other key does anything
  }
  event->accept();
}

void TForm1::set_slot_text(const std::string& slot, const std::string& text) { SkinForm1->SetDisplayText(slot, text); }

void TForm1::set_caption(const std::string& caption) { setWindowTitle(latin1(caption)); }

std::string TForm1::caption() const { return windowTitle().toLatin1().toStdString(); }

void TForm1::set_preset_entry(int index, const std::string& caption, bool visible) {
  QAction* entry = presetEntries_.at(static_cast<std::size_t>(index));
  // "&" marks an access key in menu texts; a location shows it as it is.
  entry->setText(latin1(caption).replace(QLatin1Char('&'), QStringLiteral("&&")));
  entry->setData(latin1(caption));
  entry->setVisible(visible);
}

void TForm1::place_online_indicator(int x, int y) {
  ShapeOnline1->move(x, y);
  ShapeOnline1->raise();
}

void TForm1::place_moon_picture(int x, int y) { ImgMoon->move(x, y); }

void TForm1::set_menu_colour(MenuColourRole role, ColourValue colour) {
  const Rgb rgb = colour_rgb(colour);
  menuColours_.at(static_cast<std::size_t>(role)) = QColor(rgb.r, rgb.g, rgb.b);
  applyMenuColours();
}

void TForm1::applyMenuColours() {
  QPalette palette = mnuGetStats->palette();
  const std::pair<MenuColourRole, QPalette::ColorRole> roles[] = {
      {MenuColourRole::Background, QPalette::Window},
      {MenuColourRole::Text, QPalette::WindowText},
      {MenuColourRole::Highlight, QPalette::Highlight},
      {MenuColourRole::HighlightText, QPalette::HighlightedText},
  };
  for (const auto& [mine, qt] : roles) {
    const QColor c = menuColours_.at(static_cast<std::size_t>(mine));
    if (c.isValid()) palette.setColor(qt, c);
  }
  palette.setColor(QPalette::Base, palette.color(QPalette::Window));
  palette.setColor(QPalette::Text, palette.color(QPalette::WindowText));
  palette.setColor(QPalette::ButtonText, palette.color(QPalette::WindowText));
  mnuGetStats->setPalette(palette);
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
