#include "service/us_time_zones.h"

#include <algorithm>
#include <array>
#include <utility>

namespace cirrodex::service {

namespace {

constexpr std::string_view kEastern = "America/New_York";
constexpr std::string_view kCentral = "America/Chicago";
constexpr std::string_view kMountain = "America/Denver";
constexpr std::string_view kPacific = "America/Los_Angeles";

constexpr std::array<std::pair<std::string_view, std::string_view>, 40> kSingle = {{
    {"AL", kCentral}, {"AR", kCentral}, {"AZ", "America/Phoenix"}, {"CA", kPacific},  {"CO", kMountain},
    {"CT", kEastern}, {"DC", kEastern}, {"DE", kEastern},          {"GA", kEastern},  {"HI", "Pacific/Honolulu"},
    {"IA", kCentral}, {"IL", kCentral}, {"LA", kCentral},          {"MA", kEastern},  {"MD", kEastern},
    {"ME", kEastern}, {"MN", kCentral}, {"MO", kCentral},          {"MS", kCentral},  {"MT", kMountain},
    {"NC", kEastern}, {"NH", kEastern}, {"NJ", kEastern},          {"NM", kMountain}, {"NV", kPacific},
    {"NY", kEastern}, {"OH", kEastern}, {"OK", kCentral},          {"PA", kEastern},  {"PR", "America/Puerto_Rico"},
    {"RI", kEastern}, {"SC", kEastern}, {"UT", kMountain},         {"VA", kEastern},  {"VI", "America/Puerto_Rico"},
    {"VT", kEastern}, {"WA", kPacific}, {"WI", kCentral},          {"WV", kEastern},  {"WY", kMountain},
}};

// Grouped by state, in the order of the codes.
constexpr UsZoneTown kTowns[] = {
    // Alaska: one time since 1983 but several zones; the Aleutians west of
    // 169.5 W keep Hawaii-Aleutian time.
    {"AK", 61.22, -149.90, "America/Anchorage"},
    {"AK", 64.84, -147.72, "America/Anchorage"},
    {"AK", 53.89, -166.54, "America/Anchorage"},
    {"AK", 52.94, -168.87, "America/Anchorage"},
    {"AK", 58.30, -134.42, "America/Juneau"},
    {"AK", 57.05, -135.33, "America/Sitka"},
    {"AK", 55.13, -131.57, "America/Metlakatla"},
    {"AK", 59.55, -139.73, "America/Yakutat"},
    {"AK", 64.50, -165.41, "America/Nome"},
    {"AK", 51.88, -176.66, "America/Adak"},
    {"AK", 52.20, -174.20, "America/Adak"},
    // Florida: the panhandle west of the Apalachicola is on Central time.
    {"FL", 25.77, -80.19, kEastern},
    {"FL", 27.95, -82.46, kEastern},
    {"FL", 30.33, -81.66, kEastern},
    {"FL", 30.44, -84.28, kEastern},
    {"FL", 29.73, -84.98, kEastern},
    {"FL", 29.81, -85.30, kEastern},
    {"FL", 30.70, -84.85, kEastern},
    {"FL", 30.42, -87.22, kCentral},
    {"FL", 30.16, -85.66, kCentral},
    {"FL", 30.77, -85.23, kCentral},
    {"FL", 30.44, -85.05, kCentral},
    {"FL", 30.11, -85.20, kCentral},
    // Idaho: the panhandle is on Pacific time.
    {"ID", 43.62, -116.20, "America/Boise"},
    {"ID", 42.87, -112.45, "America/Boise"},
    {"ID", 45.18, -113.90, "America/Boise"},
    {"ID", 44.91, -116.10, "America/Boise"},
    {"ID", 44.22, -114.94, "America/Boise"},
    {"ID", 45.42, -116.32, kPacific},
    {"ID", 45.93, -116.12, kPacific},
    {"ID", 45.83, -115.44, kPacific},
    {"ID", 46.42, -117.02, kPacific},
    {"ID", 47.68, -116.78, kPacific},
    // Indiana: Eastern time with zones of their own for counties that
    // changed, Central time in the north-west and the south-west corners.
    {"IN", 39.77, -86.16, "America/Indiana/Indianapolis"},
    {"IN", 41.08, -85.14, "America/Indiana/Indianapolis"},
    {"IN", 41.68, -86.25, "America/Indiana/Indianapolis"},
    {"IN", 40.42, -86.88, "America/Indiana/Indianapolis"},
    {"IN", 39.47, -87.41, "America/Indiana/Indianapolis"},
    {"IN", 41.34, -86.31, "America/Indiana/Indianapolis"},
    {"IN", 38.68, -87.53, "America/Indiana/Vincennes"},
    {"IN", 38.39, -86.93, "America/Indiana/Vincennes"},
    {"IN", 41.05, -86.60, "America/Indiana/Winamac"},
    {"IN", 38.37, -86.34, "America/Indiana/Marengo"},
    {"IN", 38.49, -87.28, "America/Indiana/Petersburg"},
    {"IN", 38.75, -85.07, "America/Indiana/Vevay"},
    {"IN", 37.95, -86.77, "America/Indiana/Tell_City"},
    {"IN", 41.30, -86.62, "America/Indiana/Knox"},
    {"IN", 41.59, -87.35, kCentral},
    {"IN", 41.47, -87.06, kCentral},
    {"IN", 41.71, -86.90, kCentral},
    {"IN", 40.94, -87.15, kCentral},
    {"IN", 40.77, -87.45, kCentral},
    {"IN", 37.97, -87.57, kCentral},
    {"IN", 38.36, -87.57, kCentral},
    {"IN", 38.05, -87.27, kCentral},
    // Kansas: four western counties are on Mountain time.
    {"KS", 37.69, -97.34, kCentral},
    {"KS", 39.05, -95.68, kCentral},
    {"KS", 37.75, -100.02, kCentral},
    {"KS", 39.40, -101.05, kCentral},
    {"KS", 37.97, -100.87, kCentral},
    {"KS", 38.48, -101.36, kCentral},
    {"KS", 39.81, -101.04, kCentral},
    {"KS", 37.57, -101.75, kCentral},
    {"KS", 39.35, -101.71, kMountain},
    {"KS", 38.90, -101.75, kMountain},
    {"KS", 38.47, -101.75, kMountain},
    {"KS", 37.98, -101.75, kMountain},
    {"KS", 39.77, -101.80, kMountain},
    // Kentucky: the west is on Central time.
    {"KY", 38.25, -85.76, "America/Kentucky/Louisville"},
    {"KY", 37.69, -85.86, "America/Kentucky/Louisville"},
    {"KY", 37.99, -86.17, "America/Kentucky/Louisville"},
    {"KY", 36.83, -84.85, "America/Kentucky/Monticello"},
    {"KY", 38.04, -84.50, kEastern},
    {"KY", 37.09, -84.60, kEastern},
    {"KY", 37.34, -85.34, kEastern},
    {"KY", 37.57, -85.74, kEastern},
    {"KY", 38.04, -82.60, kEastern},
    {"KY", 36.99, -86.44, kCentral},
    {"KY", 37.08, -88.60, kCentral},
    {"KY", 37.77, -87.11, kCentral},
    {"KY", 37.00, -85.91, kCentral},
    {"KY", 37.10, -85.31, kCentral},
    {"KY", 37.06, -85.09, kCentral},
    {"KY", 37.90, -86.75, kCentral},
    {"KY", 37.78, -86.46, kCentral},
    {"KY", 37.48, -86.29, kCentral},
    {"KY", 37.26, -85.50, kCentral},
    {"KY", 36.79, -85.37, kCentral},
    {"KY", 36.69, -85.13, kCentral},
    // Michigan: four counties on the Wisconsin line are on Central time.
    {"MI", 42.33, -83.05, "America/Detroit"},
    {"MI", 42.96, -85.67, "America/Detroit"},
    {"MI", 46.54, -87.40, "America/Detroit"},
    {"MI", 45.75, -87.06, "America/Detroit"},
    {"MI", 45.11, -87.61, "America/Menominee"},
    {"MI", 45.82, -88.07, "America/Menominee"},
    {"MI", 46.09, -88.64, "America/Menominee"},
    {"MI", 46.45, -90.17, "America/Menominee"},
    // North Dakota: the south-west is on Mountain time.
    {"ND", 46.88, -96.79, kCentral},
    {"ND", 46.81, -100.78, kCentral},
    {"ND", 46.83, -100.89, kCentral},
    {"ND", 48.23, -101.30, kCentral},
    {"ND", 48.15, -103.62, kCentral},
    {"ND", 47.80, -103.28, kCentral},
    {"ND", 46.09, -100.63, kCentral},
    {"ND", 47.12, -101.30, "America/North_Dakota/Center"},
    {"ND", 46.85, -101.41, "America/North_Dakota/New_Salem"},
    {"ND", 46.81, -101.83, "America/North_Dakota/New_Salem"},
    {"ND", 47.26, -101.78, "America/North_Dakota/Beulah"},
    {"ND", 46.88, -102.79, kMountain},
    {"ND", 46.18, -103.39, kMountain},
    {"ND", 46.37, -102.33, kMountain},
    {"ND", 46.00, -102.64, kMountain},
    {"ND", 47.37, -102.75, kMountain},
    {"ND", 47.39, -103.25, kMountain},
    {"ND", 46.40, -101.85, kMountain},
    // Nebraska: the west is on Mountain time.
    {"NE", 41.26, -95.94, kCentral},
    {"NE", 40.81, -96.70, kCentral},
    {"NE", 40.92, -98.34, kCentral},
    {"NE", 41.12, -100.77, kCentral},
    {"NE", 42.87, -100.55, kCentral},
    {"NE", 40.20, -100.63, kCentral},
    {"NE", 41.98, -100.58, kCentral},
    {"NE", 40.18, -101.01, kCentral},
    {"NE", 42.92, -101.70, kCentral},
    {"NE", 41.87, -103.67, kMountain},
    {"NE", 41.14, -102.98, kMountain},
    {"NE", 41.13, -101.72, kMountain},
    {"NE", 42.10, -102.87, kMountain},
    {"NE", 42.83, -103.00, kMountain},
    {"NE", 40.52, -101.64, kMountain},
    {"NE", 41.57, -101.69, kMountain},
    {"NE", 42.04, -101.04, kMountain},
    {"NE", 42.00, -101.76, kMountain},
    {"NE", 40.05, -101.53, kMountain},
    {"NE", 42.80, -102.20, kMountain},
    // Oregon: most of Malheur County is on Mountain time.
    {"OR", 45.52, -122.68, kPacific},
    {"OR", 44.05, -123.09, kPacific},
    {"OR", 44.06, -121.31, kPacific},
    {"OR", 45.67, -118.79, kPacific},
    {"OR", 43.59, -119.05, kPacific},
    {"OR", 44.77, -117.83, kPacific},
    {"OR", 44.03, -116.96, "America/Boise"},
    {"OR", 43.98, -117.24, "America/Boise"},
    {"OR", 42.97, -117.05, "America/Boise"},
    {"OR", 43.75, -118.08, "America/Boise"},
    // South Dakota: the west is on Mountain time.
    {"SD", 43.55, -96.73, kCentral},
    {"SD", 44.37, -100.35, kCentral},
    {"SD", 44.35, -100.37, kCentral},
    {"SD", 45.46, -98.49, kCentral},
    {"SD", 45.54, -100.43, kCentral},
    {"SD", 43.89, -100.71, kCentral},
    {"SD", 43.38, -99.86, kCentral},
    {"SD", 43.31, -100.66, kCentral},
    {"SD", 44.08, -103.23, kMountain},
    {"SD", 44.04, -101.67, kMountain},
    {"SD", 43.83, -101.51, kMountain},
    {"SD", 45.94, -102.16, kMountain},
    {"SD", 45.00, -101.23, kMountain},
    {"SD", 43.17, -101.73, kMountain},
    {"SD", 45.43, -101.07, kMountain},
    {"SD", 45.81, -100.81, kMountain},
    // Tennessee: East Tennessee is on Eastern time.
    {"TN", 35.15, -90.05, kCentral},
    {"TN", 36.16, -86.78, kCentral},
    {"TN", 36.53, -87.36, kCentral},
    {"TN", 35.61, -88.81, kCentral},
    {"TN", 36.16, -85.50, kCentral},
    {"TN", 35.95, -85.03, kCentral},
    {"TN", 36.43, -84.93, kCentral},
    {"TN", 35.61, -85.19, kCentral},
    {"TN", 35.37, -85.39, kCentral},
    {"TN", 35.07, -85.63, kCentral},
    {"TN", 35.96, -83.92, kEastern},
    {"TN", 35.05, -85.31, kEastern},
    {"TN", 36.31, -82.35, kEastern},
    {"TN", 35.88, -84.51, kEastern},
    {"TN", 36.50, -84.51, kEastern},
    {"TN", 35.49, -85.01, kEastern},
    // Texas: El Paso and Hudspeth counties are on Mountain time.
    {"TX", 29.76, -95.37, kCentral},
    {"TX", 32.78, -96.80, kCentral},
    {"TX", 29.42, -98.49, kCentral},
    {"TX", 35.22, -101.83, kCentral},
    {"TX", 33.58, -101.85, kCentral},
    {"TX", 32.00, -102.08, kCentral},
    {"TX", 31.42, -103.49, kCentral},
    {"TX", 31.04, -104.83, kCentral},
    {"TX", 30.36, -103.66, kCentral},
    {"TX", 31.76, -106.49, kMountain},
    {"TX", 31.17, -105.36, kMountain},
    {"TX", 31.94, -105.20, kMountain},
};

}  // namespace

std::string_view single_us_zone(std::string_view state) {
  for (const auto& [code, zone] : kSingle)
    if (code == state) return zone;
  return {};
}

std::span<const UsZoneTown> us_zone_towns(std::string_view state) {
  const auto first =
      std::find_if(std::begin(kTowns), std::end(kTowns), [&](const UsZoneTown& t) { return t.state == state; });
  const auto end = std::find_if(first, std::end(kTowns), [&](const UsZoneTown& t) { return t.state != state; });
  return {first, end};
}

}  // namespace cirrodex::service
