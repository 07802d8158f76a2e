#pragma once
// TForm1, the main window: a borderless window whose face is the skin
// (SkinForm1). Its text slots are the readings' display; its commands are the
// pop-up menus that the skin's buttons, the Alt keys and right clicks open.

#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QWidget>
#include <memory>

#include "app/core/menu_actions.h"
#include "app/popup_menus.h"
#include "platform/dialup.h"
#include "platform/display.h"
#include "platform/preset_menu.h"
#include "skins/skin_form.h"
#include "skins/skin_setup.h"

namespace cirrodex {

class TForm1 final : public QWidget,
                     public Display,
                     public PresetMenu,
                     public SkinExtrasTarget,
                     public SkinComponent,
                     public OnlineIndicator {
  Q_OBJECT
 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // Builds the pop-up menus over the program's commands (once, before the
  // window is first shown).
  void install_menus(MenuActions& actions);
  PopupMenus& menus() { return *menus_; }
  // Opens a bar menu with its corner at a screen point.
  void open_menu(MenuName name, QPoint at);
  // The bar menu that is open now, if any.
  std::optional<MenuName> open_bar_menu() const;

  // Display
  void set_slot_text(const std::string& slot, const std::string& text) override;
  void set_caption(const std::string& caption) override;
  std::string caption() const override;
  // PresetMenu
  void set_preset_entry(int index, const std::string& caption, bool visible) override;
  // SkinExtrasTarget
  void place_online_indicator(int x, int y) override;
  void place_moon_picture(int x, int y) override;
  // The moon picture (50 x 50) shown at the skin's moon position.
  void set_moon_picture(const QPixmap& picture);
  QLabel* moon_picture() const { return ImgMoon; }
  void set_menu_colour(MenuColourRole role, ColourValue colour) override;
  void set_menu_sounds(const std::string& popup_wav, const std::string& command_wav) override;
  void repaint_skin() override;
  // SkinComponent
  std::string load_skin_file(const std::string& path) override;
  std::string load_default_skin() override;
  void set_key_colour(ColourValue colour) override;
  void show_main_window() override;
  // OnlineIndicator: ShapeOnline1, lime online and red offline.
  void set_online(bool online) override;
  void bring_to_front() override { ShapeOnline1->raise(); }

  const std::string& menu_popup_sound() const { return menuPopupSound_; }
  const std::string& menu_command_sound() const { return menuCommandSound_; }

  TSkinForm* SkinForm1 = nullptr;

 signals:
  // The window is closing (closing is always allowed).
  void closing();
  void helpRequested();
  // Enter and the skin's minimize buttons: hide to the notification area.
  void minimizeRequested();
  // The window was minimized by any means (the window manager, a command).
  void minimized();
  // The skin's forecast button.
  void forecastPageRequested();
  // Painted or resized: the task-bar state is applied again.
  void painted();
  // A left click on the moon picture.
  void moonClicked();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void skinMouseDown(const QString& id, Qt::MouseButton button, QPoint at);
  void slideFrom(MenuName open, QPoint global);

  QFrame* ShapeOnline1 = nullptr;
  QLabel* ImgMoon = nullptr;
  std::unique_ptr<PopupMenus> menus_;
  std::array<std::pair<QPalette::ColorRole, QColor>, 4> menuColours_{};
  std::array<std::pair<std::string, bool>, kPresetSlots> presetCache_{};
  std::string menuPopupSound_, menuCommandSound_;
  QPointer<QMenu> openBar_;
};

}  // namespace cirrodex
