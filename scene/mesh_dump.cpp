#include "scene/mesh_dump.h"

#include <cstdio>
#include <cstdlib>

#include "plugin/host/host_release.h"

std::string MeshDumpPath() {
#ifdef _WIN32
  return "C:\\tris.asc";
#else
  const char* folder = std::getenv("TMPDIR");
  std::string path = folder && *folder ? folder : "/tmp";
  if (path.back() != '/') path += '/';
  return path + "tris.asc";
#endif
}

int DumpExportMesh(const SampledVertex* vertices, std::int32_t vertexCount,
                   const SampledFace* faces, std::int32_t faceCount,
                   FaceMaterialName materialName, ErrorRecord& errors) {
  if constexpr (!release::kWritesMeshDump) {
    (void)vertices, (void)vertexCount, (void)faces, (void)faceCount, (void)materialName,
        (void)errors;
    return 1;
  } else {
    return WriteMeshDump(MeshDumpPath().c_str(), vertices, vertexCount, faces, faceCount,
                         materialName, errors);
  }
}

int WriteMeshDump(const char* path, const SampledVertex* vertices, std::int32_t vertexCount,
                  const SampledFace* faces, std::int32_t faceCount,
                  FaceMaterialName materialName, ErrorRecord& errors) {
  std::FILE* file = std::fopen(path, "w");  // text mode: the platform's line ends
  if (!file) {
    errors.RecordErrorFormat(kCannotOpenForWriting.caption, kCannotOpenForWriting.text, path);
    return 0;
  }
  std::fprintf(file, "Named object: \"%s\"\n", path);
  std::fprintf(file, "Tri-mesh, Vertices: %d          Faces: %d\n", vertexCount, faceCount);
  std::fputs("Vertex list:\n", file);
  for (std::int32_t i = 0; i < vertexCount; ++i) {
    const SampledVertex& v = vertices[i];
    std::fprintf(file, "Vertex %d:  X:%12.6f Y:%12.6f Z:%12.6f U:%8.6f V:%8.6f\n", i,
                 double(v.position.x), double(v.position.y), double(v.position.z), double(v.u),
                 double(v.v));
  }
  std::fputs("Face list:\n", file);
  for (std::int32_t i = 0; i < faceCount; ++i) {
    const SampledFace& f = faces[i];
    std::fprintf(file, "Face %d:  A:%u B:%u C:%u AB:1 BC:1 CA:1\n", i, unsigned(f.a), unsigned(f.b),
                 unsigned(f.c));
    const char* material = materialName ? materialName(f) : nullptr;
    if (material) std::fprintf(file, "Material:\"%.255s\"\n", material);
  }
  // A failed write sets the stream's error flag; the close catches the
  // last buffered bytes.
  bool ok = std::ferror(file) == 0;
  if (std::fclose(file) != 0) ok = false;
  if (!ok) errors.RecordErrorFormat(kCannotWrite.caption, kCannotWrite.text, path);
  return ok ? 1 : 0;
}
