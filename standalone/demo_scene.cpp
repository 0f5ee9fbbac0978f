#include "standalone/demo_scene.h"

#include <stb/stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

#include "standalone/scene_building.h"

namespace vexo {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The figure's measures, in host units.
constexpr float kFloor = -24.0f;
constexpr float kLegLength = 22.0f;
constexpr float kHipHeight = kFloor + kLegLength;
constexpr float kTorsoHeight = 20.0f;
constexpr float kArmLength = 18.0f;
constexpr float kShoulderX = 9.5f;
constexpr float kShoulderZ = 19.0f;
constexpr float kHipX = 4.0f;

std::string InDir(const std::string& dir, const char* name) {
  if (dir.empty()) return name;
  return dir.back() == '/' ? dir + name : dir + "/" + name;
}

// ---- Animation --------------------------------------------------------------

// Where the figure is and how its joints stand. Angles in degrees; swings
// about the X axis are positive backwards (+Y), negative forwards.
struct Pose {
  float lift = 0;     // hips above their rest height
  float forward = 0;  // hips moved forwards (-Y)
  float lean = 0;     // whole figure, positive forwards
  float roll = 0;     // whole figure, about the Y axis
  float yaw = 0;      // whole figure, about the Z axis
  bool aboutFeet = false;  // lean and roll turn about the feet, not the hips
  float head = 0;          // head turn
  float armSwing[2] = {0, 0};  // left, right
  float armRaise[2] = {0, 0};  // sideways, outwards
  float legSwing[2] = {0, 0};  // as seen in the world, whatever the lean
};

enum class Act {
  kStand, kRun, kAttack, kPain, kJump, kFlip, kSalute, kTaunt, kWave, kPoint,
  kCrouchStand, kCrouchWalk, kCrouchAttack, kCrouchPain, kCrouchDeath,
  kDeathBackwards, kDeathForwards, kDeathSideways
};

// One animation over host frames first .. first + count - 1; the frames of
// the default frame names, group by group.
struct Segment {
  int first;
  int count;
  Act act;
  int variant;
};
constexpr Segment kSegments[] = {
    {0, 40, Act::kStand, 0},          {40, 6, Act::kRun, 0},
    {46, 8, Act::kAttack, 0},         {54, 4, Act::kPain, 0},
    {58, 4, Act::kPain, 1},           {62, 4, Act::kPain, 2},
    {66, 6, Act::kJump, 0},           {72, 12, Act::kFlip, 0},
    {84, 11, Act::kSalute, 0},        {95, 17, Act::kTaunt, 0},
    {112, 11, Act::kWave, 0},         {123, 12, Act::kPoint, 0},
    {135, 19, Act::kCrouchStand, 0},  {154, 6, Act::kCrouchWalk, 0},
    {160, 9, Act::kCrouchAttack, 0},  {169, 4, Act::kCrouchPain, 0},
    {173, 5, Act::kCrouchDeath, 0},   {178, 6, Act::kDeathBackwards, 0},
    {184, 6, Act::kDeathForwards, 0}, {190, 8, Act::kDeathSideways, 0},
};
static_assert(sizeof kSegments / sizeof kSegments[0] == 20);

float Cycle(double p, double cycles) { return static_cast<float>(std::sin(2 * kPi * p * cycles)); }
// 0 at both ends, 1 half way.
float Bump(double p) { return static_cast<float>(std::sin(kPi * std::clamp(p, 0.0, 1.0))); }
// Up quickly, held, down quickly.
float Hold(double p) { return std::min(1.0f, 3.0f * Bump(p)); }
// From 0 to 1, slow at both ends.
float Ease(double p) {
  const double q = std::clamp(p, 0.0, 1.0);
  return static_cast<float>(q * q * (3 - 2 * q));
}

void Crouch(Pose& pose) {
  const float angle = 45.0f;
  pose.lift = kLegLength * static_cast<float>(std::cos(angle * kPi / 180)) - kLegLength;
  pose.legSwing[0] = pose.legSwing[1] = -angle;
  pose.armSwing[0] = pose.armSwing[1] = -10;
}

Pose PoseAt(double frame) {
  frame = std::fmod(frame, kDemoFrameCount);
  if (frame < 0) frame += kDemoFrameCount;
  const Segment* segment = &kSegments[0];
  for (const Segment& s : kSegments)
    if (frame >= s.first) segment = &s;
  // Looping acts run over count frames; one-shot acts reach their end pose
  // on their last frame.
  const double at = frame - segment->first;
  const double loop = at / segment->count;
  const double once = segment->count > 1 ? at / (segment->count - 1) : 1.0;

  Pose pose;
  switch (segment->act) {
    case Act::kStand:
      pose.lift = 0.6f * Cycle(loop, 2);
      pose.armSwing[0] = pose.armSwing[1] = 4 * Cycle(loop, 2);
      pose.head = 25 * Cycle(loop, 1);
      break;
    case Act::kRun: {
      const float s = Cycle(loop, 1);
      pose.lean = 12;
      pose.lift = 2 * std::fabs(s);
      pose.legSwing[0] = 40 * s;
      pose.legSwing[1] = -40 * s;
      pose.armSwing[0] = -35 * s;
      pose.armSwing[1] = 35 * s;
      break;
    }
    case Act::kAttack:
      pose.armSwing[1] = -100 * Bump(once);
      pose.armSwing[0] = 25 * Bump(once);
      pose.lean = 10 * Bump(once);
      pose.forward = 3 * Bump(once);
      break;
    case Act::kPain: {
      const float side = static_cast<float>(segment->variant - 1);
      pose.lean = -15 * Bump(once);
      pose.roll = 10 * side * Bump(once);
      pose.head = 25 * side * Bump(once);
      pose.armSwing[0] = pose.armSwing[1] = 30 * Bump(once);
      break;
    }
    case Act::kJump:
      pose.lift = 16 * Bump(once);
      pose.legSwing[0] = pose.legSwing[1] = -35 * Bump(once);
      pose.armRaise[0] = pose.armRaise[1] = 60 * Bump(once);
      break;
    case Act::kFlip:
      // A back flip about the hips.
      pose.lean = -360 * Ease(once);
      pose.lift = 14 * Bump(once);
      pose.legSwing[0] = pose.legSwing[1] = -30 * Bump(once) + pose.lean;
      pose.armRaise[0] = pose.armRaise[1] = 40 * Bump(once);
      break;
    case Act::kSalute:
      pose.armSwing[1] = -150 * Hold(once);
      pose.armRaise[1] = 20 * Hold(once);
      break;
    case Act::kTaunt:
      pose.yaw = 360 * Ease(once);
      pose.lift = 3 * std::fabs(Cycle(once, 2));
      pose.armRaise[0] = pose.armRaise[1] = 70 * Bump(once);
      break;
    case Act::kWave:
      pose.armRaise[1] = (150 + 20 * Cycle(once, 3)) * Hold(once);
      pose.head = -15 * Hold(once);
      break;
    case Act::kPoint:
      pose.armSwing[1] = -90 * Hold(once);
      pose.lean = 5 * Hold(once);
      pose.head = 10 * Hold(once);
      break;
    case Act::kCrouchStand:
      Crouch(pose);
      pose.lift += 0.5f * Cycle(loop, 2);
      pose.head = 20 * Cycle(loop, 1);
      break;
    case Act::kCrouchWalk:
      Crouch(pose);
      pose.legSwing[0] += 20 * Cycle(loop, 1);
      pose.legSwing[1] -= 20 * Cycle(loop, 1);
      pose.armSwing[0] = -25 * Cycle(loop, 1);
      pose.armSwing[1] = 25 * Cycle(loop, 1);
      break;
    case Act::kCrouchAttack:
      Crouch(pose);
      pose.armSwing[1] = -90 * Bump(once);
      pose.lean = 8 * Bump(once);
      break;
    case Act::kCrouchPain:
      Crouch(pose);
      pose.lean = -12 * Bump(once);
      pose.head = 20 * Bump(once);
      break;
    case Act::kCrouchDeath:
      Crouch(pose);
      pose.lean = 80 * Ease(once);
      pose.lift -= 8 * Ease(once);
      pose.armSwing[0] = pose.armSwing[1] = -60 * Ease(once);
      break;
    case Act::kDeathBackwards:
      pose.aboutFeet = true;
      pose.lean = -90 * Ease(once);
      pose.lift = 4 * Ease(once);
      pose.armRaise[0] = pose.armRaise[1] = 50 * Ease(once);
      pose.legSwing[0] = pose.legSwing[1] = pose.lean;
      break;
    case Act::kDeathForwards:
      pose.aboutFeet = true;
      pose.lean = 90 * Ease(once);
      pose.lift = 4 * Ease(once);
      pose.armSwing[0] = pose.armSwing[1] = -70 * Ease(once);
      pose.legSwing[0] = pose.legSwing[1] = pose.lean;
      break;
    case Act::kDeathSideways:
      pose.aboutFeet = true;
      pose.roll = 90 * Ease(once);
      pose.yaw = 45 * Ease(once);
      pose.lift = 4 * Ease(once);
      pose.armRaise[0] = 80 * Ease(once);
      pose.head = -30 * Ease(once);
      break;
  }
  return pose;
}

// The body's place: the hips' frame in the world.
Matrix3 BodyTransform(const Pose& pose) {
  const Matrix3 turn = Compose(Compose(RotateX(pose.lean), RotateY(pose.roll)), RotateZ(pose.yaw));
  Point3 hips{0, -pose.forward, kHipHeight + pose.lift};
  if (pose.aboutFeet) {
    const Point3 up = TransformPoint(turn, Point3{0, 0, kLegLength});
    hips = Point3{up.x, up.y - pose.forward, kFloor + up.z + pose.lift};
  }
  return Compose(turn, Translate(hips.x, hips.y, hips.z));
}

// Limbs turn at their joints, relative to the body. Side 0 is the figure's
// left (+X, since it faces -Y), side 1 its right.
Matrix3 ArmTransform(const Pose& pose, int side) {
  const float outwards = side == 0 ? -1.0f : 1.0f;
  const float x = side == 0 ? kShoulderX : -kShoulderX;
  return Compose(Compose(RotateX(pose.armSwing[side]), RotateY(outwards * pose.armRaise[side])),
                 Translate(x, 0, kShoulderZ));
}

Matrix3 LegTransform(const Pose& pose, int side) {
  const float x = side == 0 ? kHipX : -kHipX;
  return Compose(RotateX(pose.legSwing[side] - pose.lean), Translate(x, 0, 0));
}

// ---- Meshes -----------------------------------------------------------------

// A box whose top face is centred on the origin (a limb hanging from its
// joint).
MeshData HangingBox(float sizeX, float sizeY, float sizeZ) {
  MeshData mesh;
  mesh.Append(MakeBox(sizeX, sizeY, sizeZ), Translate(0, 0, -sizeZ / 2));
  return mesh;
}

// A box standing on the origin.
MeshData StandingBox(float sizeX, float sizeY, float sizeZ, float base) {
  MeshData mesh;
  mesh.Append(MakeBox(sizeX, sizeY, sizeZ), Translate(0, 0, base + sizeZ / 2));
  return mesh;
}

// A pole with a pennant of 4 x 2 quads, 12 wide and 6 high, flying towards
// -X from the pole's top; its free end waves along Y.
MeshData Pennant(double frame) {
  constexpr int kColumns = 4;
  constexpr int kRows = 2;
  constexpr float kWidth = 12;
  constexpr float kHeight = 6;
  constexpr float kPoleHeight = 20;
  MeshData mesh = StandingBox(1, 1, kPoleHeight, 0);
  const double phase = 2 * kPi * frame / 12;
  MeshData cloth;
  for (int r = 0; r <= kRows; ++r) {
    for (int c = 0; c <= kColumns; ++c) {
      const float along = static_cast<float>(c) / kColumns;
      const float wave = 2.0f * along * static_cast<float>(std::sin(phase - 3.0 * along));
      cloth.AddVertex(-kWidth * along, wave, kPoleHeight - kHeight + kHeight * r / kRows);
      cloth.AddTextureVertex(along, static_cast<float>(r) / kRows);
    }
  }
  for (int r = 0; r < kRows; ++r) {
    for (int c = 0; c < kColumns; ++c) {
      const auto i = static_cast<std::uint32_t>(r * (kColumns + 1) + c);
      const std::uint32_t up = i + kColumns + 1;
      cloth.AddTexturedFace(i, up + 1, i + 1, i, up + 1, i + 1);
      cloth.AddTexturedFace(i, up, up + 1, i, up, up + 1);
    }
  }
  mesh.Append(cloth);
  return mesh;
}

// ---- Bitmaps ----------------------------------------------------------------

struct Picture {
  int width;
  int height;
  std::vector<std::uint8_t> rgb;  // top row first

  Picture(int w, int h) : width(w), height(h), rgb(std::size_t(w) * h * 3) {}
  void Set(int x, int y, int r, int g, int b) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    std::uint8_t* p = &rgb[(std::size_t(y) * width + x) * 3];
    p[0] = static_cast<std::uint8_t>(std::clamp(r, 0, 255));
    p[1] = static_cast<std::uint8_t>(std::clamp(g, 0, 255));
    p[2] = static_cast<std::uint8_t>(std::clamp(b, 0, 255));
  }
};

// Steel plates with dark seams and rivets, lighter towards the top left.
Picture BodyPicture() {
  Picture p(128, 128);
  const auto rivet = [](int at) { return (at >= 5 && at < 7) || (at >= 27 && at < 29); };
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      const int shade = (256 - x - y) / 8;
      const int px = x % 32;
      const int py = y % 32;
      if (px < 2 || py < 2) {
        p.Set(x, y, 40, 48, 70);
      } else if (rivet(px) && rivet(py)) {
        p.Set(x, y, 210, 215, 230);
      } else {
        p.Set(x, y, 80 + shade, 98 + shade, 136 + shade);
      }
    }
  }
  return p;
}

// A helmet with a yellow visor, two red eyes and a grille below.
Picture FacePicture() {
  Picture p(64, 64);
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      const int shade = y / 4;
      p.Set(x, y, 70 - shade, 72 - shade, 84 - shade);
      if (y >= 22 && y < 40) p.Set(x, y, 250, 190 + (y - 22) * 3, 40);
      for (const int eyeX : {20, 44}) {
        const int dx = x - eyeX;
        const int dy = y - 31;
        if (dx * dx + dy * dy <= 25) p.Set(x, y, 255, 40 + 8 * (dx * dx + dy * dy), 30);
      }
      if (y >= 46 && y < 56 && x >= 16 && x < 48 && (y - 46) % 3 == 2) p.Set(x, y, 25, 25, 30);
    }
  }
  return p;
}

// Blue to yellow with a dark stripe and a white V.
Picture FlagPicture() {
  Picture p(128, 64);
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      const int f = x * 2;
      const bool stripe = y >= 56 && y < 60;
      p.Set(x, y, stripe ? 20 : f, stripe ? 20 : f, stripe ? 20 : 255 - f);
      // The V's two strokes meet at (64, 50) and open to 28 either side at y 10.
      const double half = 28.0 * (50 - y) / 40;
      if (y >= 10 && y <= 50 && std::fabs(std::fabs(x - 64.0) - half) < 3) p.Set(x, y, 250, 250, 250);
    }
  }
  return p;
}

// The bitmap at path, written by stb (write is its result).
void CheckWritten(int written, const std::string& path) {
  if (!written) throw Error("cannot write " + path);
}

}  // namespace

MemoryScene MakeDemoScene(const std::string& textureDir) {
  MemoryScene scene;
  const int ticksPerFrame = scene.ticksPerFrame();
  const auto frameOf = [ticksPerFrame](TimeValue t) { return double(t) / ticksPerFrame; };
  const auto posed = [frameOf](std::function<Matrix3(const Pose&)> place) {
    return [frameOf, place](TimeValue t) { return place(PoseAt(frameOf(t))); };
  };

  auto body = BitmapMaterial("armour", InDir(textureDir, "demo_body.bmp"));
  auto face = BitmapMaterial("visor", InDir(textureDir, "demo_face.tga"));
  auto flag = BitmapMaterial("pennant", InDir(textureDir, "demo_flag.bmp"));
  // MakeBox gives its sides material indices 0-5; side 2 is the front (-Y).
  auto head = MultiMaterial("helmet", {body, body, face, body, body, body});

  auto& demo = scene.Root().AddChild("demo");
  auto& torso = demo.AddChild("body")
                    .SetMesh(StandingBox(14, 8, kTorsoHeight, 2))
                    .SetMaterial(body)
                    .SetAnimatedTransform(posed(BodyTransform))
                    .Select();
  torso.AddChild("head")
      .SetMesh(StandingBox(10, 10, 10, 0))
      .SetMaterial(head)
      .SetAnimatedTransform(posed([](const Pose& pose) {
        return Compose(RotateZ(pose.head), Translate(0, 0, 2 + kTorsoHeight));
      }))
      .Select();
  const char* arms[] = {"arm_left", "arm_right"};
  const char* legs[] = {"leg_left", "leg_right"};
  for (int side = 0; side < 2; ++side) {
    torso.AddChild(arms[side])
        .SetMesh(HangingBox(5, 5, kArmLength))
        .SetMaterial(body)
        .SetAnimatedTransform(posed([side](const Pose& pose) { return ArmTransform(pose, side); }))
        .Select();
    torso.AddChild(legs[side])
        .SetMesh(HangingBox(6, 6, kLegLength))
        .SetMaterial(body)
        .SetAnimatedTransform(posed([side](const Pose& pose) { return LegTransform(pose, side); }))
        .Select();
  }
  torso.AddChild("flag")
      .SetAnimatedMesh([frameOf](TimeValue t) { return Pennant(frameOf(t)); })
      .SetMaterial(flag)
      .SetTransform(Translate(-7, 5, 14))
      .Select();
  demo.AddChild("marker").SetMesh(MakeQuad(2, 2)).SetTransform(Translate(30, 0, 0)).Select();
  return scene;
}

std::vector<std::string> DemoTextureNames() {
  return {"demo_body.bmp", "demo_face.tga", "demo_flag.bmp"};
}

void WriteDemoTextures(const std::string& textureDir) {
  const Picture body = BodyPicture();
  const Picture face = FacePicture();
  const Picture flag = FlagPicture();
  const std::string bodyPath = InDir(textureDir, "demo_body.bmp");
  const std::string facePath = InDir(textureDir, "demo_face.tga");
  const std::string flagPath = InDir(textureDir, "demo_flag.bmp");
  CheckWritten(stbi_write_bmp(bodyPath.c_str(), body.width, body.height, 3, body.rgb.data()),
               bodyPath);
  // stb writes TGA files run-length encoded unless told otherwise.
  CheckWritten(stbi_write_tga(facePath.c_str(), face.width, face.height, 3, face.rgb.data()),
               facePath);
  CheckWritten(stbi_write_bmp(flagPath.c_str(), flag.width, flag.height, 3, flag.rgb.data()),
               flagPath);
}

}  // namespace vexo
