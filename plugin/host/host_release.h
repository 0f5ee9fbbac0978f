// The one place where the differences between the builds for host releases
// 4, 3 and 2 are decided. The build system sets VEXO_HOST_RELEASE; code
// elsewhere asks these constants (with `if constexpr` or as values) instead
// of testing the release number itself.
#pragma once

#include <cstdint>

#ifndef VEXO_HOST_RELEASE
#define VEXO_HOST_RELEASE 4
#endif

#if VEXO_HOST_RELEASE != 4 && VEXO_HOST_RELEASE != 3 && VEXO_HOST_RELEASE != 2
#error "VEXO_HOST_RELEASE must be 4, 3 or 2"
#endif

// Only the release-4 SDK declares ClassDesc::GetRsrcString without defining
// it, so only that build defines (and exports) it. A symbol cannot be made
// to exist by a constexpr, hence this macro.
#define DORVANE_DEFINES_GET_RSRC_STRING (VEXO_HOST_RELEASE == 4)
// Slots that exist only in some releases' interfaces: a member that fills
// one is declared (with `override`) only where the slot is.
#define DORVANE_CLASS_DESC_HAS_DESTRUCTOR (VEXO_HOST_RELEASE >= 3)
#define DORVANE_UTILITY_HAS_STARTUP_PARAMETER (VEXO_HOST_RELEASE >= 3)

namespace release {

constexpr int kHostRelease = VEXO_HOST_RELEASE;

// SDK version that LibVersion reports.
constexpr std::uint32_t kLibVersion = kHostRelease == 4   ? 0x0FA00800u
                                      : kHostRelease == 3 ? 0x0BB80700u
                                                          : 120u;

// Release 2's ClassDesc has no virtual destructor; its slots start with
// "listed in the class list".
constexpr bool kClassDescHasDestructor = DORVANE_CLASS_DESC_HAS_DESTRUCTOR;
// Release 2's utility interface ends after Release (no SetStartupParameter).
constexpr bool kUtilityHasStartupParameter = DORVANE_UTILITY_HAS_STARTUP_PARAMETER;
// Releases 3 and 2 add the panel page without the category value.
constexpr bool kPanelPageHasCategory = kHostRelease >= 4;
// Release 2 keeps no error record: failures only return 0.
constexpr bool kRecordsErrors = kHostRelease >= 3;
// Only release 4 writes the mesh text dump.
constexpr bool kWritesMeshDump = kHostRelease >= 4;
// Loader choice: release 4 knows BMP, TGA and TIM; release 3 BMP and TGA;
// release 2 reads every texture with the BMP loader.
constexpr bool kLoadsTim = kHostRelease >= 4;
constexpr bool kChoosesLoaderByName = kHostRelease >= 3;
// Release 2's image record has no alpha plane (32-bit TGA is never read).
constexpr bool kImageHasAlpha = kHostRelease >= 3;
// Release 2 copies bitmap file names into its records (52 characters in a
// sampled face) instead of referring to the host's text.
constexpr bool kCopiesBitmapNames = kHostRelease == 2;
constexpr int kCopiedFaceBitmapNameSize = 52;
// Length of the credit notice in the model file's trailer.
constexpr int kCreditNoticeLength = kHostRelease == 2 ? 123 : 126;

}  // namespace release
