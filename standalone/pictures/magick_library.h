// ImageMagick's MagickCore, loaded when the first picture needs it rather
// than with vexo: it brings some two dozen libraries of its own, whose
// loading every start of vexo would otherwise pay, also the many that read
// only PNG and JPEG pictures or none.
#pragma once

#include <magick/MagickCore.h>

namespace vexo::readers {

// The calls vexo makes, under their own names.
struct MagickLibrary {
  decltype(&::MagickCoreGenesis) MagickCoreGenesis;
  decltype(&::MagickCoreTerminus) MagickCoreTerminus;
  decltype(&::SetMagickResourceLimit) SetMagickResourceLimit;
  decltype(&::AcquireImageInfo) AcquireImageInfo;
  decltype(&::DestroyImageInfo) DestroyImageInfo;
  decltype(&::AcquireExceptionInfo) AcquireExceptionInfo;
  decltype(&::DestroyExceptionInfo) DestroyExceptionInfo;
  decltype(&::CopyMagickString) CopyMagickString;
  decltype(&::SetImageInfoProgressMonitor) SetImageInfoProgressMonitor;
  decltype(&::PingBlob) PingBlob;
  decltype(&::BlobToImage) BlobToImage;
  decltype(&::DestroyImageList) DestroyImageList;
  decltype(&::AutoOrientImage) AutoOrientImage;
  decltype(&::TransformImageColorspace) TransformImageColorspace;
  decltype(&::ExportImagePixels) ExportImagePixels;
};

// The library, loaded on the first call and kept for the process. Throws
// PictureError when it is not installed or lacks a call.
const MagickLibrary& Magick();

}  // namespace vexo::readers
