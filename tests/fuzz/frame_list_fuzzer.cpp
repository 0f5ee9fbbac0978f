// The panel's frame-list import on untrusted model files: the table either
// takes the file's names whole or stays as it was.
#include <cstdlib>
#include <cstring>

#include "fuzz_input_file.h"
#include "plugin/frame_list_import.h"
#include "plugin/frame_name_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzz::WriteInputFile("frames.md2", data, size);
  FrameNameTable table;
  const FrameNameTable before = table;
  if (!ReadFrameNames(path.c_str(), &table)) {
    if (std::memcmp(&table, &before, sizeof table) != 0) std::abort();  // changed on failure
    return 0;
  }
  if (table.count < 0 || table.count > kFrameNameSlots) std::abort();
  for (std::int32_t k = 0; k < table.count; ++k)
    if (!std::memchr(table.names[k], 0, kFrameNameSize)) std::abort();  // a name without its end
  return 0;
}
