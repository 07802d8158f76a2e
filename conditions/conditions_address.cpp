#include "conditions/conditions_address.h"

namespace cirrodex {

std::string build_conditions_url(const Services& services, const std::string& data_source, LocationContext& ctx,
                                 Host& host, const std::function<std::string(LocationContext&)>& lookup_station) {
  std::string url = services.value("conditions") + "/" + (data_source == "2" ? "auto/raw/" : "auto/Cirrodex/");
  if (ctx.zip.size() >= 2) {
    ctx.country = "US";
    return url + ctx.zip;
  }
  if (ctx.country != "US" && ctx.country != "United States") {
    if (ctx.state_or_country.find('(') == std::string::npos) ctx.state_or_country += " (O)";
    const std::string station = lookup_station ? lookup_station(ctx) : std::string("n/a");
    ctx.city = station;
    if (station.size() <= 1) {
      host.message_box("Error in Unit1 - Invalid city:" + station, MessageKind::Warning, MessageButtons::Ok);
      return {};
    }
    if (station == "n/a") {
      host.message_box("Error - Invalid city:" + station, MessageKind::Warning, MessageButtons::Ok);
      return {};
    }
    return url + "global/stations/" + station + ".html";
  }
  return url + ctx.state_or_country + "/" + ctx.city + ".html";
}

}  // namespace cirrodex
