#pragma once
// TSkinForm: the widget that makes its window a skin. It fills the window,
// gives it the mask's shape, paints the face and the display slots, shows
// pressed, hover and switch states, moves track-bar thumbs, lets the user
// drag the window by any point that is not a button, shows per-button
// tooltips and reports every mouse event with the ID under the mouse.

#include <QWidget>
#include <memory>
#include <optional>

#include "platform/colour.h"
#include "skins/skin.h"
#include "skins/skin_control.h"
#include "skins/skin_painter.h"

namespace cirrodex {

class TSkinForm final : public QWidget {
  Q_OBJECT
 public:
  explicit TSkinForm(QWidget* window);

  ColourValue KeyColor = kClWhite;
  ColourValue Tolerance = kClBlack;

  // Empty on success, else the reason; the old skin stays on failure.
  std::string load_skin_file(const std::string& path);
  std::string load_default_skin();

  // Stores the text in the first slot with that ID; an unknown ID changes nothing.
  void SetDisplayText(const std::string& id, const std::string& text);

  const HotArea* hot_area(const std::string& id) const;
  std::string hot_area_id(int index) const;
  // The ID of the button under a point of this widget ("" for none).
  std::string hot_area_id_at(QPoint point) const;
  void set_switch(const std::string& id, bool down);

  const Skin* skin() const { return skin_ ? &*skin_ : nullptr; }

 signals:
  void OnMouseDownNotify(const QString& id, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void OnMouseUpNotify(const QString& id, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void OnMouseMoveNotify(const QString& id, Qt::KeyboardModifiers shift, int x, int y);
  void OnTrackBarNotify(const QString& id, int position);
  void OnSkinChanged();
  // A picture named as a GIF was not loaded.
  void gifNotSupported();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  std::string install(SkinResult result);
  void handle(const MouseOutcome& outcome);

  std::optional<Skin> skin_;
  std::unique_ptr<SkinControl> control_;
  SkinImages images_;
  QRegion region_;
};

}  // namespace cirrodex
