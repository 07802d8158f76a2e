// cirrodex-inspect: runs pieces of the program's logic on files and texts and
// prints what they did, for developers, skin authors and anyone debugging a
// conditions service.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "conditions/conditions_address.h"
#include "conditions/parse_stats.h"
#include "locations/location_string.h"
#include "locations/location_tree.h"
#include "locations/presets.h"
#include "locations/station_table.h"
#include "platform/fakes/fake_display.h"
#include "platform/fakes/fake_host.h"
#include "platform/fakes/fake_preset_menu.h"
#include "platform/fakes/memory_settings_store.h"
#include "platform/files.h"
#include "platform/services.h"
#include "platform/settings.h"
#include "resources/builtin.h"
#include "tools/inspect/commands.h"
#include "tools/inspect/parse_rig.h"

namespace cirrodex::inspect {

namespace {
constexpr const char* kUsage =
    "usage: cirrodex-inspect parse [--metric] [--raw] [--location STRING] [--auto] FILE\n"
    "       cirrodex-inspect location STRING\n"
    "       cirrodex-inspect url [--raw] STRING\n"
    "       cirrodex-inspect station CITY KEY [COUNTRY]\n"
    "       cirrodex-inspect tree\n"
    "       cirrodex-inspect moon INSTANT [LATITUDE LONGITUDE]\n"
    "       cirrodex-inspect metar FILE\n"
    "       cirrodex-inspect after [--metric] [--raw] [--location STRING] [--set KEY=VALUE ...]\n"
    "                              [--now \"YYYY-MM-DD hh:mm:ss\"] FILE\n"
    "       cirrodex-inspect skin PATH|default\n"
    "       cirrodex-inspect skin-render PATH|default OUT.png [SLOT=TEXT ...]\n";
}  // namespace

int usage_error(const std::string& why) {
  std::cerr << "cirrodex-inspect: " << why << "\n" << kUsage;
  return 2;
}

std::string skin_ini_text(const std::string& path) {
  if (path == "default") {
    const auto text = builtin_resource("SKIN", "INI");
    return text ? std::string(*text) : std::string();
  }
  return read_whole_file(path).bytes.value_or(std::string());
}

// Carriage returns and line feeds inside a text would break the one-item-a-line output.
std::string shown(const std::string& s) {
  std::string out;
  for (const char c : s) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

bool is_listed_call(const std::string& e) {
  for (const char* prefix : {"status: ", "beep", "pause: ", "message: ", "slot ", "preset "})
    if (e.rfind(prefix, 0) == 0) return true;
  return false;
}

int run_parse(const std::vector<std::string>& args) {
  bool metric = false, raw = false, automatic = false, have_location = false;
  std::string location, file;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--metric")
      metric = true;
    else if (a == "--raw")
      raw = true;
    else if (a == "--auto")
      automatic = true;
    else if (a == "--location") {
      if (++i >= args.size()) return usage_error("--location needs a STRING");
      location = args[i];
      have_location = true;
    } else if (a.rfind("--", 0) == 0)
      return usage_error("unknown option " + a);
    else if (!file.empty())
      return usage_error("more than one FILE");
    else
      file = a;
  }
  if (file.empty()) return usage_error("parse needs a FILE");
  const FileRead body = read_whole_file(file);
  if (!body.bytes) {
    std::cerr << "cirrodex-inspect: cannot read " << file << ": " << body.error << "\n";
    return 1;
  }

  ParseRig rig(metric, raw, have_location ? std::optional<std::string>(location) : std::nullopt);
  rig.parser.parse_stats(*body.bytes, automatic);

  for (const auto& f : kReadingsFields) std::cout << f.name << '=' << shown(rig.readings.*f.member) << '\n';
  std::cout << "TemperatureF=" << rig.readings.TemperatureF << '\n';
  std::cout << "Caption=" << shown(rig.display.caption()) << '\n';
  for (const auto& e : rig.log.entries)
    if (is_listed_call(e)) std::cout << shown(e) << '\n';
  return 0;
}

int run_location(const std::vector<std::string>& args) {
  if (args.size() != 1) return usage_error("location needs exactly one STRING");
  LocationContext ctx;
  parse_location_string(args[0], ctx);
  std::cout << "zip=" << ctx.zip << "\ncity=" << ctx.city << "\nstate=" << ctx.state_or_country
            << "\ncountry=" << ctx.country << '\n';
  return 0;
}

int run_url(const std::vector<std::string>& args) {
  bool raw = false;
  std::string location;
  bool have = false;
  for (const std::string& a : args) {
    if (a == "--raw") {
      raw = true;
    } else if (!have) {
      location = a;
      have = true;
    } else {
      return usage_error("url takes one STRING");
    }
  }
  if (!have) return usage_error("url needs a STRING");
  // The hosts as the program sees them: the built-in list and the user's copy.
  const LoadedServices loaded = load_services(*builtin_resource("SERVICES", "CONF"));
  for (const std::string& problem : loaded.problems) std::cerr << "cirrodex-inspect: " << problem << '\n';
  const Services& services = loaded.services;
  fakes::CallLog log;
  fakes::FakeHost host(log);
  LocationContext ctx;
  ctx.requested = location;
  parse_location_string(location, ctx);
  const std::string url = build_conditions_url(services, raw ? "2" : "1", ctx, host,
                                               [&](LocationContext& c) { return lookup_station(c, host); });
  std::cout << "url=" << url << '\n';
  for (const auto& e : log.entries)
    if (is_listed_call(e)) std::cout << shown(e) << '\n';
  return 0;
}

int run_station(const std::vector<std::string>& args) {
  if (args.size() < 2 || args.size() > 3) return usage_error("station needs CITY, KEY and maybe COUNTRY");
  fakes::CallLog log;
  fakes::FakeHost host(log);
  LocationContext ctx;
  ctx.city = args[0];
  ctx.state_or_country = args[1];
  if (args.size() == 3) ctx.country = args[2];
  const std::string station = lookup_station(ctx, host);
  std::cout << "station=" << station << "\ngroup=" << ctx.country << '\n';
  for (const auto& e : log.entries)
    if (is_listed_call(e)) std::cout << shown(e) << '\n';
  return 0;
}

int run_tree(const std::vector<std::string>& args) {
  if (!args.empty()) return usage_error("tree takes no arguments");
  for (const auto& node : LocationTree::builtin().nodes())
    std::cout << std::string(static_cast<std::size_t>(node.depth), '\t') << node.text << '\n';
  return 0;
}

}  // namespace cirrodex::inspect

int main(int argc, char** argv) {
  using namespace cirrodex::inspect;
  if (argc < 2) return usage_error("no command given");
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "parse") return run_parse(args);
  if (command == "location") return run_location(args);
  if (command == "url") return run_url(args);
  if (command == "station") return run_station(args);
  if (command == "tree") return run_tree(args);
  if (command == "moon") return run_moon(args);
  if (command == "metar") return run_metar(args);
  if (command == "after") return run_after(args);
  if (command == "skin") return run_skin(args);
  if (command == "skin-render") return run_skin_render(args);
  if (command == "--help" || command == "-h") {
    std::cout << kUsage;
    return 0;
  }
  return usage_error("unknown command " + command);
}
