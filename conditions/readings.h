#pragma once
// The one record of current conditions. Every field but TemperatureF is a
// display text stored exactly as it is shown, logged and printed (Latin-1;
// the degree sign is byte 176; a missing value is "n/a").

#include <array>
#include <string>
#include <string_view>

namespace cirrodex {

inline constexpr int kNoTemperature = 999;

struct Readings {
  std::string LocationName = "n/a";
  std::string ConditionTime = "n/a";
  std::string Conditions = "n/a";
  std::string Temperature = "n/a";
  std::string Humidity = "n/a";
  std::string Pressure = "n/a";
  std::string Wind = "n/a";
  std::string Visibility = "n/a";
  std::string Dewpoint = "n/a";
  std::string WindChill = "n/a";
  std::string HeatIndex = "n/a";
  std::string Sunrise = "n/a";
  std::string Sunset = "n/a";
  std::string MoonRise = "n/a";
  std::string MoonSet = "n/a";
  int TemperatureF = kNoTemperature;  // whole degrees Fahrenheit; 999 means none
};

struct ReadingsField {
  std::string_view name;
  std::string Readings::*member;
  std::string_view slot;  // the display slot showing it; empty for none
};

// The text fields in their table order, with their display slots.
inline constexpr std::array<ReadingsField, 15> kReadingsFields{{
    {"LocationName", &Readings::LocationName, ""},
    {"ConditionTime", &Readings::ConditionTime, "TEXT_CONDTIME"},
    {"Conditions", &Readings::Conditions, "TEXT_CONDITIONS"},
    {"Temperature", &Readings::Temperature, "TEXT_TEMP"},
    {"Humidity", &Readings::Humidity, "TEXT_HUMIDITY"},
    {"Pressure", &Readings::Pressure, "TEXT_PRESSURE"},
    {"Wind", &Readings::Wind, "TEXT_WIND"},
    {"Visibility", &Readings::Visibility, "TEXT_VISIBILITY"},
    {"Dewpoint", &Readings::Dewpoint, "TEXT_DEWPOINT"},
    {"WindChill", &Readings::WindChill, "TEXT_WINDCHILL"},
    {"HeatIndex", &Readings::HeatIndex, "TEXT_HEATINDEX"},
    {"Sunrise", &Readings::Sunrise, "TEXT_SUNRISE"},
    {"Sunset", &Readings::Sunset, "TEXT_SUNSET"},
    {"MoonRise", &Readings::MoonRise, "TEXT_MOONRISE"},
    {"MoonSet", &Readings::MoonSet, "TEXT_MOONSET"},
}};

inline constexpr std::string_view kSlotStatusBar = "TEXT_STATUSBAR";
inline constexpr std::string_view kSlotLocation = "TEXT_LOCATION";

// The display slot of a field, looked up by member.
std::string_view slot_of(std::string Readings::*member);

}  // namespace cirrodex
