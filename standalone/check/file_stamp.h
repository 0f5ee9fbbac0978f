// What tells one version of a file from another without reading it: the
// file itself (device and inode, which a file renamed into place changes),
// its size and its modification time to the nanosecond.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vexo::check {

struct FileStamp {
  std::uint64_t device = 0, inode = 0;
  std::int64_t size = 0, modifiedSeconds = 0, modifiedNanoseconds = 0;

  bool operator==(const FileStamp& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           modifiedSeconds == other.modifiedSeconds &&
           modifiedNanoseconds == other.modifiedNanoseconds;
  }
  bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

// The file's stamp; nothing when it cannot be looked at.
std::optional<FileStamp> StampOf(const std::string& path);

}  // namespace vexo::check
