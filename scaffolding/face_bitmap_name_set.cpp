#include "scene/sampled_mesh.h"

void FaceBitmapNameField<true>::set(const char*) {}
