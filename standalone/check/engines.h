// The engines a model is checked against, and sets of them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vexo::check {

enum class Engine : std::uint8_t {
  kIdGl,    // id's 3.21 release, GL renderer (ref_gl)
  kIdSoft,  // id's 3.21 release, software renderer (ref_soft)
  kYamagi,  // Yamagi Quake II
  kQ2pro,   // Q2PRO
  kKmq2,    // KMQuake2
  kThreeJs  // three.js's MD2Loader, the web's reader
};
inline constexpr int kEngineCount = 6;

const char* EngineName(Engine engine);

class EngineSet {
 public:
  constexpr EngineSet() = default;
  constexpr EngineSet(std::initializer_list<Engine> engines) {
    for (Engine e : engines) bits_ |= Bit(e);
  }
  static constexpr EngineSet All() { return EngineSet((1u << kEngineCount) - 1); }
  // Every game engine; the web reader draws no game.
  static constexpr EngineSet Games() {
    return {Engine::kIdGl, Engine::kIdSoft, Engine::kYamagi, Engine::kQ2pro, Engine::kKmq2};
  }
  // The renderers that draw with the GL command list and test alpha.
  static constexpr EngineSet GlRenderers() {
    return {Engine::kIdGl, Engine::kYamagi, Engine::kQ2pro, Engine::kKmq2};
  }

  constexpr bool Has(Engine e) const { return bits_ & Bit(e); }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr EngineSet operator&(EngineSet o) const { return EngineSet(bits_ & o.bits_); }
  constexpr EngineSet operator|(EngineSet o) const { return EngineSet(bits_ | o.bits_); }
  constexpr bool operator==(EngineSet o) const { return bits_ == o.bits_; }
  // "id-gl, yamagi", or "all engines" for All().
  std::string Names() const;

 private:
  constexpr explicit EngineSet(unsigned bits) : bits_(bits) {}
  static constexpr unsigned Bit(Engine e) { return 1u << static_cast<unsigned>(e); }
  unsigned bits_ = 0;
};

// A --target value: an engine's name, or "all"; nothing for another word.
std::optional<EngineSet> ParseTarget(const std::string& name);
// The names --target takes, for help and errors.
std::string TargetNames();

}  // namespace vexo::check
