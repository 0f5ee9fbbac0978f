// Reads an MD2 file with an independent reader and prints what it found as
// JSON on stdout:
//   node md2_readers.mjs three FILE     three.js's MD2Loader: {loaded, vertices, frames}
//   node md2_readers.mjs quake2ts FILE  quake2ts's parseMd2: {loaded, error, skins, frames,
//                                       glTriangles, normalIndices}
// glTriangles lists each drawn triangle's corners as [vertex, s, t], a strip's odd
// triangles with their first two corners swapped as OpenGL draws them.
import fs from 'node:fs';
import { MD2Loader } from 'three/addons/loaders/MD2Loader.js';
import { parseMd2 } from '@quake2ts/engine';

const [reader, file] = process.argv.slice(2);
const bytes = fs.readFileSync(file);
const buffer = bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.byteLength);

function readThree() {
  const geometry = new MD2Loader().parse(buffer);
  if (!geometry || !geometry.attributes) return { loaded: false };
  return {
    loaded: true,
    vertices: geometry.attributes.position.count,
    frames: geometry.morphAttributes.position ? geometry.morphAttributes.position.length : 0,
  };
}

function drawnTriangles(commands) {
  const triangles = [];
  const corner = (v) => [v.vertexIndex, v.s, v.t];
  for (const command of commands) {
    const v = command.vertices;
    for (let i = 0; i + 2 < v.length; ++i) {
      if (command.mode === 'fan') triangles.push([v[0], v[i + 1], v[i + 2]].map(corner));
      else if (i % 2 === 0) triangles.push([v[i], v[i + 1], v[i + 2]].map(corner));
      else triangles.push([v[i + 1], v[i], v[i + 2]].map(corner));
    }
  }
  return triangles;
}

function readQuake2ts() {
  let model;
  try {
    model = parseMd2(buffer);
  } catch (e) {
    return { loaded: false, error: String(e.message) };
  }
  return {
    loaded: true,
    skins: model.skins.map((s) => s.name),
    frames: model.frames.map((f) => f.name),
    glTriangles: drawnTriangles(model.glCommands),
    normalIndices: model.frames.map((f) => f.vertices.map((v) => v.normalIndex)),
  };
}

const result = reader === 'three' ? readThree() : readQuake2ts();
process.stdout.write(JSON.stringify(result) + '\n');
