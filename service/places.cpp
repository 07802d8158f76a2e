#include "service/places.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <tuple>

#include "resources/builtin.h"

namespace cirrodex::service {

namespace {

// A degree of latitude is at least this long, so a latitude window of
// reach / kKmPerDegree holds every station within reach.
constexpr double kKmPerDegree = 111.0;

// Base letters of the Latin-1 letters with marks, from 0xC0 on; 0 keeps the
// character (Æ, Ð, ×, Þ, ß, æ, ð, ÷, þ).
constexpr char kFold[] = "AAAAAA\0CEEEEIIII\0NOOOOO\0OUUUUY\0\0aaaaaa\0ceeeeiiii\0nooooo\0ouuuuy\0y";
static_assert(sizeof(kFold) == 64 + 1);

char folded(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u >= 0xC0 && kFold[u - 0xC0U] != '\0') c = kFold[u - 0xC0U];
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
  return c;
}

bool is_digits(std::string_view s, std::size_t n) {
  return s.size() == n && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::uint32_t to_number(std::string_view digits) {
  std::uint32_t n = 0;
  for (char c : digits) n = n * 10 + static_cast<std::uint32_t>(c - '0');
  return n;
}

std::string upper_ascii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

// One table's lines with their numbers, for the error texts.
class TableReader {
 public:
  TableReader(std::string_view table, std::string_view text) : table_(table), text_(text) {}

  // The next line that is neither empty nor a "#" comment.
  bool next(std::string_view& line) {
    while (pos_ < text_.size()) {
      const std::size_t end = std::min(text_.find('\n', pos_), text_.size());
      line = text_.substr(pos_, end - pos_);
      pos_ = end + 1;
      ++number_;
      if (!line.empty() && line.front() != '#') return true;
    }
    return false;
  }

  [[noreturn]] void fail(std::string_view what) const {
    throw std::runtime_error(std::string(table_) + " line " + std::to_string(number_) + ": " + std::string(what));
  }

  // Exactly n tab-separated fields.
  template <std::size_t N>
  std::array<std::string_view, N> fields(std::string_view line) const {
    std::array<std::string_view, N> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i < N; ++i) {
      const std::size_t tab = line.find('\t', start);
      if ((tab == std::string_view::npos) != (i + 1 == N)) fail("expected " + std::to_string(N) + " fields");
      out[i] = line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start);
      start = tab + 1;
    }
    return out;
  }

  float coordinate(std::string_view s, double limit) const {
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !(std::abs(v) <= limit)) fail("bad coordinate");
    return static_cast<float>(v);
  }

 private:
  std::string_view table_, text_;
  std::size_t pos_ = 0;
  std::size_t number_ = 0;
};

// The names that stand for each other as the first word of a place name.
constexpr std::array<std::array<std::string_view, 2>, 4> kFirstWords = {
    {{"st", "saint"}, {"ste", "sainte"}, {"mt", "mount"}, {"ft", "fort"}}};

std::string country_of_state(std::string_view state) {
  // Puerto Rico and the Virgin Islands have zones of their own in the
  // time zone table, under their own country codes.
  if (state == "PR" || state == "VI") return std::string(state);
  return "US";
}

}  // namespace

std::string place_key(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (char c : name) {
    if (c == '.' || c == '\'') continue;
    if (c == ' ' || c == '_' || c == '-') {
      if (!out.empty() && out.back() != ' ') out.push_back(' ');
      continue;
    }
    out.push_back(folded(c));
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

PlaceTables PlaceTables::parse(const Texts& texts) {
  PlaceTables t;
  // One buffer for all four, so that the views survive moves of the tables.
  auto owned = std::make_shared<std::string>();
  owned->reserve(texts.us_places.size() + texts.zip_codes.size() + texts.metar_stations.size() +
                 texts.wmo_stations.size());
  std::array<std::size_t, 5> at{};
  const std::array<std::string_view, 4> parts = {texts.us_places, texts.zip_codes, texts.metar_stations,
                                                 texts.wmo_stations};
  for (std::size_t i = 0; i < parts.size(); ++i) {
    owned->append(parts[i]);
    at[i + 1] = owned->size();
  }
  const std::string_view all = *owned;
  t.owned_ = std::move(owned);
  t.parse_views({all.substr(at[0], at[1] - at[0]), all.substr(at[1], at[2] - at[1]), all.substr(at[2], at[3] - at[2]),
                 all.substr(at[3], at[4] - at[3])});
  return t;
}

const PlaceTables& PlaceTables::builtin() {
  static const PlaceTables tables = [] {
    const auto text = [](std::string_view name) {
      const auto bytes = builtin_resource(name, "TXT");
      if (!bytes) throw std::runtime_error("built-in resource " + std::string(name) + " is missing");
      return *bytes;
    };
    PlaceTables t;
    t.parse_views({text("SVC_US_PLACES"), text("SVC_ZIP_CODES"), text("SVC_METAR_STATIONS"), text("SVC_WMO_STATIONS")});
    return t;
  }();
  return tables;
}

void PlaceTables::parse_views(const Texts& texts) {
  std::string_view line;
  {
    TableReader r("us_places.txt", texts.us_places);
    std::string previous;
    while (r.next(line)) {
      if (line.starts_with("state ")) {
        if (line.size() < 10 || line[8] != ' ') r.fail("bad state line");
        if (!states_.empty() && states_.back().code >= line.substr(6, 2)) r.fail("states out of order");
        if (states_.size() == 255) r.fail("too many states");
        states_.push_back({line.substr(6, 2), line.substr(9), us_places_.size(), us_places_.size()});
        previous.clear();
        continue;
      }
      if (states_.empty()) r.fail("a place before the first state");
      const auto f = r.fields<4>(line);
      std::string key = place_key(f[0]);
      if (key.empty() || key <= previous) r.fail("places out of order or repeated");
      previous = std::move(key);
      us_places_.push_back({f[0], f[3], r.coordinate(f[1], 90), r.coordinate(f[2], 180)});
      states_.back().end = us_places_.size();
    }
  }
  {
    TableReader r("zip_codes.txt", texts.zip_codes);
    while (r.next(line)) {
      const auto f = r.fields<6>(line);
      if (!is_digits(f[0], 5)) r.fail("bad zip code");
      const std::uint32_t zip = to_number(f[0]);
      if (!zips_.empty() && zips_.back().zip >= zip) r.fail("zip codes out of order or repeated");
      const State* s = state(f[3]);
      if (s == nullptr) r.fail("unknown state");
      zips_.push_back({zip, static_cast<std::uint8_t>(s - states_.data()), r.coordinate(f[1], 90),
                       r.coordinate(f[2], 180), f[4], f[5]});
    }
  }
  {
    TableReader r("metar_stations.txt", texts.metar_stations);
    while (r.next(line)) {
      const auto f = r.fields<7>(line);
      if (f[0].size() != 4 || (!stations_.empty() && stations_.back().icao >= f[0]))
        r.fail("bad ICAO identifier, or out of order");
      if (f[5] != "0" && f[5] != "1") r.fail("bad reporting flag");
      stations_.push_back({f[0], {r.coordinate(f[1], 90), r.coordinate(f[2], 180)}, f[3], f[4], f[5] == "1", f[6]});
    }
    for (std::size_t i = 0; i < stations_.size(); ++i)
      if (stations_[i].reporting) by_latitude_.push_back(static_cast<std::uint32_t>(i));
    std::sort(by_latitude_.begin(), by_latitude_.end(), [this](std::uint32_t a, std::uint32_t b) {
      return stations_[a].position.latitude < stations_[b].position.latitude;
    });
  }
  {
    TableReader r("wmo_stations.txt", texts.wmo_stations);
    while (r.next(line)) {
      const auto f = r.fields<7>(line);
      if (!is_digits(f[0], 5)) r.fail("bad station number");
      const std::uint32_t number = to_number(f[0]);
      if (!wmo_.empty() && wmo_.back().number >= number) r.fail("station numbers out of order or repeated");
      if (!f[1].empty() && f[1].size() != 4) r.fail("bad ICAO identifier");
      wmo_.push_back({number, f[1], f[4], f[5], f[6], r.coordinate(f[2], 90), r.coordinate(f[3], 180)});
    }
  }
}

const PlaceTables::State* PlaceTables::state(std::string_view code) const {
  const std::string wanted = upper_ascii(code);
  for (const State& s : states_)
    if (s.code == wanted) return &s;
  return nullptr;
}

const PlaceTables::UsPlace* PlaceTables::find_in_state(const State& s, std::string_view key) const {
  const auto first = us_places_.begin() + static_cast<std::ptrdiff_t>(s.first);
  const auto end = us_places_.begin() + static_cast<std::ptrdiff_t>(s.end);
  const auto it = std::partition_point(first, end, [&](const UsPlace& p) { return place_key(p.name) < key; });
  if (it != end && place_key(it->name) == key) return &*it;
  return nullptr;
}

std::optional<PlaceRecord> PlaceTables::us_city(std::string_view state_code, std::string_view city,
                                                const StationSearch& search) const {
  const State* s = state(state_code);
  if (s == nullptr) return std::nullopt;
  const std::string key = place_key(city);
  if (key.empty()) return std::nullopt;
  const UsPlace* p = find_in_state(*s, key);
  if (p == nullptr) {
    // "St. Louis" for "Saint Louis", "Fort Worth" for "Ft Worth".
    const std::size_t blank = key.find(' ');
    const std::string_view first = std::string_view(key).substr(0, blank);
    const std::string rest = blank == std::string::npos ? std::string() : key.substr(blank);
    for (const auto& pair : kFirstWords)
      for (std::size_t i = 0; i < 2 && p == nullptr && !rest.empty(); ++i)
        if (first == pair[i]) p = find_in_state(*s, std::string(pair[1 - i]) + rest);
  }
  if (p == nullptr) return std::nullopt;
  return us_record(*s, *p, search);
}

PlaceRecord PlaceTables::us_record(const State& s, const UsPlace& p, const StationSearch& search) const {
  PlaceRecord r;
  r.kind = PlaceKind::UsCity;
  r.name = p.name;
  r.region = s.name;
  r.display_name = r.name + ", " + r.region;
  r.state = s.code;
  r.country = country_of_state(s.code);
  r.forecast_zone = p.zone;
  r.position = {p.latitude, p.longitude};
  r.stations = stations_near(r.position, search);
  return r;
}

std::optional<PlaceRecord> PlaceTables::zip_code(std::string_view zip, const StationSearch& search) const {
  if (!is_digits(zip, 5)) return std::nullopt;
  const std::uint32_t n = to_number(zip);
  const auto it =
      std::lower_bound(zips_.begin(), zips_.end(), n, [](const Zip& z, std::uint32_t v) { return z.zip < v; });
  if (it == zips_.end() || it->zip != n) return std::nullopt;
  const State& s = states_[it->state];
  PlaceRecord r;
  r.kind = PlaceKind::ZipCode;
  r.name = it->place;
  r.region = s.name;
  r.display_name = r.name + ", " + r.region;
  r.state = s.code;
  r.country = country_of_state(s.code);
  r.forecast_zone = it->zone;
  r.position = {it->latitude, it->longitude};
  r.stations = stations_near(r.position, search);
  return r;
}

std::optional<PlaceRecord> PlaceTables::wmo_station(std::string_view number, const StationSearch& search) const {
  if (!is_digits(number, 5)) return std::nullopt;
  const std::uint32_t n = to_number(number);
  const auto it =
      std::lower_bound(wmo_.begin(), wmo_.end(), n, [](const Wmo& w, std::uint32_t v) { return w.number < v; });
  if (it == wmo_.end() || it->number != n) return std::nullopt;
  PlaceRecord r;
  r.kind = PlaceKind::WmoStation;
  r.name = it->city;
  r.region = it->shown;
  r.display_name = r.name + ", " + r.region;
  r.country = it->country;
  r.wmo = number;
  r.position = {it->latitude, it->longitude};
  const MetarStation* own = it->icao.empty() ? nullptr : station(it->icao);
  if (own != nullptr && own->reporting && search.max_stations > 0)
    r.stations.push_back({std::string(own->icao), distance_km(r.position, own->position)});
  for (NearbyStation& s : stations_near(r.position, search)) {
    if (r.stations.size() >= search.max_stations) break;
    if (own == nullptr || s.icao != own->icao) r.stations.push_back(std::move(s));
  }
  return r;
}

std::vector<NearbyStation> PlaceTables::stations_near(GeoPoint where, const StationSearch& search) const {
  // Every reporting station within reach of where, in no order.
  const auto within = [&](double reach) {
    const double window = reach / kKmPerDegree;
    const auto lo = std::partition_point(by_latitude_.begin(), by_latitude_.end(), [&](std::uint32_t i) {
      return stations_[i].position.latitude < where.latitude - window;
    });
    std::vector<NearbyStation> out;
    for (auto it = lo; it != by_latitude_.end() && stations_[*it].position.latitude <= where.latitude + window; ++it) {
      const double d = distance_km(where, stations_[*it].position);
      if (d <= reach) out.push_back({std::string(stations_[*it].icao), d});
    }
    return out;
  };
  const auto closer = [](const NearbyStation& a, const NearbyStation& b) {
    return std::tie(a.distance_km, a.icao) < std::tie(b.distance_km, b.icao);
  };
  if (search.max_stations == 0) return {};
  std::vector<NearbyStation> found = within(search.radius_km);
  std::sort(found.begin(), found.end(), closer);
  if (found.size() > search.max_stations) found.resize(search.max_stations);
  if (found.empty() && search.fallback_km > search.radius_km) {
    std::vector<NearbyStation> farther = within(search.fallback_km);
    const auto nearest = std::min_element(farther.begin(), farther.end(), closer);
    if (nearest != farther.end()) found.push_back(*nearest);
  }
  return found;
}

const MetarStation* PlaceTables::station(std::string_view icao) const {
  const std::string wanted = upper_ascii(icao);
  const auto it = std::lower_bound(stations_.begin(), stations_.end(), wanted,
                                   [](const MetarStation& s, const std::string& v) { return s.icao < v; });
  if (it == stations_.end() || it->icao != wanted) return nullptr;
  return &*it;
}

}  // namespace cirrodex::service
