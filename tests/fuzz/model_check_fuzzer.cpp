// vexo check's MD2 reader and rules on untrusted model files: the forgiving
// reader, every rule for every engine, the report in both forms, and the
// strict reader that the other commands use.
#include <cstdlib>

#include "fuzz_input_file.h"
#include "standalone/check/check_model.h"
#include "standalone/md2/read_md2.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzz::WriteInputFile("model.md2", data, size);
  try {
    const vexo::check::ModelCheck check = vexo::check::CheckModel(path, {}, false);
    const vexo::check::Findings findings =
        vexo::check::ForTargets(check.findings, vexo::check::EngineSet::All());
    std::size_t length = vexo::check::CheckJson(path, vexo::check::EngineSet::All(), check).size();
    for (const vexo::check::Finding& finding : findings)
      length += vexo::check::FindingLine(finding).size();
    if (length == 0) std::abort();  // the report always names the model
  } catch (const vexo::md2::ReadError&) {
    if (size >= 68) std::abort();  // a whole header must be readable
  }
  try {
    vexo::md2::LoadMd2(path);
  } catch (const vexo::md2::ReadError&) {
  }
  return 0;
}
