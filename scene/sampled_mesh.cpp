#include "scene/sampled_mesh.h"

// The copied name is cut to the field; a missing name leaves it empty.
void FaceBitmapNameField<true>::set(const char* name) {
  std::size_t n = 0;
  if (name) {
    while (n + 1 < sizeof text && name[n] != '\0') {
      text[n] = name[n];
      ++n;
    }
  }
  text[n] = '\0';
}
