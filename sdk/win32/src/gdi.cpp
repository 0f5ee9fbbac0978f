// Bitmaps from the registered resources, painting contexts and BitBlt:
// enough graphics for a dialog that paints a bitmap, with the rules of
// Windows that catch mistakes (a bitmap selected into a context cannot be
// deleted nor selected into a second one; every context must be freed).
#include <cstdlib>
#include <cstring>

#include "sdk/win32/src/win32_state.h"

namespace vexo::win32 {
namespace {

template <typename Handle>
Handle AddGdiObject(const GdiObject& object) {
  const std::uintptr_t handle = NewHandle();
  State().gdiObjects[handle] = object;
  return reinterpret_cast<Handle>(handle);
}

HGDIOBJ StockBitmap() {
  auto& state = State();
  if (!state.stockBitmap) {
    GdiObject bitmap;
    bitmap.kind = GdiKind::Bitmap;
    bitmap.width = bitmap.height = bitmap.bitsPerPixel = 1;
    bitmap.stock = true;
    state.stockBitmap = AddGdiObject<HGDIOBJ>(bitmap);
  }
  return state.stockBitmap;
}

std::int32_t Read32(const unsigned char* p) {
  return static_cast<std::int32_t>(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                                   std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24);
}
int Read16(const unsigned char* p) { return p[0] | p[1] << 8; }

// Checks a bitmap resource (information header, colour table, pixels) and
// gives its size; false for anything Windows would not load.
bool ReadDib(const BitmapResource& dib, GdiObject* bitmap) {
  const unsigned char* p = dib.dib;
  if (dib.size < 40 || Read32(p) < 40) return false;
  const std::int32_t headerSize = Read32(p);
  const std::int32_t width = Read32(p + 4);
  const std::int32_t height = Read32(p + 8);
  const int planes = Read16(p + 12);
  const int bits = Read16(p + 14);
  const std::int32_t compression = Read32(p + 16);
  std::int32_t colours = Read32(p + 32);
  if (planes != 1 || width <= 0 || height == 0 || width > 0x8000 || std::abs(height) > 0x8000)
    return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
  if (compression != 0) return false;  // uncompressed pictures only
  if (bits <= 8 && colours == 0) colours = 1 << bits;
  if (bits > 8) colours = 0;
  if (colours < 0 || colours > 256) return false;
  const std::size_t rowBytes = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
  const std::size_t need = static_cast<std::size_t>(headerSize) + 4u * colours +
                           rowBytes * static_cast<std::size_t>(std::abs(height));
  if (dib.size < need) return false;
  bitmap->kind = GdiKind::Bitmap;
  bitmap->width = width;
  bitmap->height = std::abs(height);
  bitmap->bitsPerPixel = bits;
  return true;
}

}  // namespace

PaintLog Painting() { return State().paintLog; }
void ClearPaintLog() { State().paintLog = PaintLog{}; }

int LiveBitmaps() {
  int n = 0;
  for (const auto& [handle, object] : State().gdiObjects)
    if (object.kind == GdiKind::Bitmap && !object.stock) ++n;
  return n;
}

int LiveMemoryContexts() {
  int n = 0;
  for (const auto& [handle, object] : State().gdiObjects)
    if (object.kind == GdiKind::MemoryContext) ++n;
  return n;
}

}  // namespace vexo::win32

using namespace vexo::win32;

extern "C" {

HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR bitmapName) {
  if (!IS_INTRESOURCE(bitmapName)) return nullptr;
  const WORD id = static_cast<WORD>(reinterpret_cast<std::uintptr_t>(bitmapName));
  const auto& bitmaps = State().bitmaps;
  const auto it = bitmaps.find({instance, id});
  if (it == bitmaps.end()) return nullptr;
  GdiObject bitmap;
  if (!ReadDib(it->second, &bitmap)) return nullptr;
  return AddGdiObject<HBITMAP>(bitmap);
}

BOOL DeleteObject(HGDIOBJ object) {
  GdiObject* o = FindGdiObject(object);
  if (!o || o->kind != GdiKind::Bitmap) return FALSE;
  if (o->stock) return TRUE;
  if (o->selectedInto > 0) return FALSE;
  State().gdiObjects.erase(reinterpret_cast<std::uintptr_t>(object));
  return TRUE;
}

HDC BeginPaint(HWND window, LPPAINTSTRUCT paint) {
  if (!IsWindow(window) || !paint) return nullptr;
  GdiObject context;
  context.kind = GdiKind::PaintContext;
  context.window = window;
  std::memset(paint, 0, sizeof *paint);
  paint->hdc = AddGdiObject<HDC>(context);
  State().paintLog.beginPaint++;
  return paint->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
  if (!paint) return FALSE;
  GdiObject* context = FindGdiObject(paint->hdc);
  if (!context || context->kind != GdiKind::PaintContext || context->window != window) return FALSE;
  State().gdiObjects.erase(reinterpret_cast<std::uintptr_t>(paint->hdc));
  State().paintLog.endPaint++;
  return TRUE;
}

HDC CreateCompatibleDC(HDC dc) {
  if (dc) {
    const GdiObject* other = FindGdiObject(dc);
    if (!other || other->kind == GdiKind::Bitmap) return nullptr;
  }
  GdiObject context;
  context.kind = GdiKind::MemoryContext;
  context.selected = StockBitmap();
  return AddGdiObject<HDC>(context);
}

BOOL DeleteDC(HDC dc) {
  GdiObject* context = FindGdiObject(dc);
  if (!context || context->kind != GdiKind::MemoryContext) return FALSE;
  if (GdiObject* bitmap = FindGdiObject(context->selected)) bitmap->selectedInto--;
  State().gdiObjects.erase(reinterpret_cast<std::uintptr_t>(dc));
  return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  GdiObject* context = FindGdiObject(dc);
  GdiObject* bitmap = FindGdiObject(object);
  if (!context || context->kind != GdiKind::MemoryContext) return nullptr;
  if (!bitmap || bitmap->kind != GdiKind::Bitmap) return nullptr;
  if (context->selected == object) return object;
  if (bitmap->selectedInto > 0 && !bitmap->stock) return nullptr;  // held by another context
  const HGDIOBJ previous = context->selected;
  if (GdiObject* old = FindGdiObject(previous)) old->selectedInto--;
  bitmap->selectedInto++;
  context->selected = object;
  return previous;
}

BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
            int sourceY, DWORD rop) {
  const GdiObject* to = FindGdiObject(destination);
  const GdiObject* from = FindGdiObject(source);
  if (!to || to->kind == GdiKind::Bitmap) return FALSE;
  if (!from || from->kind != GdiKind::MemoryContext) return FALSE;
  const GdiObject* bitmap = FindGdiObject(from->selected);
  BlitRecord record{to->window, x,       y,   width, height, sourceX, sourceY, rop,
                    bitmap->width, bitmap->height, bitmap->bitsPerPixel};
  State().paintLog.blits.push_back(record);
  return TRUE;
}

}  // extern "C"
