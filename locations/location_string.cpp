#include "locations/location_string.h"

#include <cstdint>

#include "locations/state_codes.h"
#include "platform/text.h"

namespace cirrodex {

namespace {
// Long enough to copy any rest of a location string.
std::int64_t to_end(const std::string& s) { return static_cast<std::int64_t>(s.size()) + 1; }
}  // namespace

bool has_paren_after_first(const std::string& s) { return text::find_from(s, "(", 2) > 0; }

void parse_location_string(const std::string& location, LocationContext& ctx) {
  ctx.country.clear();
  ctx.state_or_country.clear();

  // Without a comma p is 0, so the state part runs from the second character.
  const std::int64_t p = text::find(location, ",");
  if (!location.empty() && text::is_digit(location[0])) {
    // Zip form: the city stays as it was; the address builder goes by the zip.
    ctx.zip = text::copy(location, 1, 5);
    ctx.state_or_country = text::copy(location, p + 2, to_end(location));
  } else {
    ctx.zip.clear();
    ctx.city = text::copy(location, 1, p - 1);
    ctx.state_or_country = text::copy(location, p + 2, to_end(location));
  }

  if (!has_paren_after_first(location)) {
    ctx.country = "US";
    ctx.city = text::replace_all(ctx.city, " ", "_");
    // Strings saved by older versions carry the state name instead of its code.
    if (ctx.state_or_country.size() > 2)
      ctx.state_or_country = state_code_from_title(ctx.city + "," + ctx.state_or_country).code;
  } else {
    ctx.city = text::replace_all(ctx.city, "_", " ");
    // The country key keeps the blank before the marker: "Botswana (O)".
    const std::int64_t paren = text::find_from(location, "(", 2);
    ctx.state_or_country = text::copy(location, p + 2, paren - (p + 2)) + "(O)";
  }
}

}  // namespace cirrodex
