// Arbitrary skin.ini texts through the skin reader and the list splitter.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "skins/list_line.h"
#include "skins/skin.h"

using namespace cirrodex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (const std::string& item : split_list_line(text))
    if (item.find('\0') != std::string::npos) std::abort();

  const auto pictures = [](const std::string& name) -> PictureResult {
    if (name.size() > 6) return {std::nullopt, "no such picture"};
    const int side = static_cast<int>(name.size()) + 1;
    return {Picture{side, side, std::vector<std::uint32_t>(static_cast<std::size_t>(side * side), 0xFF000000u)}, {}};
  };
  const SkinResult r = load_skin(text, pictures, [] {});
  if (r.skin) {
    for (const TrackBar& b : r.skin->track_bars)
      if (b.position < 0 || b.position > 100 || b.offset < 0 || (b.travel() > 0 && b.offset > b.travel())) std::abort();
    for (const RadioGroup& g : r.skin->groups)
      if (g.down >= static_cast<int>(r.skin->hot_areas.size())) std::abort();
  } else if (r.error.empty()) {
    std::abort();  // a failed load always says why
  }
  return 0;
}
