#include "app/popup_menus.h"

#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>

namespace cirrodex {

namespace {
QString latin1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }
}  // namespace

TitledMenu::TitledMenu(bool strip, const QString& title, int points, QWidget* parent)
    : QMenu(parent), strip_(strip), title_(title) {
  // Arial where it is installed; fontconfig gives its metric twin otherwise.
  font_ = QFont(QStringLiteral("Arial"), points, QFont::Bold);
  if (strip_) {
    stripWidth_ = QFontMetrics(font_).height() + 6;
    setContentsMargins(stripWidth_, 0, 0, 0);
  }
}

void TitledMenu::paintEvent(QPaintEvent* event) {
  QMenu::paintEvent(event);
  if (!strip_) return;
  QPainter painter(this);
  const QRect band(0, 0, stripWidth_, height());
  QLinearGradient gradient(band.bottomLeft(), band.topLeft());
  gradient.setColorAt(0, QColor(0, 0, 128));
  gradient.setColorAt(1, QColor(16, 132, 208));
  painter.fillRect(band, gradient);
  if (title_.isEmpty()) return;
  painter.setPen(Qt::white);
  painter.setFont(font_);
  painter.translate(0, height());
  painter.rotate(-90);
  painter.drawText(QRect(8, 0, height() - 16, stripWidth_), Qt::AlignLeft | Qt::AlignVCenter, title_);
}

PopupMenus::PopupMenus(MenuActions& actions, QWidget* owner) : QObject(owner), actions_(actions), owner_(owner) {
  for (const MenuDef& def : main_menus()) menus_[def.name] = make_menu(def);
  refresh_enabled();
}

TitledMenu* PopupMenus::make_menu(const MenuDef& def) {
  auto* menu = new TitledMenu(def.strip, latin1(def.title), def.title_points, owner_);
  menu->setObjectName(latin1(def.key));
  menu->setWindowTitle(latin1(def.key));  // names the pop-up window for the desktop's tools
  all_.push_back(menu);
  fill(menu, def.items);
  const MenuName name = def.name;
  connect(menu, &QMenu::aboutToShow, this, [this, name] {
    refresh_enabled();
    emit opened(name);
  });
  return menu;
}

void PopupMenus::fill(QMenu* menu, const std::vector<MenuItem>& items) {
  for (const MenuItem& item : items) {
    switch (item.kind) {
      case ItemKind::Separator:
        menu->addSeparator();
        break;
      case ItemKind::Submenu: {
        auto* sub = new TitledMenu(false, {}, 16, menu);
        sub->setTitle(latin1(item.caption));
        all_.push_back(sub);
        fill(sub, item.children);
        menu->addMenu(sub);
        break;
      }
      case ItemKind::Presets:
        for (std::size_t i = 0; i < presets_.size(); ++i) {
          QAction* entry = menu->addAction(QString());
          entry->setVisible(false);
          connect(entry, &QAction::triggered, this, [this, i, entry] {
            emit chosen();
            emit presetClicked(static_cast<int>(i), entry->data().toString());
          });
          presets_[i] = entry;
        }
        break;
      default: {
        QAction* action = menu->addAction(latin1(item.caption));
        const MenuItem* data = &item;  // the menu data lives as long as the program
        items_.emplace_back(action, data);
        if (!item.mark_group.empty()) {
          QActionGroup*& group = groups_[item.mark_group];
          if (group == nullptr) group = new QActionGroup(this);
          action->setCheckable(true);
          action->setChecked(item.marked);
          group->addAction(action);
        }
        connect(action, &QAction::triggered, this, [this, data] {
          emit chosen();
          actions_.run(*data);
        });
        break;
      }
    }
  }
}

std::optional<MenuName> PopupMenus::name_of(const QMenu* menu) const {
  for (const auto& [name, m] : menus_)
    if (m == menu) return name;
  return std::nullopt;
}

QAction* PopupMenus::action(MenuName name, std::initializer_list<std::string_view> path) const {
  QMenu* level = menus_.at(name);
  QAction* found = nullptr;
  for (std::string_view caption : path) {
    if (level == nullptr) return nullptr;
    found = nullptr;
    const QString wanted = QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size()));
    for (QAction* a : level->actions())
      if (a->text() == wanted) found = a;
    if (found == nullptr) return nullptr;
    level = found->menu();
  }
  return found;
}

void PopupMenus::set_preset_entry(int index, const std::string& caption, bool visible) {
  QAction* entry = presets_.at(static_cast<std::size_t>(index));
  // A location shows its "&" as it is, not as an access key.
  entry->setText(latin1(caption).replace(QLatin1Char('&'), QStringLiteral("&&")));
  entry->setData(latin1(caption));
  entry->setVisible(visible);
}

void PopupMenus::set_marked(std::string_view command) {
  for (const auto& [action, item] : items_)
    if (item->kind == ItemKind::Command && item->target == command && action->isCheckable()) action->setChecked(true);
}

void PopupMenus::set_colour(QPalette::ColorRole role, const QColor& colour) {
  // The background serves every state; text colours only the enabled one,
  // so disabled items keep the style's grey.
  const bool text = role != QPalette::Window;
  const QPalette::ColorGroup groups[] = {QPalette::Active, QPalette::Inactive, QPalette::Disabled};
  for (QMenu* menu : all_) {
    QPalette palette = menu->palette();
    for (const QPalette::ColorGroup group : groups) {
      if (text && group == QPalette::Disabled) continue;
      palette.setColor(group, role, colour);
      // Styles paint menus from more than one role; keep them in step.
      if (role == QPalette::Window) palette.setColor(group, QPalette::Base, colour);
      if (role == QPalette::WindowText) {
        palette.setColor(group, QPalette::Text, colour);
        palette.setColor(group, QPalette::ButtonText, colour);
      }
    }
    menu->setPalette(palette);
  }
}

void PopupMenus::refresh_enabled() {
  for (const auto& [action, item] : items_) action->setEnabled(actions_.available(*item));
}

}  // namespace cirrodex
