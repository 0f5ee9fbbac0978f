// A skin file being written: the skin name cut at its first "." with the
// extension appended, created with "wb". A file whose writing or closing
// failed is removed again, so a short file never passes for a skin.
#pragma once

#include <cstdio>
#include <string>

#include "plugin/little_endian_file.h"

class SkinFile {
 public:
  SkinFile(const char* skinName, const char* extension);
  ~SkinFile();  // a file not finished is closed and removed
  SkinFile(const SkinFile&) = delete;
  SkinFile& operator=(const SkinFile&) = delete;

  bool opened() const { return file_ != nullptr; }
  LittleEndianWriter& out() { return out_; }
  // Closes the file: 1 when every write and the close succeeded, else 0
  // (and the file is gone).
  int Finish();

 private:
  std::string path_;
  std::FILE* file_;
  LittleEndianWriter out_;
};
