#include "service/condition_words.h"

#include <algorithm>
#include <array>

namespace cirrodex {

namespace {

struct Phenomenon {
  std::string_view code;
  std::string_view words;
  int rank;  // higher is more significant
};

constexpr std::array<Phenomenon, 22> kPhenomena{{
    {"FC", "Funnel Cloud", 100}, {"PL", "Ice Pellets", 75},  {"GR", "Hail", 75},
    {"GS", "Small Hail", 74},    {"SN", "Snow", 70},         {"SG", "Snow Grains", 69},
    {"RA", "Rain", 60},          {"DZ", "Drizzle", 50},      {"UP", "Unknown Precipitation", 45},
    {"SS", "Sandstorm", 44},     {"DS", "Duststorm", 44},    {"SQ", "Squalls", 43},
    {"PO", "Dust Whirls", 42},   {"IC", "Ice Crystals", 40}, {"FG", "Fog", 35},
    {"VA", "Volcanic Ash", 34},  {"FU", "Smoke", 33},        {"DU", "Dust", 32},
    {"SA", "Sand", 32},          {"HZ", "Haze", 31},         {"BR", "Mist", 30},
    {"PY", "Spray", 29},
}};

constexpr int kThunderstormRank = 90;
constexpr int kFreezingRank = 80;
constexpr int kDriftingRank = 36;  // blowing and drifting snow or sand: lifted, not falling
constexpr int kVicinityRank = 10;

const Phenomenon* find_phenomenon(std::string_view code) {
  for (const Phenomenon& p : kPhenomena)
    if (p.code == code) return &p;
  return nullptr;
}

bool is_precipitation(std::string_view code) {
  return code == "DZ" || code == "RA" || code == "SN" || code == "SG" || code == "IC" || code == "PL" || code == "GR" ||
         code == "GS" || code == "UP";
}

int rank(const WeatherGroup& g) {
  int best = 0;
  for (const std::string& code : g.phenomena)
    if (const Phenomenon* p = find_phenomenon(code)) best = std::max(best, p->rank);
  if (g.descriptor == "TS") best = kThunderstormRank;
  if (g.descriptor == "FZ" && best >= 45) best = kFreezingRank;  // freezing rain, drizzle, precipitation
  if (g.descriptor == "BL" || g.descriptor == "DR") best = std::min(best, kDriftingRank);
  if (g.vicinity) return kVicinityRank + (g.descriptor == "TS" ? 1 : 0);
  return std::max(best, 1);  // showers alone still beat the sky
}

// The page parser keeps a conditions text of up to 50 characters whole.
constexpr std::size_t kMaxWords = 50;

// "Rain", "Rain and Snow": at most `most` of them.
std::string phenomena_words(const WeatherGroup& g, int most) {
  std::string out;
  int n = 0;
  for (const std::string& code : g.phenomena) {
    const Phenomenon* p = find_phenomenon(code);
    if (!p || n == most) continue;
    if (n++ > 0) out += " and ";
    out += code == "FC" && g.intensity == WeatherIntensity::Heavy ? "Tornado" : p->words;
  }
  return out;
}

bool takes_intensity(const WeatherGroup& g) {
  if (g.descriptor == "TS") return true;
  return std::any_of(g.phenomena.begin(), g.phenomena.end(),
                     [](const std::string& c) { return is_precipitation(c) || c == "SS" || c == "DS"; });
}

std::string sky_words(const Metar& m) {
  if (m.cavok) return "Clear";
  int most = -1;
  for (const SkyLayer& layer : m.sky) {
    int level = -1;
    switch (layer.cover) {
      case SkyCover::Clear:
        level = 0;
        break;
      case SkyCover::Few:
        level = 1;
        break;
      case SkyCover::Scattered:
        level = 2;
        break;
      case SkyCover::Broken:
        level = 3;
        break;
      case SkyCover::Overcast:
      case SkyCover::Obscured:
        level = 4;
        break;
      case SkyCover::Unknown:
        break;
    }
    most = std::max(most, level);
  }
  static constexpr std::array<const char*, 5> kWords{"Clear", "A Few Clouds", "Partly Cloudy", "Mostly Cloudy",
                                                     "Overcast"};
  return most < 0 ? std::string() : kWords[static_cast<std::size_t>(most)];
}

std::string group_words(const WeatherGroup& g, int most) {
  std::string words = phenomena_words(g, most);
  const std::string& d = g.descriptor;
  if (d == "TS")
    words = words.empty() ? "Thunderstorm" : "Thunderstorms and " + words;
  else if (d == "SH")
    words = words.empty() ? "Showers" : words + " Showers";
  else if (d == "FZ")
    words = "Freezing " + words;
  else if (d == "BL")
    words = "Blowing " + words;
  else if (d == "DR")
    words = "Low Drifting " + words;
  else if (d == "MI")
    words = "Shallow " + words;
  else if (d == "BC")
    words = "Patches of " + words;
  else if (d == "PR")
    words = "Partial " + words;
  if (g.vicinity) return words + " in the Vicinity";
  if (takes_intensity(g)) {
    if (g.intensity == WeatherIntensity::Light) return "Light " + words;
    if (g.intensity == WeatherIntensity::Heavy) return "Heavy " + words;
  }
  return words;
}

}  // namespace

std::string weather_words(const WeatherGroup& g) {
  // Two phenomena named, or one when that is too long; an absurd group
  // ("VCTSUPFC") is cut at a word.
  std::string words = group_words(g, 2);
  if (words.size() > kMaxWords) words = group_words(g, 1);
  if (words.size() > kMaxWords) words = words.substr(0, words.rfind(' ', kMaxWords));
  return words;
}

std::string condition_words(const Metar& m) {
  const WeatherGroup* best = nullptr;
  int best_rank = 0;
  for (const WeatherGroup& g : m.weather) {
    const int r = rank(g);
    if (r > best_rank) {  // on a tie the group written first stays
      best = &g;
      best_rank = r;
    }
  }
  if (best) return weather_words(*best);
  return sky_words(m);
}

}  // namespace cirrodex
