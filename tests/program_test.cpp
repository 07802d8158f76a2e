// The running program offscreen, in folders of its own: the commands of its
// menus as a user reaches them, down to the settings file and the addresses
// handed to the desktop.
#include "app/program.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QTest>
#include <QUrl>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "app/application.h"
#include "app/printing.h"
#include "conditions/printed_stats.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace cirrodex {

// Stands in for the browser and the text editor.
class UrlRecorder : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> urls;
 public slots:
  void open(const QUrl& url) { urls << url; }
};

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::path(::testing::TempDir()) / ("program-" + std::to_string(::getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "config" / "cirrodex");
    ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
    make_dirs(data_dir());
    for (const char* scheme : {"file", "http", "https", "mailto"})
      QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &recorder_, "open");
  }
  void TearDown() override {
    for (const char* scheme : {"file", "http", "https", "mailto"})
      QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    fs::remove_all(root_);
  }
  void start() {
    program_ = std::make_unique<Program>(CIRRODEX_SHARE_DIR);
    program_->start();
  }
  std::string settings() { return slurp(root_ / "config" / "cirrodex" / "settings.ini"); }
  QAction* item(MenuName menu, std::initializer_list<std::string_view> path) {
    QAction* action = program_->main_window().menus().action(menu, path);
    EXPECT_NE(action, nullptr);
    return action;
  }

  fs::path root_;
  UrlRecorder recorder_;
  std::unique_ptr<Program> program_;
};

TEST_F(ProgramTest, TaskBarAndStayOnTopFollowTheirMarks) {
  start();
  QAction* yes = item(MenuName::Options, {"&Hide from Task Bar", "&Yes"});
  QAction* no = item(MenuName::Options, {"&Hide from Task Bar", "&No"});
  ASSERT_TRUE(yes && no && yes->isEnabled());
  yes->trigger();
  EXPECT_NE(settings().find("TaskBarHide=y\n"), std::string::npos) << settings();
  EXPECT_TRUE(yes->isChecked());
  no->trigger();
  EXPECT_NE(settings().find("TaskBarHide=\n"), std::string::npos) << settings();
  EXPECT_TRUE(no->isChecked());
  EXPECT_FALSE(yes->isChecked());

  QAction* top = item(MenuName::Options, {"Stay on &Top", "&Yes"});
  QAction* normal = item(MenuName::Options, {"Stay on &Top", "&No"});
  ASSERT_TRUE(top && normal);
  top->trigger();
  EXPECT_TRUE(top->isChecked());
  normal->trigger();
  EXPECT_TRUE(normal->isChecked());
  // Not saved: every run starts normal.
  EXPECT_EQ(settings().find("top"), std::string::npos);
}

TEST_F(ProgramTest, TaskBarHideFromTheSettingsMarksYesAtTheNextPaint) {
  std::ofstream(root_ / "config" / "cirrodex" / "settings.ini") << "[Settings]\nTaskBarHide=y\n";
  start();
  program_->main_window().repaint();
  EXPECT_TRUE(item(MenuName::Options, {"&Hide from Task Bar", "&Yes"})->isChecked());
}

TEST_F(ProgramTest, HelpAndWebPagesOpenOnTheDesktop) {
  std::ofstream(root_ / "config" / "cirrodex" / "services.conf") << "maker_web = http://127.0.0.1:9/\n";
  start();
  item(MenuName::Help, {"&Help Contents  (F1)"})->trigger();
  item(MenuName::Help, {"Weather &FAQ"})->trigger();
  item(MenuName::Options, {"&Skins", "&Visit Cirrodex Skins site..."})->trigger();
  item(MenuName::PopupForm, {"&Help", "&Visit Cirrodex homepage"})->trigger();
  const std::string help = fs::canonical(fs::path(CIRRODEX_SHARE_DIR) / "help").string();
  ASSERT_EQ(recorder_.urls.size(), 4);
  EXPECT_EQ(fs::canonical(recorder_.urls[0].toLocalFile().toStdString()).string(), help + "/index.html");
  EXPECT_EQ(fs::canonical(recorder_.urls[1].toLocalFile().toStdString()).string(), help + "/faq.html");
  EXPECT_EQ(recorder_.urls[2].toString(), QStringLiteral("http://127.0.0.1:9/html/software/Cirrodex_Skins.html"));
  EXPECT_EQ(recorder_.urls[3].toString(), QStringLiteral("http://127.0.0.1:9/html/software/Cirrodex.html"));
}

TEST_F(ProgramTest, TheBuiltInSkinIsCopiedForEditing) {
  start();
  item(MenuName::Options, {"&Skins", "Run Skin &Editor..."})->trigger();
  const fs::path copy = fs::path(data_dir()) / "Skins" / "My Skin" / "skin.ini";
  ASSERT_TRUE(fs::is_regular_file(copy));
  EXPECT_EQ(slurp(copy), slurp(fs::path(CIRRODEX_SHARE_DIR) / "skins" / "default" / "skin.ini"));
  ASSERT_EQ(recorder_.urls.size(), 1);
  EXPECT_EQ(recorder_.urls[0].toLocalFile().toStdString(), copy.string());

  // A second run edits the same copy, with the user's changes kept.
  std::ofstream(copy, std::ios::app) << "; mine\n";
  item(MenuName::Options, {"&Skins", "Run Skin &Editor..."})->trigger();
  EXPECT_NE(slurp(copy).find("; mine"), std::string::npos);
}

TEST_F(ProgramTest, LaterCommandsAreDisabledAndExitSaves) {
  start();
  for (QAction* later :
       {item(MenuName::Options, {"&General Preferences..."}), item(MenuName::Reports, {"&Climate Data (NWS)"})})
    EXPECT_FALSE(later && later->isEnabled());
  // What follows a reading has its commands.
  for (QAction* now :
       {item(MenuName::Options, {"&Print", "Print Stats as &Text"}),
        item(MenuName::Options, {"&Print", "Print Stats &Window"}), item(MenuName::Help, {"&Check for Update"}),
        item(MenuName::Reports, {"&Daily Charts", "&View Log File"})})
    EXPECT_TRUE(now && now->isEnabled());
  // The connection commands are the program's own now.
  QAction* prefs = item(MenuName::Options, {"&Connection", "&Connection Preferences..."});
  ASSERT_TRUE(prefs && prefs->isEnabled());
  prefs->trigger();
  QWidget* dialog = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && w->windowTitle() == QStringLiteral("Cirrodex - Connection Preferences")) dialog = w;
  ASSERT_NE(dialog, nullptr);
  dialog->hide();
  program_->main_window().move(40, 30);
  item(MenuName::TrayRight, {"E&xit"})->trigger();
  const std::string saved = settings();
  EXPECT_NE(saved.find("Xpos=40\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Ypos=30\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("ShowTips="), std::string::npos) << saved;
}

TEST_F(ProgramTest, ChooseLocationBuildsTheChooserOnceBehindThePleaseWaitWindow) {
  start();
  program_->please_wait().hide();
  const QPoint home = program_->please_wait().pos();
  QAction* choose = item(MenuName::GetStats, {"&Choose Location..."});
  ASSERT_TRUE(choose && choose->isEnabled());
  EXPECT_EQ(program_->location_window(), nullptr);
  choose->trigger();
  TfrmLocation* chooser = program_->location_window();
  ASSERT_NE(chooser, nullptr);
  EXPECT_TRUE(chooser->isVisible());
  EXPECT_EQ(chooser->count_label()->text(), "Total locations available above: 3356");
  EXPECT_FALSE(program_->please_wait().isVisible());
  EXPECT_EQ(program_->please_wait().pos(), home);
  EXPECT_TRUE(program_->please_wait().gauge()->isVisibleTo(&program_->please_wait()));
  chooser->close();
  choose->trigger();
  EXPECT_EQ(program_->location_window(), chooser);
  EXPECT_TRUE(chooser->isVisible());
  chooser->close();
}

TEST_F(ProgramTest, TodaysMoonIsShownAtStart) {
  start();
  const QLabel* moon = program_->main_window().moon_picture();
  EXPECT_EQ(moon->toolTip(), "Click for more details...");
  EXPECT_EQ(moon->cursor().shape(), Qt::PointingHandCursor);
  ASSERT_FALSE(moon->pixmap().isNull());
  EXPECT_EQ(moon->pixmap().size(), QSize(50, 50));
}

TEST_F(ProgramTest, TheMoonPictureOpensMoontoolWhoseMenuOpensMoreData) {
  start();
  TfrmMoon* moon = program_->moon_window();
  Tfrm_more* more = program_->more_data_window();
  ASSERT_NE(moon, nullptr);
  ASSERT_NE(more, nullptr);
  // Made at start-up, hidden, and already counting.
  EXPECT_FALSE(moon->isVisible());
  EXPECT_FALSE(more->isVisible());
  EXPECT_TRUE(moon->timer().isActive());
  EXPECT_TRUE(more->timer().isActive());

  QTest::mouseClick(program_->main_window().moon_picture(), Qt::RightButton);
  EXPECT_FALSE(moon->isVisible());
  QTest::mouseClick(program_->main_window().moon_picture(), Qt::LeftButton);
  EXPECT_TRUE(moon->isVisible());
  moon->more_data_item()->trigger();
  EXPECT_TRUE(more->isVisible());

  // The place is written to Moontool.ini in the configuration folder on hiding.
  more->latitude_field()->setValue(10);
  more->close();
  EXPECT_NE(slurp(root_ / "config" / "cirrodex" / "Moontool.ini").find("Latitude=10"), std::string::npos);
  moon->exit_item()->trigger();
  EXPECT_FALSE(moon->isVisible());
  EXPECT_FALSE(program_->main_window().isHidden());

  // Ending the program takes the moon windows with it.
  moon->show();
  more->show();
  program_->main_window().close();
  EXPECT_FALSE(moon->isVisible());
  EXPECT_FALSE(more->isVisible());
}

bool have_tool(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// What a poppler tool makes of a PDF; empty when the tool is missing.
std::optional<std::string> poppler(const std::string& command) {
  if (!have_tool(command.substr(0, command.find(' ')))) return std::nullopt;
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    ::pclose(pipe);
  }
  return out;
}

TEST(PrintingTest, TheWindowPictureFillsThePageInItsProportions) {
  const fs::path pdf = fs::path(::testing::TempDir()) / ("print-" + std::to_string(::getpid()) + ".pdf");
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf.string()));
  QImage image(338, 368, QImage::Format_RGB32);
  image.fill(Qt::darkBlue);
  EXPECT_EQ(print_image(printer, image), "");
  EXPECT_EQ(slurp(pdf).rfind("%PDF", 0), 0u);
  EXPECT_GT(fs::file_size(pdf), 500u);
  // The page holds the window's picture at its own size in pixels.
  if (const auto images = poppler("pdfimages -list " + pdf.string())) {
    std::istringstream rows(*images);
    std::string row, page, num, type, width, height;
    std::getline(rows, row);
    std::getline(rows, row);
    std::getline(rows, row);
    std::istringstream(row) >> page >> num >> type >> width >> height;
    EXPECT_EQ(type + " " + width + "x" + height, "image 338x368") << *images;
  }
  fs::remove(pdf);
  EXPECT_EQ(print_image(printer, QImage()), "There is nothing to print.");
}

TEST(PrintingTest, TheStatsAsTextReadBackFromAPdf) {
  if (!have_tool("pdftotext")) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  const fs::path pdf = fs::path(::testing::TempDir()) / ("stats-" + std::to_string(::getpid()) + ".pdf");
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf.string()));
  Readings r;
  r.ConditionTime = "3:53 PM CDT May 5";
  r.Conditions = "Partly Cloudy";
  r.Temperature =
      "72\xB0"
      "F";
  r.Wind = "";
  const std::vector<std::string> lines = printed_stats_lines("Cirrodex - Z\xFCrich, Switzerland (O)", r);
  EXPECT_EQ(print_text_lines(printer, lines, kPrintedStatsPointSize), "");
  const std::string text = poppler("pdftotext -layout -enc UTF-8 " + pdf.string() + " -").value_or("");
  fs::remove(pdf);
  // Every line that shows something, in order, and nothing else.
  std::vector<std::string> printed, wanted;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (!text::trim(line).empty()) printed.push_back(text::trim(line));
  for (const std::string& line : lines)
    if (!text::trim(line).empty()) wanted.push_back(text::latin1_to_utf8(line));
  EXPECT_EQ(printed, wanted) << text;
  EXPECT_NE(std::find(printed.begin(), printed.end(),
                      "Temperature:72\xC2\xB0"
                      "F"),
            printed.end());
  EXPECT_NE(std::find(printed.begin(), printed.end(), "Viosibility:n/a"), printed.end());
  EXPECT_NE(std::find(printed.begin(), printed.end(), "Wind:"), printed.end());
}

}  // namespace
}  // namespace cirrodex

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  cirrodex::Application app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

#include "program_test.moc"
