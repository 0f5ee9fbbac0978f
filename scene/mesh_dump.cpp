#include "scene/mesh_dump.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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
    // The old dump goes first: ext4 writes a file out at once when it is
    // renamed over another (a guard for documents), which cost more than
    // the whole dump; a debug dump needs no such guard.
    if (ok) std::remove(path);
    if (ok && std::rename(temporary.c_str(), path) != 0) ok = false;
    if (!ok) std::remove(temporary.c_str());
#else
    (void)path;
#endif
    return ok;
  }
};

// "%.6f" of a finite double below 2^43 in magnitude, in integer arithmetic;
// null for any other value. A double is m * 2^e (m below 2^53), so
// value * 10^6 is m * 10^6 (below 2^73) shifted right by -e, which is at
// least 10 here: the shifted-out bits give the rounding, half to even,
// exactly. A negative value, also one that rounds to 0, keeps its sign.
char* FixedByIntegers(double value, char* out) {
#ifdef __SIZEOF_INT128__
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const int biased = static_cast<int>(bits >> 52 & 0x7FF);
  std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
  if (biased != 0) mantissa |= std::uint64_t{1} << 52;
  const int shift = biased != 0 ? 1075 - biased : 1074;  // -e
  if (shift < 10) return nullptr;  // 2^43 or more, infinite or not a number
  std::uint64_t millionths = 0;
  if (shift < 74) {
    const unsigned __int128 scaled = static_cast<unsigned __int128>(mantissa) * 1000000u;
    const unsigned __int128 rest = scaled & ((static_cast<unsigned __int128>(1) << shift) - 1);
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
    millionths = static_cast<std::uint64_t>(scaled >> shift);
    if (rest > half || (rest == half && (millionths & 1) != 0)) ++millionths;
  }  // else below 2^-21: value * 10^6 is under a half
  if (bits >> 63) *out++ = '-';
  char digits[20];
  int count = 0;
  std::uint64_t whole = millionths / 1000000;
  do {
    digits[count++] = static_cast<char>('0' + whole % 10);
    whole /= 10;
  } while (whole != 0);
  while (count > 0) *out++ = digits[--count];
  *out++ = '.';
  std::uint32_t fraction = static_cast<std::uint32_t>(millionths % 1000000);
  for (int k = 5; k >= 0; --k) {
    out[k] = static_cast<char>('0' + fraction % 10);
    fraction /= 10;
  }
  return out + 6;
#else
  (void)value;
  (void)out;
  return nullptr;
#endif
}

// The dump's lines are formatted here and reach the file a block at a
// time: printf's parsing of the format for every number cost more than all
// the rest of the dump. The text is printf's, character for character.
class DumpText {
 public:
  explicit DumpText(std::FILE* file) : file_(file) {}

  // Makes room for one line: five numbers of any size and their labels.
  void StartLine() {
    if (sizeof block_ - used_ < kLineRoom) Flush();
  }
  void Text(const char* text, std::size_t length) {
    std::memcpy(block_ + used_, text, length);
    used_ += length;
  }
  template <std::size_t N>
  void Literal(const char (&text)[N]) {
    Text(text, N - 1);
  }
  // "%d" and "%u". Not std::to_chars: its integer form keeps a table in a
  // unique symbol, which would keep the module loaded after it is freed.
  void Decimal(std::int64_t value) {
    char digits[20];
    int count = 0;
    std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : value;
    do {
      digits[count++] = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) block_[used_++] = '-';
    while (count > 0) block_[used_++] = digits[--count];
  }
  // "%W.6f": correctly rounded, ties to even, as the C library's printf
  // rounds; right-aligned in `width` columns. Coordinates take the integer
  // path; to_chars writes the rest.
  void Fixed(double value, int width) {
    char* const start = block_ + used_;
    char* end;
    if (std::isnan(value)) {
      // Only the sign of a NaN is written differently: glibc writes "-nan"
      // for a negative one, the MinGW runtime "nan" for both.
#ifdef _WIN32
      constexpr bool kSignedNan = false;
#else
      constexpr bool kSignedNan = true;
#endif
      const char* text = kSignedNan && std::signbit(value) ? "-nan" : "nan";
      const std::size_t length = std::strlen(text);
      std::memcpy(start, text, length);
      end = start + length;
    } else {
      end = FixedByIntegers(value, start);
      if (!end) {
        end = std::to_chars(start, block_ + sizeof block_, value, std::chars_format::fixed, 6).ptr;
      }
    }
    const auto length = static_cast<int>(end - start);
    if (length < width) {
      std::memmove(start + (width - length), start, static_cast<std::size_t>(length));
      std::memset(start, ' ', static_cast<std::size_t>(width - length));
      end = start + width;
    }
    used_ = static_cast<std::size_t>(end - block_);
  }
  void Flush() {
    std::fwrite(block_, 1, used_, file_);
    used_ = 0;
  }

 private:
  // A double in fixed notation takes at most 309 digits, the sign, the
  // point and 6 decimals.
  static constexpr std::size_t kLineRoom = 5 * 320 + 300;
  std::FILE* file_;
  char block_[16384];
  std::size_t used_ = 0;
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
  DumpText text(file);
  for (std::int32_t i = 0; i < vertexCount; ++i) {
    const SampledVertex& v = vertices[i];
    text.StartLine();
    text.Literal("Vertex ");
    text.Decimal(i);
    text.Literal(":  X:");
    text.Fixed(double(v.position.x), 12);
    text.Literal(" Y:");
    text.Fixed(double(v.position.y), 12);
    text.Literal(" Z:");
    text.Fixed(double(v.position.z), 12);
    text.Literal(" U:");
    text.Fixed(double(v.u), 8);
    text.Literal(" V:");
    text.Fixed(double(v.v), 8);
    text.Literal("\n");
  }
  text.StartLine();
  text.Literal("Face list:\n");
  for (std::int32_t i = 0; i < faceCount; ++i) {
    const SampledFace& f = faces[i];
    text.StartLine();
    text.Literal("Face ");
    text.Decimal(i);
    text.Literal(":  A:");
    text.Decimal(unsigned(f.a));
    text.Literal(" B:");
    text.Decimal(unsigned(f.b));
    text.Literal(" C:");
    text.Decimal(unsigned(f.c));
    text.Literal(" AB:1 BC:1 CA:1\n");
    const char* material = materialName ? materialName(f) : nullptr;
    if (material) {
      // "%.255s": at most 255 characters of the name.
      std::size_t length = 0;
      while (length < 255 && material[length] != '\0') ++length;
      text.StartLine();
      text.Literal("Material:\"");
      text.Text(material, length);
      text.Literal("\"\n");
    }
  }
  text.Flush();
  // A failed write sets the stream's error flag; the close catches the
  // last buffered bytes.
  const bool ok = dump.Finish(path);
  if (!ok) errors.RecordErrorFormat(kCannotWrite.caption, kCannotWrite.text, path);
  return ok ? 1 : 0;
}
