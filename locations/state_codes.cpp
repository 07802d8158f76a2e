#include "locations/state_codes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/text.h"

namespace cirrodex {

namespace {

struct StateRow {
  std::string_view name;
  std::string_view code;
};

constexpr auto kStates = std::to_array<StateRow>({
    {"Alabama", "AL"},        {"Alaska", "AK"},       {"Arizona", "AZ"},
    {"Arkansas", "AR"},       {"California", "CA"},   {"Colorado", "CO"},
    {"Connecticut", "CT"},    {"Delaware", "DE"},     {"District of Columbia", "DC"},
    {"Florida", "FL"},        {"Georgia", "GA"},      {"Hawaii", "HI"},
    {"Idaho", "ID"},          {"Illinois", "IL"},     {"Indiana", "IN"},
    {"Iowa", "IA"},           {"Kansas", "KS"},       {"Kentucky", "KY"},
    {"Louisiana", "LA"},      {"Maine", "ME"},        {"Maryland", "MD"},
    {"Massachusetts", "MA"},  {"Michigan", "MI"},     {"Minnesota", "MN"},
    {"Mississippi", "MS"},    {"Missouri", "MO"},     {"Montana", "MT"},
    {"Nebraska", "NE"},       {"Nevada", "NV"},       {"New Hampshire", "NH"},
    {"New Jersey", "NJ"},     {"New Mexico", "NM"},   {"New York", "NY"},
    {"North Carolina", "NC"}, {"North Dakota", "ND"}, {"Ohio", "OH"},
    {"Oklahoma", "OK"},       {"Oregon", "OR"},       {"Pennsylvania", "PA"},
    {"Puerto Rico", "PR"},    {"Rhode Island", "RI"}, {"South Carolina", "SC"},
    {"South Dakota", "SD"},   {"Tennessee", "TN"},    {"Texas", "TX"},
    {"Utah", "UT"},           {"Vermont", "VT"},      {"Virginia", "VA"},
    {"Virgin Islands", "VI"}, {"Washington", "WA"},   {"West Virginia", "WV"},
    {"Wisconsin", "WI"},      {"Wyoming", "WY"},
});
static_assert(kStates.size() == 53);

// Conditions pages name these two countries where a state would stand; the
// country key lets the station lookup take over.
constexpr auto kTitleCountries = std::to_array<StateRow>({
    {"Peru", "Peru (O)"},
    {"United_Kingdom", "United Kingdom (O)"},
});

template <std::size_t N>
std::optional<std::string_view> lookup(const std::array<StateRow, N>& rows, std::string_view name) {
  for (const auto& row : rows)
    if (row.name == name) return row.code;
  return std::nullopt;
}

}  // namespace

std::string state_code_from_tree_name(const std::string& name) {
  const auto code = lookup(kStates, name);
  return code ? std::string(*code) : name;
}

TitleParts state_code_from_title(const std::string& title) {
  const std::int64_t comma = text::find(title, ",");
  if (comma == 0) return {title, {}};
  TitleParts parts;
  parts.city = text::copy(title, 1, comma - 1);
  const std::string state = text::trim(text::copy(title, comma + 1, static_cast<std::int64_t>(title.size())));
  if (const auto code = lookup(kStates, state))
    parts.code = *code;
  else if (const auto key = lookup(kTitleCountries, state))
    parts.code = *key;
  return parts;
}

}  // namespace cirrodex
