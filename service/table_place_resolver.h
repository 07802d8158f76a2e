#pragma once
// A place resolver over a small table text, one place a line:
//   KEY <TAB> STATIONS <TAB> ZONE <TAB> NAME
// KEY as describe() gives it ("AL/Muscle_Shoals", "zip 35661", "WMO 72323"),
// STATIONS the ICAO identifiers best first, blank-separated, ZONE
// "st/stz000" or "-", NAME the place as the document shows it. "#" starts
// a comment line. It stands in for the full place tables and lets a test
// or a local setup say which stations serve which address.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "service/conditions_service.h"

namespace cirrodex::service {

class TablePlaceResolver final : public PlaceResolver {
 public:
  // Reads the table; each line it cannot read gives a problem text and is
  // left out.
  explicit TablePlaceResolver(std::string_view table, std::vector<std::string>* problems = nullptr);
  std::optional<ResolvedPlace> resolve(const Place& place) override;

 private:
  std::map<std::string, ResolvedPlace, std::less<>> places_;
};

}  // namespace cirrodex::service
