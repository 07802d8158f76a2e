#pragma once
// The international station table: the WMO station number of every non-US
// city of the location tree, in tables reached through the country key.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "locations/location_context.h"

namespace cirrodex {

class Host;

struct StationEntry {
  std::string city;
  std::string station;  // five digits, leading zeros kept
  std::string country;  // the tree country (or province, region) it belongs to
};

struct StationTableData {
  std::string name;  // "Africa", "Czech Republic", ...
  std::string miss;  // shown before the city on a miss
  std::vector<StationEntry> entries;
};

class StationTable {
 public:
  // Parses the text of the station data file; throws std::runtime_error
  // naming the line of the first fault.
  static StationTable parse(std::string_view text);
  // The table built into the program.
  static const StationTable& builtin();

  const std::vector<StationTableData>& tables() const { return tables_; }
  const StationTableData* table(std::string_view name) const;
  std::size_t size() const;

 private:
  std::vector<StationTableData> tables_;
};

// The station group of a country key such as "Bangladesh (O)"; nullopt for
// a key the group table does not hold.
std::optional<std::string> station_group(std::string_view key);

// Turns the city and country key of ctx into a station number: the number,
// "n/a" after a miss message, or empty. An empty ctx.country is set to the
// group derived from the key. Messages go to host as modal boxes.
std::string lookup_station(LocationContext& ctx, Host& host, const StationTable& table = StationTable::builtin());

}  // namespace cirrodex
