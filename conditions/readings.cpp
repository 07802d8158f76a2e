#include "conditions/readings.h"

namespace cirrodex {

std::string_view slot_of(std::string Readings::*member) {
  for (const auto& f : kReadingsFields)
    if (f.member == member) return f.slot;
  return {};
}

}  // namespace cirrodex
