#include "standalone/check/engines.h"

namespace vexo::check {
namespace {

constexpr const char* kNames[kEngineCount] = {"id-gl", "id-soft", "yamagi",
                                              "q2pro", "kmq2",    "threejs"};

}  // namespace

const char* EngineName(Engine engine) { return kNames[static_cast<int>(engine)]; }

std::string EngineSet::Names() const {
  if (*this == All()) return "all engines";
  if (*this == Games()) return "every game engine";
  std::string names;
  for (int i = 0; i < kEngineCount; ++i) {
    if (!Has(Engine(i))) continue;
    if (!names.empty()) names += ", ";
    names += kNames[i];
  }
  return names;
}

std::optional<EngineSet> ParseTarget(const std::string& name) {
  if (name == "all") return EngineSet::All();
  for (int i = 0; i < kEngineCount; ++i)
    if (name == kNames[i]) return EngineSet{Engine(i)};
  return std::nullopt;
}

std::string TargetNames() {
  std::string names;
  for (const char* name : kNames) names += std::string(name) + "|";
  return names + "all";
}

}  // namespace vexo::check
