// How every file the plug-in writes or reads is named: the given name cut
// at the first "." of its file name (the text behind the last "/" or "\"),
// with a fixed extension appended. Folders with dots in their names are
// left alone, so "C:\my.models\ogre" gives "C:\my.models\ogre.md2".
#pragma once

#include <string>

std::string StripExtension(const std::string& name);
// StripExtension(name) + extension, e.g. (".md2").
std::string NameWithExtension(const std::string& name, const char* extension);
