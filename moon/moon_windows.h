#pragma once
// What the Moontool and More Data windows show, as texts: the live panel of
// the current lunation, and the events of the year and the day at a place.
// Every event instant is Universal Time; only the local time is local.

#include <array>
#include <optional>
#include <string>

#include "moon/eclipses.h"
#include "moon/julian.h"
#include "moon/rise_set.h"
#include "platform/clock.h"
#include "platform/settings_store.h"

namespace cirrodex::moon {

// Full month names, January first, Latin-1.
using MonthNames = std::array<std::string, 12>;
const MonthNames& english_month_names();

// x in fixed notation with that many decimals, padded on the left with
// blanks to at least `width` characters.
std::string fixed_field(Real x, int width, int decimals);
// "14:05:09 9 December 1999".
std::string time_stamp(Instant t, const MonthNames& months);
// "07:32 UTC 8 December 1999".
std::string event_time(Instant t, const MonthNames& months);

// The clock's reading as an instant (local time).
Instant local_instant(const LocalDateTime& now);
// Minutes such that Universal Time = local time + offset / 1440 days.
long utc_offset_minutes(const LocalDateTime& now);
inline Instant universal_instant(Instant local, long offset_minutes) {
  return local + static_cast<Real>(offset_minutes) / 1440.0L;
}

struct MoontoolValues {
  std::string julian_date, universal_time, local_time;
  std::string age, phase, moon_distance, moon_subtends, sun_distance, sun_subtends;
  std::string last_new_moon, first_quarter, full_moon, last_quarter, next_new_moon;
  std::string last_lunation, next_lunation;
  int phase_percent = 0;
  Instant universal = 0;
};

// Every value of the panel for the local instant t (local_time is left
// empty when show_local is false).
MoontoolValues moontool_values(Instant local, long offset_minutes, bool show_local, const MonthNames& months);

// The live panel's state: fast mode and the picture's last percentage.
class MoontoolPanel {
 public:
  // Remembers now as the fast-mode start, computes once, then forgets the
  // shown percentage so that the first tick redraws the picture.
  MoontoolPanel(Clock& clock, MonthNames months);

  struct Update {
    MoontoolValues values;
    // Set when the picture must show this instant.
    std::optional<Instant> picture_date;
  };
  // One tick: in fast mode every real second since the start adds an hour.
  Update update();

  bool fast_mode() const { return fast_; }
  // Toggles fast mode and restarts the simulated time from now.
  void toggle_fast_mode();
  const MoontoolValues& first_values() const { return first_; }

 private:
  Clock& clock_;
  MonthNames months_;
  bool fast_ = false;
  Instant fast_start_ = 0;
  int last_percent_ = 199;  // no phase has it
  MoontoolValues first_;
};

// The place of the More Data window, kept in its own file.
struct MoonPlace {
  std::string name;
  int latitude = 0;   // -90..90, north positive
  int longitude = 0;  // -180..180, west positive
  bool operator==(const MoonPlace&) const = default;
};
inline constexpr int kMinLatitude = -90, kMaxLatitude = 90;
inline constexpr int kMinLongitude = -180, kMaxLongitude = 180;

// A field's text as a whole number: its lowest value when the text is not
// one, the nearest limit when it lies outside.
int field_value(const std::string& text, int lowest, int highest);
// Missing or unreadable values give "" and 0; stored numbers beyond a
// field's range are set to the nearest limit.
MoonPlace read_moon_place(SettingsStore& file);
// The first failure, if any.
std::optional<StoreError> write_moon_place(SettingsStore& file, const MoonPlace& place);

struct MoreDataValues {
  std::string spring, summer, autumn, winter;
  std::string sun_rise, sun_transit, sun_set;
  std::string moon_rise, moon_transit, moon_set;
  std::string perigee, apogee;
  std::string moon_eclipse, moon_eclipse_type;
  std::string sun_eclipse, sun_eclipse_type;
};
inline constexpr const char* kNoEvent = "---";

// The event of that kind falling on the day of day_start (a whole instant):
// computed for that day, retried for the next day when it falls before and
// for the day before when it falls after. nullopt when it still misses the
// day. Throws E_NoRiseSet from any of the computations.
std::optional<Instant> event_on_day(Body body, RiseKind kind, Real latitude, Real longitude, Instant day_start);

// The next eclipse as the window looks for it: lunations from u - 28 days on.
Eclipse next_eclipse_shown(Instant u, bool solar);
// "Partial", "Total", "Half shadow" / "Noncentral", "Circular", ... or "None".
std::string eclipse_type_text(const Eclipse& e, bool solar);

// Every value of the More Data window at Universal instant u for the place.
// A season year outside 1000 to 3000 throws E_OutOfAlgorithRange.
MoreDataValues more_data_values(Instant u, int latitude, int longitude, const MonthNames& months);

}  // namespace cirrodex::moon
