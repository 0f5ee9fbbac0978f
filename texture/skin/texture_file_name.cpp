#include <cstring>

#include "texture/skin/skin_texture.h"

// Release 2 keeps its own copy of the name, cut to the field.
void TextureFileNameField<true>::set(const char* name) {
  std::size_t n = 0;
  if (name) {
    while (n + 1 < sizeof text && name[n] != '\0') ++n;
    std::memcpy(text, name, n);
  }
  text[n] = '\0';
}
