#include "plugin/host/class_desc.h"

// The descriptor keeps no interface table in this SDK, so there is nothing
// to release.
ClassDescSlots<true>::~ClassDescSlots() = default;
