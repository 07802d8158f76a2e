#pragma once
// The astronomy library: positions of the Sun and the Moon and the events of
// the Moontool windows.

#include "moon/apsides.h"
#include "moon/eclipses.h"
#include "moon/errors.h"
#include "moon/julian.h"
#include "moon/phases.h"
#include "moon/position.h"
#include "moon/rise_set.h"
#include "moon/seasons.h"
