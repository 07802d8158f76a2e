#include "conditions/condition_picture.h"

#include <array>

#include "platform/text.h"
#include "resources/builtin.h"

namespace cirrodex {

namespace {

struct Group {
  std::array<std::string_view, 2> words;  // an empty second word matches nothing
  int day;
  int night;
};

// In the order they are tested: "Partly Cloudy" must reach the partly cloudy
// group before the plain "cloud" one, and "Light Rain Mist" the rain group.
constexpr std::array<Group, 9> kGroups{{
    {{"sun", "clear"}, 14, 15},
    {{"mostly cloud", "overcast"}, 3, 17},
    {{"scattered clouds", "partly cloud"}, 4, 17},
    {{"cloud", ""}, 12, 12},
    {{"haze", "fog"}, 1, 16},
    {{"snow", ""}, 10, 10},
    {{"thunderstorm", ""}, 2, 18},
    {{"rain", ""}, 9, 19},
    {{"mist", "drizzle"}, 5, 20},
}};

constexpr int kOtherConditions = 0;

}  // namespace

bool is_night_hour(int hour) { return hour >= 19 || hour <= 4; }

int condition_picture(std::string_view conditions, int local_hour) {
  const std::string lower = text::lower(conditions);
  const bool night = is_night_hour(local_hour);
  for (const Group& g : kGroups)
    for (const std::string_view word : g.words)
      if (!word.empty() && lower.find(word) != std::string::npos) return night ? g.night : g.day;
  return kOtherConditions;
}

std::string condition_tip(const Readings& r) { return r.Conditions + " && " + r.Temperature; }

std::optional<std::string_view> condition_picture_png(int index) {
  if (index < 0 || index >= kConditionPictureCount) return std::nullopt;
  return builtin_resource("COND" + std::to_string(index), "PNG");
}

}  // namespace cirrodex
