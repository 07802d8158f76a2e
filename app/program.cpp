#include "app/program.h"

#include <QDesktopServices>
#include <QFile>
#include <QIcon>
#include <QScreen>
#include <QUrl>

#include "app/sound_effects.h"
#include "app/window_place.h"
#include "platform/paths.h"
#include "platform/qt/single_instance.h"
#include "platform/text.h"

namespace cirrodex {

Program::Program(std::string share_dir)
    : share_(std::move(share_dir)),
      store_(settings_file_path()),
      host_(&window_, window_),
      settings_(store_, host_),
      presets_(settings_, host_, window_),
      skins_(settings_, host_, window_, window_, share_) {
  QObject::connect(window_.SkinForm1, &TSkinForm::OnSkinChanged, [this] { skins_.apply_skin_extras(std::nullopt); });
  QObject::connect(window_.SkinForm1, &TSkinForm::gifNotSupported, [this] {
    host_.message_box("Please enable GIF support!", MessageKind::Warning, MessageButtons::Ok);
  });
  QObject::connect(&window_, &TForm1::helpRequested, [this] { open_help(); });
  QObject::connect(&window_, &TForm1::closing, [this] { exit_sequence(); });
  QObject::connect(&window_, &TForm1::minimizeRequested, [this] { minimize_logic(); });
  make_tray_icon();
  timer_startup_.setSingleShot(false);
  QObject::connect(&timer_startup_, &QTimer::timeout, [this] { startup_tick(settings_, *this); });
}

void Program::start() {
  // The main window is created first and its skin loaded; then the splash.
  skins_.start_up();
  const bool minimized = settings_.get("StartMinimized") == "y";
  if (!minimized) {
    tip_.set_show_at_startup(tip_box_from_setting(settings_.get("ShowTips")));
    splash_.setWindowTitle(QStringLiteral("Cirrodex - Please wait"));
    splash_.show_beside(&window_);
  }
  first_show();
  // Windows that are not part of the program yet are absent; the gauge
  // still runs through every group.
  run_creation(
      creation_table(), [](std::string_view) { return false; },
      [this](int percent, bool paint_now) { splash_.set_progress(percent, paint_now); });
  QTimer::singleShot(200, &splash_, &QWidget::hide);
}

void Program::first_show() {
  const QRect screen = window_.screen()->availableGeometry();
  const WindowPoint at = first_show_position(settings_, {window_.x(), window_.y()}, screen.x() + screen.width(),
                                             screen.y() + screen.height(), window_.width(), window_.height());
  window_.move(at.left, at.top);
  host_.show_status("Welcome to Cirrodex. Press F1 for help.");

  const auto pause = text::to_integer(settings_.get("PauseTime"));
  if (settings_.get("PauseTime") != kMissing && !pause) host_.beep();
  timer_startup_.setInterval(pause && *pause > 0 ? static_cast<int>(*pause) : 4000);
  timer_startup_.start();

  presets_.load_presets();
  window_.show();
  window_.repaint();
  play_sound_effect(settings_, sound_, "sMax");
}

void Program::make_tray_icon() {
  pmnRight_.addAction(QStringLiteral("&Restore Window..."), [this] { restore_window(); });
  pmnRight_.addAction(QStringLiteral("Restore Window with Default Skin"), [this] {
    skins_.load_default_skin();
    restore_window();
  });
  pmnRight_.addAction(QStringLiteral("&Hide Window..."), [this] { minimize_logic(); });
  // The warnings report arrives with the text reports.
  pmnRight_.addAction(QStringLiteral("View &Warnings && Advisories..."))->setEnabled(false);
  pmnRight_.addAction(QStringLiteral("E&xit"), [this] { window_.close(); });
  QObject::connect(&pmnRight_, &QMenu::aboutToShow, [this] { play_sound_effect(settings_, sound_, "sMnuP"); });

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
  icon_ = std::make_unique<TOnTray>(tray_, 0, owner);
  icon_->set_tip("Cirrodex");
  icon_->set_picture(QtTray::to_picture(
      QIcon::fromTheme(QStringLiteral("cirrodex"), QIcon(QString::fromStdString(share_ + "/icons/cirrodex-16.png")))
          .pixmap(16, 16)
          .toImage()));
  icon_->right_menu = [this](TrayPoint at) { pmnRight_.popup(QPoint(at.x, at.y)); };
  icon_->set_restore_on_left(true);
  icon_->set_shown(true);
  icon_->set_active(true);
}

void Program::minimize_logic() {
  play_sound_effect(settings_, sound_, "sMin");
  icon_->set_shown(false);
}

void Program::restore_window() {
  play_sound_effect(settings_, sound_, "sMax");
  icon_->set_shown(true);
  raise_window(&window_);
}

void Program::minimize_to_tray() { minimize_logic(); }

void Program::set_startup_timer_enabled(bool enabled) {
  if (enabled)
    timer_startup_.start();
  else
    timer_startup_.stop();
}

void Program::show_tip_of_the_day() {
  tip_.pick_random_tip();
  tip_.show();
  tip_.raise();
}

void Program::exit_sequence() {
  play_sound_effect(settings_, sound_, "sOkay");
  settings_.set("ShowTips", tip_.show_at_startup() ? "y" : "n");
  save_window_geometry(settings_, window_.x(), window_.y(), window_.width(), window_.height());
  QFile::remove(QStringLiteral("Head.txt"));
  tip_.close();
  icon_->set_shown(false);
  icon_.reset();  // removes it from the notification area
}

void Program::open_help() {
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(share_ + "/help/index.html")));
}

}  // namespace cirrodex
