// Per-user folders for files that other users must not see or plant (POSIX
// systems; Windows keeps such files by its own rules).
#pragma once

#ifndef _WIN32

#include <string>

// The folder where the user's programs keep files they can make again (the
// cache folder of the XDG conventions): $XDG_CACHE_HOME when it is an
// absolute path, else ~/.cache (HOME, or the user's home in the password
// database). Empty when none is known.
std::string UserCacheFolder();

// Makes `path` a folder that only this user can enter (mode 0700), with
// any missing parents made the same way, or checks that the one there is
// a real folder (not a link) owned by this user. False otherwise.
bool MakePrivateFolder(const std::string& path);

#endif
