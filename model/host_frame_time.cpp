#include "model/host_frame_time.h"

bool HostFrameTime(std::int64_t hostFrame, TimeValue* time) {
  const std::int64_t ticks = GetTicksPerFrame();
  // Both factors stay far inside 64 bits: frames come from 32-bit values.
  if (hostFrame < INT32_MIN || hostFrame > UINT32_MAX || ticks < INT32_MIN || ticks > INT32_MAX)
    return false;
  const std::int64_t t = hostFrame * ticks;
  if (t < INT32_MIN || t > INT32_MAX) return false;
  *time = static_cast<TimeValue>(t);
  return true;
}
