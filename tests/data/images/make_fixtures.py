#!/usr/bin/python3
"""Writes the picture fixtures of the image loader tests and their expected
contents.

BMP and TGA files come from Pillow and ImageMagick, or are written here byte
by byte where neither tool writes the variant. Each one is then decoded by
both Pillow and ImageMagick; the two must agree, and their result is stored
beside the fixture as NAME.ppm (RGB, top row first) and, for pictures with
alpha, NAME.alpha.pgm. TIM files are written here, and their expectations
are computed from the same bytes: NAME.ppm holds the colours and
NAME.index.pgm the colour indices; ImageMagick must read the same colour
table entries from them.

Needs Debian's python3-pil and imagemagick. Run it from anywhere:
    /usr/bin/python3 tests/data/images/make_fixtures.py
"""
import os
import struct
import subprocess

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
CONVERT = "/usr/bin/convert"


def path(name):
    return os.path.join(HERE, name)


def write_pnm(name, magic, width, height, data):
    with open(path(name), "wb") as f:
        f.write(b"%s\n%d %d\n255\n" % (magic, width, height) + bytes(data))


# --- source pictures ----------------------------------------------------


def rgb_source(w=9, h=5):
    im = Image.new("RGB", (w, h))
    im.putdata([((37 * x + 11 * y) % 256, (19 * y * y + 53 * x) % 256, (29 * x * y + 7) % 256)
                for y in range(h) for x in range(w)])
    return im


def rgba_source():
    im = rgb_source().convert("RGBA")
    im.putdata([p[:3] + ((23 * i + 5) % 256,) for i, p in enumerate(im.getdata())])
    return im


def palette_source(w, h, colours):
    im = Image.new("P", (w, h))
    pal = []
    for i in range(colours):
        pal += [(i * 67 + 13) % 256, (i * 151 + 90) % 256, (i * 29 + 200) % 256]
    im.putpalette(pal)
    im.putdata([(x * 7 + y * 31) % colours for y in range(h) for x in range(w)])
    return im


def grey_source():
    im = Image.new("L", (9, 5))
    im.putdata([(x * 28 + y * 13) % 256 for y in range(5) for x in range(9)])
    return im


# --- independent decoding -------------------------------------------------


def magick_read(name, mode="RGB"):
    """ImageMagick's size and pixels of a fixture (top row first)."""
    pixels = subprocess.run([CONVERT, path(name), "-auto-orient", "-depth", "8", mode.lower() + ":-"],
                            check=True, capture_output=True).stdout
    size = tuple(int(v) for v in subprocess.run([CONVERT, path(name), "-auto-orient", "-format",
                                                 "%w %h", "info:"],
                                                check=True, capture_output=True).stdout.split())
    return size, pixels


def decode(name, with_alpha, known=None):
    """ImageMagick's reading of a fixture, which must agree with Pillow's, or
    with `known` (RGB, top row first) for a file that Pillow refuses."""
    mode = "RGBA" if with_alpha else "RGB"
    size, magick = magick_read(name, mode)
    if known is None:
        with Image.open(path(name)) as im:
            size, known = im.size, im.convert(mode).tobytes()
    if known != magick:
        raise SystemExit(f"{name}: ImageMagick reads other colours")
    return size, magick


def expect_decoded(name, with_alpha=False, known=None):
    (w, h), data = decode(name, with_alpha, known)
    if with_alpha:
        write_pnm(name + ".ppm", b"P6", w, h, b"".join(data[i:i + 3] for i in range(0, len(data), 4)))
        write_pnm(name + ".alpha.pgm", b"P5", w, h, data[3::4])
    else:
        write_pnm(name + ".ppm", b"P6", w, h, data)


def magick(source, output, *options):
    """ImageMagick's writing of a source picture; `output` may name a coder."""
    tmp = path("source.png")
    source.save(tmp)
    subprocess.run([CONVERT, tmp, *options, output], check=True)
    os.remove(tmp)


# --- BMP ------------------------------------------------------------------


def bmp_header_fields(data):
    offset, size = struct.unpack_from("<II", data, 10)
    bpp, compression = struct.unpack_from("<HI", data, 28)
    used, = struct.unpack_from("<I", data, 46)
    return offset, size, bpp, used, compression


def check_bmp(name, header_size, bpp):
    got = bmp_header_fields(open(path(name), "rb").read())
    if (got[1], got[2], got[4]) != (header_size, bpp, 0):
        raise SystemExit(f"{name}: {got[1]}-byte header, {got[2]} bits, compression {got[4]}")


def patched_bmp(source, name, colours_used=None, gap=0):
    """A copy of a BMP with another coloursUsed, or with `gap` bytes between
    palette and pixel data (the file header's offset says where they start)."""
    data = bytearray(open(path(source), "rb").read())
    offset = bmp_header_fields(data)[0]
    if colours_used is not None:
        struct.pack_into("<I", data, 46, colours_used)
    if gap:
        data[offset:offset] = bytes(range(0xA0, 0xA0 + gap))
        struct.pack_into("<II", data, 2, len(data), 0)
        struct.pack_into("<I", data, 10, offset + gap)
    open(path(name), "wb").write(data)


def make_bmps():
    pal16 = palette_source(9, 5, 16)
    pal256 = palette_source(17, 6, 256)
    # ImageMagick compresses palette pictures unless told not to.
    magick(pal16, "BMP3:" + path("bmp4_v3.bmp"), "-type", "Palette", "-compress", "None")
    magick(pal16, "BMP:" + path("bmp4_v5.bmp"), "-type", "Palette", "-compress", "None")
    pal256.save(path("bmp8_v3.bmp"))
    magick(pal256, "BMP:" + path("bmp8_v5.bmp"), "-type", "Palette", "-compress", "None")
    rgb_source().save(path("bmp24_v3.bmp"))
    magick(rgb_source(), "BMP:" + path("bmp24_v5.bmp"), "-type", "TrueColor")
    for name, size, bpp in [("bmp4_v3.bmp", 40, 4), ("bmp4_v5.bmp", 124, 4), ("bmp8_v3.bmp", 40, 8),
                            ("bmp8_v5.bmp", 124, 8), ("bmp24_v3.bmp", 40, 24), ("bmp24_v5.bmp", 124, 24)]:
        check_bmp(name, size, bpp)
    # coloursUsed 0 means a full palette; these two carry exactly that many.
    for source, full in [("bmp4_v3.bmp", 16), ("bmp8_v3.bmp", 256)]:
        if bmp_header_fields(open(path(source), "rb").read())[3] != full:
            raise SystemExit(f"{source}: palette is not full")
    patched_bmp("bmp4_v3.bmp", "bmp4_used0.bmp", colours_used=0)
    patched_bmp("bmp8_v3.bmp", "bmp8_used0.bmp", colours_used=0)
    patched_bmp("bmp24_v3.bmp", "bmp24_gap.bmp", gap=6)
    for name in ["bmp4_v3.bmp", "bmp4_v5.bmp", "bmp4_used0.bmp", "bmp8_v3.bmp", "bmp8_v5.bmp",
                 "bmp8_used0.bmp", "bmp24_v3.bmp", "bmp24_v5.bmp", "bmp24_gap.bmp"]:
        expect_decoded(name)


# --- TGA ------------------------------------------------------------------


def tga_header(id_len, map_type, image_type, first, length, entry_bits, w, h, depth, descriptor):
    return struct.pack("<BBBHHBHHHHBB", id_len, map_type, image_type, first, length, entry_bits,
                       0, 0, w, h, depth, descriptor)


def rle_stream(pixels):
    """Run-length packets over the whole pixel stream, crossing row ends."""
    out = bytearray()
    i = 0
    while i < len(pixels):
        run = 1
        while i + run < len(pixels) and run < 128 and pixels[i + run] == pixels[i]:
            run += 1
        if run > 1:
            out += bytes([0x80 | (run - 1)]) + pixels[i]
            i += run
            continue
        j = i + 1
        while j < len(pixels) and j - i < 128 and (j + 1 == len(pixels) or pixels[j] != pixels[j + 1]):
            j += 1
        out += bytes([j - i - 1]) + b"".join(pixels[i:j])
        i = j
    return bytes(out)


def make_tgas():
    pal256 = palette_source(17, 6, 256)
    rgb, rgba, grey = rgb_source(), rgba_source(), grey_source()
    pal256.save(path("tga1_bl.tga"))
    pal256.save(path("tga1_tl_id.tga"), orientation=1, id_section=b"vexo fixture")
    pal256.save(path("tga9_bl.tga"), compression="tga_rle")
    rgb.save(path("tga2_24_bl.tga"))
    rgb.save(path("tga2_24_tl.tga"), orientation=1)
    rgba.save(path("tga2_32_bl.tga"))
    rgba.save(path("tga2_32_tl.tga"), orientation=1)
    grey.save(path("tga3_bl.tga"))
    grey.save(path("tga11_tl.tga"), orientation=1, compression="tga_rle")
    rgb.save(path("tga10_24_bl.tga"), compression="tga_rle")
    rgb.save(path("tga10_24_tl.tga"), orientation=1, compression="tga_rle")
    rgba.save(path("tga10_32_tl.tga"), orientation=1, compression="tga_rle")

    # A colour map that starts at index 5: pixel value v is map entry v - 5.
    first, length, w, h = 5, 11, 7, 3
    body = tga_header(0, 1, 1, first, length, 24, w, h, 8, 0)
    body += b"".join(bytes([40 + 20 * k, 250 - 20 * k, (k * 77) % 256]) for k in range(length))
    body += bytes(first + (x + 3 * y) % length for y in range(h) for x in range(w))
    open(path("tga1_first.tga"), "wb").write(body)

    # Runs that carry on from one row into the next (Pillow refuses them),
    # bottom row first.
    w, h = 9, 5
    colours = [bytes([10 * (i // 4), 255 - 10 * (i // 4), 99]) for i in range(w * h)]
    colours[20:23] = [b"\x01\x02\x03", b"\x04\x05\x06", b"\x07\x08\x09"]
    open(path("tga10_cross.tga"), "wb").write(tga_header(0, 0, 10, 0, 0, 0, w, h, 24, 0)
                                             + rle_stream(colours))
    top_first = [colours[y * w + x][::-1] for y in reversed(range(h)) for x in range(w)]
    expect_decoded("tga10_cross.tga", known=b"".join(top_first))

    # Pixels stored right to left (descriptor bit 4), bottom or top row
    # first; neither Pillow nor ImageMagick writes them.
    w, h = 9, 5
    colours = [rgb.getpixel((x, y))[::-1] for y in range(h) for x in range(w)]
    for name, top in [("tga2_24_br.tga", False), ("tga10_24_tr.tga", True)]:
        rows = [colours[y * w:(y + 1) * w][::-1] for y in range(h)]
        stored = [bytes(p) for r in (rows if top else rows[::-1]) for p in r]
        body = rle_stream(stored) if name.startswith("tga10") else b"".join(stored)
        open(path(name), "wb").write(tga_header(0, 0, 10 if name.startswith("tga10") else 2, 0, 0, 0,
                                                w, h, 24, 0x10 | (0x20 if top else 0)) + body)
        expect_decoded(name, known=rgb.tobytes())

    for name in ["tga1_bl.tga", "tga1_tl_id.tga", "tga9_bl.tga", "tga1_first.tga", "tga2_24_bl.tga",
                 "tga2_24_tl.tga", "tga3_bl.tga", "tga11_tl.tga", "tga10_24_bl.tga",
                 "tga10_24_tl.tga"]:
        expect_decoded(name)
    for name in ["tga2_32_bl.tga", "tga2_32_tl.tga", "tga10_32_tl.tga"]:
        expect_decoded(name, with_alpha=True)

    # 8 bits with no colour map: every index reads black.
    w, h = 6, 4
    open(path("tga1_nomap.tga"), "wb").write(tga_header(0, 0, 1, 0, 0, 0, w, h, 8, 0)
                                            + bytes(range(1, 1 + w * h)))
    write_pnm("tga1_nomap.tga.ppm", b"P6", w, h, bytes(3 * w * h))


# --- TIM ------------------------------------------------------------------


def tim_colour(c):
    """Red, green, blue of a 15-bit colour: each 5-bit channel times 8."""
    return bytes([(c & 0x1F) * 8, ((c >> 5) & 0x1F) * 8, ((c >> 10) & 0x1F) * 8])


def make_tim(name, bpp, width, height, table):
    """A TIM whose file rows run top row first, 4-bit pixels as real TIM
    files keep them: the first pixel of each byte in its low nibble."""
    mode = 0 if bpp == 4 else 1
    flags = mode | (0x8 if table is not None else 0)
    data = struct.pack("<II", 0x10, flags)
    if table is not None:
        data += struct.pack("<IHHHH", 12 + 2 * len(table), 0, 480, len(table), 1)
        data += b"".join(struct.pack("<H", c) for c in table)
    units = width // (4 if bpp == 4 else 2)
    colours = 16 if bpp == 4 else 256
    index = [[(3 * x + 5 * y + 1) % colours for x in range(width)] for y in range(height)]
    if bpp == 4:
        rows = b"".join(bytes(r[x] | (r[x + 1] << 4) for x in range(0, width, 2)) for r in index)
    else:
        rows = b"".join(bytes(r) for r in index)
    data += struct.pack("<IHHhH", 12 + len(rows), 320, 0, units, height) + rows
    open(path(name), "wb").write(data)
    flat = [i for r in index for i in r]
    palette = [tim_colour(table[i]) if table is not None and i < len(table) else bytes(3) for i in flat]
    write_pnm(name + ".ppm", b"P6", width, height, b"".join(palette))
    write_pnm(name + ".index.pgm", b"P5", width, height, bytes(flat))
    if table is not None and len(table) <= colours:
        # ImageMagick stretches each 5-bit channel to 8 bits (31 gives 255,
        # where the loader gives 248): compared by their top five bits.
        size, magick = magick_read(name)
        if size != (width, height) or bytes(c >> 3 for c in magick) != bytes(
                c >> 3 for c in b"".join(palette)):
            raise SystemExit(f"{name}: ImageMagick reads other colours")


def make_tims():
    # 0x7FFF (white) and 0x8000 | colour (the transparency bit is ignored).
    table16 = [0x7FFF, 0x0000, 0x001F, 0x03E0, 0x7C00, 0x8000 | 0x1234] + [i * 0x0421 for i in range(10)]
    make_tim("tim4_clut.tim", 4, 12, 5, table16)
    make_tim("tim4_plain.tim", 4, 8, 3, None)
    # 300 entries: only the first 256 fit the palette.
    make_tim("tim8_clut.tim", 8, 10, 4, [(i * 2731) & 0xFFFF for i in range(300)])
    make_tim("tim8_plain.tim", 8, 6, 3, None)


if __name__ == "__main__":
    make_bmps()
    make_tgas()
    make_tims()
