// The program: one main window over the settings file in the config folder,
// working in the per-user data folder.
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <cerrno>
#include <cstring>

#include <QDesktopServices>
#include <QFile>
#include <QScreen>
#include <QUrl>

#include "app/main_window.h"
#include "app/settings.h"
#include "app/sound_effects.h"
#include "app/window_place.h"
#include "locations/presets.h"
#include "platform/canberra_sound.h"
#include "platform/file_settings_store.h"
#include "platform/paths.h"
#include "platform/qt/qt_host.h"
#include "platform/qt/single_instance.h"
#include "skins/skin_setup.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("cirrodex"));
  QApplication::setApplicationDisplayName(QStringLiteral("Cirrodex"));
  QGuiApplication::setDesktopFileName(QStringLiteral("cirrodex"));

  // A second start only brings the running copy to the front.
  cirrodex::SingleInstance instance;
  if (instance.claim(QStringLiteral("cirrodex"), QApplication::arguments()) == cirrodex::SingleInstance::Claim::Another)
    return 0;

  // Downloaded and written files are bare names in the working folder.
  const std::string data = cirrodex::data_dir();
  if (!cirrodex::make_dirs(data) || !QDir::setCurrent(QString::fromStdString(data))) {
    QMessageBox::critical(nullptr, QStringLiteral("Cirrodex"),
                          QStringLiteral("Cannot use the data folder %1: %2")
                              .arg(QString::fromStdString(data), QString::fromLocal8Bit(std::strerror(errno))));
    return 1;
  }

  cirrodex::FileSettingsStore store(cirrodex::settings_file_path());
  cirrodex::TForm1 window;
  cirrodex::QtHost host(&window, window);
  cirrodex::Settings settings(store, host);
  cirrodex::PresetList presets(settings, host, window);

  // The menu sounds of the built-in skin sit in share/cirrodex beside bin/.
  const std::string share = (QApplication::applicationDirPath() + QStringLiteral("/../share/cirrodex")).toStdString();
  cirrodex::SkinSetup skins(settings, host, window, window, share);
  QObject::connect(window.SkinForm1, &cirrodex::TSkinForm::OnSkinChanged,
                   [&skins] { skins.apply_skin_extras(std::nullopt); });
  QObject::connect(window.SkinForm1, &cirrodex::TSkinForm::gifNotSupported, [&host] {
    host.message_box("Please enable GIF support!", cirrodex::MessageKind::Warning, cirrodex::MessageButtons::Ok);
  });
  skins.start_up();

  QObject::connect(&instance, &cirrodex::SingleInstance::anotherInstanceStarted, &window,
                   [&window] { cirrodex::raise_window(&window); });

  cirrodex::CanberraSound sound;
  QObject::connect(&window, &cirrodex::TForm1::helpRequested, [&share] {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(share + "/help/index.html")));
  });
  QObject::connect(&window, &cirrodex::TForm1::closing, [&] {
    cirrodex::play_sound_effect(settings, sound, "sOkay");
    cirrodex::save_window_geometry(settings, window.x(), window.y(), window.width(), window.height());
    QFile::remove(QStringLiteral("Head.txt"));
  });

  const QRect screen = window.screen()->availableGeometry();
  const cirrodex::WindowPoint at =
      cirrodex::first_show_position(settings, {window.x(), window.y()}, screen.x() + screen.width(),
                                    screen.y() + screen.height(), window.width(), window.height());
  window.move(at.left, at.top);
  window.show();
  presets.load_presets();
  host.show_status("Welcome to Cirrodex. Your locations are under Locations; F1 opens the help.");
  cirrodex::play_sound_effect(settings, sound, "sMax");
  return QApplication::exec();
}
