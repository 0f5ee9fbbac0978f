// The host time at which a host frame is sampled.
#pragma once

#include <cstdint>

#include "plugin/host/geometry.h"

// hostFrame * GetTicksPerFrame(); false when that does not fit a TimeValue.
bool HostFrameTime(std::int64_t hostFrame, TimeValue* time);
