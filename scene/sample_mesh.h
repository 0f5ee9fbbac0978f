// Mesh sampling: the listed nodes at one host time as one combined mesh.
#pragma once

#include <cstdint>

#include "plugin/host/geometry.h"
#include "scene/export_context.h"
#include "scene/sampled_mesh.h"

// Samples nodes firstNode .. firstNode + nodeCount - 1 of the context's
// list at `time` into new arrays of world positions and faces (each node's
// vertex indices shifted past the vertices of the nodes before it), handed
// to the caller through vertices and faces with their counts. Returns 0,
// with the failure recorded, for a range outside the list, a node that
// gives no triangle mesh, a face index outside its node's arrays, or no
// memory; arrays already handed out stay the caller's to free.
int SampleMesh(ExportContext& context, int firstNode, int nodeCount, SampledVertex** vertices,
               SampledFace** faces, std::int32_t* vertexCount, std::int32_t* faceCount,
               TimeValue time);

// The model writer's per-frame sampling: the vertex positions of every
// listed node at `time`, combined as SampleMesh combines them, into
// *vertices, which holds *capacity vertices and is replaced by a larger
// array (and *capacity updated) only when the mesh needs more. Faces are
// neither read nor checked: the model's triangles are those of the first
// sampling. Returns 0 with the failure recorded, as SampleMesh; the array
// stays the caller's to free.
int SampleMeshPositions(ExportContext& context, TimeValue time, SampledVertex** vertices,
                        std::int32_t* capacity, std::int32_t* vertexCount);
