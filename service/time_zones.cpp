#include "service/time_zones.h"

#include <algorithm>
#include <iterator>

#include "platform/files.h"
#include "service/us_time_zones.h"

namespace cirrodex::service {

namespace {

std::string upper_ascii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::vector<std::string_view> split(std::string_view s, char by) {
  std::vector<std::string_view> out;
  std::size_t start = 0;
  while (true) {
    const std::size_t at = s.find(by, start);
    out.push_back(s.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
    if (at == std::string_view::npos) return out;
    start = at + 1;
  }
}

// "+4151" or "+415100" (latitude), "-08739" or "-0873900" (longitude) in
// degrees; empty when the text is neither.
std::optional<double> angle(std::string_view s, std::size_t degree_digits) {
  if (s.size() != 1 + degree_digits + 2 && s.size() != 1 + degree_digits + 4) return std::nullopt;
  if (s[0] != '+' && s[0] != '-') return std::nullopt;
  double value = 0;
  double unit = 1;
  std::size_t pos = 1;
  for (const std::size_t digits : {degree_digits, std::size_t{2}, std::size_t{2}}) {
    if (pos == s.size()) break;
    int n = 0;
    for (std::size_t i = 0; i < digits; ++i) {
      const char c = s[pos + i];
      if (c < '0' || c > '9') return std::nullopt;
      n = n * 10 + (c - '0');
    }
    value += n / unit;
    unit *= 60;
    pos += digits;
  }
  return s[0] == '-' ? -value : value;
}

std::optional<GeoPoint> principal_place(std::string_view s) {
  const std::size_t split_at = s.find_first_of("+-", 1);
  if (split_at == std::string_view::npos) return std::nullopt;
  const auto lat = angle(s.substr(0, split_at), 2);
  const auto lon = angle(s.substr(split_at), 3);
  if (!lat || !lon || *lat > 90 || *lon > 180 || *lat < -90 || *lon < -180) return std::nullopt;
  return GeoPoint{*lat, *lon};
}

bool safe_zone_name(std::string_view name) {
  if (name.empty() || name.front() == '/' || name.find("..") != std::string_view::npos) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' || c == '_' ||
           c == '+' || c == '-';
  });
}

std::optional<std::string> read_file(const std::string& path) { return read_whole_file(path).bytes; }

}  // namespace

ZoneTable ZoneTable::parse(std::string_view text) {
  ZoneTable t;
  for (std::string_view line : split(text, '\n')) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    const auto fields = split(line, '\t');
    if (fields.size() < 3 || fields[0].empty() || fields[2].empty()) continue;
    const auto where = principal_place(fields[1]);
    if (!where) continue;
    Zone z;
    for (std::string_view code : split(fields[0], ','))
      if (code.size() == 2) z.countries.emplace_back(code);
    if (z.countries.empty()) continue;
    z.principal = *where;
    z.name = fields[2];
    t.zones_.push_back(std::move(z));
  }
  return t;
}

std::string ZoneTable::zone_for(GeoPoint where, std::string_view country, std::string_view us_state) const {
  if (!us_state.empty()) {
    const std::string state = upper_ascii(us_state);
    if (const std::string_view zone = single_us_zone(state); !zone.empty()) return std::string(zone);
    const auto towns = us_zone_towns(state);
    if (!towns.empty()) {
      const auto nearest = std::min_element(towns.begin(), towns.end(), [&](const UsZoneTown& a, const UsZoneTown& b) {
        return distance_km(where, {a.latitude, a.longitude}) < distance_km(where, {b.latitude, b.longitude});
      });
      return std::string(nearest->zone);
    }
  }
  const std::string code = upper_ascii(country);
  const Zone* best = nullptr;
  double best_km = 0;
  for (const Zone& z : zones_) {
    if (std::find(z.countries.begin(), z.countries.end(), code) == z.countries.end()) continue;
    const double km = distance_km(where, z.principal);
    if (best == nullptr || km < best_km) {
      best = &z;
      best_km = km;
    }
  }
  return best == nullptr ? std::string() : best->name;
}

TimeZones::TimeZones(std::string dir) : dir_(std::move(dir)) {
  const std::string path = dir_ + "/zone1970.tab";
  const auto text = read_file(path);
  if (!text) {
    error_ = "cannot read " + path;
    return;
  }
  table_ = ZoneTable::parse(*text);
  if (table_.zones().empty()) error_ = "no zones in " + path;
}

std::shared_ptr<const TimeZoneRules> TimeZones::rules(std::string_view zone) const {
  if (!safe_zone_name(zone)) return nullptr;
  const std::lock_guard lock(mutex_);
  if (const auto it = rules_.find(zone); it != rules_.end()) return it->second;
  std::shared_ptr<const TimeZoneRules> rules;
  if (const auto bytes = read_file(dir_ + "/" + std::string(zone))) {
    if (auto parsed = TimeZoneRules::parse(*bytes)) rules = std::make_shared<const TimeZoneRules>(std::move(*parsed));
  }
  rules_.emplace(std::string(zone), rules);
  return rules;
}

}  // namespace cirrodex::service
