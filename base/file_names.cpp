#include "base/file_names.h"

std::string StripExtension(const std::string& name) {
  const std::size_t slash = name.find_last_of("/\\");
  const std::size_t fileStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = name.find('.', fileStart);
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string NameWithExtension(const std::string& name, const char* extension) {
  return StripExtension(name) + extension;
}
