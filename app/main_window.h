#pragma once
// TForm1, the main window: a borderless window whose face is the skin
// (SkinForm1). Its text slots are the readings' display; the preset entries of
// "Get Stats" open from the skin's Locations button.

#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QWidget>
#include <array>

#include "platform/display.h"
#include "platform/preset_menu.h"
#include "skins/skin_form.h"
#include "skins/skin_setup.h"

namespace cirrodex {

class TForm1 final : public QWidget, public Display, public PresetMenu, public SkinExtrasTarget, public SkinComponent {
  Q_OBJECT
 public:
  explicit TForm1(QWidget* parent = nullptr);

  // Display
  void set_slot_text(const std::string& slot, const std::string& text) override;
  void set_caption(const std::string& caption) override;
  std::string caption() const override;
  // PresetMenu
  void set_preset_entry(int index, const std::string& caption, bool visible) override;
  // SkinExtrasTarget
  void place_online_indicator(int x, int y) override;
  void place_moon_picture(int x, int y) override;
  void set_menu_colour(MenuColourRole role, ColourValue colour) override;
  void set_menu_sounds(const std::string& popup_wav, const std::string& command_wav) override;
  void repaint_skin() override;
  // SkinComponent
  std::string load_skin_file(const std::string& path) override;
  std::string load_default_skin() override;
  void set_key_colour(ColourValue colour) override;
  void show_main_window() override;

  TSkinForm* SkinForm1 = nullptr;

 signals:
  void presetClicked(int index, const QString& caption);
  // The window is closing (closing is always allowed).
  void closing();
  void helpRequested();
  // Enter and the skin's minimize buttons: hide to the notification area.
  void minimizeRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void skinMouseDown(const QString& id, Qt::MouseButton button);
  void applyMenuColours();

  QFrame* ShapeOnline1 = nullptr;
  QLabel* ImgMoon = nullptr;
  QMenu* mnuGetStats = nullptr;
  std::array<QAction*, kPresetSlots> presetEntries_{};
  std::array<QColor, 4> menuColours_{};
  std::string menuPopupSound_, menuCommandSound_;
};

}  // namespace cirrodex
