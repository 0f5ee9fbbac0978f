// Up axes of COLLADA and FBX files: the file's own record decides whether
// the scene is turned Z-up, and --up overrides it.
#include <gtest/gtest.h>

#include <assimp/Exporter.hpp>
#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "import_test_support.h"
#include "standalone/import/imported_scene.h"
#include "standalone/import/scene_info.h"

namespace vexo {
namespace {

using testing::ScratchFolder;

// One triangle whose third corner lies one unit along the file's z.
std::string Collada(const char* upAxis) {
  return std::string(
             "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
             "<COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" version=\"1.4.1\">\n"
             "<asset><unit meter=\"1\" name=\"meter\"/><up_axis>") +
         upAxis +
         "</up_axis></asset>\n"
         "<library_geometries><geometry id=\"g\" name=\"g\"><mesh>\n"
         "<source id=\"p\"><float_array id=\"pa\" count=\"9\">0 0 0 1 0 0 0 0 1</float_array>\n"
         "<technique_common><accessor source=\"#pa\" count=\"3\" stride=\"3\">"
         "<param name=\"X\" type=\"float\"/><param name=\"Y\" type=\"float\"/>"
         "<param name=\"Z\" type=\"float\"/></accessor></technique_common></source>\n"
         "<vertices id=\"v\"><input semantic=\"POSITION\" source=\"#p\"/></vertices>\n"
         "<triangles count=\"1\"><input semantic=\"VERTEX\" source=\"#v\" offset=\"0\"/>"
         "<p>0 1 2</p></triangles>\n"
         "</mesh></geometry></library_geometries>\n"
         "<library_visual_scenes><visual_scene id=\"s\" name=\"s\">"
         "<node id=\"Tri\" name=\"Tri\"><instance_geometry url=\"#g\"/></node>"
         "</visual_scene></library_visual_scenes>\n"
         "<scene><instance_visual_scene url=\"#s\"/></scene>\n</COLLADA>\n";
}

// World position of the triangle's third corner.
Point3 ThirdCorner(const std::filesystem::path& file, UpAxis up = UpAxis::kAuto) {
  ImportOptions options;
  options.path = file;
  options.up = up;
  options.textureCache = file.parent_path() / "cache";
  MemoryHost host(ImportScene(options).TakeScene());
  const testing::PluginSample sample = testing::SampleThroughPlugin(host, 0, false);
  EXPECT_EQ(sample.positions.size(), 3u);
  return sample.positions.size() == 3 ? sample.positions[2] : Point3{};
}

void ExpectPoint(const Point3& p, float x, float y, float z) {
  EXPECT_NEAR(p.x, x, 1e-6f);
  EXPECT_NEAR(p.y, y, 1e-6f);
  EXPECT_NEAR(p.z, z, 1e-6f);
}

TEST(UpAxis, ColladaAndFbxFollowTheirRecordedAxisUnlessOverridden) {
  ScratchFolder folder;
  testing::WriteText(folder / "z.dae", Collada("Z_UP"));
  testing::WriteText(folder / "y.dae", Collada("Y_UP"));
  testing::WriteText(folder / "x.dae", Collada("X_UP"));
  ExpectPoint(ThirdCorner(folder / "z.dae"), 0, 0, 1);
  ExpectPoint(ThirdCorner(folder / "y.dae"), 0, -1, 0);
  // Zipped, with the up axis inside the archive.
  const std::string zip = "/usr/bin/python3 -c \"import sys, zipfile\n"
                          "with zipfile.ZipFile(sys.argv[1], 'w') as z: z.write(sys.argv[2], 'scene.dae')\" '" +
                          (folder / "z.zae").string() + "' '" + (folder / "z.dae").string() + "'";
  ASSERT_EQ(std::system(zip.c_str()), 0);
  ExpectPoint(ThirdCorner(folder / "z.zae"), 0, 0, 1);
  // Scene info names the axis the file records.
  for (const auto& [file, line] : {std::pair{"z.zae", "Up axis: Z-up (COLLADA's up_axis is Z_UP)\n"},
                                   std::pair{"y.dae", "Up axis: Y-up, turned Z-up (COLLADA's up_axis is Y_UP)\n"},
                                   std::pair{"x.dae", "Up axis: X-up, turned Z-up (COLLADA's up_axis is X_UP)\n"}}) {
    ImportOptions options;
    options.path = folder / file;
    EXPECT_NE(SceneInfoReport(options).find(line), std::string::npos) << file;
  }
  // --up names the file's axis, whatever the file says.
  ExpectPoint(ThirdCorner(folder / "z.dae", UpAxis::kY), 0, -1, 0);
  ExpectPoint(ThirdCorner(folder / "y.dae", UpAxis::kZ), 0, 0, 1);

  // An FBX file written by the importer's own exporter from the Z_UP file
  // read as it is, once with its header saying Y-up and once Z-up.
  Assimp::Importer importer;
  const aiScene* scene = importer.ReadFile((folder / "z.dae").string(), 0);
  ASSERT_NE(scene, nullptr);
  Assimp::Exporter exporter;
  ASSERT_EQ(exporter.Export(scene, "fbxa", (folder / "y.fbx").string()), aiReturn_SUCCESS);
  std::ifstream in(folder / "y.fbx");
  std::stringstream text;
  text << in.rdbuf();
  std::string fbx = text.str();
  const std::string yUp = "P: \"UpAxis\", \"int\", \"Integer\", \"\", 1";
  const std::size_t at = fbx.find(yUp);
  ASSERT_NE(at, std::string::npos);
  const Point3 asY = ThirdCorner(folder / "y.fbx");
  fbx.replace(at, yUp.size(), "P: \"UpAxis\", \"int\", \"Integer\", \"\", 2");
  testing::WriteText(folder / "z.fbx", fbx);
  const Point3 asZ = ThirdCorner(folder / "z.fbx");
  // Whatever the exported coordinates are, the Y-up reading is the Z-up
  // reading turned: (x, y, z) -> (x, -z, y).
  ExpectPoint(asY, asZ.x, -asZ.z, asZ.y);
  EXPECT_GT(std::abs(asZ.y) + std::abs(asZ.z), 0.5f);
}

}  // namespace
}  // namespace vexo
