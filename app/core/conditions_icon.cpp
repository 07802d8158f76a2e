#include "app/core/conditions_icon.h"

#include "conditions/condition_picture.h"

namespace cirrodex {

void show_conditions_on_icon(TCustomOnTray& icon, const std::vector<TrayPicture>& pictures, const Readings& r,
                             int local_hour) {
  icon.set_tip(condition_tip(r));
  const auto index = static_cast<std::size_t>(condition_picture(r.Conditions, local_hour));
  if (index < pictures.size() && !pictures[index].empty()) icon.set_picture(pictures[index]);
}

}  // namespace cirrodex
