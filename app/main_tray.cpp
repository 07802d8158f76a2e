#include "app/main_tray.h"

#include <QIcon>

#include "app/core/conditions_icon.h"
#include "app/core/sound_effects.h"
#include "conditions/condition_picture.h"
#include "platform/qt/qt_tray.h"
#include "platform/qt/single_instance.h"

namespace cirrodex {

MainTrayIcon::MainTrayIcon(Tray& shell, TForm1& window, QMenu* right_menu, Settings& settings, Sound& sound,
                           const std::string& share_dir)
    : window_(window), settings_(settings), sound_(sound) {
  TrayOwner owner;
  owner.application_window = [this](AppWindowAction action) {
    switch (action) {
      case AppWindowAction::Show:
        window_.show();
        window_.setWindowState(window_.windowState() & ~Qt::WindowMinimized);
        break;
      case AppWindowAction::Hide:
        window_.hide();
        break;
      case AppWindowAction::Minimize:
        window_.showMinimized();
        break;
    }
  };
  owner.bring_to_front = [this] { raise_window(&window_); };
  owner.make_foreground = [this] {
    if (window_.isVisible()) window_.activateWindow();
  };
  owner.play_sound = [this](const std::string& name) { play_sound_effect(settings_, sound_, name); };
  owner_ = owner;
  programPicture_ = QtTray::to_picture(
      QIcon::fromTheme(QStringLiteral("cirrodex"), QIcon(QString::fromStdString(share_dir + "/icons/cirrodex-16.png")))
          .pixmap(16, 16)
          .toImage());
  icon_ = std::make_unique<TOnTray>(shell, 0, owner);
  icon_->set_tip("Cirrodex");
  icon_->set_picture(programPicture_);
  icon_->right_menu = [right_menu](TrayPoint at) {
    if (right_menu) right_menu->popup(QPoint(at.x, at.y));
  };
  icon_->set_restore_on_left(true);
  icon_->set_shown(true);
  icon_->set_active(true);

  for (int i = 0; i < kConditionPictureCount; ++i) {
    const auto png = condition_picture_png(i);
    QImage image;
    if (png) image.loadFromData(reinterpret_cast<const uchar*>(png->data()), static_cast<int>(png->size()), "PNG");
    conditionPictures_.push_back(QtTray::to_picture(image));
  }
}

void MainTrayIcon::minimize_logic() {
  // Hiding minimizes the window too, which comes back here.
  if (minimizing_ || !icon_) return;
  minimizing_ = true;
  play_sound_effect(settings_, sound_, "sMin");
  icon_->set_shown(false);
  minimizing_ = false;
}

void MainTrayIcon::restore_window() {
  play_sound_effect(settings_, sound_, "sMax");
  if (icon_) icon_->set_shown(true);
  raise_window(&window_);
}

void MainTrayIcon::show_conditions(const Readings& r, int local_hour) {
  if (icon_) show_conditions_on_icon(*icon_, conditionPictures_, r, local_hour);
}

ExtraIconSetup MainTrayIcon::extra_icon_setup() const {
  ExtraIconSetup setup;
  setup.program_picture = programPicture_;
  setup.owner = owner_;
  if (icon_) setup.right_menu = icon_->right_menu;
  return setup;
}

void MainTrayIcon::remove() {
  icon_.reset();  // removes it from the notification area
}

}  // namespace cirrodex
