#include "service/table_place_resolver.h"

#include "platform/text.h"

namespace cirrodex::service {
namespace {

std::vector<std::string> split(std::string_view s, char by) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = s.find(by, start);
    parts.push_back(text::trim(s.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start)));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

}  // namespace

TablePlaceResolver::TablePlaceResolver(std::string_view table, std::vector<std::string>* problems) {
  int number = 0;
  for (std::string_view line : text::lines(table)) {
    ++number;
    const std::string trimmed = text::trim(line);
    if (trimmed.empty() || trimmed.front() == '#') continue;
    const std::vector<std::string> fields = split(line, '\t');
    ResolvedPlace place;
    if (fields.size() == 4) {
      for (const std::string& station : split(fields[1], ' '))
        if (!station.empty()) place.stations.push_back(text::upper(station));
      const std::size_t slash = fields[2].find('/');
      if (fields[2] != "-" && slash != std::string::npos) {
        place.state = text::lower(fields[2].substr(0, slash));
        place.forecast_zone = text::lower(fields[2].substr(slash + 1));
      }
      place.name = fields[3];
    }
    if (fields.size() != 4 || fields[0].empty() || place.stations.empty() ||
        (fields[2] != "-" && place.forecast_zone.empty())) {
      if (problems != nullptr) problems->push_back("places line " + std::to_string(number) + ": not read");
      continue;
    }
    places_[fields[0]] = std::move(place);
  }
}

std::optional<ResolvedPlace> TablePlaceResolver::resolve(const Place& place) {
  const auto it = places_.find(describe(place));
  if (it == places_.end()) return std::nullopt;
  return it->second;
}

}  // namespace cirrodex::service
