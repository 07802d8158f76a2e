// Any bytes as a TZif file, and any text as a POSIX TZ rule: no crash and no
// read past the input; every accepted one answers for any instant, with an
// abbreviation that is one NUL-free string and a rule's offsets within a
// day and two hours.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "service/tzif.h"

namespace {

constexpr std::int64_t kInstants[] = {std::numeric_limits<std::int64_t>::min(), -4102444800, 0, 1700000000, 4102444800,
                                      std::numeric_limits<std::int64_t>::max()};

void check(const cirrodex::service::LocalTimeType& t, bool rule) {
  if (t.abbreviation.find('\0') != std::string::npos) std::abort();
  if (rule && (t.utc_offset < -26 * 3600 || t.utc_offset > 26 * 3600)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (const auto rules = cirrodex::service::TimeZoneRules::parse(input))
    for (const std::int64_t t : kInstants) check(rules->at(t), false);
  if (const auto tz = cirrodex::service::PosixTimeZone::parse(input))
    for (const std::int64_t t : kInstants) check(tz->at(t), true);
  return 0;
}
