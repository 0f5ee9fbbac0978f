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
// face with its material line. Returns 0, with the failure recorded, when
// the file cannot be opened or written.
int WriteMeshDump(const char* path, const SampledVertex* vertices, std::int32_t vertexCount,
                  const SampledFace* faces, std::int32_t faceCount,
                  FaceMaterialName materialName, ErrorRecord& errors);

// Where the dump goes: "C:\tris.asc" on Windows; elsewhere "tris.asc" in the
// system's temporary folder (TMPDIR, or /tmp).
std::string MeshDumpPath();

// The dump step of an export: writes the dump to MeshDumpPath() in the
// builds that keep one (release::kWritesMeshDump) and does nothing in the
// others. The result is WriteMeshDump's, or 1 when nothing is written.
int DumpExportMesh(const SampledVertex* vertices, std::int32_t vertexCount,
                   const SampledFace* faces, std::int32_t faceCount,
                   FaceMaterialName materialName, ErrorRecord& errors);
