#pragma once
// Perigee and apogee of the Moon.

#include "moon/julian.h"

namespace cirrodex::moon {

// The perigee or apogee of the orbit nearest to t.
Instant perigee(Instant t);
Instant apogee(Instant t);

// The earliest perigee or apogee at or after t.
Instant next_perigee(Instant t);
Instant next_apogee(Instant t);

}  // namespace cirrodex::moon
