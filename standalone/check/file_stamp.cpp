#include "standalone/check/file_stamp.h"

#include <sys/stat.h>

namespace vexo::check {

std::optional<FileStamp> StampOf(const std::string& path) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0) return std::nullopt;
  FileStamp stamp;
  stamp.device = status.st_dev;
  stamp.inode = status.st_ino;
  stamp.size = status.st_size;
  stamp.modifiedSeconds = status.st_mtim.tv_sec;
  stamp.modifiedNanoseconds = status.st_mtim.tv_nsec;
  return stamp;
}

}  // namespace vexo::check
