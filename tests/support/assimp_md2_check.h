// assimp's MD2 reader as an independent check of a written model file.
#pragma once

#include <string>

namespace test_support {

// Loads every frame of the file with assimp and expects its positions,
// corner order and texture coordinates to match what the file's bytes say.
void ExpectAssimpReadsEveryFrame(const std::string& path);

}  // namespace test_support
