#pragma once
// Solar and lunar eclipses at new and full moon.

#include "moon/julian.h"

namespace cirrodex::moon {

enum class EclipseType {
  None = 0,
  // Solar
  Partial = 1,
  NonCentral = 2,  // total or annular, the axis of the shadow missing the Earth
  Annular = 3,
  AnnularTotal = 4,
  Total = 5,
  // Lunar
  Umbral = 5,
  Penumbral = 6,  // penumbral only
};

struct Eclipse {
  Instant instant = 0;  // of the maximum eclipse; the mean phase when there is none
  EclipseType type = EclipseType::None;
  // Least distance of the shadow axis from the Earth's (solar) or of the Moon
  // from the shadow axis (lunar), and the radius of the umbral cone, in Earth
  // radii; 0 when there is no eclipse.
  Real gamma = 0;
  Real u = 0;
  // Lunar only: above 1 the eclipse is total, between 0 and 1 partial.
  Real umbral_magnitude = 0;
};

// The eclipse at the new moon (solar) or full moon (lunar) nearest p.
Eclipse eclipse_at_phase(Instant p, bool solar);
// The first new (solar) or full (lunar) moon at or after p, with its type,
// which may be EclipseType::None.
Eclipse next_eclipse_search(Instant p, bool solar);

}  // namespace cirrodex::moon
