#include "base/private_folder.h"

#ifndef _WIN32

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

std::string UserCacheFolder() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  if (cache && cache[0] == '/') return cache;
  const char* home = std::getenv("HOME");
  if (!home || home[0] != '/') {
    const passwd* user = getpwuid(geteuid());
    home = user ? user->pw_dir : nullptr;
  }
  if (!home || home[0] != '/') return "";
  std::string folder = home;
  if (folder.back() != '/') folder += '/';
  return folder + ".cache";
}

namespace {

// Makes the folder and any missing parents, each with mode 0700; true when
// the name exists afterwards, whatever it is.
bool MakeFolders(const std::string& path) {
  if (mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) return true;
  if (errno != ENOENT) return false;
  const std::size_t slash = path.find_last_of('/', path.size() - 2);
  if (slash == std::string::npos || slash == 0 || !MakeFolders(path.substr(0, slash))) return false;
  return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

}  // namespace

bool MakePrivateFolder(const std::string& path) {
  if (path.size() < 2 || path[0] != '/' || !MakeFolders(path)) return false;
  struct stat status;
  return lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
         status.st_uid == geteuid();
}

#endif
