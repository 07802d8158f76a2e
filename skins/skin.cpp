#include "skins/skin.h"

#include <algorithm>

#include "platform/text.h"
#include "skins/ini_file.h"
#include "skins/list_line.h"

namespace cirrodex {

int Skin::group_index(const std::string& name) const {
  for (std::size_t i = 0; i < groups.size(); ++i)
    if (groups[i].name == name) return static_cast<int>(i);
  return -1;
}

bool is_gif_name(const std::string& name) {
  const std::size_t dot = name.find('.');
  return dot != std::string::npos && text::iequals(name.substr(dot + 1, 3), "gif");
}

void place_thumb(TrackBar& bar) {
  bar.position = std::clamp(bar.position, 0, 100);
  // A thumb as long as its bar has nowhere to go.
  bar.offset = bar.travel() > 0 ? bar.position * bar.travel() / 100 : 0;
}

namespace {

constexpr const char* kHotFiller = "NOT_DEFINED, 0, 0, 0, 0";
constexpr const char* kSlotFiller = "NOT_DEFINED, Arial, FALSE, FALSE, 0, $000000, 0, 0";
constexpr const char* kBarFiller = "NOT_DEFINED, NOT_DEFINED, NOT_DEFINED, 0, 0, 0, H";

struct Fail {
  std::string why;
};

constexpr long long kMaxCount = 4096;

// Reads the numbered lines of a section.
class Reader {
 public:
  explicit Reader(const IniFile& ini) : ini_(ini) {}

  std::vector<std::string> line(const char* section, int n, const char* filler) const {
    return split_list_line(ini_.read_string(section, std::to_string(n), filler));
  }
  // A count past any real skin would only make filler lines.
  int count(const char* section) const {
    const long long n = skin_number(ini_.read_string(section, "Count", "0")).value_or(0);
    if (n > kMaxCount)
      throw Fail{std::string(section) + ": Count " + std::to_string(n) + " is more than " + std::to_string(kMaxCount)};
    return n < 0 ? 0 : static_cast<int>(n);
  }

 private:
  const IniFile& ini_;
};

int number(const std::vector<std::string>& items, std::size_t i, const std::string& where) {
  if (i >= items.size()) throw Fail{where + ": item " + std::to_string(i + 1) + " is missing"};
  const auto v = skin_number(items[i]);
  if (!v || *v < -1000000 || *v > 1000000) throw Fail{where + ": \"" + items[i] + "\" is not a number"};
  return static_cast<int>(*v);
}

std::string item(const std::vector<std::string>& items, std::size_t i) { return i < items.size() ? items[i] : ""; }

void read_hot_areas(const Reader& r, Skin& skin) {
  const int count = r.count("HOTAREAINFO");
  // The hint (version 150) shifts the optional items by one.
  const std::size_t state_at = skin.version == 150 ? 6 : 5;
  for (int n = 1; n <= count; ++n) {
    const auto items = r.line("HOTAREAINFO", n, kHotFiller);
    const std::string where = "hot area " + std::to_string(n);
    HotArea a;
    a.id = item(items, 0);
    a.left = number(items, 1, where);
    a.top = number(items, 2, where);
    a.width = number(items, 3, where);
    a.height = number(items, 4, where);
    if (skin.version == 150) a.hint = item(items, 5);
    if (items.size() > state_at) {
      a.is_switch = true;
      a.down = items[state_at] != "FALSE";
    }
    if (items.size() == state_at + 2) {
      a.group = items[state_at + 1];
      int g = skin.group_index(a.group);
      if (g < 0) {
        skin.groups.push_back({a.group, -1});
        g = static_cast<int>(skin.groups.size()) - 1;
      }
      if (a.down) skin.groups[static_cast<std::size_t>(g)].down = static_cast<int>(skin.hot_areas.size());
    }
    skin.hot_areas.push_back(std::move(a));
  }
}

void read_slots(const Reader& r, Skin& skin) {
  const int count = r.count("DISPLAYINFO");
  for (int n = 1; n <= count; ++n) {
    const auto items = r.line("DISPLAYINFO", n, kSlotFiller);
    const std::string where = "display slot " + std::to_string(n);
    DisplaySlot s;
    s.id = item(items, 0);
    s.font_name = item(items, 1);
    s.bold = item(items, 2) == "TRUE";
    s.italic = item(items, 3) == "TRUE";
    s.size = number(items, 4, where);
    const auto colour = skin_number(item(items, 5));
    if (!colour || *colour < 0 || *colour > 0xFFFFFFFFLL)
      throw Fail{where + ": \"" + item(items, 5) + "\" is not a colour"};
    s.colour = static_cast<ColourValue>(*colour) & 0x00FFFFFFu;
    s.left = number(items, 6, where);
    s.top = number(items, 7, where);
    s.style = items.size() > 8 ? items[8] : std::string("Normal");  // absent: normal
    if (items.size() >= 10) s.text = items[9];
    skin.displays.push_back(std::move(s));
  }
}

void read_track_bars(const Reader& r, Skin& skin, const PictureLoader& pictures) {
  const int count = r.count("TRACKBARINFO");
  for (int n = 1; n <= count; ++n) {
    const auto items = r.line("TRACKBARINFO", n, kBarFiller);
    const std::string where = "track bar " + std::to_string(n);
    TrackBar b;
    b.id = item(items, 0);
    b.thumb_name = item(items, 1);
    b.dragged_name = item(items, 2);
    for (auto [name, pic] : {std::pair{&b.thumb_name, &b.thumb}, std::pair{&b.dragged_name, &b.dragged}}) {
      PictureResult p = pictures(*name);
      if (!p.picture) throw Fail{where + ": " + p.error};
      *pic = std::move(*p.picture);
    }
    b.left = number(items, 3, where);
    b.top = number(items, 4, where);
    b.length = number(items, 5, where);
    b.horizontal = item(items, 6) != "V";
    if (items.size() > 7) b.position = number(items, 7, where);
    b.hint = item(items, 8);
    place_thumb(b);
    skin.track_bars.push_back(std::move(b));
  }
}

}  // namespace

SkinResult load_skin(std::string_view ini_text, const PictureLoader& pictures,
                     const std::function<void()>& gif_warning) {
  const IniFile ini = IniFile::parse(ini_text);
  Skin skin;
  try {
    const auto ver = skin_number(ini.read_string("Version", "Ver", "140"));
    skin.version = ver ? static_cast<int>(*ver) : 0;
    skin.mask_name = ini.read_string("BITMAPINFO", "MaskBitmap", "ERROR");
    skin.up_name = ini.read_string("BITMAPINFO", "MouseUpBitmap", skin.mask_name);
    skin.down_name = ini.read_string("BITMAPINFO", "MouseDownBitmap", skin.up_name);
    skin.on_name = ini.read_string("BITMAPINFO", "MouseOnBitmap", skin.down_name);
    skin.numbers_name = ini.read_string("BITMAPINFO", "NumbersBitmap", "");
    skin.text_name = ini.read_string("BITMAPINFO", "TextBitmap", "");
    skin.hover = skin.on_name != skin.down_name;

    auto load = [&](const std::string& name, Picture& into, bool required) {
      if (name.empty() && !required) return;
      if (is_gif_name(name)) {
        gif_warning();
        if (required) throw Fail{"GIF pictures are not supported: " + name};
        return;
      }
      PictureResult p = pictures(name);
      if (!p.picture) throw Fail{p.error};
      into = std::move(*p.picture);
    };
    load(skin.mask_name, skin.mask, true);
    load(skin.up_name, skin.face, true);
    load(skin.on_name, skin.over, true);
    load(skin.down_name, skin.pressed, true);
    for (const Picture* face : {&skin.face, &skin.over, &skin.pressed})
      if (face->width < skin.mask.width || face->height < skin.mask.height)
        throw Fail{"a face picture is smaller than the mask"};
    load(skin.numbers_name, skin.numbers, false);
    load(skin.text_name, skin.text, false);

    const Reader reader(ini);
    if (skin.version != 140 && skin.version != 150 && reader.count("HOTAREAINFO") > 0)
      throw Fail{"skin version " + ini.read_string("Version", "Ver", "140") + " is not supported (140 or 150)"};
    read_hot_areas(reader, skin);
    skin.charset = static_cast<int>(skin_number(ini.read_string("DISPLAYINFO", "Charset", "1")).value_or(1));
    read_slots(reader, skin);
    read_track_bars(reader, skin, pictures);
  } catch (const Fail& f) {
    return {std::nullopt, f.why};
  }
  return {std::move(skin), {}};
}

}  // namespace cirrodex
