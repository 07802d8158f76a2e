#include "app/about_window.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeySequence>
#include <QNetworkInterface>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/splash_window.h"

namespace cirrodex {

namespace {

QString latin1(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

constexpr std::string_view kCredits =
    "Cirrodex shows the weather where you are, as the public weather services publish it.\n"
    "\n"
    "DISCLAIMER\n"
    "The information provided here should not be relied on in lieu of officially disseminated weather "
    "forecasts, statements, watches, and warnings. My goal is to provide general weather information to the "
    "public. Readings, reports and images are fetched as they are from their sources and may be late, "
    "incomplete or wrong; the program is provided as is, without warranty of any kind.\n"
    "\n"
    "CREDITS\n"
    "Current conditions: Weather Underground.\n"
    "Forecasts, warnings, statements and other text reports: the National Weather Service (NWS) and its "
    "IWIN service.\n"
    "Images and maps: the National Oceanic and Atmospheric Administration (NOAA), with its National Centers "
    "for Environmental Prediction, Climate Prediction Center, National Hurricane Center, NESDIS and GOES "
    "satellite servers; NASA; the US Department of Agriculture (USDA); Unisys Weather; Purdue University; "
    "The Ohio State University Atmospheric Sciences; the Space Science and Engineering Center of the "
    "University of Wisconsin; Texas A&M University; Penn State University; Florida State University; the "
    "University of Wollongong; the Naval Research Laboratory; The Weather Channel; AccuWeather.\n"
    "Census figures: the US Census Bureau. Air quality: the US Environmental Protection Agency. Travel "
    "warnings: the US State Department.\n"
    "Moon and sun: after the astronomical algorithms of Jean Meeus.\n"
    "\n"
    "All images, pages and reports remain the property of their owners; they are shown here for personal, "
    "non-commercial use with thanks.\n"
    "\n"
    "Copyright \xA9 Velmoraworks. All rights reserved.";

std::vector<NetworkInterfaceInfo> system_interfaces() {
  std::vector<NetworkInterfaceInfo> out;
  for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
    NetworkInterfaceInfo info;
    info.up = interface.flags().testFlag(QNetworkInterface::IsUp);
    info.loopback = interface.flags().testFlag(QNetworkInterface::IsLoopBack);
    for (const QNetworkAddressEntry& entry : interface.addressEntries())
      if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
        info.ipv4_addresses.push_back(entry.ip().toString().toStdString());
    out.push_back(std::move(info));
  }
  return out;
}

QLabel* plain_label(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);
  return label;
}

}  // namespace

// --- MemoryGauge ---

MemoryGauge::MemoryGauge(QWidget* parent) : QWidget(parent) {}

void MemoryGauge::set_percent(int percent) {
  percent_ = std::clamp(percent, 0, 100);
  update();
}

QColor MemoryGauge::fore_colour() const {
  return gauge_colour(percent_) == GaugeColour::Lime ? QColor(0, 255, 0) : QColor(255, 0, 0);
}

void MemoryGauge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int side = std::min(width(), height());
  const QRectF disc =
      QRectF((width() - side) / 2.0, (height() - side) / 2.0, side, side).adjusted(1.5, 1.5, -1.5, -1.5);
  paint_pie(painter, disc, percent_, back_colour(), fore_colour());
  painter.setPen(Qt::black);
  painter.drawText(disc, Qt::AlignCenter, QString::number(percent_) + QLatin1Char('%'));
}

// --- StarField ---

StarField::StarField(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  timer_.setInterval(kFrameMs);
  QObject::connect(&timer_, &QTimer::timeout, this, [this] { advance(); });
  for (Star& star : stars_) respawn(star, true);
}

void StarField::respawn(Star& star, bool anywhere) {
  std::uniform_real_distribution<double> across(-1.0, 1.0);
  std::uniform_real_distribution<double> depth(0.05, 1.0);
  star.x = across(engine_);
  star.y = across(engine_);
  // New stars start far away; only the first sky is spread over all depths.
  star.z = anywhere ? depth(engine_) : 1.0;
}

void StarField::advance() {
  for (Star& star : stars_) {
    star.z -= 0.012;
    // Gone past the viewer or out of the frame: a new one far away.
    if (star.z <= 0.02 || !rect().contains(project(star).toPoint())) respawn(star, false);
  }
  update();
}

QPointF StarField::project(const Star& star) const {
  // At full distance the stars fill a patch an eighth of the field across,
  // so they stream out from the middle.
  const double scale = std::min(width(), height()) / 8.0;
  return {width() / 2.0 + star.x / star.z * scale, height() / 2.0 + star.y / star.z * scale};
}

void StarField::showEvent(QShowEvent* event) {
  timer_.start();
  QWidget::showEvent(event);
}

void StarField::hideEvent(QHideEvent* event) {
  timer_.stop();
  QWidget::hideEvent(event);
}

void StarField::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  for (const Star& star : stars_) {
    const double nearness = 1.0 - star.z;  // 0 far .. 1 at the viewer
    const int grey = std::clamp(static_cast<int>(80 + 175 * nearness), 0, 255);
    painter.setBrush(QColor(grey, grey, grey));
    const double radius = 0.5 + 1.5 * nearness;
    painter.drawEllipse(project(star), radius, radius);
  }
}

// --- TfrmAbout ---

TfrmAbout::TfrmAbout(AboutWindowHooks hooks, QWidget* parent)
    : QDialog(parent),
      hooks_(std::move(hooks)),
      version_(plain_label(this)),
      credits_(new QPlainTextEdit(this)),
      heading_(plain_label(this)),
      gauge_(new MemoryGauge(this)),
      free_ram_(plain_label(this)),
      total_ram_(plain_label(this)),
      screen_(plain_label(this)),
      colour_depth_(plain_label(this)),
      host_(plain_label(this)),
      stars_(new StarField(this)),
      site_(new QLabel(this)),
      mail_(new QPushButton(QStringLiteral("E-mail"), this)),
      ok_(new QPushButton(QStringLiteral("OK"), this)) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QStringLiteral("About Cirrodex"));
  setFixedSize(kWidth, kHeight);

  auto* title = plain_label(this);
  title->setText(QStringLiteral("Cirrodex"));
  QFont title_font = title->font();
  title_font.setPixelSize(20);
  title_font.setBold(true);
  title->setFont(title_font);
  version_->setText(latin1(version_text()));

  credits_->setReadOnly(true);
  credits_->setPlainText(latin1(kCredits));

  heading_->setText(QStringLiteral("Your System Resources:"));
  QFont heading_font = heading_->font();
  heading_font.setBold(true);
  heading_->setFont(heading_font);

  stars_->setFixedSize(120, 176);
  gauge_->setFixedSize(84, 84);

  site_->setTextFormat(Qt::RichText);
  site_->setOpenExternalLinks(false);
  const QString url = latin1(hooks_.site_url).toHtmlEscaped();
  site_->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(url));
  site_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  connect(site_, &QLabel::linkActivated, this, [this] { open_address(hooks_.site_url); });
  connect(mail_, &QPushButton::clicked, this, [this] { open_address("mailto:" + hooks_.support_mail); });
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(help, &QShortcut::activated, this, [this] {
    if (hooks_.open_help) hooks_.open_help();
  });

  auto* about_column = new QVBoxLayout;
  about_column->setSpacing(2);
  about_column->addWidget(title);
  about_column->addWidget(version_);
  about_column->addSpacing(4);
  about_column->addWidget(credits_, 1);
  auto* top = new QHBoxLayout;
  top->addWidget(stars_, 0, Qt::AlignTop);
  top->addLayout(about_column, 1);

  auto* figures = new QVBoxLayout;
  figures->setSpacing(1);
  for (QLabel* line : {free_ram_, total_ram_, screen_, colour_depth_, host_}) figures->addWidget(line);
  auto* resources = new QHBoxLayout;
  resources->addWidget(gauge_, 0, Qt::AlignVCenter);
  resources->addSpacing(8);
  resources->addLayout(figures, 1);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(site_);
  bottom->addStretch(1);
  bottom->addWidget(mail_);
  bottom->addWidget(ok_);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(10, 10, 10, 10);
  layout->setSpacing(6);
  layout->addLayout(top, 1);
  layout->addWidget(heading_);
  layout->addLayout(resources);
  layout->addLayout(bottom);

  refresh_resources();
}

void TfrmAbout::refresh_resources() {
  const MemoryStatus memory =
      parse_meminfo(hooks_.read_meminfo ? hooks_.read_meminfo() : read_meminfo_file("/proc/meminfo"));
  gauge_->set_percent(free_memory_percent(memory));
  free_ram_->setText(latin1(free_ram_text(memory)));
  total_ram_->setText(latin1(total_ram_text(memory)));

  const QScreen* where = screen();
  const QRect area = where != nullptr ? where->geometry() : QRect();
  screen_->setText(latin1(screen_resolution_text(area.width(), area.height())));
  colour_depth_->setText(latin1(colour_depth_text(where != nullptr ? where->depth() : 0, 1)));

  const std::string address = pick_local_host(hooks_.list_interfaces ? hooks_.list_interfaces() : system_interfaces());
  host_->setText(latin1(local_host_text(address)));
}

void TfrmAbout::centre_on_screen() {
  const QScreen* where = screen();
  if (where == nullptr) return;
  QRect frame = frameGeometry();
  frame.moveCenter(where->availableGeometry().center());
  move(frame.topLeft());
}

void TfrmAbout::done(int result) {
  // Every way of closing (OK, Escape, the title bar) ends here.
  if (isVisible() && hooks_.closing_sound) hooks_.closing_sound();
  QDialog::done(result);
}

void TfrmAbout::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) centre_on_screen();
  QDialog::showEvent(event);
}

void TfrmAbout::open_address(const std::string& address) const {
  if (hooks_.open_address) hooks_.open_address(address);
}

}  // namespace cirrodex
