#pragma once
// The time zone of a place and the zone rules the system's tzdata holds.
// The zone is chosen from tzdata's zone1970.tab: in a US state with a single
// zone, that zone; in a US state with several, the zone of the nearest of a
// few points known for each zone in that state; elsewhere the zone of the
// country whose principal place is nearest. docs/SERVICE.md says how far
// off that can be. Rules are read from the zone's TZif file once and kept;
// every call is safe from any thread.

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "service/geo_point.h"
#include "service/tzif.h"

namespace cirrodex::service {

inline constexpr std::string_view kSystemZoneInfo = "/usr/share/zoneinfo";

// The rows of zone1970.tab: country codes, principal place, zone name.
class ZoneTable {
 public:
  struct Zone {
    std::vector<std::string> countries;  // ISO 3166 codes ("US", "CA")
    GeoPoint principal;
    std::string name;  // "America/Chicago"
  };

  // Lines that are not "CC[,CC...]<TAB>±DDMM±DDDMM (or with seconds)<TAB>Zone..."
  // are left out; comments and blank lines too.
  static ZoneTable parse(std::string_view text);
  const std::vector<Zone>& zones() const { return zones_; }

  // The zone of a place: country is its ISO code, us_state its US state
  // code (empty abroad). Empty when the table has no zone for the country.
  std::string zone_for(GeoPoint where, std::string_view country, std::string_view us_state = {}) const;

 private:
  std::vector<Zone> zones_;
};

class TimeZones {
 public:
  // Reads dir/zone1970.tab; a missing or unreadable file leaves the table
  // empty and error() saying so.
  explicit TimeZones(std::string dir = std::string(kSystemZoneInfo));

  const std::string& error() const { return error_; }
  const ZoneTable& table() const { return table_; }
  std::string zone_for(GeoPoint where, std::string_view country, std::string_view us_state = {}) const {
    return table_.zone_for(where, country, us_state);
  }

  // The rules of a zone by its name ("America/Chicago"), read on first use;
  // null for a name that is not a readable TZif file under the folder
  // (names with "..", a leading "/" or odd characters are refused).
  std::shared_ptr<const TimeZoneRules> rules(std::string_view zone) const;

 private:
  std::string dir_;
  ZoneTable table_;
  std::string error_;
  mutable std::mutex mutex_;
  mutable std::map<std::string, std::shared_ptr<const TimeZoneRules>, std::less<>> rules_;
};

}  // namespace cirrodex::service
