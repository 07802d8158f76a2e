#include "moon/moon_windows.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <limits>
#include <utility>

#include "moon/apsides.h"
#include "moon/errors.h"
#include "moon/phases.h"
#include "moon/position.h"
#include "moon/seasons.h"

namespace cirrodex::moon {

namespace {

__attribute__((format(printf, 1, 2))) std::string format(const char* pattern, ...) {
  char buffer[128];
  va_list args;
  va_start(args, pattern);
  const int n = std::vsnprintf(buffer, sizeof buffer, pattern, args);
  va_end(args);
  return n < 0 ? std::string()
               : std::string(buffer, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buffer - 1));
}

std::string date_text(const CalendarTime& c, const MonthNames& months) {
  return format("%d ", c.day) + months[static_cast<std::size_t>(c.month - 1)] + format(" %04d", c.year);
}

long long rounded(Real x) { return static_cast<long long>(round_even(x)); }

// A whole number with an optional sign, blanks around it allowed; huge
// values saturate so that they end at the nearest limit.
std::optional<long long> whole_number(const std::string& text) {
  std::size_t i = 0, end = text.size();
  while (i < end && (text[i] == ' ' || text[i] == '\t')) ++i;
  while (end > i && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  bool negative = false;
  if (i < end && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == end) return std::nullopt;
  long long value = 0;
  for (; i < end; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    if (value < std::numeric_limits<long long>::max() / 10) value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

int clamp_to(long long v, int lowest, int highest) {
  return static_cast<int>(std::min<long long>(highest, std::max<long long>(lowest, v)));
}

int stored_number(const std::optional<std::string>& text, int lowest, int highest) {
  if (!text) return 0;
  const auto v = whole_number(*text);
  return v ? clamp_to(*v, lowest, highest) : 0;
}

constexpr const char* kPlaceSection = "Location";

}  // namespace

const MonthNames& english_month_names() {
  static const MonthNames names = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
  return names;
}

std::string fixed_field(Real x, int width, int decimals) { return format("%*.*Lf", width, decimals, x); }

std::string time_stamp(Instant t, const MonthNames& months) {
  const CalendarTime c = calendar_time(t);
  return format("%02d:%02d:%02d ", c.hour, c.minute, c.second) + date_text(c, months);
}

std::string event_time(Instant t, const MonthNames& months) {
  const CalendarTime c = calendar_time(t);
  return format("%02d:%02d UTC ", c.hour, c.minute) + date_text(c, months);
}

Instant local_instant(const LocalDateTime& now) {
  return make_instant(now.year, now.month, now.day, now.hour, now.minute,
                      static_cast<Real>(now.second) + static_cast<Real>(now.millisecond) / 1000.0L);
}

long utc_offset_minutes(const LocalDateTime& now) { return -now.utc_offset_seconds / 60; }

MoontoolValues moontool_values(Instant local, long offset_minutes, bool show_local, const MonthNames& months) {
  MoontoolValues v;
  const Instant u = universal_instant(local, offset_minutes);
  v.universal = u;
  if (show_local) v.local_time = time_stamp(local, months);
  v.universal_time = time_stamp(u, months);
  v.julian_date = fixed_field(julian_date(u), 12, 5);

  const Instant n = last_phase(PhaseKind::NewMoon, u);
  v.last_new_moon = event_time(n, months);
  v.first_quarter = event_time(next_phase(PhaseKind::FirstQuarter, n), months);
  v.full_moon = event_time(next_phase(PhaseKind::FullMoon, n), months);
  v.last_quarter = event_time(next_phase(PhaseKind::LastQuarter, n), months);
  v.next_new_moon = event_time(next_phase(PhaseKind::NewMoon, u), months);
  const int lunation = lunation_number(n + 1);
  v.last_lunation = std::to_string(lunation);
  v.next_lunation = std::to_string(lunation + 1);

  const Real km = moon_distance(u);
  v.moon_distance =
      std::to_string(rounded(km)) + " kilometres, " + fixed_field(km / kEarthRadiusShownKm, 4, 1) + " earth radii.";
  v.moon_subtends = fixed_field(moon_diameter(u) / 3600.0L, 6, 4);
  const Real au = sun_distance(u);
  v.sun_distance = std::to_string(rounded(au * kAstronomicalUnitKm)) + " kilometres, " + fixed_field(au, 6, 3) +
                   " astronomical units.";
  v.sun_subtends = fixed_field(sun_diameter(u) / 3600.0L, 6, 4);

  const Real age = moon_age(u);
  long long days = static_cast<long long>(std::floor(age));
  long long ms = rounded((age - static_cast<Real>(days)) * 86400000.0L);
  if (ms >= 86400000) {  // a fraction that rounds up to a whole day
    ++days;
    ms -= 86400000;
  }
  v.age = std::to_string(days) + " days, " + std::to_string(ms / 3600000) + " hours, " +
          std::to_string(ms % 3600000 / 60000) + " minutes.";

  v.phase_percent = static_cast<int>(rounded(illuminated_fraction(u) * 100));
  v.phase = std::to_string(v.phase_percent) + "% (0% = New, 100% = Full)";
  return v;
}

MoontoolPanel::MoontoolPanel(Clock& clock, MonthNames months) : clock_(clock), months_(std::move(months)) {
  fast_start_ = local_instant(clock_.now());
  first_ = update().values;
  last_percent_ = 199;
}

MoontoolPanel::Update MoontoolPanel::update() {
  const LocalDateTime now = clock_.now();
  const Instant real = local_instant(now);
  const Instant t = fast_ ? real + (real - fast_start_) * 3600.0L : real;
  Update out;
  out.values = moontool_values(t, utc_offset_minutes(now), !fast_, months_);
  if (out.values.phase_percent != last_percent_) {
    out.picture_date = out.values.universal;
    last_percent_ = out.values.phase_percent;
  }
  return out;
}

void MoontoolPanel::toggle_fast_mode() {
  fast_ = !fast_;
  fast_start_ = local_instant(clock_.now());
}

int field_value(const std::string& text, int lowest, int highest) {
  const auto v = whole_number(text);
  return v ? clamp_to(*v, lowest, highest) : lowest;
}

MoonPlace read_moon_place(SettingsStore& file) {
  MoonPlace p;
  p.name = file.read(kPlaceSection, "Name").value_or("");
  p.longitude = stored_number(file.read(kPlaceSection, "Longitude"), kMinLongitude, kMaxLongitude);
  p.latitude = stored_number(file.read(kPlaceSection, "Latitude"), kMinLatitude, kMaxLatitude);
  return p;
}

std::optional<StoreError> write_moon_place(SettingsStore& file, const MoonPlace& place) {
  std::optional<StoreError> first = file.write(kPlaceSection, "Name", place.name);
  for (const auto& [key, value] : {std::pair{"Longitude", place.longitude}, std::pair{"Latitude", place.latitude}}) {
    auto e = file.write(kPlaceSection, key, std::to_string(value));
    if (e && !first) first = std::move(e);
  }
  return first;
}

std::optional<Instant> event_on_day(Body body, RiseKind kind, Real latitude, Real longitude, Instant day_start) {
  const auto day_of = [](Instant t) { return std::floor(t); };
  Instant r = rise_transit_set(body, kind, latitude, longitude, day_start);
  if (day_of(r) < day_start) r = rise_transit_set(body, kind, latitude, longitude, day_start + 1);
  if (day_of(r) > day_start) r = rise_transit_set(body, kind, latitude, longitude, day_start - 1);
  if (day_of(r) == day_start) return r;
  return std::nullopt;
}

Eclipse next_eclipse_shown(Instant u, bool solar) {
  Instant x = u - 56;
  // There are eclipses of both kinds every year; the bound only keeps a
  // broken input from looping for ever.
  for (int lunation = 0; lunation < 1000; ++lunation) {
    x += 28;
    const Eclipse e = next_eclipse_search(x, solar);
    x = e.instant;
    if (e.type != EclipseType::None) return e;
  }
  Eclipse none;
  none.instant = x;
  return none;
}

std::string eclipse_type_text(const Eclipse& e, bool solar) {
  switch (static_cast<int>(e.type)) {
    case 1:
      return "Partial";
    case 2:
      return solar ? "Noncentral" : "None";
    case 3:
      return solar ? "Circular" : "None";
    case 4:
      return solar ? "Circular total" : "None";
    case 5:
      // An umbral eclipse of the Moon is total only when the umbra covers it.
      return solar || e.umbral_magnitude >= 1 ? "Total" : "Partial";
    case 6:
      return solar ? "None" : "Half shadow";
    default:
      return "None";
  }
}

MoreDataValues more_data_values(Instant u, int latitude, int longitude, const MonthNames& months) {
  MoreDataValues v;
  const int year = calendar_time(u).year;
  v.spring = event_time(season_start(year, SeasonKind::MarchEquinox), months);
  v.summer = event_time(season_start(year, SeasonKind::JuneSolstice), months);
  v.autumn = event_time(season_start(year, SeasonKind::SeptemberEquinox), months);
  v.winter = event_time(season_start(year, SeasonKind::DecemberSolstice), months);
  v.perigee = event_time(next_perigee(u), months);
  v.apogee = event_time(next_apogee(u), months);

  const Instant day = std::floor(u);
  const auto body_events = [&](Body body, std::string& rise, std::string& transit, std::string& set) {
    const auto shown = [&](const std::optional<Instant>& t) { return t ? event_time(*t, months) : kNoEvent; };
    try {
      const auto r = event_on_day(body, RiseKind::Rise, latitude, longitude, day);
      const auto tr = event_on_day(body, RiseKind::Transit, latitude, longitude, day);
      const auto s = event_on_day(body, RiseKind::Set, latitude, longitude, day);
      rise = shown(r);
      transit = shown(tr);
      set = shown(s);
    } catch (const E_NoRiseSet&) {
      rise = transit = set = kNoEvent;
    }
  };
  body_events(Body::Moon, v.moon_rise, v.moon_transit, v.moon_set);
  body_events(Body::Sun, v.sun_rise, v.sun_transit, v.sun_set);

  const Eclipse lunar = next_eclipse_shown(u, false);
  v.moon_eclipse = event_time(lunar.instant, months);
  v.moon_eclipse_type = eclipse_type_text(lunar, false);
  const Eclipse solar = next_eclipse_shown(u, true);
  v.sun_eclipse = event_time(solar.instant, months);
  v.sun_eclipse_type = eclipse_type_text(solar, true);
  return v;
}

}  // namespace cirrodex::moon
