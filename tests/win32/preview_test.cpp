// The preview as the user sees it: frames read back from the preview area
// at the pixels where the camera puts known points of the scene.

#include <algorithm>
#include <cmath>
#include <iterator>

#include "app/win32/preview_view.h"
#include "dff_builder.h"
#include "demo_models.h"
#include "editor_fixture.h"
#include "format_textures.h"
#include "math/matrix.h"
#include "preview/camera.h"
#include "preview/pose.h"
#include "resource.h"
#include "rw_writer.h"

namespace zam::test {
namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);  // the background used here: no line has it
enum DemoBone { kRoot = 0, kPelvis = 1, kSpine1 = 3, kNeck = 4, kRHand = 13 };
enum DemoAnimation { kIdle = 0, kWalk = 1, kWave = 2 };

class Preview : public EditorTest {
 protected:
  // The demo character holding the pistol, the demo package open, on magenta.
  void StartWithDemo(const std::string& extraSettings = "") {
    WriteDemoFiles();
    WriteSettings("[Preview]\nBGColor=ff00ff\nModel=" + Path("character.dff") + "\nWeapon=" + Path("pistol.dff") +
                  "\n" + extraSettings);
    Start({Path("demo.ifp")});
    SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    Pump();
  }

  // Animation `animation` at `seconds`, drawn.
  void Show(int animation, float seconds) {
    if (Model().currentAnimation() != animation) Click(IDC_ANIMATION_LIST, animation);
    Main().editor.sharedPreviewTime() = seconds;
    RenderPreview(Main());
  }

  // Where bone `bone` of the loaded character is, in the pose drawn last.
  Matrix4 BoneMatrix(int bone) {
    EvaluatePose(Model().package(), Model().currentAnimation(), Model().playHead().currentTime, Model().character(), pose_);
    return pose_.boneMatrices[static_cast<size_t>(bone)];
  }
  Vec3 BoneAt(int bone) {
    Matrix4 m = BoneMatrix(bone);
    return {m.m[3][0], m.m[3][1], m.m[3][2]};
  }

  // The preview area's pixel that shows world point `p` (camera aimed at `target`).
  POINT PixelOf(const Vec3& p, const Vec3& target = {0, 0, 0}) {
    RECT area;
    GetClientRect(Item(IDC_PREVIEW), &area);
    Matrix4 m = Multiply(CameraViewMatrix(Model().camera(), target), PreviewProjection(area.right, area.bottom));
    float x = p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0];
    float y = p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1];
    float w = p.x * m.m[0][3] + p.y * m.m[1][3] + p.z * m.m[2][3] + m.m[3][3];
    return {static_cast<LONG>((x / w + 1.0f) * 0.5f * static_cast<float>(area.right)),
            static_cast<LONG>((1.0f - y / w) * 0.5f * static_cast<float>(area.bottom))};
  }

  COLORREF PixelAt(POINT p) {
    HDC dc = GetDC(Item(IDC_PREVIEW));
    COLORREF color = GetPixel(dc, p.x, p.y);
    ReleaseDC(Item(IDC_PREVIEW), dc);
    return color;
  }

  // Whether a pixel within `radius` of `p` has colour `color`.
  bool ShowsNear(POINT p, COLORREF color, int radius = 1) {
    for (int dy = -radius; dy <= radius; ++dy) {
      for (int dx = -radius; dx <= radius; ++dx) {
        if (PixelAt({p.x + dx, p.y + dy}) == color) return true;
      }
    }
    return false;
  }
  bool BackgroundAt(POINT p) { return PixelAt(p) == kMagenta; }

  Pose pose_;
};

TEST_F(Preview, BackgroundGridAndAxesAndTheirMenuItems) {
  WriteSettings("[Preview]\nBGColor=ff00ff\n");
  Start();
  RenderPreview(Main());
  EXPECT_EQ(PixelAt({2, 2}), kMagenta);
  EXPECT_TRUE(ShowsNear(PixelOf({1.2f, 0.0f, -1.0f}), RGB(255, 0, 0))) << "+X, bright";
  EXPECT_TRUE(ShowsNear(PixelOf({-1.2f, 0.0f, -1.0f}), RGB(128, 0, 0))) << "-X, dark";
  EXPECT_TRUE(ShowsNear(PixelOf({0.0f, 0.5f, -1.0f}), RGB(0, 255, 0))) << "+Y, bright";
  EXPECT_TRUE(ShowsNear(PixelOf({0.0f, 0.0f, 0.8f}), RGB(0, 0, 255))) << "+Z, bright";
  EXPECT_TRUE(ShowsNear(PixelOf({2.0f, -1.5f, -1.0f}), RGB(0x20, 0x40, 0x20))) << "a grid line along Y";
  EXPECT_TRUE(ShowsNear(PixelOf({1.5f, -2.0f, -1.0f}), RGB(0x40, 0x20, 0x20))) << "a grid line along X";

  Command(ID_PREVIEW_SHOW_AXIS);  // the grid's own centre line shows where the Y axis was
  EXPECT_TRUE(ShowsNear(PixelOf({0.0f, 0.5f, -1.0f}), RGB(0x20, 0x40, 0x20)));
  EXPECT_FALSE(ShowsNear(PixelOf({0.0f, 0.0f, 0.8f}), RGB(0, 0, 255)));
  Command(ID_PREVIEW_SHOW_MESH);
  EXPECT_TRUE(BackgroundAt(PixelOf({2.0f, -1.5f, -1.0f})));
  EXPECT_FALSE(MenuState(ID_PREVIEW_SHOW_MESH) & MF_CHECKED);
  EXPECT_EQ(Setting("Preview", "ShowAxis"), "0");
  EXPECT_EQ(Setting("Preview", "ShowMesh"), "0");
  Command(ID_PREVIEW_SHOW_AXIS);
  EXPECT_TRUE(ShowsNear(PixelOf({0.0f, 0.0f, 0.8f}), RGB(0, 0, 255)));
  EXPECT_EQ(Setting("Preview", "ShowAxis"), "1");

  prompts_.chosenColors = {RGB(0, 0, 255)};
  Command(ID_PREVIEW_SELECT_BACKGROUND);
  ASSERT_EQ(prompts_.colorDialogs.size(), 1u);
  EXPECT_EQ(prompts_.colorDialogs[0].rgbResult, RGB(255, 0, 255));
  EXPECT_EQ(prompts_.colorDialogs[0].Flags, static_cast<DWORD>(CC_RGBINIT));
  EXPECT_EQ(PixelAt({2, 2}), RGB(0, 0, 255));
  EXPECT_EQ(Setting("Preview", "BGColor"), "ff");
}

TEST_F(Preview, CharacterFollowsTheAnimationWithItsBonesInFront) {
  StartWithDemo();
  Show(kWave, 15.0f / 60.0f);
  Vec3 before = BoneAt(kRHand);
  POINT handBefore = PixelOf(before);
  EXPECT_FALSE(BackgroundAt(handBefore));
  Show(kWave, 45.0f / 60.0f);
  POINT handAfter = PixelOf(BoneAt(kRHand));
  ASSERT_GT(std::abs(handAfter.x - handBefore.x) + std::abs(handAfter.y - handBefore.y), 12) << "the forearm waves";
  EXPECT_FALSE(BackgroundAt(handAfter));
  EXPECT_TRUE(BackgroundAt(handBefore)) << "the hand left its old place";

  // The pyramid from the chest to the neck lies inside the chest's box, yet shows.
  Vec3 chest = BoneAt(kSpine1), neck = BoneAt(kNeck);
  POINT inside = PixelOf({(chest.x + neck.x) / 2, (chest.y + neck.y) / 2, (chest.z * 3 + neck.z) / 4});
  COLORREF withBones = PixelAt(inside);
  Command(ID_PREVIEW_SHOW_BONE);
  EXPECT_NE(PixelAt(inside), withBones);
  EXPECT_FALSE(BackgroundAt(inside));
  EXPECT_EQ(Setting("Preview", "ShowBone"), "0");
}

TEST_F(Preview, WeaponSitsInTheRightHandAndMovesWithIt) {
  StartWithDemo();
  const Vec3 barrel{-0.06f, -0.15f, 0.02f};  // inside the barrel, clear of the hand, in the pistol's frame
  for (float seconds : {15.0f / 60.0f, 45.0f / 60.0f}) {
    Show(kWave, seconds);
    POINT pistol = PixelOf(TransformPoint(barrel, BoneMatrix(kRHand)));
    COLORREF armed = PixelAt(pistol);
    EXPECT_NE(armed, kMagenta) << seconds;
    Command(ID_PREVIEW_DISARM_WEAPON);
    EXPECT_NE(PixelAt(pistol), armed) << seconds;
    EXPECT_EQ(Setting("Preview", "Weapon"), "");
    ASSERT_TRUE(LoadModel(ModelRole::Weapon, Path("pistol.dff")));
  }
}

// A character without a right hand (or none at all) holds the weapon at the origin.
TEST_F(Preview, WithoutARightHandTheWeaponStandsAtTheOrigin) {
  StartWithDemo();
  gen::CharacterDesc handless = gen::SmallCharacter();
  handless.bones[2].name = "R Finger";
  WriteFile(Path("handless.dff"), gen::BuildCharacterDff(handless));
  ASSERT_TRUE(LoadModel(ModelRole::Character, Path("handless.dff")));
  ASSERT_EQ(Model().character().weaponBoneIndex, -1);
  const Vec3 grip{-0.06f, 0.01f, -0.05f};
  RenderPreview(Main());
  EXPECT_FALSE(BackgroundAt(PixelOf(grip)));
  Command(ID_PREVIEW_UNLOAD_MODEL);
  EXPECT_FALSE(BackgroundAt(PixelOf(grip)));
  EXPECT_EQ(Setting("Preview", "Model"), "");
}

// A character as the previous game's library and a popular exporter write it
// (3.4, each frame's name before its HAnimPLG, the older skin layout) in a
// Direct3D 8 dictionary: every box shows its texture's colours, and the box
// whose texture no loader knows is drawn untextured, plain white.
TEST_F(Preview, APreviousGameCharacterShowsEveryDirect3D8TextureAndAnUnknownOneWhite) {
  StartWithDemo();
  gen::CharacterDesc desc = gen::FormatsCharacter();
  desc.stamp = gen::RwLibraryStampOf(0x34003);
  desc.frameNameFirst = true;
  desc.skin.maxWeightsPerVertex = 0;
  gen::DictionaryDesc textures = gen::FormatTextures(gen::kPlatformD3D8);
  textures.stamp = desc.stamp;
  WriteFile(Path("formats.dff"), gen::BuildCharacterDff(desc));
  WriteFile(Path("formats.txd"), gen::BuildTxd(textures));
  const int refusedBefore = Main().renderer.refusedTextures();
  ASSERT_TRUE(LoadModel(ModelRole::Character, Path("formats.dff")));
  EXPECT_EQ(Main().renderer.refusedTextures(), refusedBefore + 1) << "only the unknown format";
  Command(ID_PREVIEW_SHOW_BONE);
  Show(kIdle, 0.0f);
  const COLORREF kImageColours[] = {RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(0, 0, 255),
                                    RGB(255, 255, 0), RGB(0, 255, 255), RGB(0, 0, 0)};
  for (size_t m = 0; m < desc.geometry.materials.size(); ++m) {
    // The box's face towards the camera (its 24 vertices span the box),
    // sampled on a grid inside its edges.
    Vec3 lo = desc.geometry.positions[24 * m], hi = lo;
    for (size_t i = 24 * m; i < 24 * (m + 1); ++i) {
      const Vec3& p = desc.geometry.positions[i];
      lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
      hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    int coloured = 0, white = 0, samples = 0;
    for (float u = 0.2f; u < 0.9f; u += 0.15f) {
      for (float v = 0.2f; v < 0.9f; v += 0.15f) {
        const Vec3 p{lo.x + (hi.x - lo.x) * u, hi.y, lo.z + (hi.z - lo.z) * v};
        const COLORREF c = PixelAt(PixelOf(TransformPoint(p, BoneMatrix(kRoot))));
        coloured += std::find(std::begin(kImageColours), std::end(kImageColours), c) != std::end(kImageColours);
        white += c == RGB(255, 255, 255);
        ++samples;
      }
    }
    const std::string name = desc.geometry.materials[m].textureName;
    if (name == "unknown") {
      EXPECT_EQ(white, samples) << name;
    } else {
      EXPECT_GT(coloured, 0) << name;
    }
  }
}

TEST_F(Preview, SpecRootViewKeepsTheWalkingRootInThePictureCentre) {
  StartWithDemo();
  Main().editor.RotateCamera(90, 0);  // the walk goes across the picture
  Show(kWalk, 0.0f);
  POINT start = PixelOf(BoneAt(kPelvis));
  Show(kWalk, 0.5f);
  POINT walked = PixelOf(BoneAt(kPelvis));
  EXPECT_GT(std::abs(walked.x - start.x) + std::abs(walked.y - start.y), 10) << "the root walks off";

  Command(ID_PREVIEW_SPEC_ROOT_VIEW);
  EXPECT_EQ(Setting("Preview", "SpecView"), "1");
  for (float seconds : {0.0f, 0.5f}) {
    Show(kWalk, seconds);
    Vec3 root = BoneAt(kRoot);
    POINT pelvis = PixelOf(BoneAt(kPelvis), root);
    EXPECT_NEAR(pelvis.x, start.x, 2) << seconds;
    EXPECT_FALSE(BackgroundAt(pelvis)) << seconds;
  }
}

// One-sided triangles side by side, wound opposite ways: culling hides one.
TEST_F(Preview, DisableCullingShowsBackFaces) {
  StartWithDemo();
  gen::WeaponDesc sheet;
  gen::GeometryDesc geometry;
  geometry.positions = {{-0.4f, 0, 0}, {-0.1f, 0, 0}, {-0.25f, 0, 0.3f}, {0.1f, 0, 0}, {0.4f, 0, 0}, {0.25f, 0, 0.3f}};
  geometry.materials = {{"", {}}};
  geometry.meshes = {{0, {0, 1, 2, 3, 5, 4}}};
  sheet.geometries = {geometry};
  sheet.atomics = {{0, 0}};
  WriteFile(Path("sheet.dff"), gen::BuildWeaponDff(sheet));
  Command(ID_PREVIEW_UNLOAD_MODEL);
  ASSERT_TRUE(LoadModel(ModelRole::Weapon, Path("sheet.dff")));
  RenderPreview(Main());
  POINT left = PixelOf({-0.25f, 0, 0.1f}), right = PixelOf({0.25f, 0, 0.1f});
  EXPECT_NE(BackgroundAt(left), BackgroundAt(right)) << "one of them is culled";
  Command(ID_PREVIEW_DISABLE_CULLING);
  EXPECT_FALSE(BackgroundAt(left));
  EXPECT_FALSE(BackgroundAt(right));
  EXPECT_EQ(Setting("Preview", "Culling"), "1");
}

TEST_F(Preview, ResizeAndReinitKeepDrawingAtTheNewSize) {
  StartWithDemo();
  Show(kIdle, 0.0f);
  SetWindowPos(window_, nullptr, 0, 0, 1100, 760, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  RECT area;
  GetClientRect(Item(IDC_PREVIEW), &area);
  EXPECT_EQ(Main().previewDevice.width(), area.right);
  EXPECT_EQ(Main().previewDevice.height(), area.bottom);
  RenderPreview(Main());
  EXPECT_EQ(PixelAt({area.right - 3, 2}), kMagenta);
  EXPECT_TRUE(ShowsNear(PixelOf({1.2f, 0.0f, -1.0f}), RGB(255, 0, 0)));
  EXPECT_FALSE(BackgroundAt(PixelOf(BoneAt(kPelvis))));
  Command(ID_PREVIEW_REINIT_DEVICE);
  EXPECT_TRUE(ShowsNear(PixelOf({1.2f, 0.0f, -1.0f}), RGB(255, 0, 0)));
  EXPECT_FALSE(BackgroundAt(PixelOf(BoneAt(kPelvis))));
}

TEST_F(Preview, PlaybackFollowsRealTimeAndTheButtonsStepFrames) {
  StartWithDemo();
  Click(IDC_ANIMATION_LIST, kIdle);
  ControlCommand(IDC_PLAY, BN_CLICKED);
  EXPECT_EQ(Text(IDC_PLAY), "||");
  // Ticks half a second or more apart move the play head on by the real
  // time between them, as the tick counter measured it; the frame box and
  // the time bar show the frame each tick reached.
  auto frameShown = [this] { return std::stoi(Text(IDC_CURRENT_FRAME)); };
  auto nextTick = [&] {
    DWORD before = Model().playHead().lastTick;
    for (DWORD start = GetTickCount(); Model().playHead().lastTick == before && GetTickCount() - start < 10000;) Pump();
    return std::make_pair(Model().playHead().lastTick, Model().playHead().currentTime);
  };
  nextTick();
  auto [startTick, startTime] = nextTick();
  for (DWORD start = GetTickCount(); GetTickCount() - start < 500;) Pump();
  auto [endTick, endTime] = nextTick();
  ControlCommand(IDC_PLAY, BN_CLICKED);
  EXPECT_EQ(Text(IDC_PLAY), "|>");
  ASSERT_GE(endTick - startTick, 500u);
  // The same place in the idle's 2-second loop.
  EXPECT_NEAR(std::remainder(endTime - startTime - (endTick - startTick) / 1000.0f, 2.0f), 0.0f, 0.002f);
  EXPECT_EQ(frameShown(), PlayHeadFrame(Model().playHead()));
  EXPECT_EQ(SendDlgItemMessageA(window_, IDC_TIME_BAR, TBM_GETPOS, 0, 0), frameShown());

  ControlCommand(IDC_GO_END, BN_CLICKED);
  EXPECT_EQ(Text(IDC_CURRENT_FRAME), "120");
  ControlCommand(IDC_STEP_BACK, BN_CLICKED);
  EXPECT_EQ(Text(IDC_CURRENT_FRAME), "119");
  ControlCommand(IDC_GO_START, BN_CLICKED);
  ControlCommand(IDC_STEP_FORWARD, BN_CLICKED);
  EXPECT_EQ(Text(IDC_CURRENT_FRAME), "1");
}

// Models come and go without the device keeping anything of the old ones.
TEST_F(Preview, LoadingAndUnloadingAHundredTimesLeaksNoDeviceMemory) {
  StartWithDemo();
  Command(ID_PREVIEW_UNLOAD_MODEL);
  Command(ID_PREVIEW_DISARM_WEAPON);
  IDirect3DDevice9* device = Main().previewDevice.device();
  UINT before = device->GetAvailableTextureMem();
  ASSERT_TRUE(LoadModel(ModelRole::Character, Path("character.dff")));
  EXPECT_LT(device->GetAvailableTextureMem(), before) << "the device counts what a model takes";
  for (int i = 0; i < 100; ++i) {
    ASSERT_TRUE(LoadModel(ModelRole::Character, Path("character.dff")));
    ASSERT_TRUE(LoadModel(ModelRole::Weapon, Path("pistol.dff")));
    UnloadModel(ModelRole::Character);
    UnloadModel(ModelRole::Weapon);
  }
  EXPECT_EQ(device->GetAvailableTextureMem(), before);
}

TEST_F(Preview, ModelsComeBackFromTheSettingsAndLoadModelRemembersThem) {
  StartWithDemo();
  EXPECT_TRUE(IsDrawable(Model().character()));
  EXPECT_TRUE(IsDrawable(Model().weapon()));
  prompts_.chosenPaths = {Path("character.dff")};
  Command(ID_PREVIEW_UNLOAD_MODEL);
  Command(ID_PREVIEW_LOAD_MODEL);
  ASSERT_EQ(prompts_.fileDialogs.size(), 1u);
  EXPECT_EQ(prompts_.fileDialogs[0].filter, std::wstring(L"Zelcor:HV DFF\0*.dff\0", 20));
  EXPECT_EQ(Setting("Preview", "Model"), Path("character.dff"));
  EXPECT_TRUE(IsDrawable(Model().character()));
  prompts_.chosenPaths = {Path("gone.dff")};
  Command(ID_PREVIEW_ARM_WEAPON);
  EXPECT_EQ(prompts_.messages.back().text, "File cannot open.");
  EXPECT_EQ(Setting("Preview", "Weapon"), Path("pistol.dff")) << "a file that cannot open is not remembered";
  EXPECT_TRUE(IsDrawable(Model().weapon()));
}

}  // namespace
}  // namespace zam::test
