#include "app/program.h"

#include <QCoreApplication>
#include <QFile>
#include <QScreen>

#include "app/core/commands.h"
#include "app/core/sound_effects.h"
#include "app/core/window_place.h"
#include "app/window_commands.h"
#include "conditions/derive_readings.h"
#include "conditions/icon_painter.h"
#include "conditions/spoken_temperature.h"
#include "conditions/stats_log.h"
#include "conditions/taskbar_summary.h"
#include "conditions/temperature_alarm.h"
#include "conditions/version_check.h"
#include "locations/station_table.h"
#include "platform/canberra_sound.h"
#include "platform/curl_http.h"
#include "platform/curl_mail.h"
#include "platform/file_settings_store.h"
#include "platform/local_taskbar_channel.h"
#include "platform/paths.h"
#include "platform/qt/nm_dialup.h"
#include "platform/qt/online_detector.h"
#include "platform/qt/qt_date_format.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/qt_tray.h"
#include "platform/qt/single_instance.h"
#include "platform/qt/system_proxy.h"
#include "resources/builtin.h"
#include "skins/skin_editor.h"

namespace cirrodex {

namespace {

// Downloads keep the window alive: paint, timers and commands run between
// the transfer's rounds.
void pump_events() { QCoreApplication::processEvents(QEventLoop::AllEvents, 20); }

// The port the caller gave, or a new real adapter kept in owned.
template <class Real, class Port, class... Args>
Port* given_or(Port* given, std::unique_ptr<Port>& owned, Args&&... args) {
  if (given != nullptr) return given;
  owned = std::make_unique<Real>(std::forward<Args>(args)...);
  return owned.get();
}

}  // namespace

struct Program::Adapters {
  std::unique_ptr<SettingsStore> settings, moon_place;
  std::unique_ptr<LoadedServices> services;
  std::unique_ptr<Host> host;
  std::unique_ptr<Clock> clock;
  std::unique_ptr<HttpTransfer> ipwHTTP1, ipwHTTP4cast, ickHTTP1;
  std::unique_ptr<Sound> sound;
  std::unique_ptr<Shell> shell;
  std::unique_ptr<Tray> tray;
  std::unique_ptr<DialUp> dialup;
  std::unique_ptr<OnlineDetector> online;
  std::unique_ptr<TaskbarChannel> taskbar;
  std::unique_ptr<AppendFile> files;
  std::unique_ptr<DateFormat> date_format;
  std::unique_ptr<Mail> mail;
};

ProgramPorts Program::complete(ProgramPorts p, Adapters& a, TForm1& window) {
  p.settings = given_or<FileSettingsStore>(p.settings, a.settings, settings_file_path());
  p.moon_place = given_or<FileSettingsStore>(p.moon_place, a.moon_place, config_dir() + "/Moontool.ini");
  if (p.services == nullptr) {
    a.services = std::make_unique<LoadedServices>(load_services(*builtin_resource("SERVICES", "CONF")));
    p.services = a.services.get();
  }
  p.host = given_or<QtHost>(p.host, a.host, &window, window);
  p.clock = given_or<SystemClock>(p.clock, a.clock);
  p.ipwHTTP1 = given_or<CurlHttpTransfer>(p.ipwHTTP1, a.ipwHTTP1, pump_events);
  p.ipwHTTP4cast = given_or<CurlHttpTransfer>(p.ipwHTTP4cast, a.ipwHTTP4cast, pump_events);
  if (p.ickHTTP1 == nullptr) {
    auto ick = std::make_unique<CurlHttpTransfer>(pump_events);
    ick->set_system_proxy(system_proxy_for);
    a.ickHTTP1 = std::move(ick);
    p.ickHTTP1 = a.ickHTTP1.get();
  }
  p.sound = given_or<CanberraSound>(p.sound, a.sound);
  p.shell = given_or<QtShell>(p.shell, a.shell);
  p.tray = given_or<QtTray>(p.tray, a.tray);
  p.dialup = given_or<NmDialUp>(p.dialup, a.dialup);
  p.online = given_or<SystemOnlineDetector>(p.online, a.online);
  p.taskbar = given_or<LocalTaskbarChannel>(p.taskbar, a.taskbar);
  p.files = given_or<PosixAppendFile>(p.files, a.files);
  p.date_format = given_or<QtDateFormat>(p.date_format, a.date_format);
  p.mail = given_or<CurlMail>(p.mail, a.mail, pump_events);
  return p;
}

Program::Program(std::string share_dir, ProgramPorts ports)
    : share_(std::move(share_dir)),
      adapters_(std::make_unique<Adapters>()),
      ports_(complete(ports, *adapters_, window_)),
      settings_(*ports_.settings, *ports_.host),
      services_(ports_.services->services),
      actions_(services_, *ports_.shell, *ports_.host),
      presets_(settings_, *ports_.host, window_),
      skins_(settings_, *ports_.host, window_, window_, share_),
      parser_(settings_, *ports_.host, window_, presets_, readings_, location_),
      retrieval_(settings_, *ports_.host, window_, *ports_.clock, services_,
                 {*ports_.ipwHTTP1, *ports_.ipwHTTP4cast, *ports_.ickHTTP1}, parser_, presets_, location_, state_),
      mail_status_(*ports_.host) {
  connection_ = std::make_unique<ConnectionManager>(
      settings_, *ports_.host, *ports_.dialup, *ports_.online, window_, state_,
      ConnectionHooks{[this] { retrieval_.abort_all_transfers(); }, [] { QCoreApplication::processEvents(); }});
  register_commands();
  window_.install_menus(actions_);
  connect_window();
  tray_ = std::make_unique<MainTrayIcon>(*ports_.tray, window_, window_.menus().menu(MenuName::TrayRight), settings_,
                                         *ports_.sound, share_);
  temperatureIcons_ = std::make_unique<TemperatureIcons>(
      *ports_.tray, settings_, *ports_.host, window_, readings_, draw_icon_picture,
      [this]() -> TCustomOnTray* { return tray_ ? tray_->icon() : nullptr; }, tray_->extra_icon_setup());
  connect_retrieval();
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

void Program::play_sound(std::string_view name) { play_sound_effect(settings_, *ports_.sound, name); }

void Program::register_commands() {
  MenuActions& a = actions_;
  // Options
  a.on(cmd::LoadSkin, [this] { load_skin_dialog(window_, skins_, share_); });
  a.on(cmd::LoadDefaultSkin, [this] { skins_.load_default_skin(); });
  a.on(cmd::RunSkinEditor, [this] {
    run_skin_editor(settings_, *ports_.host, *ports_.shell, {services_.value("skin_editor"), share_, data_dir()});
  });
  a.on(cmd::TaskBarHideYes, [this] { set_taskbar_hidden(window_, settings_, true); });
  a.on(cmd::TaskBarHideNo, [this] { set_taskbar_hidden(window_, settings_, false); });
  a.on(cmd::StayOnTopYes, [this] { set_stay_on_top(window_, true); });
  a.on(cmd::StayOnTopNo, [this] { set_stay_on_top(window_, false); });
  a.on(cmd::MinimizeToTray, [this] {
    if (TOnTray* icon = tray_->icon()) icon->set_shown(false);
    tray_->minimize_logic();
  });
  a.on(cmd::PrintStatsText, [this] { print_stats_text(window_, readings_, *ports_.host); });
  a.on(cmd::PrintStatsWindow, [this] { print_window(window_, *ports_.host); });
  a.on(cmd::ConnectionPreferences, [this] {
    if (connectPref_) raise_window(connectPref_.get());
  });
  a.on(cmd::DialDefault, [this] { connection_->dial_default_connection(); });
  a.on(cmd::HangUp, [this] { connection_->hang_up_command(); });
  // Get Stats
  a.on(cmd::SortLocations, [this] { presets_.rewrite_presets(location_.requested); });
  a.on(cmd::RemoveLocation, [this] { presets_.begin_removal(); });
  a.on(cmd::ClearLocations, [this] { presets_.clear_presets(); });
  a.on(cmd::AbortRetrieval, [this] { retrieval_.abort_all_transfers(); });
  a.on(cmd::ChooseLocation, [this] { choose_location(); });
  // Charts
  a.on(cmd::ViewLogFile, [this] { view_log_file(*ports_.files, *ports_.shell, *ports_.host); });
  // Help
  a.on(cmd::HelpContents, [this] { open_help(actions_, share_, 0); });
  a.on(cmd::WeatherFaq, [this] { open_help(actions_, share_, 1018); });
  a.on(cmd::Tips, [this] { show_tip_of_the_day(); });
  a.on(cmd::CheckUpdate, [this] {
    check_for_update([this](const std::string& url) { return retrieval_.fetch_text(url); }, services_, *ports_.host);
  });
  a.on(cmd::About, [this] {
    if (!about_) return;
    about_->refresh_resources();
    raise_window(about_.get());
  });
  a.on(cmd::Disclaimer,
       [this] { ports_.host->message_box(std::string(kDisclaimer), MessageKind::Information, MessageButtons::Ok); });
  a.on(cmd::ClearAllSettings, [this] { clear_all_settings(settings_, *ports_.host); });
  // The window's own menu and the icon's.
  a.on(cmd::Minimize, [this] { window_.showMinimized(); });
  a.on(cmd::Exit, [this] { window_.close(); });
  a.on(cmd::Restore, [this] { tray_->restore_window(); });
  a.on(cmd::RestoreDefaultSkin, [this] {
    skins_.load_default_skin();
    tray_->restore_window();
  });
  a.on(cmd::HideWindow, [this] { tray_->minimize_logic(); });
}

void Program::connect_window() {
  QObject::connect(window_.SkinForm1, &TSkinForm::OnSkinChanged, [this] { skins_.apply_skin_extras(std::nullopt); });
  QObject::connect(window_.SkinForm1, &TSkinForm::gifNotSupported, [this] {
    ports_.host->message_box("Please enable GIF support!", MessageKind::Warning, MessageButtons::Ok);
  });
  QObject::connect(&window_, &TForm1::helpRequested, [this] { open_help(actions_, share_, 0); });
  QObject::connect(&window_, &TForm1::closing, [this] { exit_sequence(); });
  QObject::connect(&window_, &TForm1::minimizeRequested, [this] { tray_->minimize_logic(); });
  // Every minimizing, by the window manager too, hides to the tray.
  QObject::connect(&window_, &TForm1::minimized, [this] { tray_->minimize_logic(); });
  QObject::connect(&window_, &TForm1::painted, [this] { apply_taskbar_state(window_, settings_); });
  QObject::connect(&window_, &TForm1::moonClicked, [this] {
    if (moon_) raise_window(moon_.get());
  });
  PopupMenus& menus = window_.menus();
  QObject::connect(&menus, &PopupMenus::presetClicked, [this](int, const QString& caption) {
    location_.requested = caption.toLatin1().toStdString();
    retrieval_.Get_the_Stats(true);
  });
  QObject::connect(&menus, &PopupMenus::opened, [this](MenuName name) {
    if (name == MenuName::Reports || name == MenuName::TrayRight) play_sound("sMnuP");
    play_menu_sound(settings_, *ports_.sound, window_.menu_popup_sound());
  });
  QObject::connect(&menus, &PopupMenus::chosen,
                   [this] { play_menu_sound(settings_, *ports_.sound, window_.menu_command_sound()); });
}

void Program::connect_retrieval() {
  RetrievalHooks& h = retrieval_.hooks;
  h.dial_if_needed = [this] { return connection_->dial_if_needed(); };
  h.hang_up = [this] { connection_->hang_up(); };
  h.check_connection = [this] { connection_->check_connection(); };
  h.lookup_station = [this](LocationContext& ctx) { return lookup_station(ctx, *ports_.host); };
  h.draw_moon = [this] { draw_moon(window_, *ports_.clock, *ports_.host, support_address(services_)); };
  h.derive_readings = [this] { derive_readings(readings_, settings_, window_, *ports_.host); };
  h.make_icons = [this] { temperatureIcons_->make_icons(); };
  h.speak_temperature = [this] {
    speak_temperature(readings_, *ports_.host, *ports_.sound, [this] { return retrieval_.closed(); });
  };
  h.write_log_record = [this] { write_log_record(); };
  h.check_temperature_alarm = [this] { check_temperature_alarm(); };
  h.send_taskbar_summary = [this] { send_taskbar_summary(window_, readings_, *ports_.taskbar); };
  // The main icon shows the conditions as soon as the parser has them.
  parser_.on_conditions = [this](const Readings& r) { tray_->show_conditions(r, ports_.clock->now().hour); };
  QObject::connect(&Timer1, &QTimer::timeout,
                   [this] { Timer1.setInterval(retrieval_.refresh_tick(Timer1.interval())); });
  QObject::connect(&Watcher, &QTimer::timeout, [this] {
    if (!retrieval_.watch_tick(Timer1.interval())) Watcher.stop();
  });
}

void Program::write_log_record() {
  const LocalDateTime now = ports_.clock->now();
  cirrodex::write_log_record(*ports_.files, *ports_.host, window_.caption(), log_stamp(*ports_.date_format, now),
                             readings_);
}

void Program::check_temperature_alarm() {
  AlarmPorts alarm{settings_, *ports_.host, window_, *ports_.sound, *ports_.mail, mail_status_, services_};
  cirrodex::check_temperature_alarm(readings_, alarm);
}

void Program::start() {
  // The main window is created first and its skin loaded; then the splash.
  skins_.start_up();
  // Visible from its creation, the main window is placed and shown before
  // the splash exists; the splash then sits on it.
  first_show();
  if (settings_.get("StartMinimized") != "y") {
    tip_.set_show_at_startup(tip_box_from_setting(settings_.get("ShowTips")));
    splash_.setWindowTitle(QStringLiteral("Cirrodex - Please wait"));
    splash_.show_beside(&window_);
  }
  // Windows that are not part of the program yet are absent; the gauge
  // still runs through every group.
  run_creation(
      creation_table(), [this](std::string_view name) { return create_window(name); },
      [this](int percent, bool paint_now) { splash_.set_progress(percent, paint_now); });
  QTimer::singleShot(200, &splash_, &QWidget::hide);
}

bool Program::create_window(std::string_view name) {
  Host& host = *ports_.host;
  if (name == "TfrmConnectPref") {
    ConnectionPrefsEffects effects;
    effects.set_connection_timeout = [this](int ms) { state_.connection_timeout_ms = ms; };
    effects.set_watcher_enabled = [this](bool on) {
      if (on)
        Watcher.start();
      else
        Watcher.stop();
    };
    effects.play_sound = [this](std::string_view sound) { play_sound(sound); };
    connectPref_ = std::make_unique<TfrmConnectPref>(settings_, host, *ports_.dialup, state_, std::move(effects));
    return true;
  }
  if (name == "Tfrm_more") {
    more_ = std::make_unique<Tfrm_more>(*ports_.clock, host, *ports_.moon_place, locale_month_names());
    return true;
  }
  if (name == "TfrmMoon") {
    moon_ = std::make_unique<TfrmMoon>(*ports_.clock, host, locale_month_names(), [this] {
      if (more_) raise_window(more_.get());
    });
    return true;
  }
  if (name == "TfrmAbout") {
    AboutWindowHooks hooks;
    hooks.site_url = services_.value("maker_web");
    hooks.support_mail = support_address(services_);
    hooks.open_address = [this](const std::string& url) { actions_.open_in_browser(url); };
    hooks.open_help = [this] { open_help(actions_, share_, 0); };
    hooks.closing_sound = [this] { play_sound("sOkay"); };
    about_ = std::make_unique<TfrmAbout>(std::move(hooks));
    return true;
  }
  return false;
}

void Program::first_show() {
  Host& host = *ports_.host;
  if (TOnTray* icon = tray_->icon()) icon->set_active(true);
  const QRect screen = window_.screen()->availableGeometry();
  const WindowPoint at = first_show_position(settings_, {window_.x(), window_.y()}, screen.x() + screen.width(),
                                             screen.y() + screen.height(), window_.width(), window_.height());
  window_.move(at.left, at.top);
  window_.repaint();
  const std::vector<std::string>& problems = ports_.services->problems;
  host.show_status(problems.empty() ? "Welcome to Cirrodex. Press F1 for help." : "Services file: " + problems.front());

  read_connection_timeout(settings_, host, state_);
  timer_startup.setInterval(startup_timer_interval(settings_, host));
  timer_startup.start();
  if (settings_.flag("AutoWarn") && settings_.get("WarningCycle") != kMissing) {
    TimerWarningCycle.setInterval(warning_cycle_interval(settings_, host, TimerWarningCycle.interval()));
    TimerWarningCycle.start();
  }
  presets_.load_presets();
  window_.show();
  draw_moon(window_, *ports_.clock, host, support_address(services_));
  window_.repaint();
  // The refresh timer's first tick; it sets its own interval from then on.
  Timer1.start();

  // The proxy settings of the transfer components; a bad ProxyPort is
  // reported like any other unexpected failure.
  try {
    connection_->process_proxy_info(retrieval_.proxy_ipwHTTP1, retrieval_.proxy_ipwHTTP4cast);
  } catch (const std::exception& e) {
    host.message_box(e.what(), MessageKind::Warning, MessageButtons::Ok);
  }
  read_running_flags(settings_, state_);
  if (state_.quiet_watch == "y") Watcher.start();
  const WallpaperCycle cycle = wallpaper_cycle(settings_, host, {TimerWallpaper.isActive(), TimerWallpaper.interval()});
  TimerWallpaper.setInterval(cycle.interval_ms);
  if (cycle.enabled)
    TimerWallpaper.start();
  else
    TimerWallpaper.stop();
  window_.repaint();
  play_sound("sMax");
}

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

void Program::choose_location() {
  if (!location_window_) {
    // Building the tree takes a moment: the please-wait window shows it.
    splash_.busy_while(&window_, [this] {
      LocationWindowHooks hooks;
      hooks.fetch = [this](const LocationContext& ctx) {
        location_ = ctx;
        retrieval_.fetch_location();
      };
      hooks.play_sound = [this](std::string_view name) { play_sound(name); };
      hooks.open_help = [this] { open_help(actions_, share_, 0); };
      location_window_ = std::make_unique<TfrmLocation>(LocationTree::builtin(), *ports_.host, std::move(hooks));
    });
  }
  raise_window(location_window_.get());
}

void Program::exit_sequence() {
  Host& host = *ports_.host;
  // Nothing may start from here on, and a download still unwinding below
  // this call (the close came through its event loop) ends quietly.
  for (QTimer* t : {&Timer1, &timer_startup, &Watcher, &TimerWallpaper, &TimerWarningCycle}) t->stop();
  retrieval_.close();
  // An alarm mail still waiting for its server would hold the exit for minutes.
  ports_.mail->abort();
  play_sound("sOkay");
  settings_.set("ShowTips", tip_.show_at_startup() ? "y" : "n");
  host.pause(250);
  retrieval_.abort_all_transfers();
  if (TOnTray* icon = tray_->icon()) icon->set_shown(false);
  save_window_geometry(settings_, window_.x(), window_.y(), window_.width(), window_.height());
  QFile::remove(QStringLiteral("Head.txt"));
  try {
    connection_->exit_hang_up();
  } catch (const std::exception&) {
    host.beep();
  }
  tip_.close();
  if (about_) about_->hide();
  for (QWidget* w : {static_cast<QWidget*>(moon_.get()), static_cast<QWidget*>(more_.get())})
    if (w) w->hide();
  temperatureIcons_->close();
  tray_->remove();
  host.pause(50);
}

}  // namespace cirrodex
