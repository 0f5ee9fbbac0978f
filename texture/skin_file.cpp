#include "texture/skin_file.h"

#include "export/file_names.h"

SkinFile::SkinFile(const char* skinName, const char* extension)
    : path_(NameWithExtension(skinName ? skinName : "", extension)),
      file_(std::fopen(path_.c_str(), "wb")),
      out_(file_) {}

SkinFile::~SkinFile() {
  if (!file_) return;
  std::fclose(file_);
  std::remove(path_.c_str());
}

int SkinFile::Finish() {
  if (!file_) return 0;
  const bool written = out_.ok() && std::fflush(file_) == 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (written && closed) return 1;
  std::remove(path_.c_str());
  return 0;
}
