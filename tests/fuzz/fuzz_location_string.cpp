// Location strings come from the settings file and from the window caption,
// both of which a user can edit: no input may crash the parser or break the
// shape of what it hands to the address builder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "locations/location_string.h"
#include "locations/state_codes.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

bool is_code(const std::string& s) {
  return s.empty() || s == "Peru (O)" || s == "United Kingdom (O)" ||
         (s.size() == 2 && s[0] >= 'A' && s[0] <= 'Z' && s[1] >= 'A' && s[1] <= 'Z');
}

bool ends_with(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  using namespace cirrodex;

  LocationContext ctx;
  ctx.requested = "kept";
  ctx.city = "Old Town_x";  // what the zip form leaves behind
  parse_location_string(input, ctx);

  check(ctx.requested == "kept");
  const bool zip_form = !input.empty() && input[0] >= '0' && input[0] <= '9';
  check(zip_form ? ctx.zip == input.substr(0, 5) : ctx.zip.empty());
  check(ctx.state_or_country.size() <= input.size() + 3);
  if (has_paren_after_first(input)) {
    check(ctx.country.empty());
    check(ctx.city.find('_') == std::string::npos);
    check(ends_with(ctx.state_or_country, "(O)"));
  } else {
    check(ctx.country == "US");
    check(ctx.city.find(' ') == std::string::npos);
    check(ctx.state_or_country.size() <= 2 || is_code(ctx.state_or_country));
  }
  if (zip_form)
    check(ctx.city == "Old_Town_x" || ctx.city == "Old Town x");
  else
    check(ctx.city.size() <= input.size());

  const TitleParts parts = state_code_from_title(input);
  check(is_code(parts.code));
  const std::size_t comma = input.find(',');
  check(parts.city == input.substr(0, comma));
  if (comma == std::string::npos) check(parts.code.empty());

  const std::string tree = state_code_from_tree_name(input);
  check(tree == input || (tree.size() == 2 && is_code(tree)));
  return 0;
}
