// The location pool: state locations that instructions take from the top
// of variable memory (254 downward) while variables fill it from 0 upward.
#pragma once

#include "core/compilation.h"

namespace vk6 {

// Takes `count` locations from the pool; returns the pool's new value (the
// first location taken), which records store cut to a byte.
inline int takeLocations(Compilation& c, int count) {
  c.header.locationPool -= count;
  return c.header.locationPool;
}

}  // namespace vk6
