// A whole file read into memory in one call.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Reads the file into bytes. False, with a sentence for the user in error
// ("cannot open PATH", "PATH holds N bytes, more than M", "cannot read
// PATH"), when it cannot be read whole or is larger than maxBytes; its size
// is checked before anything is allocated.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error,
                   std::uint64_t maxBytes = UINT64_MAX);
