#include "service/observation_source.h"

#include <cstdio>

#include "platform/text.h"

namespace cirrodex::service {
namespace {

using namespace std::chrono;

constexpr std::string_view kFileSource = "observations";
constexpr std::string_view kApiSource = "observations_api";
constexpr std::string_view kForecastSource = "zone_forecasts";

int two_digits(std::string_view s, std::size_t at) {
  if (at + 2 > s.size() || !text::is_digit(s[at]) || !text::is_digit(s[at + 1])) return -1;
  return (s[at] - '0') * 10 + (s[at + 1] - '0');
}

bool is_icao(std::string_view s) {
  if (s.size() != 4) return false;
  for (char c : s)
    if (!((c >= 'A' && c <= 'Z') || text::is_digit(c))) return false;
  return s[0] >= 'A' && s[0] <= 'Z';
}

bool is_lower_letters(std::string_view s) {
  for (char c : s)
    if (c < 'a' || c > 'z') return false;
  return true;
}

std::optional<UtcTime> utc_time(year_month_day day, int hour, int minute) {
  if (!day.ok() || hour < 0 || hour > 23 || minute < 0 || minute > 59) return std::nullopt;
  return sys_days(day) + hours(hour) + minutes(minute);
}

std::string shown_time(UtcTime t) {
  const auto day = floor<days>(t);
  const year_month_day ymd(day);
  const hh_mm_ss hms(floor<minutes>(t - day));
  char out[32];
  std::snprintf(out, sizeof out, "%04d-%02u-%02u %02ld:%02ld UTC", static_cast<int>(ymd.year()),
                static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                static_cast<long>(hms.hours().count()), static_cast<long>(hms.minutes().count()));
  return out;
}

}  // namespace

std::string SourceFailure::joined() const {
  std::string all;
  for (const std::string& t : texts) all += (all.empty() ? "" : "; ") + t;
  return all;
}

std::optional<UtcTime> station_file_time(std::string_view line) {
  const std::string trimmed = text::trim(line);
  const std::string_view s = trimmed;
  // YYYY/MM/DD HH:MM
  if (s.size() != 16 || s[4] != '/' || s[7] != '/' || s[10] != ' ' || s[13] != ':') return std::nullopt;
  const int century = two_digits(s, 0), year = two_digits(s, 2);
  if (century < 0 || year < 0) return std::nullopt;
  const int month = two_digits(s, 5), day = two_digits(s, 8);
  if (month < 1 || day < 1) return std::nullopt;
  return utc_time(
      year_month_day{std::chrono::year(century * 100 + year), std::chrono::month(static_cast<unsigned>(month)),
                     std::chrono::day(static_cast<unsigned>(day))},
      two_digits(s, 11), two_digits(s, 14));
}

std::optional<UtcTime> report_group_time(std::string_view report, UtcTime now) {
  // The first word of the form ddhhmmZ.
  std::size_t pos = 0;
  while (pos < report.size()) {
    while (pos < report.size() && report[pos] == ' ') ++pos;
    std::size_t end = report.find(' ', pos);
    if (end == std::string_view::npos) end = report.size();
    const std::string_view word = report.substr(pos, end - pos);
    pos = end;
    if (word.size() != 7 || word[6] != 'Z') continue;
    const int dd = two_digits(word, 0), hh = two_digits(word, 2), mm = two_digits(word, 4);
    if (dd < 1 || dd > 31 || hh < 0 || mm < 0) return std::nullopt;
    // This month's day dd, else the month before (and before that, when
    // the month before has no such day).
    const year_month_day today(floor<days>(now));
    year_month month_of = today.year() / today.month();
    for (int back = 0; back < 3; ++back, month_of -= months(1)) {
      const auto t = utc_time(month_of / std::chrono::day(static_cast<unsigned>(dd)), hh, mm);
      if (t && *t <= now + days(1)) return t;
    }
    return std::nullopt;
  }
  return std::nullopt;
}

std::optional<std::string> report_line(std::string_view body, std::string_view icao) {
  for (std::string_view raw : text::lines(body)) {
    std::string line = text::trim(raw);
    std::string_view rest = line;
    if (rest.starts_with("METAR ") || rest.starts_with("SPECI ")) rest.remove_prefix(6);
    if (rest.size() > icao.size() && rest.starts_with(icao) && rest[icao.size()] == ' ') return std::string(rest);
  }
  return std::nullopt;
}

std::shared_ptr<const CachedAnswer> ObservationSource::fetch(const std::string& url, seconds life_when_ok) {
  return cache_.get(url, [&] {
    UpstreamAnswer answer = upstream_.fetch(url);
    const seconds life = answer.ok() ? life_when_ok : kFailureLife;
    return UpstreamCache::Fill{std::move(answer), life};
  });
}

seconds ObservationSource::left(const CachedAnswer& cached) {
  const auto rest = duration_cast<seconds>(cached.expires - clock_.steady());
  return rest.count() > 0 ? rest : seconds(0);
}

ObservationResult ObservationSource::observation(std::string_view station) {
  ObservationResult result;
  const std::string icao = text::upper(station);
  if (!is_icao(icao)) {
    result.failure.texts.push_back("\"" + icao + "\" is not an ICAO station");
    return result;
  }
  int asked = 0, timed_out = 0;
  const UtcTime now = clock_.utc();
  for (const std::string_view source : {kFileSource, kApiSource}) {
    const std::string name(source);
    if (services_.value(name).empty()) continue;  // turned off in the services file
    const bool file = source == kFileSource;
    const std::string url = file ? services_.url(name, "/data/observations/metar/stations/" + icao + ".TXT")
                                 : services_.url(name, "/api/data/metar?ids=" + icao + "&format=raw");
    ++asked;
    auto no_use = [&](const std::string& why) {
      std::string text = name;
      text += ": ";
      text += url;
      text += ": ";
      text += why;
      result.failure.texts.push_back(std::move(text));
    };
    const auto cached = fetch(url, kObservationLife);
    const UpstreamAnswer& answer = cached->answer;
    if (!answer.ok()) {
      timed_out += answer.timed_out ? 1 : 0;
      result.failure.texts.push_back(name + ": " + answer.error);
      continue;
    }
    const auto report = report_line(answer.body, icao);
    if (!report) {
      no_use("no report of " + icao + " in the answer");
      continue;
    }
    std::optional<UtcTime> issued;
    if (file) {
      const auto lines = text::lines(answer.body);
      if (!lines.empty()) issued = station_file_time(lines.front());
    }
    if (!issued) issued = report_group_time(*report, now);
    if (!issued) {
      no_use("the report of " + icao + " has no time");
      continue;
    }
    if (now - *issued > kMaxReportAge) {
      std::string why = "the latest report of ";
      why += icao;
      why += " is from " + shown_time(*issued) + ", older than " + std::to_string(kMaxReportAge.count()) + " hours";
      no_use(why);
      continue;
    }
    result.observation = Observation{icao, *report, *issued, name, url, left(*cached)};
    result.failure = {};
    return result;
  }
  if (asked == 0) result.failure.texts.push_back("no observation source is configured");
  result.failure.timed_out = asked > 0 && timed_out == asked;
  return result;
}

ForecastResult ObservationSource::zone_forecast(std::string_view state_code, std::string_view zone_code) {
  ForecastResult result;
  const std::string state = text::lower(state_code), zone = text::lower(zone_code);
  const bool zone_ok = zone.size() == 6 && is_lower_letters(zone.substr(0, 3)) && zone[2] == 'z' &&
                       text::is_digit(zone[3]) && text::is_digit(zone[4]) && text::is_digit(zone[5]);
  if (state.size() != 2 || !is_lower_letters(state) || !zone_ok) {
    result.failure.texts.push_back("\"" + state + "/" + zone + "\" is not a forecast zone");
    return result;
  }
  const std::string name(kForecastSource);
  if (services_.value(name).empty()) {
    result.failure.texts.push_back("no forecast source is configured");
    return result;
  }
  const std::string url = services_.url(name, "/data/forecasts/zone/" + state + "/" + zone + ".txt");
  const auto cached = fetch(url, kForecastLife);
  const UpstreamAnswer& answer = cached->answer;
  if (!answer.ok()) {
    result.failure.texts.push_back(name + ": " + answer.error);
    result.failure.timed_out = answer.timed_out;
    return result;
  }
  if (text::trim(answer.body).empty()) {
    result.failure.texts.push_back(name + ": " + url + ": empty forecast");
    return result;
  }
  result.forecast = ZoneForecast{zone, answer.body, name, url, left(*cached)};
  return result;
}

}  // namespace cirrodex::service
