#include "app/moon_window.h"

#include <QFont>
#include <QHideEvent>
#include <QLayout>
#include <QLocale>
#include <QMenuBar>
#include <QShowEvent>
#include <utility>

namespace cirrodex {

namespace {

QString latin1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

constexpr Qt::WindowFlags kSmallWindow = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                         Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                         Qt::WindowCloseButtonHint;

// The windows have a fixed size, so their texts need a font of known width:
// a narrow sans serif at the small size of dialog texts.
QFont small_window_font(const QFont& base) {
  QFont f = base;
  f.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Arial"), base.family()});
  f.setPixelSize(11);
  return f;
}

QLabel* label(QWidget* parent, const QString& text, int x, int y, int width) {
  auto* l = new QLabel(text, parent);
  l->setGeometry(x, y, width, 17);
  return l;
}

}  // namespace

moon::MonthNames locale_month_names() {
  moon::MonthNames names = moon::english_month_names();
  const QLocale locale;
  for (int m = 1; m <= 12; ++m) {
    const QString name = locale.monthName(m, QLocale::LongFormat);
    bool fits = !name.isEmpty();
    for (const QChar c : name) fits = fits && c.unicode() <= 0xFF;
    if (fits) names[static_cast<std::size_t>(m - 1)] = name.toLatin1().toStdString();
  }
  return names;
}

// --- TfrmMoon ---

TfrmMoon::TfrmMoon(Clock& clock, Host& host, moon::MonthNames months, std::function<void()> show_more_data,
                   QWidget* parent)
    : QMainWindow(parent, kSmallWindow),
      host_(host),
      panel_(clock, std::move(months)),
      showMoreData_(std::move(show_more_data)) {
  setWindowTitle(QStringLiteral("Moontool"));
  setFont(small_window_font(font()));
  auto* client = new QWidget(this);
  client->setFixedSize(375, 260);
  setCentralWidget(client);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  mnuExit = file->addAction(QStringLiteral("E&xit"), this, &QWidget::hide);
  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  mnuCopy = edit->addAction(QStringLiteral("&Copy"));
  mnuCopy->setEnabled(false);
  QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
  mnuFastMode = options->addAction(QStringLiteral("&Fast Mode"), this, &TfrmMoon::toggle_fast_mode);
  mnuFastMode->setCheckable(true);
  mnuStop = options->addAction(QStringLiteral("&Stop"), this, &TfrmMoon::toggle_timer);
  options->addSeparator();
  mnuMoreData = options->addAction(QStringLiteral("&More Data"), this, [this] {
    if (showMoreData_) showMoreData_();
  });
  mnuAbout = menuBar()->addAction(QStringLiteral("&About"), this, [this] {
    host_.message_box("Moon and sun computations after Jean Meeus, Astronomical Algorithms (1991).",
                      MessageKind::Information, MessageButtons::Ok);
  });

  constexpr int kCaptionX = 8, kValueX = 112, kRow = 17;
  int y = 6;
  for (const char* caption : {"Julian date:", "Universal time:", "Local time:", "Age of the moon:", "Moon phase:",
                              "Moon's distance:", "Moon subtends:", "Sun's distance:", "Sun subtends:"}) {
    add_row(QString::fromLatin1(caption), kCaptionX, y, kValueX);
    y += kRow;
  }
  y += 8;
  for (const char* caption : {"Last new moon:", "First quarter:", "Full moon:", "Last quarter:", "New new moon:"}) {
    add_row(QString::fromLatin1(caption), kCaptionX, y, kValueX);
    y += kRow;
  }
  // The lunation numbers beside the two new moons.
  constexpr int kLunationX = 272, kLunationValueX = 326;
  for (const auto& [beside, key] :
       {std::pair{"Last new moon:", "Lunation:"}, std::pair{"New new moon:", "Lunation:+1"}}) {
    const int row_y = values_.value(QString::fromLatin1(beside))->y();
    label(centralWidget(), QStringLiteral("Lunation:"), kLunationX, row_y, kLunationValueX - kLunationX);
    values_[QString::fromLatin1(key)] = label(centralWidget(), {}, kLunationValueX, row_y, 45);
  }

  Moon1 = new TMoon(centralWidget(), moon::ms64);
  Moon1->move(375 - 64 - 8, 8);

  const moon::MoontoolValues& first = panel_.first_values();
  show_values(first);
  Moon1->setDate(first.universal);
  setWindowIcon(Moon1->icon());

  layout()->activate();

  Timer1.setInterval(1000);
  connect(&Timer1, &QTimer::timeout, this, &TfrmMoon::TimerTimer);
  Timer1.start();
}

void TfrmMoon::add_row(const QString& caption, int x, int y, int value_x) {
  label(centralWidget(), caption, x, y, value_x - x);
  values_[caption] = label(centralWidget(), {}, value_x, y, 375 - value_x - 4);
}

void TfrmMoon::show_values(const moon::MoontoolValues& v) {
  const std::pair<const char*, const std::string*> rows[] = {{"Julian date:", &v.julian_date},
                                                             {"Universal time:", &v.universal_time},
                                                             {"Local time:", &v.local_time},
                                                             {"Age of the moon:", &v.age},
                                                             {"Moon phase:", &v.phase},
                                                             {"Moon's distance:", &v.moon_distance},
                                                             {"Moon subtends:", &v.moon_subtends},
                                                             {"Sun's distance:", &v.sun_distance},
                                                             {"Sun subtends:", &v.sun_subtends},
                                                             {"Last new moon:", &v.last_new_moon},
                                                             {"First quarter:", &v.first_quarter},
                                                             {"Full moon:", &v.full_moon},
                                                             {"Last quarter:", &v.last_quarter},
                                                             {"New new moon:", &v.next_new_moon},
                                                             {"Lunation:", &v.last_lunation},
                                                             {"Lunation:+1", &v.next_lunation}};
  for (const auto& [caption, text] : rows) values_.value(QString::fromLatin1(caption))->setText(latin1(*text));
}

void TfrmMoon::TimerTimer() {
  const moon::MoontoolPanel::Update u = panel_.update();
  show_values(u.values);
  if (u.picture_date) {
    Moon1->setDate(*u.picture_date);
    setWindowIcon(Moon1->icon());
  }
}

void TfrmMoon::toggle_fast_mode() {
  panel_.toggle_fast_mode();
  mnuFastMode->setChecked(panel_.fast_mode());
}

void TfrmMoon::toggle_timer() {
  if (Timer1.isActive()) {
    Timer1.stop();
    mnuStop->setText(QStringLiteral("&Run"));
  } else {
    Timer1.start();
    mnuStop->setText(QStringLiteral("&Stop"));
  }
}

QString TfrmMoon::value(const QString& caption) const {
  const QLabel* l = values_.value(caption);
  return l ? l->text() : QString();
}

// --- Tfrm_more ---

Tfrm_more::Tfrm_more(Clock& clock, Host& host, SettingsStore& place_file, moon::MonthNames months, QWidget* parent)
    : QWidget(parent, kSmallWindow), clock_(clock), host_(host), placeFile_(place_file), months_(std::move(months)) {
  setWindowTitle(QStringLiteral("Moon - More Data"));
  setFont(small_window_font(font()));
  setFixedSize(369, 393);

  constexpr int kCaptionX = 12, kFieldX = 96, kValueX = 124, kTypeX = 290, kRow = 17;
  label(this, QStringLiteral("Location:"), kCaptionX, 14, kFieldX - kCaptionX);
  edt_location = new QLineEdit(this);
  edt_location->setGeometry(kFieldX, 10, 369 - kFieldX - 12, 24);
  label(this, QStringLiteral("Latitude:"), kCaptionX, 44, kFieldX - kCaptionX);
  edt_latitude = new QSpinBox(this);
  edt_latitude->setRange(moon::kMinLatitude, moon::kMaxLatitude);
  edt_latitude->setGeometry(kFieldX, 40, 72, 24);
  label(this, QStringLiteral("Longitude:"), kCaptionX, 74, kFieldX - kCaptionX);
  edt_longitude = new QSpinBox(this);
  edt_longitude->setRange(moon::kMinLongitude, moon::kMaxLongitude);
  edt_longitude->setGeometry(kFieldX, 70, 72, 24);
  // Every change counts: a new value, and a typed text that is not a number
  // yet (the spin box signals only numbers; its own updates of the text are
  // silent, so no change is counted twice).
  for (QSpinBox* field : {edt_latitude, edt_longitude}) {
    const auto changed = [this] {
      if (!loading_) locationChange();
    };
    connect(field, &QSpinBox::valueChanged, this, changed);
    connect(field->findChild<QLineEdit*>(), &QLineEdit::textEdited, this, [this, field, changed] {
      // A typed number also changes the value, which is counted above.
      if (field->hasAcceptableInput()) return;
      changed();
    });
  }

  int y = 108;
  const std::initializer_list<std::initializer_list<const char*>> groups = {
      {"Spring Equinox:", "Summer Solstice:", "Autumn Equinox:", "Winter Solstice:"},
      {"Sun rise:", "Sun transit:", "Sun set:"},
      {"Moon rise:", "Moon transit:", "Moon set:"},
      {"Next perigee:", "Next apogee:"},
      {"Next moon eclipse:", "Next sun eclipse:"}};
  for (const auto& group : groups) {
    for (const char* caption : group) {
      label(this, QString::fromLatin1(caption), kCaptionX, y, kValueX - kCaptionX);
      values_[QString::fromLatin1(caption)] = label(this, {}, kValueX, y, kTypeX - kValueX);
      y += kRow;
    }
    y += 8;
  }
  // The eclipse types further right on the eclipses' rows.
  lunarType_ = label(this, {}, kTypeX, values_.value(QStringLiteral("Next moon eclipse:"))->y(), 369 - kTypeX - 2);
  solarType_ = label(this, {}, kTypeX, values_.value(QStringLiteral("Next sun eclipse:"))->y(), 369 - kTypeX - 2);

  Timer1.setInterval(65535);
  connect(&Timer1, &QTimer::timeout, this, &Tfrm_more::locationChange);
  Timer1.start();
}

moon::MoonPlace Tfrm_more::place_in_fields() const {
  moon::MoonPlace place;
  place.name = edt_location->text().toLatin1().toStdString();
  place.latitude = moon::field_value(edt_latitude->cleanText().toStdString(), moon::kMinLatitude, moon::kMaxLatitude);
  place.longitude =
      moon::field_value(edt_longitude->cleanText().toStdString(), moon::kMinLongitude, moon::kMaxLongitude);
  return place;
}

void Tfrm_more::locationChange() {
  const moon::MoonPlace place = place_in_fields();
  const LocalDateTime now = clock_.now();
  const moon::Instant u = moon::universal_instant(moon::local_instant(now), moon::utc_offset_minutes(now));
  const moon::MoreDataValues v = moon::more_data_values(u, place.latitude, place.longitude, months_);
  const std::pair<const char*, const std::string*> rows[] = {{"Spring Equinox:", &v.spring},
                                                             {"Summer Solstice:", &v.summer},
                                                             {"Autumn Equinox:", &v.autumn},
                                                             {"Winter Solstice:", &v.winter},
                                                             {"Sun rise:", &v.sun_rise},
                                                             {"Sun transit:", &v.sun_transit},
                                                             {"Sun set:", &v.sun_set},
                                                             {"Moon rise:", &v.moon_rise},
                                                             {"Moon transit:", &v.moon_transit},
                                                             {"Moon set:", &v.moon_set},
                                                             {"Next perigee:", &v.perigee},
                                                             {"Next apogee:", &v.apogee},
                                                             {"Next moon eclipse:", &v.moon_eclipse},
                                                             {"Next sun eclipse:", &v.sun_eclipse}};
  for (const auto& [caption, text] : rows) values_.value(QString::fromLatin1(caption))->setText(latin1(*text));
  lunarType_->setText(latin1(v.moon_eclipse_type));
  solarType_->setText(latin1(v.sun_eclipse_type));
}

QString Tfrm_more::value(const QString& caption) const {
  const QLabel* l = values_.value(caption);
  return l ? l->text() : QString();
}

QString Tfrm_more::eclipse_type(bool solar) const { return (solar ? solarType_ : lunarType_)->text(); }

void Tfrm_more::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Minimising and restoring are not showing and hiding.
  if (event->spontaneous()) return;
  const moon::MoonPlace place = moon::read_moon_place(placeFile_);
  loading_ = true;
  edt_location->setText(latin1(place.name));
  edt_latitude->setValue(place.latitude);
  edt_longitude->setValue(place.longitude);
  loading_ = false;
  locationChange();
}

void Tfrm_more::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (event->spontaneous()) return;
  if (const auto error = moon::write_moon_place(placeFile_, place_in_fields()))
    host_.message_box("The place of the More Data window was not saved. " + error->text, MessageKind::Warning,
                      MessageButtons::Ok);
}

}  // namespace cirrodex
