// The built modules, loaded through their files as a host loads them.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "sdk/hostsdk/host_services.h"
#include "sdk/win32/src/win32_state.h"
#include "standalone/module_loader.h"
#include "standalone/panel_host.h"
#include "tests/support/host_slot_calls.h"

namespace {

namespace fs = std::filesystem;

std::string ModulePath(int release) {
  const fs::path bin = VEXO_BIN_DIR;
  return (release == 4 ? bin : bin / ("release" + std::to_string(release))) / "Dorvane.dlu";
}

// Counts what the module asks of the host's SDK while it loads.
class CountingHost : public vexo::sdk::HostServices {
 public:
  CountingHost() { vexo::sdk::RegisterHost(this); }
  ~CountingHost() override { vexo::sdk::RegisterHost(nullptr); }
  int TicksPerFrame() override { return vexo::sdk::kDefaultTicksPerFrame; }
  void InitCustomControls(HINSTANCE instance) override { instances.push_back(instance); }
  void DisableAccelerators() override {}
  void EnableAccelerators() override {}

  std::vector<HINSTANCE> instances;
};

// The file of the loaded object that holds address, or "" when none does.
std::string ObjectFileOf(const void* address) {
  Dl_info info{};
  return dladdr(address, &info) && info.dli_fname ? info.dli_fname : "";
}

bool IsLoaded(const std::string& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle) dlclose(handle);
  return handle != nullptr;
}

class ModuleTest : public ::testing::TestWithParam<int> {};

TEST_P(ModuleTest, ExportsAnswerAsTheHostExpects) {
  const int release = GetParam();
  const vexo::PluginModule module(ModulePath(release));

  const std::uint32_t versions[] = {0, 0, 120u, 0x0BB80700u, 0x0FA00800u};
  EXPECT_EQ(module.version(), versions[release]);
  EXPECT_EQ(module.hostRelease(), release);
  EXPECT_EQ(std::string(module.Description()).rfind("Vexo by ", 0), 0u) << module.Description();
  EXPECT_GT(std::string(module.Description()).size(), std::string("Vexo by ").size());
  EXPECT_EQ(module.ClassCount(), 1);

  void* descriptor = module.RawClassDesc(0);
  ASSERT_NE(descriptor, nullptr);
  EXPECT_EQ(module.RawClassDesc(0), descriptor);
  for (int index : {1, -1, 2, INT_MAX, INT_MIN}) {
    EXPECT_EQ(module.RawClassDesc(index), nullptr) << "index " << index;
  }

  // Only the release-4 SDK leaves ClassDesc::GetRsrcString to the plug-in.
  using GetRsrcString = const char* (*)(void* self, std::int32_t id);
  auto* getRsrcString =
      reinterpret_cast<GetRsrcString>(module.FindSymbol("_ZN9ClassDesc13GetRsrcStringEi"));
  if (release == 4) {
    ASSERT_NE(getRsrcString, nullptr);
    EXPECT_EQ(getRsrcString(descriptor, 1), nullptr);
  } else {
    EXPECT_EQ(getRsrcString, nullptr);
  }
}

TEST_P(ModuleTest, DescriptorSlotsAndTheOneUtilityObject) {
  const int release = GetParam();
  const vexo::PluginModule module(ModulePath(release));
  vexo::ClassDescriptor desc = module.Class(0);

  EXPECT_EQ(desc.IsPublic(), 1);
  EXPECT_STREQ(desc.ClassName(), "Vexo");
  EXPECT_STREQ(desc.Category(), "Quake Export");
  EXPECT_EQ(desc.SuperClassID(), 0x1020u);
  EXPECT_EQ(desc.ClassID(), (Class_ID{0x4E5D1CDF, 0x46E718D8}));
  EXPECT_EQ(desc.BeginCreate(nullptr), 0);
  EXPECT_EQ(desc.EndCreate(nullptr), 0);

  vexo::UtilityObject first = desc.CreateUtility(0);
  vexo::UtilityObject second = desc.CreateUtility(1);
  EXPECT_EQ(first.address(), second.address());

  // The object is static: the host's Release must leave it alive (the
  // sanitizer build reports a delete of it or a use after one).
  first.Release();
  first.SelectionChanged(nullptr, nullptr);
  EXPECT_EQ(desc.CreateUtility().address(), first.address());

  EXPECT_EQ(first.HasStartupParameter(), release >= 3);
  if (first.HasStartupParameter()) first.SetStartupParameter("-silent");
}

// A host built with the host's compiler finds every operation at its slot
// number (a g++ virtual destructor would take two slots and move the rest).
TEST_P(ModuleTest, SlotsAnswerByNumberAsTheHostsCompilerCallsThem) {
  using test_support::CallSlot;
  const int release = GetParam();
  const vexo::PluginModule module(ModulePath(release));
  void* desc = module.RawClassDesc(0);
  ASSERT_NE(desc, nullptr);
  const auto slot = [release](int n) { return test_support::DescriptorSlot(release, n); };
  EXPECT_EQ(CallSlot<int>(desc, slot(1)), 1);
  void* utility = CallSlot<void*>(desc, slot(2), 0);
  ASSERT_NE(utility, nullptr);
  EXPECT_EQ(CallSlot<void*>(desc, slot(2), 1), utility);
  EXPECT_EQ(CallSlot<int>(desc, slot(3), static_cast<void*>(nullptr)), 0);
  EXPECT_EQ(CallSlot<int>(desc, slot(4), static_cast<void*>(nullptr)), 0);
  EXPECT_STREQ(CallSlot<const char*>(desc, slot(5)), "Vexo");
  EXPECT_EQ(CallSlot<std::uint32_t>(desc, slot(6)), 0x1020u);
  Class_ID id;
  EXPECT_EQ(CallSlot<Class_ID*>(desc, slot(7), &id), &id);
  EXPECT_EQ(id, (Class_ID{0x4E5D1CDF, 0x46E718D8}));
  EXPECT_STREQ(CallSlot<const char*>(desc, slot(8)), "Quake Export");
  // The destructor of the static descriptor frees nothing.
  if (release >= 3) {
    EXPECT_EQ(CallSlot<void*>(desc, 0, 1u), desc);
  }

  // The utility: OpenPanel, ClosePanel, SelectionChanged, Release and, in
  // releases 4 and 3, SetStartupParameter, which destroys the copy it gets
  // (LeakSanitizer sees it otherwise).
  vexo::PanelHost host;
  HostInterface* hostInterface = &host;
  CallSlot<void>(utility, 0, hostInterface, static_cast<void*>(nullptr));
  EXPECT_EQ(host.pages().size(), 1u);
  CallSlot<void>(utility, 1, hostInterface, static_cast<void*>(nullptr));
  EXPECT_TRUE(host.pages().empty());
  CallSlot<void>(utility, 2, hostInterface, static_cast<void*>(nullptr));
  CallSlot<void>(utility, 3);
  if (release >= 3) {
    alignas(CStr) unsigned char copy[sizeof(CStr)];
    CallSlot<void>(utility, 4, new (copy) CStr("-silent"));
  }
}

TEST_P(ModuleTest, LoadingRunsTheEntryOnceAndUnloadingLeavesNothing) {
  const int release = GetParam();
  const std::string path = ModulePath(release);
  CountingHost host;
  const int commonControlsBefore = vexo::win32::State().commonControlsInitialised;

  // Each load is a fresh module: the entry runs once, its static objects
  // are built anew, and unloading really unloads (so nothing pins it and
  // its destructors have run exactly once, at the unload).
  for (int round = 1; round <= 3; ++round) {
    {
      const vexo::PluginModule module(path);
      ASSERT_EQ(host.instances.size(), static_cast<std::size_t>(round));
      EXPECT_EQ(vexo::win32::State().commonControlsInitialised, commonControlsBefore + round);
      // The instance handle identifies this module, the binary its dialogs
      // and bitmaps are found in.
      EXPECT_TRUE(fs::equivalent(ObjectFileOf(host.instances.back()), path));
      module.Class(0).CreateUtility().Release();
    }
    EXPECT_FALSE(IsLoaded(path)) << "round " << round;
  }
}

TEST_P(ModuleTest, TwoReleasesLoadedTogetherKeepTheirOwnObjects) {
  const int other = GetParam() == 4 ? 3 : 4;
  const vexo::PluginModule module(ModulePath(GetParam()));
  const vexo::PluginModule otherModule(ModulePath(other));
  EXPECT_NE(module.RawClassDesc(0), otherModule.RawClassDesc(0));
  EXPECT_NE(module.Class(0).CreateUtility().address(),
            otherModule.Class(0).CreateUtility().address());
  EXPECT_EQ(module.hostRelease(), GetParam());
  EXPECT_EQ(otherModule.hostRelease(), other);
}

INSTANTIATE_TEST_SUITE_P(Releases, ModuleTest, ::testing::Values(4, 3, 2),
                         [](const auto& info) { return "Release" + std::to_string(info.param); });

TEST(ModuleLoader, ReportsWhyAFileIsNoModule) {
  const fs::path bin = VEXO_BIN_DIR;
  auto kindOf = [](const std::string& path, std::string& message) {
    try {
      vexo::PluginModule module(path);
    } catch (const vexo::ModuleError& e) {
      message = e.what();
      return static_cast<int>(e.kind());
    }
    return -1;
  };
  std::string message;

  const std::string missing = (bin / "NoSuchPlugin.dlu").string();
  EXPECT_EQ(kindOf(missing, message), static_cast<int>(vexo::ModuleError::Kind::kFileMissing));
  EXPECT_NE(message.find(missing), std::string::npos) << message;

  const fs::path text = fs::temp_directory_path() / "vexo_module_test_not_a_module.dlu";
  if (std::FILE* f = std::fopen(text.c_str(), "w")) {
    std::fputs("not a module\n", f);
    std::fclose(f);
  }
  EXPECT_EQ(kindOf(text.string(), message), static_cast<int>(vexo::ModuleError::Kind::kNotLoadable));
  EXPECT_NE(message.find(text.string()), std::string::npos) << message;
  fs::remove(text);

  // A loadable library that is not a plug-in.
  const std::string library = (bin / "libvexo_win32.so").string();
  EXPECT_EQ(kindOf(library, message), static_cast<int>(vexo::ModuleError::Kind::kMissingExport));
  EXPECT_NE(message.find("LibDescription"), std::string::npos) << message;
}

}  // namespace
