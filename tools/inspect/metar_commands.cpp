// cirrodex-inspect metar: the elements of a METAR report (or of NOAA's
// two-line station file) as the service decodes them, one name=value a line.
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "service/metar.h"
#include "service/metar_summary.h"
#include "tools/inspect/commands.h"

namespace cirrodex::inspect {

int run_metar(const std::vector<std::string>& args) {
  if (args.size() != 1) return usage_error("metar needs exactly one FILE");
  std::ifstream in(args[0], std::ios::binary);
  if (!in) {
    std::cerr << "cirrodex-inspect: cannot read " << args[0] << ": " << std::strerror(errno) << "\n";
    return 1;
  }
  std::ostringstream text;
  text << in.rdbuf();
  const MetarResult result = decode_metar(text.str());
  if (!result.ok()) {
    std::cerr << "cirrodex-inspect: metar: " << args[0] << ": " << result.error << "\n";
    return 1;
  }
  for (const auto& [name, value] : metar_summary(*result.metar)) std::cout << name << '=' << value << '\n';
  return 0;
}

}  // namespace cirrodex::inspect
