// cirrodex-service: answers the program's conditions addresses from public
// NOAA data, for the places of its built-in tables. Prints "listening on
// ADDR:PORT" once it serves, one log line per request on stderr; ends
// cleanly on SIGTERM or SIGINT.

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/services.h"
#include "platform/text.h"
#include "resources/builtin.h"
#include "service/cache.h"
#include "service/conditions_service.h"
#include "service/document_maker.h"
#include "service/http_server.h"
#include "service/observation_source.h"
#include "service/place_directory.h"
#include "service/places.h"
#include "service/time_zones.h"
#include "service/upstream.h"

namespace {

using namespace cirrodex;
using namespace cirrodex::service;

constexpr const char* kUsage =
    "Usage: cirrodex-service [OPTIONS]\n"
    "       cirrodex-service --once PATH [OPTIONS]\n"
    "Serves current conditions at the addresses the Cirrodex program asks for,\n"
    "made from public NOAA observations and forecasts.\n"
    "\n"
    "  --listen ADDR:PORT     where to listen (default 127.0.0.1:8080; port 0\n"
    "                         picks a free one); prints \"listening on ADDR:PORT\"\n"
    "  --once PATH            print the answer to PATH and exit: 0 with the\n"
    "                         document, 1 with the error status line and text\n"
    "  --workers N            request threads (default 8)\n"
    "  --max-connections N    open connections at most (default 512)\n"
    "  --head-timeout SECONDS time a client has to send its request (default 10)\n"
    "  --help                 this text\n"
    "\n"
    "Upstream hosts come from the built-in services list and the user's\n"
    "$XDG_CONFIG_HOME/cirrodex/services.conf (observations, observations_api,\n"
    "zone_forecasts). Local times come from the system's tzdata\n"
    "(/usr/share/zoneinfo).\n";

HttpServer* g_server = nullptr;
CurlUpstream* g_upstream = nullptr;

extern "C" void on_signal(int) {
  if (g_upstream != nullptr) g_upstream->cancel();
  if (g_server != nullptr) g_server->stop();
}

int usage_error(const std::string& text) {
  std::cerr << "cirrodex-service: " << text << "\n" << kUsage;
  return 2;
}

bool positive(const std::string& s, long max, long& out) {
  const auto n = text::to_integer(s);
  if (!n || *n < 1 || *n > max) return false;
  out = static_cast<long>(*n);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  ServerOptions options;
  std::string once;
  bool have_once = false;
  bool listen_given = false;
  std::vector<std::string> args(argv + 1, argv + argc);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (i + 1 >= args.size()) return usage_error("unknown option or missing value: " + a);
    const std::string& value = args[++i];
    long n = 0;
    if (a == "--listen") {
      listen_given = true;
      const std::size_t colon = value.rfind(':');
      const auto port = colon == std::string::npos ? std::nullopt : text::to_integer(value.substr(colon + 1));
      if (!port || *port < 0 || *port > 65535 || colon == 0) return usage_error("--listen needs ADDR:PORT");
      options.address = value.substr(0, colon);
      options.port = static_cast<int>(*port);
    } else if (a == "--once") {
      once = value;
      have_once = true;
    } else if (a == "--workers" && positive(value, 256, n)) {
      options.workers = static_cast<int>(n);
    } else if (a == "--max-connections" && positive(value, 100000, n)) {
      options.max_connections = static_cast<std::size_t>(n);
    } else if (a == "--head-timeout" && positive(value, 3600, n)) {
      options.head_timeout = std::chrono::seconds(n);
    } else {
      return usage_error("bad option or value: " + a + " " += value);
    }
  }

  // A socket handed over the systemd way (LISTEN_PID names this process):
  // a socket unit, or the program that started the service as its child.
  if (const char* fds = std::getenv("LISTEN_FDS"); fds != nullptr && std::string_view(fds) == "1" && !listen_given) {
    const char* pid = std::getenv("LISTEN_PID");
    if (pid != nullptr && std::to_string(::getpid()) == pid) options.inherited_fd = 3;
  }
  ::unsetenv("LISTEN_FDS");
  ::unsetenv("LISTEN_PID");

  // The hosts as the program reads them: the built-in list, the user's copy over it.
  const LoadedServices loaded = load_services(*builtin_resource("SERVICES", "CONF"));
  for (const std::string& problem : loaded.problems) std::cerr << "cirrodex-service: " << problem << '\n';
  const Services& services = loaded.services;

  // The tables are parsed and the zone list read before the first request,
  // so that a fault shows at start and no request pays for them.
  const PlaceTables& tables = PlaceTables::builtin();
  const TimeZones zones;
  if (!zones.error().empty()) {
    std::cerr << "cirrodex-service: " << zones.error() << " (is tzdata installed?)\n";
    return 1;
  }
  PlaceDirectory places(tables, zones);

  SystemServiceClock clock;
  CurlUpstream upstream(service_user_agent(services.value("maker_web")), UpstreamLimits{});
  UpstreamCache cache(clock);
  ObservationSource sources(services, upstream, cache, clock);
  ConditionsDocumentMaker maker(tables, zones);
  ConditionsService handler(places, sources, maker, clock);

  if (have_once) {
    const Response r = handler.handle(Method::Get, once);
    if (r.status == 200) {
      std::cout << r.body << std::flush;
      return 0;
    }
    std::cout << "HTTP/1.1 " << r.status << " " << reason_phrase(r.status) << "\n" << r.body << std::flush;
    return 1;
  }

  std::signal(SIGPIPE, SIG_IGN);
  HttpServer server(
      options, [&](const RequestHead& head) { return handler.handle(head.kind, head.path); },
      [](const std::string& line) {
        std::fputs((line + "\n").c_str(), stderr);
        std::fflush(stderr);
      });
  if (const std::string error = server.listen(); !error.empty()) {
    std::cerr << "cirrodex-service: " << error << '\n';
    return 1;
  }
  g_server = &server;
  g_upstream = &upstream;
  struct sigaction action {};
  action.sa_handler = on_signal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);

  std::cout << "listening on " << server.bound_address() << std::endl;
  server.run();
  g_server = nullptr;
  g_upstream = nullptr;
  std::cerr << "cirrodex-service: stopped after " << handler.usage_count() << " usage counter requests\n";
  return 0;
}
