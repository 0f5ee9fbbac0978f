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

// Not called by the modelling host: for hosts that show more than the
// panel's message after a failed export. The first failure that the scene,
// texture and model steps recorded since the module was loaded (the record
// keeps only its first entry): 1 with its text and caption, 0 while none is
// recorded. Release 2 records none.
DORVANE_EXPORT int DorvaneLastError(const char** text, const char** caption);
// The reason behind that failure where the step knew more than its message
// says (why a picture's loader refused a file, e.g. "compressed BMP is not
// read"); empty when it gave none or nothing is recorded.
DORVANE_EXPORT const char* DorvaneLastErrorReason();
}
