// Most readers under fuzzing take a file name, as the plug-in and vexo call
// them: each input is written to a file in a folder of this process's own
// (under $TMPDIR), replaced on every run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// This process's folder, made on first use.
const std::string& InputFolder();

// Writes the bytes to InputFolder()/name and returns the path.
std::string WriteInputFile(const std::string& name, const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
