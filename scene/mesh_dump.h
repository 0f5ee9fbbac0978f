// The plain-text dump of the mesh an export samples at host time 0. Nothing
// reads it back.
#pragma once

#include <cstdint>
#include <string>

#include "errors/error_record.h"
#include "scene/sampled_mesh.h"

// The name written under a face: the picture of its texture, or null when
// it has none.
using FaceMaterialName = const char* (*)(const SampledFace& face);

// Writes the dump to `path` in text mode: a header, every vertex and every
// face with its material line. Except on Windows it is written as a new
// file beside `path` that replaces it once complete, so a link planted at
// `path` is replaced, never followed. Returns 0, with the failure
// recorded, when the file cannot be opened or written.
int WriteMeshDump(const char* path, const SampledVertex* vertices, std::int32_t vertexCount,
                  const SampledFace* faces, std::int32_t faceCount,
                  FaceMaterialName materialName, ErrorRecord& errors);

// Where the dump goes: "C:\tris.asc" on Windows; elsewhere "vexo/tris.asc"
// in the user's cache folder (UserCacheFolder: $XDG_CACHE_HOME or
// ~/.cache); empty when the user has no such folder.
std::string MeshDumpPath();

// The dump step of an export: writes the dump to MeshDumpPath() in the
// builds that keep one (release::kWritesMeshDump) and does nothing in the
// others. Except on Windows, the dump's folder is first made private to
// the user (MakePrivateFolder), and a folder that is not the user's own is
// refused. The result is WriteMeshDump's, 0 with the failure recorded when
// the folder is refused, or 1 when nothing is written.
int DumpExportMesh(const SampledVertex* vertices, std::int32_t vertexCount,
                   const SampledFace* faces, std::int32_t faceCount,
                   FaceMaterialName materialName, ErrorRecord& errors);
