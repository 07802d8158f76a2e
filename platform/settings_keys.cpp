#include "platform/settings_keys.h"

#include <array>

#include "platform/text.h"

namespace cirrodex {
namespace {

constexpr std::array kKeys = std::to_array<SettingKey>({
    {"Settings", "AutoUpdate",
     "off for the refresh timer and the start-up retrieval; the Preferences dialog shows it as on"},
    {"Settings", "StartupLoc", "no start-up retrieval"},
    {"Settings", "FreqCond", "1800000 (30 minutes)"},
    {"Settings", "PauseTime", "4000"},
    {"Settings", "Timeout", "240000 at start-up; the Connection Preferences dialog shows '120 seconds'"},
    {"Settings", "Metric", "off (English units)"},
    {"Settings", "Datasource", "'1'"},
    {"Settings", "StartMinimized", "off"},
    {"Settings", "ShowTips", "tips shown"},
    {"Settings", "playsounds", "off"},
    {"Settings", "SkinFile", "built-in skin"},
    {"Settings", "TaskBarHide", "off"},
    {"Settings", "Xpos", "window placed at the bottom-right corner of the screen (decided by `Xpos` alone)"},
    {"Settings", "Ypos", "window placed at the bottom-right corner of the screen (decided by `Xpos` alone)"},
    {"Settings", "width", "not read"},
    {"Settings", "height", "not read"},
    {"Settings", "AutoWarn", "off"},
    {"Settings", "WarningCycle", "the warning cycle is not started; the Preferences dialog shows '25'"},
    {"Settings", "YesWallpaper", "off"},
    {"Settings", "AutoWallpaper", "no image"},
    {"Settings", "AutoWallpaper2", "no image"},
    {"Settings", "AutoWallpaperCap", "shown as 'None'"},
    {"Settings", "AutoWallpaperCap2", "shown as 'None'"},
    {"Settings", "LastWallpaper", "the first image is used next"},
    {"Settings", "Wallpaperloc", "centre for the wallpaper routine; the Preferences dialog shows 'Tile'"},
    {"Settings", "WallpaperCycle", "25 minutes; the Preferences dialog shows '30'"},
    {"Settings", "TempIcon", "no temperature icon"},
    {"Settings", "HindexIcon", "off"},
    {"Settings", "WindcIcon", "off"},
    {"Settings", "tempiconcolor", "the default colour of the icon"},
    {"Settings", "Hindexiconcolor", "the default colour of the icon"},
    {"Settings", "WindcIconcolor", "the default colour of the icon"},
    {"Settings", "writelog", "off"},
    {"Settings", "soundtemp", "off"},
    {"Settings", "soundfile", "the built-in warning sound"},
    {"Settings", "AlarmTempCompare", "nothing"},
    {"Settings", "AlarmTemp", "nothing"},
    {"Settings", "AlarmType", "no alarm"},
    {"Settings", "Asendtoe", "nothing"},
    {"Settings", "Ahost", "nothing"},
    {"Settings", "Auseremail", "nothing"},
    {"Settings", "Aaudible", "nothing"},
    {"Settings", "AutoProxy", "off"},
    {"Settings", "ProxyUse", "off"},
    {"Settings", "Proxy", "not applied"},
    {"Settings", "ProxyPort", "not applied"},
    {"Settings", "ProxyUserid", "not applied"},
    {"Settings", "ProxyPass", "not applied"},
    {"Settings", "AuthUse", "off"},
    {"Settings", "APort", "not applied"},
    {"Settings", "AUserid", "not applied"},
    {"Settings", "APass", "not applied"},
    {"Settings", "dialupconn", "not dial-up"},
    {"Settings", "connected", "nothing"},
    {"Settings", "dialup", "off"},
    {"Settings", "DialupEntry", "no entry"},
    {"Settings", "hangup", "off"},
    {"Settings", "quietwatch", "off"},
    {"Settings", "County", "none"},
    {"Settings", "Fbgcolor", "default colour"},
    {"Settings", "Ffontsiz", "default size"},
    {"Settings", "MaxOpenImage", "off"},
    {"Settings", "wbankpref", "nothing"},
    {"Settings", "wbanktxt", "nothing"},
    {"Settings", "htmlforecasturl", "nothing"},
    {"Settings", "CondAnti", "only reported by the support message"},
    {"Settings", "formbkcolor", "only reported by the support message"},
    {"Settings", "formbkgd", "only reported by the support message"},
    {"Settings", "labelcolor", "only reported by the support message"},
    {"Settings", "labelfcolor", "only reported by the support message"},
    {"Settings", "labelfname", "only reported by the support message"},
    {"Settings", "labelfsize", "only reported by the support message"},
    {"Settings", "lablabeltrans", "only reported by the support message"},
    {"Settings", "lbltrans", "only reported by the support message"},
    {"Settings", "tempanti", "only reported by the support message"},
    {"Settings", "tornado", "only reported by the support message"},
    {"Settings", "watchconn", "only reported by the support message"},
});

// Keys made of a stem and a slot number, with the allowed numbers.
struct NumberedKey {
  std::string_view section;
  std::string_view stem;
  std::string_view suffix;
  int first;
  int last;
};

constexpr std::array kNumbered = std::to_array<NumberedKey>({
    {"Locations", "loc", "", 0, 19},
    {"Settings", "userrad", "", 1, 10},
    {"Settings", "userrad", "n", 1, 10},
    {"Settings", "usercam", "", 1, 10},
});

bool matches_numbered(const NumberedKey& n, std::string_view section, std::string_view key) {
  if (!text::iequals(section, n.section)) return false;
  if (key.size() <= n.stem.size() + n.suffix.size()) return false;
  if (!text::iequals(key.substr(0, n.stem.size()), n.stem)) return false;
  if (!text::iequals(key.substr(key.size() - n.suffix.size()), n.suffix)) return false;
  const std::string_view digits = key.substr(n.stem.size(), key.size() - n.stem.size() - n.suffix.size());
  if (digits.size() > 2 || (digits.size() == 2 && digits[0] == '0')) return false;
  int value = 0;
  for (const char c : digits) {
    if (!text::is_digit(c)) return false;
    value = value * 10 + (c - '0');
  }
  return value >= n.first && value <= n.last;
}

}  // namespace

std::span<const SettingKey> setting_keys() { return kKeys; }

bool is_known_setting(std::string_view section, std::string_view key) {
  for (const auto& k : kKeys)
    if (text::iequals(k.section, section) && text::iequals(k.name, key)) return true;
  for (const auto& n : kNumbered)
    if (matches_numbered(n, section, key)) return true;
  return false;
}

}  // namespace cirrodex
