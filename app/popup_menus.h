#pragma once
// The Qt pop-up menus built from the menu data: a title strip down the left
// side, the skin's colours, check marks, the 20 preset entries of Get Stats,
// and each item enabled exactly when the program can run it.

#include <QActionGroup>
#include <QFont>
#include <QMenu>
#include <QObject>
#include <array>
#include <map>
#include <string>
#include <vector>

#include "app/core/main_menus.h"
#include "app/core/menu_actions.h"
#include "platform/preset_menu.h"

namespace cirrodex {

// A pop-up menu with an optional title strip: a blue band down its left
// side with the title in white bold Arial, read from bottom to top.
class TitledMenu final : public QMenu {
  Q_OBJECT
 public:
  TitledMenu(bool strip, const QString& title, int points, QWidget* parent);
  int strip_width() const { return strip_ ? stripWidth_ : 0; }
  const QString& strip_title() const { return title_; }
  const QFont& strip_font() const { return font_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool strip_;
  QString title_;
  QFont font_;
  int stripWidth_ = 0;
};

class PopupMenus final : public QObject {
  Q_OBJECT
 public:
  PopupMenus(MenuActions& actions, QWidget* owner);

  TitledMenu* menu(MenuName name) const { return menus_.at(name); }
  // Which top menu this is, if it is one.
  std::optional<MenuName> name_of(const QMenu* menu) const;
  // The action of an item reached by captions (tests, keyboard routing).
  QAction* action(MenuName name, std::initializer_list<std::string_view> path) const;

  void set_preset_entry(int index, const std::string& caption, bool visible);
  // Marks the item of this command and clears the others of its group.
  void set_marked(std::string_view command);
  void set_colour(QPalette::ColorRole role, const QColor& colour);
  // Enables each item the program can run now.
  void refresh_enabled();

 signals:
  void presetClicked(int index, const QString& caption);
  // A top menu is about to open (its sounds play).
  void opened(MenuName name);
  // An item was chosen (the command sound plays).
  void chosen();

 private:
  void fill(QMenu* menu, const std::vector<MenuItem>& items);
  TitledMenu* make_menu(const MenuDef& def);

  MenuActions& actions_;
  QWidget* owner_;
  std::map<MenuName, TitledMenu*> menus_;
  std::vector<QMenu*> all_;
  std::vector<std::pair<QAction*, const MenuItem*>> items_;
  std::map<std::string, QActionGroup*> groups_;
  std::array<QAction*, kPresetSlots> presets_{};
};

}  // namespace cirrodex
