#include "app/program.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QIcon>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <filesystem>

#include "app/core/commands.h"
#include "app/core/conditions_icon.h"
#include "app/core/sound_effects.h"
#include "app/core/window_place.h"
#include "app/printing.h"
#include "conditions/condition_picture.h"
#include "conditions/derive_readings.h"
#include "conditions/taskbar_summary.h"
#include "locations/station_table.h"
#include "moon/moon_picture.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/qt/single_instance.h"
#include "platform/qt/system_proxy.h"
#include "platform/qt/window_states.h"
#include "platform/text.h"
#include "resources/builtin.h"

namespace cirrodex {

namespace {

// Downloads keep the window alive: paint, timers and commands run between
// the transfer's rounds.
void pump_events() { QCoreApplication::processEvents(QEventLoop::AllEvents, 20); }

}  // namespace

Program::Program(std::string share_dir)
    : share_(std::move(share_dir)),
      store_(settings_file_path()),
      host_(&window_, window_),
      settings_(store_, host_),
      loaded_(load_services(*builtin_resource("SERVICES", "CONF"))),
      services_(loaded_.services),
      actions_(services_, shell_, host_),
      presets_(settings_, host_, window_),
      skins_(settings_, host_, window_, window_, share_),
      ipwHTTP1(pump_events),
      ipwHTTP4cast(pump_events),
      ickHTTP1(pump_events),
      parser_(settings_, host_, window_, presets_, readings_, location_),
      retrieval_(settings_, host_, window_, clock_, services_, {ipwHTTP1, ipwHTTP4cast, ickHTTP1}, parser_, presets_,
                 location_, state_),
      moonPlaceFile_(config_dir() + "/Moontool.ini") {
  QObject::connect(window_.SkinForm1, &TSkinForm::OnSkinChanged, [this] { skins_.apply_skin_extras(std::nullopt); });
  QObject::connect(window_.SkinForm1, &TSkinForm::gifNotSupported, [this] {
    host_.message_box("Please enable GIF support!", MessageKind::Warning, MessageButtons::Ok);
  });
  QObject::connect(&window_, &TForm1::helpRequested, [this] { open_help(0); });
  QObject::connect(&window_, &TForm1::closing, [this] { exit_sequence(); });
  QObject::connect(&window_, &TForm1::minimizeRequested, [this] { minimize_logic(); });
  // Every minimizing, by the window manager too, hides to the tray.
  QObject::connect(&window_, &TForm1::minimized, [this] { minimize_logic(); });
  QObject::connect(&window_, &TForm1::painted, [this] { apply_taskbar_state(); });
  QObject::connect(&window_, &TForm1::moonClicked, [this] {
    if (moon_) raise_window(moon_.get());
  });

  connection_ = std::make_unique<ConnectionManager>(
      settings_, host_, dialup_, detector_, window_, state_,
      ConnectionHooks{[this] { retrieval_.abort_all_transfers(); }, [] { QCoreApplication::processEvents(); }});
  register_commands();
  connect_retrieval();
  window_.install_menus(actions_);
  PopupMenus& menus = window_.menus();
  QObject::connect(&menus, &PopupMenus::presetClicked,
                   [this](int, const QString& caption) { preset_clicked(caption.toLatin1().toStdString()); });
  QObject::connect(&menus, &PopupMenus::opened, [this](MenuName name) {
    if (name == MenuName::Reports || name == MenuName::TrayRight) play_sound_effect(settings_, sound_, "sMnuP");
    play_menu_sound(window_.menu_popup_sound());
  });
  QObject::connect(&menus, &PopupMenus::chosen, [this] { play_menu_sound(window_.menu_command_sound()); });

  make_tray_icon();
  // The timers with their first intervals; each one's work is connected by
  // the part of the program that owns it.
  Timer1.setInterval(4000);
  timer_startup.setInterval(4000);
  Watcher.setInterval(30000);
  TimerWallpaper.setInterval(14400000);
  TimerWarningCycle.setInterval(100000);
  QObject::connect(&timer_startup, &QTimer::timeout, [this] { startup_tick(settings_, *this); });
}

Program::~Program() = default;

void Program::register_commands() {
  MenuActions& a = actions_;
  // Options
  a.on(cmd::LoadSkin, [this] { load_skin_dialog(); });
  a.on(cmd::LoadDefaultSkin, [this] { skins_.load_default_skin(); });
  a.on(cmd::RunSkinEditor, [this] { run_skin_editor(); });
  a.on(cmd::TaskBarHideYes, [this] { set_taskbar_hidden(true); });
  a.on(cmd::TaskBarHideNo, [this] { set_taskbar_hidden(false); });
  a.on(cmd::StayOnTopYes, [this] { set_stay_on_top(true); });
  a.on(cmd::StayOnTopNo, [this] { set_stay_on_top(false); });
  a.on(cmd::MinimizeToTray, [this] {
    icon_->set_shown(false);
    minimize_logic();
  });
  a.on(cmd::PrintStatsWindow, [this] { print_window(); });
  a.on(cmd::ConnectionPreferences, [this] {
    if (!connectPref_) return;
    connectPref_->show();
    connectPref_->raise();
    connectPref_->activateWindow();
  });
  a.on(cmd::DialDefault, [this] { connection_->dial_default_connection(); });
  a.on(cmd::HangUp, [this] { connection_->hang_up_command(); });
  // Get Stats
  a.on(cmd::SortLocations, [this] { presets_.rewrite_presets(location_.requested); });
  a.on(cmd::RemoveLocation, [this] { presets_.begin_removal(); });
  a.on(cmd::ClearLocations, [this] { presets_.clear_presets(); });
  a.on(cmd::AbortRetrieval, [this] { retrieval_.abort_all_transfers(); });
  // Help
  a.on(cmd::HelpContents, [this] { open_help(0); });
  a.on(cmd::WeatherFaq, [this] { open_help(1018); });
  a.on(cmd::Tips, [this] { show_tip_of_the_day(); });
  a.on(cmd::About, [this] { show_about(); });
  a.on(cmd::ChooseLocation, [this] { choose_location(); });
  a.on(cmd::Disclaimer,
       [this] { host_.message_box(std::string(kDisclaimer), MessageKind::Information, MessageButtons::Ok); });
  a.on(cmd::ClearAllSettings, [this] { clear_all_settings(settings_, host_); });
  // The window's own menu and the icon's.
  a.on(cmd::Minimize, [this] { window_.showMinimized(); });
  a.on(cmd::Exit, [this] { window_.close(); });
  a.on(cmd::Restore, [this] { restore_window(); });
  a.on(cmd::RestoreDefaultSkin, [this] {
    skins_.load_default_skin();
    restore_window();
  });
  a.on(cmd::HideWindow, [this] { minimize_logic(); });
}

void Program::start() {
  // The main window is created first and its skin loaded; then the splash.
  skins_.start_up();
  // Visible from its creation, the main window is placed and shown before
  // the splash exists; the splash then sits on it.
  first_show();
  const bool minimized = settings_.get("StartMinimized") == "y";
  if (!minimized) {
    tip_.set_show_at_startup(tip_box_from_setting(settings_.get("ShowTips")));
    splash_.setWindowTitle(QStringLiteral("Cirrodex - Please wait"));
    splash_.show_beside(&window_);
  }
  // Windows that are not part of the program yet are absent; the gauge
  // still runs through every group.
  run_creation(
      creation_table(),
      [this](std::string_view window) {
        if (window == "TfrmConnectPref") {
          ConnectionPrefsEffects effects;
          effects.set_connection_timeout = [this](int ms) { state_.connection_timeout_ms = ms; };
          effects.set_watcher_enabled = [this](bool on) {
            if (on)
              Watcher.start();
            else
              Watcher.stop();
          };
          effects.play_sound = [this](std::string_view name) {
            play_sound_effect(settings_, sound_, std::string(name));
          };
          connectPref_ = std::make_unique<TfrmConnectPref>(settings_, host_, dialup_, state_, std::move(effects));
          return true;
        }
        if (window == "Tfrm_more") {
          more_ = std::make_unique<Tfrm_more>(clock_, host_, moonPlaceFile_, locale_month_names());
          return true;
        }
        if (window == "TfrmMoon") {
          moon_ = std::make_unique<TfrmMoon>(clock_, host_, locale_month_names(), [this] {
            if (more_) raise_window(more_.get());
          });
          return true;
        }
        if (window != "TfrmAbout") return false;
        AboutWindowHooks hooks;
        hooks.site_url = services_.value("maker_web");
        hooks.support_mail = support_address();
        hooks.open_address = [this](const std::string& url) { actions_.open_in_browser(url); };
        hooks.open_help = [this] { open_help(0); };
        hooks.closing_sound = [this] { play_sound_effect(settings_, sound_, "sOkay"); };
        about_ = std::make_unique<TfrmAbout>(std::move(hooks));
        return true;
      },
      [this](int percent, bool paint_now) { splash_.set_progress(percent, paint_now); });
  QTimer::singleShot(200, &splash_, &QWidget::hide);
}

void Program::first_show() {
  icon_->set_active(true);
  const QRect screen = window_.screen()->availableGeometry();
  const WindowPoint at = first_show_position(settings_, {window_.x(), window_.y()}, screen.x() + screen.width(),
                                             screen.y() + screen.height(), window_.width(), window_.height());
  window_.move(at.left, at.top);
  window_.repaint();
  host_.show_status(loaded_.problems.empty() ? "Welcome to Cirrodex. Press F1 for help."
                                             : "Services file: " + loaded_.problems.front());

  read_connection_timeout(settings_, host_, state_);
  timer_startup.setInterval(startup_timer_interval(settings_, host_));
  timer_startup.start();
  if (settings_.flag("AutoWarn") && settings_.get("WarningCycle") != kMissing) {
    TimerWarningCycle.setInterval(warning_cycle_interval(settings_, host_, TimerWarningCycle.interval()));
    TimerWarningCycle.start();
  }
  presets_.load_presets();
  window_.show();
  draw_moon();
  window_.repaint();
  // The refresh timer's first tick; it sets its own interval from then on.
  Timer1.start();

  // The proxy settings of the transfer components; a bad ProxyPort is
  // reported like any other unexpected failure.
  try {
    connection_->process_proxy_info(retrieval_.proxy_ipwHTTP1, retrieval_.proxy_ipwHTTP4cast);
  } catch (const std::exception& e) {
    host_.message_box(e.what(), MessageKind::Warning, MessageButtons::Ok);
  }
  read_running_flags(settings_, state_);
  if (state_.quiet_watch == "y") Watcher.start();
  const WallpaperCycle cycle =
      wallpaper_cycle(settings_, host_, {TimerWallpaper.isActive(), TimerWallpaper.interval()});
  TimerWallpaper.setInterval(cycle.interval_ms);
  if (cycle.enabled)
    TimerWallpaper.start();
  else
    TimerWallpaper.stop();
  window_.repaint();
  play_sound_effect(settings_, sound_, "sMax");
}

void Program::make_tray_icon() {
  QMenu* pmnRight = window_.menus().menu(MenuName::TrayRight);
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
  icon_->right_menu = [pmnRight](TrayPoint at) { pmnRight->popup(QPoint(at.x, at.y)); };
  icon_->set_restore_on_left(true);
  icon_->set_shown(true);
  icon_->set_active(true);
}

void Program::minimize_logic() {
  // Hiding minimizes the window too, which comes back here.
  if (minimizing_) return;
  minimizing_ = true;
  play_sound_effect(settings_, sound_, "sMin");
  icon_->set_shown(false);
  minimizing_ = false;
}

void Program::restore_window() {
  play_sound_effect(settings_, sound_, "sMax");
  icon_->set_shown(true);
  raise_window(&window_);
}

void Program::minimize_to_tray() { minimize_logic(); }

void Program::set_startup_timer_enabled(bool enabled) {
  if (enabled)
    timer_startup.start();
  else
    timer_startup.stop();
}

void Program::show_tip_of_the_day() {
  tip_.pick_random_tip();
  tip_.show();
  tip_.raise();
}

void Program::show_about() {
  if (!about_) return;
  about_->refresh_resources();
  about_->show();
  about_->raise();
  about_->activateWindow();
}

void Program::choose_location() {
  if (!location_window_) {
    // Building the tree takes a moment: the please-wait window shows it,
    // with its animation in place of the gauge.
    const QPoint home = splash_.pos();
    splash_.move(window_.x() + TfrmPleaseWait::kOffsetX, splash_.y());
    splash_.set_busy(true);
    splash_.show();
    splash_.repaint();
    LocationWindowHooks hooks;
    hooks.fetch = [this](const LocationContext& ctx) {
      location_ = ctx;
      retrieval_.fetch_location();
    };
    hooks.play_sound = [this](std::string_view name) { play_sound_effect(settings_, sound_, std::string(name)); };
    hooks.open_help = [this] { open_help(0); };
    location_window_ = std::make_unique<TfrmLocation>(LocationTree::builtin(), host_, std::move(hooks));
    splash_.set_busy(false);
    splash_.hide();
    splash_.move(home);
  }
  raise_window(location_window_.get());
}

std::string Program::support_address() const {
  std::string address = services_.value("maker_mail");
  if (text::lower(address).rfind("mailto:", 0) == 0) address.erase(0, 7);
  return address;
}

void Program::draw_moon() {
  const auto result = moon::draw_moon_picture(clock_, host_, support_address());
  if (!result.number) return;
  const auto png = moon::moon_picture_png(*result.number);
  QPixmap picture;
  if (png && picture.loadFromData(reinterpret_cast<const uchar*>(png->data()), static_cast<uint>(png->size()), "PNG"))
    window_.set_moon_picture(picture);
}

void Program::play_menu_sound(const std::string& path) {
  if (!path.empty() && settings_.flag("playsounds") && !sound_.playing()) sound_.play_file(path);
}

void Program::open_help(int topic) {
  std::string page = help_topic_page(read_whole_file(share_ + "/help/topics.txt").bytes.value_or(""), topic);
  if (page.empty()) page = "index.html";
  actions_.open_in_browser(share_ + "/help/" + page);
}

void Program::load_skin_dialog() {
  const std::string own = data_dir() + "/Skins";
  make_dirs(own);
  const std::vector<std::string> folders = skin_folders(share_, data_dir());
  QFileDialog dialog(&window_, QStringLiteral("Load a Skin"),
                     QString::fromStdString(folders.empty() ? own : folders.front()),
                     QStringLiteral("Skin Files (*.ini)"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  // Qt's own dialog shows every skin folder in its side bar.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  QList<QUrl> sidebar;
  for (const std::string& folder : folders) sidebar << QUrl::fromLocalFile(QString::fromStdString(folder));
  dialog.setSidebarUrls(sidebar);
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
    skins_.load_skin(QFile::encodeName(dialog.selectedFiles().front()).toStdString());
  // The data files are bare names in the data folder.
  QDir::setCurrent(QString::fromStdString(data_dir()));
}

void Program::run_skin_editor() {
  namespace fs = std::filesystem;
  std::string ini = settings_.get("SkinFile");
  std::error_code error;
  if (ini == "default" || ini == kMissing || !fs::is_regular_file(ini, error)) {
    // The built-in skin is not a file: edit a copy in the user's Skins folder.
    const fs::path copy = fs::path(data_dir()) / "Skins" / "My Skin";
    if (!fs::exists(copy / "skin.ini", error)) {
      fs::create_directories(copy, error);
      fs::copy(fs::path(share_) / "skins" / "default", copy, fs::copy_options::recursive, error);
    }
    ini = (copy / "skin.ini").string();
    if (error || !fs::is_regular_file(ini, error)) {
      host_.beep();
      host_.show_status("Could not make a copy of the built-in skin to edit in " + copy.string());
      return;
    }
    host_.show_status("Editing a copy of the built-in skin: load it with Options > Skins > Load a Skin...");
  }
  const std::vector<std::string> words = split_command_line(services_.value("skin_editor"));
  if (!words.empty()) {
    std::vector<std::string> args(words.begin() + 1, words.end());
    args.push_back(ini);
    if (shell_.start_program(words.front(), args, folder_of(ini))) return;
    host_.show_status("Could not start the skin editor " + words.front() + "; opening skin.ini instead.");
  }
  if (!shell_.open_address(ini))
    host_.message_box("No text editor could be started for " + ini, MessageKind::Warning, MessageButtons::Ok);
}

void Program::set_taskbar_hidden(bool hidden) {
  set_skip_taskbar(&window_, hidden);
  settings_.set("TaskBarHide", hidden ? "y" : "");
  window_.menus().set_marked(hidden ? cmd::TaskBarHideYes : cmd::TaskBarHideNo);
  if (!hidden) window_.showNormal();
}

void Program::apply_taskbar_state() {
  if (!settings_.flag("TaskBarHide")) return;
  set_skip_taskbar(&window_, true);
  window_.menus().set_marked(cmd::TaskBarHideYes);
}

void Program::set_stay_on_top(bool on) {
  set_stays_on_top(&window_, on);
  window_.menus().set_marked(on ? cmd::StayOnTopYes : cmd::StayOnTopNo);
}

void Program::print_window() {
  const QImage image = window_.grab().toImage();
  QPrinter printer;
  QPrintDialog dialog(&printer, &window_);
  dialog.setWindowTitle(QStringLiteral("Print Stats Window"));
  if (dialog.exec() != QDialog::Accepted) return;
  if (const std::string problem = print_image(printer, image); !problem.empty()) {
    host_.beep();
    host_.show_status(problem);
  }
}

void Program::preset_clicked(const std::string& caption) {
  location_.requested = caption;
  retrieval_.Get_the_Stats(true);
}

void Program::connect_retrieval() {
  ickHTTP1.set_system_proxy(system_proxy_for);
  RetrievalHooks& h = retrieval_.hooks;
  h.dial_if_needed = [this] { return connection_->dial_if_needed(); };
  h.hang_up = [this] { connection_->hang_up(); };
  h.check_connection = [this] { connection_->check_connection(); };
  h.lookup_station = [this](LocationContext& ctx) { return lookup_station(ctx, host_); };
  h.draw_moon = [this] { draw_moon(); };
  h.derive_readings = [this] { derive_readings(readings_, settings_, window_, host_); };
  h.send_taskbar_summary = [this] { send_taskbar_summary(window_, readings_, taskbar_); };
  // The main icon shows the conditions as soon as the parser has them.
  for (int i = 0; i < kConditionPictureCount; ++i) {
    const auto png = condition_picture_png(i);
    QImage image;
    if (png) image.loadFromData(reinterpret_cast<const uchar*>(png->data()), static_cast<int>(png->size()), "PNG");
    conditionPictures_.push_back(QtTray::to_picture(image));
  }
  parser_.on_conditions = [this](const Readings& r) {
    show_conditions_on_icon(*icon_, conditionPictures_, r, clock_.now().hour);
  };
  QObject::connect(&Timer1, &QTimer::timeout,
                   [this] { Timer1.setInterval(retrieval_.refresh_tick(Timer1.interval())); });
  QObject::connect(&Watcher, &QTimer::timeout, [this] {
    if (!retrieval_.watch_tick(Timer1.interval())) Watcher.stop();
  });
}

void Program::exit_sequence() {
  for (HttpTransfer* t : {static_cast<HttpTransfer*>(&ipwHTTP1), static_cast<HttpTransfer*>(&ipwHTTP4cast)}) t->abort();
  play_sound_effect(settings_, sound_, "sOkay");
  settings_.set("ShowTips", tip_.show_at_startup() ? "y" : "n");
  host_.pause(250);
  retrieval_.abort_all_transfers();
  icon_->set_shown(false);
  save_window_geometry(settings_, window_.x(), window_.y(), window_.width(), window_.height());
  QFile::remove(QStringLiteral("Head.txt"));
  try {
    connection_->exit_hang_up();
  } catch (const std::exception&) {
    host_.beep();
  }
  tip_.close();
  if (about_) about_->hide();
  for (QWidget* w : {static_cast<QWidget*>(moon_.get()), static_cast<QWidget*>(more_.get())})
    if (w) w->hide();
  icon_.reset();  // removes it from the notification area
  host_.pause(50);
}

}  // namespace cirrodex
