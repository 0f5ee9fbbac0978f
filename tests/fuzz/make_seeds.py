#!/usr/bin/python3
"""Writes the seed corpora of the fuzz harnesses (corpus/NAME/seed-*): small
valid files of each kind, built here byte by byte or by Pillow, and the
project's picture fixtures. Regression inputs (corpus/NAME/regression-*)
are kept by hand and left alone. Run again after changing a seed."""
import base64
import io
import json
import os
import re
import shutil
import struct
import sys

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "data")


def corpus(name):
    folder = os.path.join(HERE, "corpus", name)
    os.makedirs(folder, exist_ok=True)
    for old in os.listdir(folder):
        if old.startswith("seed-"):
            os.remove(os.path.join(folder, old))
    return folder


def put(folder, name, data):
    with open(os.path.join(folder, "seed-" + name), "wb") as f:
        f.write(data)


def copy_fixtures(folder, source, extensions):
    for name in sorted(os.listdir(source)):
        if name.lower().endswith(extensions):
            shutil.copyfile(os.path.join(source, name), os.path.join(folder, "seed-" + name))


# MD2: one triangle, four frames, a 16 x 16 skin, one GL fan, the trailer.
def md2(frame_names, skins=(), vertices=3):
    tris = 1
    frame_size = 40 + 4 * vertices
    header_size = 68
    ofs_skins = header_size
    ofs_st = ofs_skins + 64 * len(skins)
    ofs_tris = ofs_st + 4 * 3
    ofs_frames = ofs_tris + 12 * tris
    gl = struct.pack("<i", 3) + b"".join(struct.pack("<ffi", s, t, v)
                                         for s, t, v in ((0, 0, 0), (1, 0, 1), (0, 1, 2))) + struct.pack("<i", 0)
    ofs_gl = ofs_frames + frame_size * len(frame_names)
    ofs_end = ofs_gl + len(gl)
    out = struct.pack("<17i", 0x32504449, 8, 16, 16, frame_size, len(skins), vertices, 3, tris,
                      len(gl) // 4, len(frame_names), ofs_skins, ofs_st, ofs_tris, ofs_frames, ofs_gl, ofs_end)
    for skin in skins:
        out += skin.encode().ljust(64, b"\0")
    out += struct.pack("<6h", 0, 0, 16, 0, 0, 16)
    out += struct.pack("<6H", 0, 1, 2, 0, 1, 2)
    for k, name in enumerate(frame_names):
        out += struct.pack("<6f", 0.1, 0.2, 0.3, -1, -2, float(k)) + name.encode().ljust(16, b"\0")
        for v in range(vertices):
            out += bytes((v * 40 % 256, 255 - v * 30 % 256, k * 20 % 256, v % 162))
    out += gl
    return out + bytes((0x52, 0, 0x27, 0, 0x52)) + b"made by the fuzz seeds\0"


FOUR = ["stand01", "stand02", "run01", "run02"]


def md2_seeds():
    for name in ("frame_list", "model_check", "model_update"):
        folder = corpus(name)
        put(folder, "four-frames.md2", md2(FOUR))
    put(corpus_path("frame_list"), "one-frame.md2", md2(["pose"]))
    put(corpus_path("model_check"), "skin-names.md2",
        md2(FOUR, skins=("players/fuzz/skin.pcx", "models/fuzz/other.pcx")))


def corpus_path(name):
    return os.path.join(HERE, "corpus", name)


# PCX: 8-bit, one plane, run-length rows, the 12 and a palette.
def pcx(width, height, pixels, bytes_per_line=None, cross_rows=False):
    bpl = bytes_per_line or width + (width & 1)
    header = struct.pack("<BBBBhhhhhh", 10, 5, 1, 8, 0, 0, width - 1, height - 1, 72, 72)
    header += bytes(48) + bytes((0, 1)) + struct.pack("<hh", bpl, 1) + bytes(58)
    rows = [bytes(pixels[y * width:(y + 1) * width]) + bytes(bpl - width) for y in range(height)]
    data = b"".join(rows) if cross_rows else None
    body = bytearray()
    for row in ([data] if cross_rows else rows):
        i = 0
        while i < len(row):
            run = 1
            while i + run < len(row) and row[i + run] == row[i] and run < 63:
                run += 1
            if run > 1 or row[i] >= 0xC0:
                body += bytes((0xC0 | run, row[i]))
            else:
                body.append(row[i])
            i += run
    palette = b"".join(bytes((i, 255 - i, (i * 7) % 256)) for i in range(256))
    return header + bytes(body) + b"\x0c" + palette


def pcx_seeds():
    folder = corpus("pcx_skin")
    put(folder, "16x8.pcx", pcx(16, 8, [(x // 4 + y * 3) % 256 for y in range(8) for x in range(16)]))
    put(folder, "7x5-odd.pcx", pcx(7, 5, [255 if x == 0 else 200 + y for y in range(5) for x in range(7)]))
    put(folder, "runs-cross-rows.pcx", pcx(6, 4, [9] * 24, cross_rows=True))


def picture_seeds():
    folder = corpus("picture_decoding")
    image = Image.new("RGB", (8, 6))
    image.putdata([(x * 30, y * 40, (x + y) * 10) for y in range(6) for x in range(8)])
    forms = [("rgb.png", image, "PNG", {}), ("rgba.png", image.convert("RGBA"), "PNG", {}),
             ("palette.png", image.convert("P"), "PNG", {}),
             ("gray16.png", image.convert("L").convert("I"), "PNG", {}),
             ("baseline.jpg", image, "JPEG", {"quality": 80}),
             ("progressive.jpg", image, "JPEG", {"progressive": True}),
             ("animated.gif", image.convert("P"), "GIF", {}),
             ("24bit.bmp", image, "BMP", {}), ("8bit.bmp", image.convert("P"), "BMP", {}),
             ("rle.tga", image, "TGA", {"compression": "tga_rle"}),
             ("plain.tif", image, "TIFF", {}), ("lossless.webp", image, "WEBP", {"lossless": True}),
             ("skin.pcx", image.convert("P"), "PCX", {}), ("gray.pgm", image.convert("L"), "PPM", {})]
    for name, picture, form, options in forms:
        out = io.BytesIO()
        picture.save(out, form, **options)
        put(folder, name, out.getvalue())
    copy_fixtures(folder, os.path.join(DATA, "images"), (".tim",))
    copy_fixtures(folder, os.path.join(DATA, "pictures"), (".pgm", ".jpg"))


def loader_seeds():
    images = os.path.join(DATA, "images")
    for name, extension in (("bmp_loader", ".bmp"), ("tga_loader", ".tga"), ("tim_loader", ".tim")):
        copy_fixtures(corpus(name), images, (extension,))


# glTF: one triangle node "n" with a step translation, a cubic-spline
# translation and a cubic-spline rotation; keys 0, 0.5 and 1 seconds.
def gltf_document(external):
    times = [0.0, 0.5, 1.0]
    step = [0, 0, 0, 1, 0, 0, 2, 0, 0]
    cubic3 = [v for k in range(3) for v in (0.1, 0, 0, k, k, 0, -0.1, 0, 0)]
    cubic4 = [v for k in range(3) for v in (0, 0, 0, 0, 0, 0, 0.7 * k, 0.7, 0, 0, 0, 0)]
    positions = [0, 0, 0, 1, 0, 0, 0, 1, 0]
    uvs = [0, 0, 1, 0, 0, 1]
    parts = [times, step, cubic3, cubic4, positions, uvs]
    blob = b"".join(struct.pack("<%df" % len(p), *p) for p in parts)
    views, offset = [], 0
    for p in parts:
        views.append({"buffer": 0, "byteOffset": offset, "byteLength": 4 * len(p)})
        offset += 4 * len(p)
    kinds = [("SCALAR", 3), ("VEC3", 3), ("VEC3", 9), ("VEC4", 9), ("VEC3", 3), ("VEC2", 3)]
    accessors = [{"bufferView": i, "componentType": 5126, "count": n, "type": t}
                 for i, (t, n) in enumerate(kinds)]
    accessors[0].update({"min": [0.0], "max": [1.0]})
    accessors[4].update({"min": [0, 0, 0], "max": [1, 1, 0]})
    document = {
        "asset": {"version": "2.0"},
        "scene": 0, "scenes": [{"nodes": [0]}],
        "nodes": [{"name": "n", "mesh": 0}],
        "meshes": [{"primitives": [{"attributes": {"POSITION": 4, "TEXCOORD_0": 5}, "material": 0}]}],
        "materials": [{"pbrMetallicRoughness": {"baseColorFactor": [0.8, 0.2, 0.1, 1]}}],
        "animations": [{"name": "wave", "samplers": [
            {"input": 0, "output": 1, "interpolation": "STEP"},
            {"input": 0, "output": 2, "interpolation": "CUBICSPLINE"},
            {"input": 0, "output": 3, "interpolation": "CUBICSPLINE"}],
            "channels": [{"sampler": 0, "target": {"node": 0, "path": "scale"}},
                         {"sampler": 1, "target": {"node": 0, "path": "translation"}},
                         {"sampler": 2, "target": {"node": 0, "path": "rotation"}}]}],
        "accessors": accessors, "bufferViews": views,
        "buffers": [{"byteLength": len(blob)}],
    }
    if external:
        document["buffers"][0]["uri"] = "keys.bin"
    return document, blob


def gltf_text():
    document, blob = gltf_document(external=False)
    document["buffers"][0]["uri"] = "data:application/octet-stream;base64," + base64.b64encode(blob).decode()
    return json.dumps(document).encode()


def glb():
    document, blob = gltf_document(external=False)
    text = json.dumps(document).encode()
    text += b" " * (-len(text) % 4)
    blob += b"\0" * (-len(blob) % 4)
    body = struct.pack("<I4s", len(text), b"JSON") + text + struct.pack("<I4s", len(blob), b"BIN\0") + blob
    return struct.pack("<4sII", b"glTF", 2, 12 + len(body)) + body


def gltf_seeds():
    folder = corpus("gltf_sampler")
    put(folder, "embedded.gltf", gltf_text())
    put(folder, "binary.glb", glb())
    external, _ = gltf_document(external=True)
    put(folder, "keys-beside.gltf", json.dumps(external).encode())


TRIANGLE_OBJ = b"""o tri
v 0 0 0
v 1 0 0
v 0 1 0
vt 0 0
vt 1 0
vt 0 1
vn 0 0 1
f 1/1/1 2/2/1 3/3/1
"""

PLY = b"""ply
format ascii 1.0
element vertex 3
property float x
property float y
property float z
property float s
property float t
element face 1
property list uchar int vertex_indices
end_header
0 0 0 0 0
1 0 0 1 0
0 1 0 0 1
3 0 1 2
"""

STL = b"""solid tri
facet normal 0 0 1
outer loop
vertex 0 0 0
vertex 1 0 0
vertex 0 1 0
endloop
endfacet
endsolid tri
"""

DAE = b"""<?xml version="1.0" encoding="utf-8"?>
<COLLADA xmlns="http://www.collada.org/2005/11/COLLADASchema" version="1.4.1">
<asset><up_axis>Y_UP</up_axis></asset>
<library_geometries><geometry id="g"><mesh>
<source id="p"><float_array id="pa" count="9">0 0 0 1 0 0 0 1 0</float_array>
<technique_common><accessor source="#pa" count="3" stride="3">
<param name="X" type="float"/><param name="Y" type="float"/><param name="Z" type="float"/>
</accessor></technique_common></source>
<vertices id="v"><input semantic="POSITION" source="#p"/></vertices>
<triangles count="1"><input semantic="VERTEX" source="#v" offset="0"/><p>0 1 2</p></triangles>
</mesh></geometry></library_geometries>
<library_visual_scenes><visual_scene id="s"><node name="tri">
<instance_geometry url="#g"/></node></visual_scene></library_visual_scenes>
<scene><instance_visual_scene url="#s"/></scene>
</COLLADA>
"""

X_TEXT = b"""xof 0303txt 0032
Frame tri {
 FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }
 Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;
  MeshTextureCoords { 3; 0;0;, 1;0;, 0;1;; }
 }
}
"""

def scene_extensions():
    """The harness's table of extensions: a seed's first byte indexes it."""
    with open(os.path.join(HERE, "scene_import_fuzzer.cpp")) as f:
        table = re.search(r"kExtensions\[\] = \{(.*?)\};", f.read(), re.S).group(1)
    return re.findall(r'"([a-z0-9]+)"', table)


def scene_seeds():
    folder = corpus("scene_import")
    extensions = scene_extensions()
    for name, extension, data in (("animated.gltf", "gltf", gltf_text()), ("animated.glb", "glb", glb()),
                                  ("triangle.obj", "obj", TRIANGLE_OBJ), ("triangle.dae", "dae", DAE),
                                  ("triangle.ply", "ply", PLY), ("triangle.stl", "stl", STL),
                                  ("triangle.x", "x", X_TEXT)):
        put(folder, name, bytes((extensions.index(extension),)) + data)


def main():
    md2_seeds()
    pcx_seeds()
    picture_seeds()
    loader_seeds()
    gltf_seeds()
    scene_seeds()
    return 0


if __name__ == "__main__":
    sys.exit(main())
