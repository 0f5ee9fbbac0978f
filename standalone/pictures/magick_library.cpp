#include "standalone/pictures/magick_library.h"

#include <dlfcn.h>

#include <string>

#include "standalone/pictures/picture.h"

namespace vexo::readers {
namespace {

template <typename Call>
void Find(void* library, const char* name, Call* call) {
  *call = reinterpret_cast<Call>(dlsym(library, name));
  if (!*call) {
    throw PictureError(std::string("ImageMagick's library ") + VEXO_MAGICK_CORE_LIBRARY +
                       " has no " + name);
  }
}

MagickLibrary Load() {
  void* library = dlopen(VEXO_MAGICK_CORE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* reason = dlerror();
    throw PictureError(std::string("ImageMagick's library cannot be loaded (") +
                       (reason ? reason : VEXO_MAGICK_CORE_LIBRARY) +
                       "): install Debian's libmagickcore-6.q16hdri-6");
  }
  MagickLibrary calls{};
#define VEXO_FIND(name) Find(library, #name, &calls.name)
  VEXO_FIND(MagickCoreGenesis);
  VEXO_FIND(MagickCoreTerminus);
  VEXO_FIND(SetMagickResourceLimit);
  VEXO_FIND(AcquireImageInfo);
  VEXO_FIND(DestroyImageInfo);
  VEXO_FIND(AcquireExceptionInfo);
  VEXO_FIND(DestroyExceptionInfo);
  VEXO_FIND(CopyMagickString);
  VEXO_FIND(SetImageInfoProgressMonitor);
  VEXO_FIND(PingBlob);
  VEXO_FIND(BlobToImage);
  VEXO_FIND(DestroyImageList);
  VEXO_FIND(AutoOrientImage);
  VEXO_FIND(TransformImageColorspace);
  VEXO_FIND(ExportImagePixels);
#undef VEXO_FIND
  return calls;
}

}  // namespace

// Never unloaded: MagickCore's own clean-up runs at exit.
const MagickLibrary& Magick() {
  static const MagickLibrary calls = Load();
  return calls;
}

}  // namespace vexo::readers
