#pragma once
// Rise, transit and set of the Sun and the Moon.

#include "moon/julian.h"

namespace cirrodex::moon {

enum class Body { Sun, Moon };
enum class RiseKind { Rise = 0, Set = 1, Transit = 2 };

// The instant of the event on the Universal Time day of `day` at a place at
// sea level (latitude north positive, longitude west positive), found from
// the positions at the three midnights around it with one correction step.
// The result may fall on the day before or after. Throws E_NoRiseSet when
// the body does not cross its standard altitude that day, whatever the kind.
Instant rise_transit_set(Body body, RiseKind kind, Real latitude, Real longitude, Instant day);

}  // namespace cirrodex::moon
