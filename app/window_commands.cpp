#include "app/window_commands.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>

#include "app/printing.h"
#include "conditions/printed_stats.h"
#include "moon/moon_picture.h"
#include "platform/paths.h"
#include "platform/qt/window_states.h"

namespace cirrodex {

void set_taskbar_hidden(TForm1& window, Settings& settings, bool hidden) {
  set_skip_taskbar(&window, hidden);
  settings.set("TaskBarHide", hidden ? "y" : "");
  window.menus().set_marked(hidden ? cmd::TaskBarHideYes : cmd::TaskBarHideNo);
  if (!hidden) window.showNormal();
}

void apply_taskbar_state(TForm1& window, Settings& settings) {
  if (!settings.flag("TaskBarHide")) return;
  set_skip_taskbar(&window, true);
  window.menus().set_marked(cmd::TaskBarHideYes);
}

void set_stay_on_top(TForm1& window, bool on) {
  set_stays_on_top(&window, on);
  window.menus().set_marked(on ? cmd::StayOnTopYes : cmd::StayOnTopNo);
}

void print_window(TForm1& window, Host& host) {
  const QImage image = window.grab().toImage();
  QPrinter printer;
  QPrintDialog dialog(&printer, &window);
  dialog.setWindowTitle(QStringLiteral("Print Stats Window"));
  if (dialog.exec() != QDialog::Accepted) return;
  if (const std::string problem = print_image(printer, image); !problem.empty()) {
    host.beep();
    host.show_status(problem);
  }
}

void print_stats_text(TForm1& window, const Readings& r, Host& host) {
  QPrinter printer;
  QPrintDialog dialog(&printer, &window);
  dialog.setWindowTitle(QStringLiteral("Print Stats as Text"));
  if (dialog.exec() != QDialog::Accepted) return;
  const std::string problem =
      print_text_lines(printer, printed_stats_lines(window.caption(), r), kPrintedStatsPointSize);
  if (!problem.empty()) {
    host.beep();
    host.show_status(problem);
  }
}

void load_skin_dialog(TForm1& window, SkinSetup& skins, const std::string& share_dir) {
  const std::string own = data_dir() + "/Skins";
  make_dirs(own);
  const std::vector<std::string> folders = skin_folders(share_dir, data_dir());
  QFileDialog dialog(&window, QStringLiteral("Load a Skin"),
                     QString::fromStdString(folders.empty() ? own : folders.front()),
                     QStringLiteral("Skin Files (*.ini)"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  // Qt's own dialog shows every skin folder in its side bar.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  QList<QUrl> sidebar;
  for (const std::string& folder : folders) sidebar << QUrl::fromLocalFile(QString::fromStdString(folder));
  dialog.setSidebarUrls(sidebar);
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
    skins.load_skin(QFile::encodeName(dialog.selectedFiles().front()).toStdString());
  // The data files are bare names in the data folder.
  QDir::setCurrent(QString::fromStdString(data_dir()));
}

void draw_moon(TForm1& window, Clock& clock, Host& host, const std::string& support_address) {
  const auto result = moon::draw_moon_picture(clock, host, support_address);
  if (!result.number) return;
  const auto png = moon::moon_picture_png(*result.number);
  QPixmap picture;
  if (png && picture.loadFromData(reinterpret_cast<const uchar*>(png->data()), static_cast<uint>(png->size()), "PNG"))
    window.set_moon_picture(picture);
}

}  // namespace cirrodex
