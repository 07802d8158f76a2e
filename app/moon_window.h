#pragma once
// The moon windows: TfrmMoon ("Moontool"), a live panel of the current
// lunation refreshed every second, and Tfrm_more ("Moon - More Data"), the
// seasons, today's rises and sets at a place, perigee, apogee and eclipses.
// Both are made at start-up and only ever hidden; their timers run whether
// they are shown or not.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMap>
#include <QSpinBox>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "app/moon_control.h"
#include "moon/moon_windows.h"
#include "platform/clock.h"
#include "platform/host.h"
#include "platform/settings_store.h"

namespace cirrodex {

// The locale's full month names, or the English ones where the locale's do
// not fit in Latin-1.
moon::MonthNames locale_month_names();

class TfrmMoon final : public QMainWindow {
 public:
  TfrmMoon(Clock& clock, Host& host, moon::MonthNames months, std::function<void()> show_more_data,
           QWidget* parent = nullptr);

  // One tick: every value, and the picture when the percentage changed.
  void TimerTimer();
  void toggle_fast_mode();
  void toggle_timer();

  // The value shown beside a caption ("Julian date:", ...; the two
  // "Lunation:" values are "Lunation:" and "Lunation:+1").
  QString value(const QString& caption) const;
  QTimer& timer() { return Timer1; }
  TMoon* picture() const { return Moon1; }
  QAction* fast_mode_item() const { return mnuFastMode; }
  QAction* stop_item() const { return mnuStop; }
  QAction* more_data_item() const { return mnuMoreData; }
  QAction* copy_item() const { return mnuCopy; }
  QAction* exit_item() const { return mnuExit; }
  QAction* about_item() const { return mnuAbout; }

 private:
  void show_values(const moon::MoontoolValues& v);
  void add_row(const QString& caption, int x, int y, int value_x);

  Host& host_;
  moon::MoontoolPanel panel_;
  std::function<void()> showMoreData_;
  QTimer Timer1;
  TMoon* Moon1 = nullptr;
  QMap<QString, QLabel*> values_;
  QAction *mnuExit = nullptr, *mnuCopy = nullptr, *mnuFastMode = nullptr, *mnuStop = nullptr, *mnuMoreData = nullptr,
          *mnuAbout = nullptr;
};

class Tfrm_more final : public QWidget {
 public:
  // place_file: "Moontool.ini" in the configuration folder.
  Tfrm_more(Clock& clock, Host& host, SettingsStore& place_file, moon::MonthNames months, QWidget* parent = nullptr);

  // Recomputes every value for the place in the fields.
  void locationChange();

  QString value(const QString& caption) const;
  // The eclipse type beside "Next moon eclipse:" / "Next sun eclipse:".
  QString eclipse_type(bool solar) const;
  QLineEdit* location_field() const { return edt_location; }
  QSpinBox* latitude_field() const { return edt_latitude; }
  QSpinBox* longitude_field() const { return edt_longitude; }
  QTimer& timer() { return Timer1; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  // The place as the fields hold it: a text that is not a whole number is
  // the field's lowest value.
  moon::MoonPlace place_in_fields() const;

  Clock& clock_;
  Host& host_;
  SettingsStore& placeFile_;
  moon::MonthNames months_;
  QTimer Timer1;
  QLineEdit* edt_location = nullptr;
  QSpinBox* edt_latitude = nullptr;
  QSpinBox* edt_longitude = nullptr;
  QLabel *lunarType_ = nullptr, *solarType_ = nullptr;
  QMap<QString, QLabel*> values_;
  bool loading_ = false;
};

}  // namespace cirrodex
