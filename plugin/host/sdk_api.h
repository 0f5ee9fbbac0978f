// Linkage of the functions and objects that the host SDK libraries provide.
#pragma once

#if defined(_WIN32)
#if defined(VEXO_BUILDING_HOSTSDK)
#define VEXO_SDK_API __declspec(dllexport)
#else
#define VEXO_SDK_API __declspec(dllimport)
#endif
#else
#define VEXO_SDK_API __attribute__((visibility("default")))
#endif
