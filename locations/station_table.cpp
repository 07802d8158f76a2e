#include "locations/station_table.h"

#include <array>
#include <stdexcept>

#include "platform/host.h"
#include "platform/text.h"
#include "resources/builtin.h"

namespace cirrodex {

namespace {

struct GroupRow {
  std::string_view group;
  std::vector<std::string_view> keys;  // without the " (O)"
};

const std::vector<GroupRow>& group_rows() {
  static const std::vector<GroupRow> rows = {
      {"Antarctica", {"Antarctica"}},
      {"Africa", {"Botswana", "Kenya", "Egypt", "South Africa", "Tanzania", "Zambia"}},
      {"Asia",
       {"Bangladesh", "India", "Israel", "Japan", "Jordan", "Kuwait", "Lebanon", "Malaysia", "Nepal", "Pakistan",
        "Philippines", "Saudi Arabia", "Singapore", "South Korea", "Taiwan", "Thailand", "United Arab Emirates",
        "VietNam", "Viet Nam"}},
      {"China", {"China"}},
      {"Hong Kong", {"Hong Kong"}},
      {"Australia",
       {"Australasia", "Australia", "Indonesia", "Australia Capital Territory", "New South Wales", "New Zealand",
        "Northern Territory", "Queensland", "South Australia", "Tasmania", "Victoria", "Western Australia"}},
      {"Central America",
       {"Belize", "Costa Rica", "Dominica", "Dominican Republic", "El Salvador", "Guatemala", "Honduras", "Mexico",
        "Nicaragua", "Panama"}},
      {"Europe", {"Austria",     "Belgium", "Bosnia",    "Bulgaria",       "Cyprus",      "Croatia", "Czech Republic",
                  "Denmark",     "Finland", "France",    "Germany",        "Greece",      "Hungary", "Iceland",
                  "Ireland",     "Italy",   "Lithuania", "Macedonia",      "Netherlands", "Norway",  "Poland",
                  "Portugal",    "Romania", "Russia",    "Slovakia",       "Slovenia",    "Spain",   "Sweden",
                  "Switzerland", "Turkey",  "Ukraine",   "United Kingdom", "Yugoslavia"}},
      {"Canada",
       {"Canada", "Alberta", "British Columbia", "Manitoba", "New Brunswick", "Newfoundland", "Nova Scotia",
        "Northwest Territory", "Ontario", "Prince Edward Island", "Quebec", "Saskatchewan", "Yukon Territory"}},
      {"Islands",
       {"Antigua", "Cayman Island", "Faeroe Islands", "Fiji", "Bermuda", "Barbados", "Bahamas", "Jamaica",
        "Mariana Islands", "Trinidad And Tobago"}},
      {"South America", {"Argentina", "Brazil", "Chile", "Colombia", "Guyana", "Peru", "Venezuela"}},
  };
  return rows;
}

constexpr std::string_view kMarker = " (O)";

// The country name of a key, or nullopt when it lacks the marker.
std::optional<std::string_view> key_country(std::string_view key) {
  if (key.size() < kMarker.size() || key.substr(key.size() - kMarker.size()) != kMarker) return std::nullopt;
  return key.substr(0, key.size() - kMarker.size());
}

bool group_has(std::string_view group, std::string_view country) {
  for (const auto& row : group_rows())
    if (row.group == group)
      for (auto k : row.keys)
        if (k == country) return true;
  return false;
}

bool is_station_number(std::string_view s) {
  if (s.size() != 5) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

std::optional<std::string> station_group(std::string_view key) {
  const auto country = key_country(key);
  if (!country) return std::nullopt;
  for (const auto& row : group_rows())
    for (auto k : row.keys)
      if (k == *country) return std::string(row.group);
  return std::nullopt;
}

StationTable StationTable::parse(std::string_view text) {
  StationTable result;
  std::string country;
  int number = 0;
  for (std::string_view line : text::lines(text)) {
    ++number;
    auto fail = [&](const std::string& why) {
      throw std::runtime_error("station data line " + std::to_string(number) + ": " + why);
    };
    if (line.empty() || line.front() == '#') continue;
    if (line.starts_with("table ")) {
      result.tables_.push_back({std::string(line.substr(6)), {}, {}});
      country = result.tables_.back().name;
      continue;
    }
    if (result.tables_.empty()) fail("entry before the first table");
    auto& table = result.tables_.back();
    if (line.starts_with("miss ")) {
      table.miss = std::string(line.substr(5));
    } else if (line.starts_with("country ")) {
      country = std::string(line.substr(8));
    } else {
      const auto tab = line.find('\t');
      if (tab == std::string_view::npos || tab == 0) fail("expected a city, a tab and a station number");
      const auto station = line.substr(tab + 1);
      if (!is_station_number(station)) fail("\"" + std::string(station) + "\" is not a five-digit station number");
      table.entries.push_back({std::string(line.substr(0, tab)), std::string(station), country});
    }
  }
  for (const auto& t : result.tables_)
    if (t.miss.empty()) throw std::runtime_error("station data: table " + t.name + " has no miss message");
  return result;
}

const StationTable& StationTable::builtin() {
  static const StationTable table = [] {
    const auto text = builtin_resource("STATIONS", "TXT");
    if (!text) throw std::runtime_error("the built-in station table is missing");
    return parse(*text);
  }();
  return table;
}

const StationTableData* StationTable::table(std::string_view name) const {
  for (const auto& t : tables_)
    if (t.name == name) return &t;
  return nullptr;
}

std::size_t StationTable::size() const {
  std::size_t n = 0;
  for (const auto& t : tables_) n += t.entries.size();
  return n;
}

std::string lookup_station(LocationContext& ctx, Host& host, const StationTable& stations) {
  auto say = [&](const std::string& text) { host.message_box(text, MessageKind::Warning, MessageButtons::Ok); };
  if (ctx.city.empty()) {
    say("Error - City field is empty in Foreign_locations; city:" + ctx.city);
    host.beep();
    return {};
  }
  if (ctx.country.empty()) {
    const auto group = station_group(ctx.state_or_country);
    if (!group) {
      say("Error - invalid state/territory (Foreign_locations):" + ctx.state_or_country);
      return {};
    }
    ctx.country = *group;
  }
  const std::string& group = ctx.country;
  const std::string_view country = key_country(ctx.state_or_country).value_or(std::string_view{});

  const StationTableData* table = nullptr;
  if (group == "Antarctica" || group == "Africa" || group == "Canada" || group == "Central America" ||
      group == "China" || group == "Hong Kong") {
    table = stations.table(group);
  } else if (group == "Australia" || group == "Australasia") {
    table = stations.table("Australia");
  } else if (group == "Asia" && (country == "China" || country == "Hong Kong")) {
    table = stations.table(country);
  } else if (group == "Asia" || group == "Europe" || group == "South America") {
    const std::string_view name = country == "Viet Nam" ? std::string_view("VietNam") : country;
    if (group_has(group, name)) table = stations.table(name);
  } else if (group == "Islands") {
    if (group_has("Islands", country)) table = stations.table("Islands");
  } else {
    say("Sorry, this foreign country info is not added yet..." + group);
    return {};
  }
  if (!table) return {};
  for (const auto& e : table->entries)
    if (e.city == ctx.city) return e.station;
  say(table->miss + ctx.city);
  return "n/a";
}

}  // namespace cirrodex
