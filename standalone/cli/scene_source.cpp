#include "standalone/cli/scene_source.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "standalone/cli/isolated_import.h"
#include "standalone/cli/option_checks.h"
#include "standalone/demo_scene.h"

namespace vexo::cli {
namespace {

// A folder of its own under the system's temporary folder, removed with
// everything in it when destroyed.
class TemporaryFolder {
 public:
  TemporaryFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/vexo-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data()))
      throw std::runtime_error("cannot make a temporary folder under " + pattern);
    path_ = name.data();
  }
  ~TemporaryFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

bool IsDemoScene(const std::string& argument, bool demoFlag) {
  return demoFlag || argument == "demo";
}

LoadedScene LoadScene(const std::string& argument, bool demoFlag, ImportOptions import) {
  if (demoFlag && !argument.empty())
    throw UsageError("give either a SCENE or --demo, not both");
  if (!IsDemoScene(argument, demoFlag)) {
    if (argument.empty()) throw UsageError("no scene given: name a SCENE or use --demo");
    import.path = argument;
    auto imported = ImportIsolated(argument, import.limits, [&import] {
      return std::make_shared<ImportedScene>(ImportScene(import));
    });
    MemoryScene scene = imported->TakeScene();
    return LoadedScene{std::move(scene), nullptr, imported};
  }
  auto folder = std::make_shared<TemporaryFolder>();
  WriteDemoTextures(folder->path());
  return LoadedScene{MakeDemoScene(folder->path()), folder, nullptr};
}

}  // namespace vexo::cli
