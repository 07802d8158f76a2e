#pragma once
// TForm1, the main window. Until the skinned face arrives it shows the
// readings' slots as a plain form with the status line at the bottom; the
// preset entries of "Get Stats" are its right-click menu.

#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QWidget>
#include <array>

#include "platform/display.h"
#include "platform/preset_menu.h"

namespace cirrodex {

class TForm1 final : public QWidget, public Display, public PresetMenu {
  Q_OBJECT
 public:
  explicit TForm1(QWidget* parent = nullptr);

  void set_slot_text(const std::string& slot, const std::string& text) override;
  void set_caption(const std::string& caption) override;
  std::string caption() const override;
  void set_preset_entry(int index, const std::string& caption, bool visible) override;

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  QMap<QString, QLabel*> slots_;
  QMenu* mnuGetStats_ = nullptr;
  std::array<QAction*, kPresetSlots> presetEntries_{};
};

}  // namespace cirrodex
