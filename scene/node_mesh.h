// Reading a listed node in place: its triangle mesh at a time and the
// bitmap that a face's material shows.
#pragma once

#include <cstdint>

#include "plugin/host/scene_objects.h"

// The node's triangle mesh at time, read in place and valid until the node
// is evaluated again. Null when the node gives none: its object cannot
// become a triangle object, or the mesh lacks an array its counts promise.
HostMesh* MeshAtTime(SceneNode* node, TimeValue time);

// The file name of the bitmap in the diffuse slot of the material that a
// face with materialIndex uses: the node's own material when it is plain,
// else its sub-material materialIndex mod count. Returns 1 and stores the
// host's text in bitmapName, or returns 0 and leaves it alone when there is
// no material, no such map, or the map is not a bitmap texture.
int FaceBitmapName(SceneNode* node, std::uint32_t materialIndex, const char** bitmapName);
