#pragma once
// The places the conditions service answers for and the METAR stations that
// report their weather: US Census places by state and city, US zip codes,
// and the WMO station numbers of the program's own station table, each with
// a position, and for US places a forecast zone. The tables are built by
// tools/make-service-places and compiled in; they are parsed once, into
// views of the text, and looked up without further allocation of the data.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "service/geo_point.h"

namespace cirrodex::service {

struct MetarStation {
  std::string_view icao;  // "KMDW"
  GeoPoint position;
  std::string_view country;  // FIPS 10-4 code as NOAA's station history has it ("US", "GM")
  std::string_view state;    // US state code ("IL"), empty elsewhere
  bool reporting = false;    // reported within the year before the list was made
  std::string_view name;     // "Chicago Midway Intl Arpt"
};

struct NearbyStation {
  std::string icao;
  double distance_km = 0;
};

// Which reporting stations a place gets, nearest first.
struct StationSearch {
  double radius_km = 75;     // every station this close
  double fallback_km = 500;  // none that close: the nearest one up to this far
  std::size_t max_stations = 5;
};

enum class PlaceKind { UsCity, ZipCode, WmoStation };

struct PlaceRecord {
  PlaceKind kind = PlaceKind::UsCity;
  std::string name;           // "Chicago"; for a zip code its nearest town
  std::string region;         // "Illinois"; abroad the program's country key ("France", "Alberta")
  std::string display_name;   // "Chicago, Illinois", "Abbeville, France"
  std::string state;          // US state code ("IL"); empty abroad
  std::string country;        // ISO 3166 code ("US", "PR", "FR"), as the time zone table has it
  std::string forecast_zone;  // "ilz104"; empty abroad
  std::string wmo;            // the station number asked for; empty for US places
  GeoPoint position;
  std::vector<NearbyStation> stations;  // reporting METAR stations, best first
};

class PlaceTables {
 public:
  struct Texts {
    std::string_view us_places, zip_codes, metar_stations, wmo_stations;
  };

  // Parses copies of the four tables; throws std::runtime_error naming the
  // table and line of the first fault (also for a table out of order).
  static PlaceTables parse(const Texts& texts);
  // The tables built into the program, parsed on first use.
  static const PlaceTables& builtin();

  // A US place by state code and city as the program's address has it
  // ("AL", "Muscle_Shoals"): ASCII case, blanks or "_", "-", "." and "'" do
  // not matter, nor marks on Latin-1 letters; "St"/"Saint", "Ste"/"Sainte",
  // "Mt"/"Mount" and "Ft"/"Fort" stand for each other at the start. Empty
  // when there is no such place.
  std::optional<PlaceRecord> us_city(std::string_view state, std::string_view city,
                                     const StationSearch& search = {}) const;
  // A five-digit zip code; empty for anything else or an unknown one.
  std::optional<PlaceRecord> zip_code(std::string_view zip, const StationSearch& search = {}) const;
  // A five-digit WMO station number of the program's station table. Its own
  // ICAO station comes first when it reports, then the others by distance.
  std::optional<PlaceRecord> wmo_station(std::string_view number, const StationSearch& search = {}) const;

  // Reporting stations around a position, nearest first (ties by ICAO).
  std::vector<NearbyStation> stations_near(GeoPoint where, const StationSearch& search = {}) const;
  // A station by its ICAO identifier (any ASCII case), reporting or not.
  const MetarStation* station(std::string_view icao) const;

  std::size_t us_place_count() const { return us_places_.size(); }
  std::size_t zip_code_count() const { return zips_.size(); }
  std::size_t station_count() const { return stations_.size(); }
  std::size_t wmo_station_count() const { return wmo_.size(); }

 private:
  struct State {
    std::string_view code, name;
    std::size_t first = 0, end = 0;  // its places in us_places_
  };
  struct UsPlace {
    std::string_view name, zone;
    float latitude = 0, longitude = 0;
  };
  struct Zip {
    std::uint32_t zip = 0;
    std::uint8_t state = 0;  // index in states_
    float latitude = 0, longitude = 0;
    std::string_view zone, place;
  };
  struct Wmo {
    std::uint32_t number = 0;
    std::string_view icao, country, city, shown;
    float latitude = 0, longitude = 0;
  };

  void parse_views(const Texts& texts);
  const State* state(std::string_view code) const;
  const UsPlace* find_in_state(const State& s, std::string_view key) const;
  PlaceRecord us_record(const State& s, const UsPlace& p, const StationSearch& search) const;

  std::shared_ptr<const std::string> owned_;  // the texts, unless they are built in
  std::vector<State> states_;
  std::vector<UsPlace> us_places_;
  std::vector<Zip> zips_;
  std::vector<MetarStation> stations_;      // by ICAO
  std::vector<std::uint32_t> by_latitude_;  // reporting stations, indices sorted by latitude
  std::vector<Wmo> wmo_;
};

// The form in which place names are compared: Latin-1 marks folded, ASCII
// letters in lower case, "." and "'" dropped, runs of blanks, "_" and "-"
// as one blank, none at the ends. The generator sorts by the same form.
std::string place_key(std::string_view name);

}  // namespace cirrodex::service
