#include "scene/mesh_dump.h"

#include <cstdio>
#include <cstdlib>

#ifndef _WIN32
#include <unistd.h>

#include "base/private_folder.h"
#endif

#include "plugin/host/host_release.h"

namespace {

// The dump file's folder on systems with per-user folders.
constexpr char kDumpFolder[] = "/vexo";
constexpr char kDumpName[] = "/tris.asc";

// An open dump: on Windows the file itself; elsewhere a new file of its
// own beside it (made with O_EXCL, so never through a link another user
// planted, and mode 0600) that takes the dump's name when complete, so
// exports running side by side never mix their dumps.
struct DumpFile {
  std::FILE* file = nullptr;
  std::string temporary;

  explicit DumpFile(const char* path) {
#ifdef _WIN32
    file = std::fopen(path, "w");  // text mode: the platform's line ends
#else
    temporary = std::string(path) + ".XXXXXX";
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) return;
    file = fdopen(descriptor, "w");
    if (!file) {
      close(descriptor);
      std::remove(temporary.c_str());
    }
#endif
  }
  // Closes the file and gives it the dump's name; false (and nothing left
  // of a new file) when a write, the close or the rename failed.
  bool Finish(const char* path) {
    bool ok = std::ferror(file) == 0;
    if (std::fclose(file) != 0) ok = false;
#ifndef _WIN32
    if (ok && std::rename(temporary.c_str(), path) != 0) ok = false;
    if (!ok) std::remove(temporary.c_str());
#else
    (void)path;
#endif
    return ok;
  }
};

}  // namespace

std::string MeshDumpPath() {
#ifdef _WIN32
  return "C:\\tris.asc";
#else
  const std::string cache = UserCacheFolder();
  return cache.empty() ? std::string() : cache + kDumpFolder + kDumpName;
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
    const std::string path = MeshDumpPath();
#ifndef _WIN32
    // The folder is the user's own: no other user may plant files there.
    const std::string folder = path.substr(0, path.size() - (sizeof kDumpName - 1));
    if (path.empty() || !MakePrivateFolder(folder)) {
      errors.RecordErrorFormat(kCannotOpenForWriting.caption, kCannotOpenForWriting.text,
                               path.empty() ? "the mesh dump" : path.c_str());
      return 0;
    }
#endif
    return WriteMeshDump(path.c_str(), vertices, vertexCount, faces, faceCount, materialName,
                         errors);
  }
}

int WriteMeshDump(const char* path, const SampledVertex* vertices, std::int32_t vertexCount,
                  const SampledFace* faces, std::int32_t faceCount,
                  FaceMaterialName materialName, ErrorRecord& errors) {
  DumpFile dump(path);
  std::FILE* file = dump.file;
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
  const bool ok = dump.Finish(path);
  if (!ok) errors.RecordErrorFormat(kCannotWrite.caption, kCannotWrite.text, path);
  return ok ? 1 : 0;
}
