// The plain-text dump of the mesh an export samples at host time 0
// (ExportContext::WriteMeshDump writes it). Nothing reads it back.
#pragma once

#include <cstdint>
#include <string>

#include "scene/export_context.h"

// Where the dump goes: "C:\tris.asc" on Windows; elsewhere "tris.asc" in the
// system's temporary folder (TMPDIR, or /tmp).
std::string MeshDumpPath();

// The dump step of an export: writes the dump to MeshDumpPath() in the
// builds that keep one (release::kWritesMeshDump) and does nothing in the
// others. The result is WriteMeshDump's, or 1 when nothing is written.
int DumpExportMesh(ExportContext& context, const SampledVertex* vertices, std::int32_t vertexCount,
                   const SampledFace* faces, std::int32_t faceCount);
