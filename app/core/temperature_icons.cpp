#include "app/core/temperature_icons.h"

#include <stdexcept>
#include <utility>

namespace cirrodex {

namespace {

std::size_t slot_of(IconKind kind) { return static_cast<std::size_t>(kind); }

int id_of(IconKind kind) {
  switch (kind) {
    case IconKind::Temperature:
      return kTemperatureIconId;
    case IconKind::HeatIndex:
      return kHeatIndexIconId;
    case IconKind::WindChill:
      return kWindChillIconId;
  }
  return kTemperatureIconId;
}

struct Failure {
  const char* text;
  int pause_ms;
};

Failure failure_of(IconKind kind) {
  switch (kind) {
    case IconKind::Temperature:
      return {"Error occurred creating Temperature icon.", 1200};
    case IconKind::HeatIndex:
      return {"Error occurred creating Heat Index icon.", 1800};
    case IconKind::WindChill:
      return {"Error occurred creating Windchill icon.", 2500};
  }
  return {"", 0};
}

}  // namespace

TemperatureIcons::TemperatureIcons(Tray& shell, Settings& settings, Host& host, Display& display,
                                   const Readings& readings, Painter painter, MainIcon main_icon, ExtraIconSetup setup)
    : shell_(shell),
      settings_(settings),
      host_(host),
      display_(display),
      readings_(readings),
      painter_(std::move(painter)),
      main_icon_(std::move(main_icon)),
      setup_(std::move(setup)) {}

void TemperatureIcons::make_icons() {
  for (const IconKind kind : icons_to_draw(settings_)) make_icon(kind);
}

void TemperatureIcons::make_icon(IconKind kind) {
  if (closed_) return;
  const auto plan = icon_picture(kind, readings_, settings_);
  if (!plan) return;  // no reading: the icon keeps what it shows
  TrayPicture picture;
  try {
    picture = painter_(*plan);
    if (picture.empty()) throw std::runtime_error("empty picture");
  } catch (const std::exception&) {
    const Failure f = failure_of(kind);
    host_.beep();
    host_.show_status(f.text);
    host_.pause(f.pause_ms);
    return;
  }
  if (!closed_) hand_over(kind, picture);
}

void TemperatureIcons::hand_over(IconKind kind, const TrayPicture& picture) {
  if (kind == IconKind::Temperature && settings_.get("TempIcon") == "y") {
    // Stands in for the condition picture until the next conditions text.
    if (TCustomOnTray* main = main_icon_ ? main_icon_() : nullptr) main->set_picture(picture);
    return;
  }
  TOnTray& icon = extra_icon(kind);
  icon.set_picture(picture);
  const std::string caption = display_.caption();
  switch (kind) {
    case IconKind::Temperature:
      icon.set_tip(caption);
      break;
    case IconKind::HeatIndex:
      icon.set_tip(caption + "- Heat Index");
      break;
    case IconKind::WindChill:
      icon.set_tip(caption + "- Windchill");
      break;
  }
}

TOnTray& TemperatureIcons::extra_icon(IconKind kind) {
  std::unique_ptr<TOnTray>& slot = extras_[slot_of(kind)];
  if (!slot) {
    // Kept only once it is up: an icon that failed half way is made again
    // by the next reading.
    auto made = std::make_unique<TOnTray>(shell_, id_of(kind), setup_.owner);
    made->set_tip(setup_.title);
    made->set_picture(setup_.program_picture);
    made->right_menu = setup_.right_menu;
    made->set_active(true);
    slot = std::move(made);
  }
  return *slot;
}

void TemperatureIcons::remove_turned_off() {
  if (settings_.get("TempIcon") != "b") extras_[slot_of(IconKind::Temperature)].reset();
  if (!settings_.flag("HindexIcon")) extras_[slot_of(IconKind::HeatIndex)].reset();
  if (!settings_.flag("WindcIcon")) extras_[slot_of(IconKind::WindChill)].reset();
}

TOnTray* TemperatureIcons::extra(IconKind kind) const { return extras_[slot_of(kind)].get(); }

void TemperatureIcons::close() {
  closed_ = true;
  for (auto& icon : extras_) icon.reset();
}

}  // namespace cirrodex
