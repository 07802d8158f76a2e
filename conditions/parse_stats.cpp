#include "conditions/parse_stats.h"

#include "platform/text.h"

namespace cirrodex {

void ConditionsParser::publish(std::string Readings::*field, std::string text) {
  r_.*field = std::move(text);
  const std::string_view slot = slot_of(field);
  if (!slot.empty()) display_.set_slot_text(std::string(slot), text::upper(r_.*field));
}

void ConditionsParser::publish_conditions(std::string text) {
  publish(&Readings::Conditions, std::move(text));
  if (on_conditions) on_conditions(r_);
}

void ConditionsParser::fail(const char* status, int ms, bool beep) {
  if (beep) host_.beep();
  host_.show_status(status);
  host_.pause(ms);
}

void ConditionsParser::parse_stats(const std::string& document, bool automatic_fetch) {
  host_.show_status("...parsing data...");
  display_.set_slot_text("TEXT_CONDITIONS", "");
  for (auto field : {&Readings::Conditions, &Readings::Temperature, &Readings::Humidity, &Readings::Pressure,
                     &Readings::Wind, &Readings::Visibility, &Readings::Sunrise, &Readings::Sunset, &Readings::MoonRise,
                     &Readings::MoonSet, &Readings::HeatIndex, &Readings::WindChill})
    (r_.*field).clear();

  if (settings_.get("Datasource") == "2")
    parse_raw_stats(document);
  else
    parse_page(document, settings_.get("Metric") == "y");
  finish(automatic_fetch);
}

void ConditionsParser::finish(bool automatic_fetch) {
  host_.show_status("Thank you for using Cirrodex...");
  presets_.add_preset_location(r_.LocationName, automatic_fetch, ctx_, preset_title_);

  std::string& title = ctx_.requested.size() >= 2 ? ctx_.requested : preset_title_;
  if (title.size() > 40) title = text::copy(title, 1, 20);
  display_.set_caption("Cirrodex - " + title);
  display_.set_slot_text(std::string(kSlotLocation), text::upper(title));
}

}  // namespace cirrodex
