#include "texture/skin_texture.h"

void TextureFileNameField<true>::set(const char*) {}
