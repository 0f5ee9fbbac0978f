#include "standalone/md2/gl_command_list.h"

#include <cstring>

namespace vexo::md2 {
namespace {

float WordAsFloat(std::int32_t word) {
  float v;
  std::memcpy(&v, &word, 4);
  return v;
}

std::int32_t FloatAsWord(float v) {
  std::int32_t word;
  std::memcpy(&word, &v, 4);
  return word;
}

}  // namespace

GlCommandList DecodeGlCommands(const std::vector<std::int32_t>& words) {
  GlCommandList list;
  std::size_t at = 0;
  while (at < words.size()) {
    const std::int64_t count = words[at];
    if (count == 0) {
      list.terminated = true;
      list.wordsUsed = at + 1;
      return list;
    }
    const std::int64_t vertices = count < 0 ? -count : count;
    const std::size_t left = words.size() - at - 1;
    if (std::uint64_t(vertices) > left / 3) {
      list.problem = "command " + std::to_string(list.commands.size()) + " of " +
                     std::to_string(vertices) + " vertices runs past the list's " +
                     std::to_string(words.size()) + " words";
      list.wordsUsed = words.size();
      return list;
    }
    GlCommand command;
    command.fan = count < 0;
    command.vertices.resize(std::size_t(vertices));
    for (Md2GlVertex& v : command.vertices) {
      v.s = WordAsFloat(words[at + 1]);
      v.t = WordAsFloat(words[at + 2]);
      v.vertexIndex = words[at + 3];
      at += 3;
    }
    ++at;
    list.commands.push_back(std::move(command));
  }
  list.wordsUsed = words.size();
  return list;
}

std::vector<std::int32_t> EncodeGlCommands(const std::vector<GlCommand>& commands) {
  std::vector<std::int32_t> words;
  for (const GlCommand& command : commands) {
    const auto count = static_cast<std::int32_t>(command.vertices.size());
    words.push_back(command.fan ? -count : count);
    for (const Md2GlVertex& v : command.vertices) {
      words.push_back(FloatAsWord(v.s));
      words.push_back(FloatAsWord(v.t));
      words.push_back(v.vertexIndex);
    }
  }
  words.push_back(0);
  return words;
}

std::vector<GlTriangle> TrianglesOf(const std::vector<GlCommand>& commands) {
  std::vector<GlTriangle> triangles;
  for (const GlCommand& command : commands) {
    const auto& v = command.vertices;
    for (std::size_t i = 0; i + 2 < v.size(); ++i) {
      if (command.fan)
        triangles.push_back({{v[0], v[i + 1], v[i + 2]}});
      else if (i % 2 == 0)
        triangles.push_back({{v[i], v[i + 1], v[i + 2]}});
      else
        triangles.push_back({{v[i + 1], v[i], v[i + 2]}});
    }
  }
  return triangles;
}

}  // namespace vexo::md2
