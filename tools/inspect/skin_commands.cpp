// cirrodex-inspect skin / skin-render: a skin as the program loads it.
#include <iostream>
#include <string>
#include <vector>

#include "skins/ini_file.h"
#include "skins/skin_files.h"
#include "skins/skin_region.h"
#include "tools/inspect/commands.h"

#ifdef CIRRODEX_INSPECT_RENDER
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "skins/skin_painter.h"
#endif

namespace cirrodex::inspect {

namespace {

const char* yes_no(bool b) { return b ? "yes" : "no"; }

SkinResult load(const std::string& path) {
  auto warn = [] { std::cout << "message: Please enable GIF support!\n"; };
  return path == "default" ? load_builtin_skin(warn) : load_skin_from_file(path, warn);
}

std::string hex8(ColourValue v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%08X", v);
  return buf;
}

}  // namespace

int run_skin(const std::vector<std::string>& args) {
  if (args.size() != 1) return usage_error("skin needs exactly one PATH (a skin.ini, or default)");
  const SkinResult r = load(args[0]);
  if (!r.skin) {
    std::cout << "error: " << r.error << '\n';
    return 1;
  }
  const Skin& s = *r.skin;
  std::cout << "version " << s.version << '\n'
            << "mask " << s.mask_name << '\n'
            << "face " << s.up_name << '\n'
            << "pressed " << s.down_name << '\n'
            << "hover " << s.on_name << '\n'
            << "numbers " << s.numbers_name << '\n'
            << "text " << s.text_name << '\n'
            << "hover-on " << yes_no(s.hover) << '\n'
            << "size " << s.mask.width << 'x' << s.mask.height << '\n';
  for (const HotArea& a : s.hot_areas)
    std::cout << "hotarea " << a.id << ' ' << a.left << ',' << a.top << ',' << a.width << ',' << a.height
              << " switch=" << yes_no(a.is_switch) << " down=" << yes_no(a.down) << " group=" << a.group
              << " hint=" << a.hint << '\n';
  for (const DisplaySlot& d : s.displays)
    std::cout << "slot " << d.id << " font=" << d.font_name << " bold=" << yes_no(d.bold)
              << " italic=" << yes_no(d.italic) << " size=" << d.size << " color=" << hex8(d.colour) << ' ' << d.left
              << ',' << d.top << " style=" << d.style << " text=" << d.text << '\n';
  for (const TrackBar& b : s.track_bars)
    std::cout << "trackbar " << b.id << ' ' << b.left << ',' << b.top << " length=" << b.length
              << " horizontal=" << yes_no(b.horizontal) << " position=" << b.position << " offset=" << b.offset << '\n';

  // The program's own items, as apply_skin_extras reads them.
  const IniFile ini = IniFile::parse(skin_ini_text(args[0]));
  for (const char* key : {"Online_Indicator_locx", "Online_Indicator_locy", "moonimage_locx", "moonimage_locy",
                          "menucolor", "menuTextcolor", "menuHighlightcolor", "menuHighlightTextcolor"})
    std::cout << "other " << key << '=' << ini.read_string("OTHER", key, "n/a") << '\n';

  const std::vector<Rect> rects = mask_rects(s.mask, kClFuchsia, kClBlack);
  int left = s.mask.width, top = s.mask.height, right = 0, bottom = 0;
  for (const Rect& q : rects) {
    left = std::min(left, q.left);
    top = std::min(top, q.top);
    right = std::max(right, q.left + q.width);
    bottom = std::max(bottom, q.top + q.height);
  }
  if (rects.empty()) left = top = 0;
  std::cout << "region " << rects.size() << " rectangles, bounds " << left << ',' << top << ',' << right - left << ','
            << bottom - top << '\n';
  return 0;
}

int run_skin_render(const std::vector<std::string>& args) {
  if (args.size() < 2) return usage_error("skin-render needs PATH and OUT.png");
#ifdef CIRRODEX_INSPECT_RENDER
  SkinResult r = load(args[0]);
  if (!r.skin) {
    std::cout << "error: " << r.error << '\n';
    return 1;
  }
  Skin& s = *r.skin;
  for (std::size_t i = 2; i < args.size(); ++i) {
    const std::size_t eq = args[i].find('=');
    if (eq == std::string::npos) return usage_error("slot texts are SLOT=TEXT, not " + args[i]);
    const std::string id = args[i].substr(0, eq);
    for (DisplaySlot& d : s.displays)
      if (d.id == id) {
        d.text = args[i].substr(eq + 1);
        break;
      }
  }
  int argc = 1;
  char name[] = "cirrodex-inspect";
  char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QImage out(s.mask.width, s.mask.height, QImage::Format_ARGB32);
  out.fill(Qt::transparent);
  {
    QPainter painter(&out);
    painter.setClipRegion(skin_region(s.mask, kClFuchsia, kClBlack));
    paint_skin(painter, s, SkinImages::of(s), {});
  }
  if (!out.save(QString::fromLocal8Bit(args[1].c_str()), "PNG")) {
    std::cerr << "cirrodex-inspect: cannot write " << args[1] << '\n';
    return 1;
  }
  return 0;
#else
  std::cerr << "cirrodex-inspect: skin-render needs a build with Qt\n";
  return 1;
#endif
}

}  // namespace cirrodex::inspect
