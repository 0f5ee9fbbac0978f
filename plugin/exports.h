// The functions the module exports to the host, with plain C linkage. A
// host finds them by these names after loading the module.
#pragma once

#include <windows.h>

#include "plugin/host/class_desc.h"

#if defined(_WIN32)
#define DORVANE_EXPORT __declspec(dllexport)
#else
#define DORVANE_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {
// "Vexo by " and the credit line; also the title of the panel page.
DORVANE_EXPORT const char* LibDescription();
// The number of classes the module offers: 1.
DORVANE_EXPORT int LibNumberClasses();
// The class descriptor for index 0; null for every other index.
DORVANE_EXPORT ClassDesc* LibClassDesc(int index);
// The SDK version of the host release the module is built for.
DORVANE_EXPORT DWORD LibVersion();
}
