// How every file the plug-in writes or reads is named: the given name cut
// at the first "." of its file name (the text behind the last "/" or "\"),
// with a fixed extension appended. Folders with dots in their names are
// left alone, so "C:\my.models\ogre" gives "C:\my.models\ogre.md2".
#pragma once

#include <string>

std::string StripExtension(const std::string& name);
// StripExtension(name) + extension, e.g. (".md2").
std::string NameWithExtension(const std::string& name, const char* extension);

// The name a file is written under before it takes its own (see
// WholeFileWriter): beside it, its name with ".part" appended. Where that
// would pass the longest file name the file systems allow (255 bytes), or
// on Windows the longest path (259 characters), the file's own name is cut
// first, so any name that can be written has a temporary name too.
std::string TemporaryFileName(const std::string& path);
