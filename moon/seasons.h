#pragma once
// Equinoxes and solstices.

#include "moon/julian.h"

namespace cirrodex::moon {

enum class SeasonKind {
  DecemberSolstice = 0,  // "Winter"
  MarchEquinox = 1,      // "Spring"
  JuneSolstice = 2,      // "Summer"
  SeptemberEquinox = 3,  // "Autumn"
};

// The instant the season starts in that year (1000 to 3000; other years
// throw E_OutOfAlgorithRange).
Instant season_start(int year, SeasonKind kind);

}  // namespace cirrodex::moon
