#include "preview/pose.h"

#include <gtest/gtest.h>

#include <cmath>

#include "../math/math_expect.h"
#include "math/matrix.h"
#include "test_skeleton.h"

namespace zam {
namespace {

using test::BoneSpec;
using test::ExpectMatrixNear;
using test::ExpectVecNear;
using test::Key;
using test::MakeSkeleton;
using test::Origin;
using test::PackageOf;
using test::Track;

const float kHalfSqrt2 = std::sqrt(0.5f);
const Quaternion kQuarterTurnZ{0, 0, kHalfSqrt2, kHalfSqrt2};
const Quaternion kQuarterTurnX{kHalfSqrt2, 0, 0, kHalfSqrt2};

// A root (id 0) at the origin and its child (id 2) 0.2 along Y.
SkinnedModelData RootAndChild() { return MakeSkeleton({{0, -1, {0, 0, 0}}, {2, 0, {0, 0.2f, 0}}}); }

Pose Evaluate(const AnimPackage& package, int animation, float time, const SkinnedModelData& model) {
  Pose pose;
  EvaluatePose(package, animation, time, model, pose);
  return pose;
}

TEST(EvaluatePose, ShowsTheModelPoseWithoutAnAnimation) {
  // The root stands at (1, 0, 0) turned 90 degrees about Z, so its child's
  // offset of 0.2 along Y points along -X.
  const SkinnedModelData model =
      MakeSkeleton({{0, -1, {1, 0, 0}, kQuarterTurnZ}, {2, 0, {0, 0.2f, 0}}, {3, 1, {0, 0, 0.5f}}});
  AnimPackage withoutTracks = PackageOf({});
  AnimPackage empty{};
  const AnimPackage animated = PackageOf({Track(2, kKeyKRT0, {Key(0, {5, 5, 5})})});
  const struct {
    const AnimPackage* package;
    int index;
  } cases[] = {{&animated, -1}, {&animated, 1}, {&animated, -2}, {&empty, 0}, {&withoutTracks, 0}};
  for (const auto& c : cases) {
    const Pose pose = Evaluate(*c.package, c.index, 0.0f, model);
    ASSERT_EQ(3u, pose.boneMatrices.size());
    ExpectVecNear({1, 0, 0}, Origin(pose.boneMatrices[0]));
    ExpectVecNear({0.8f, 0, 0}, Origin(pose.boneMatrices[1]));
    ExpectVecNear({0.8f, 0, 0.5f}, Origin(pose.boneMatrices[2]));
    const Matrix4 unmoved = Multiply(pose.boneMatrices[2], TranslationMatrix({-0.8f, 0, -0.5f}));
    ExpectMatrixNear(RotationMatrix(kQuarterTurnZ), unmoved);
    EXPECT_FALSE(pose.rootTranslation.has_value());
  }
}

TEST(EvaluatePose, HoldsTheEndKeysAndInterpolatesBetween) {
  const AnimPackage package = PackageOf({Track(2, kKeyKRT0, {Key(0.5f, {1, 0, 0}), Key(1.0f, {3, 0, 0})}),
                                         Track(2, kKeyKRT0, {Key(0, {9, 9, 9})})});  // the first track of an id wins
  const SkinnedModelData model = RootAndChild();
  for (float t : {0.2f, 0.5f, -3.0f}) EXPECT_EQ(1.0f, Origin(Evaluate(package, 0, t, model).boneMatrices[1]).x) << t;
  for (float t : {1.0f, 2.0f, 1e9f}) EXPECT_EQ(3.0f, Origin(Evaluate(package, 0, t, model).boneMatrices[1]).x) << t;
  EXPECT_FLOAT_EQ(2.0f, Origin(Evaluate(package, 0, 0.75f, model).boneMatrices[1]).x);
  // Rotation, translation and scale, exactly at a key and halfway.
  const Quaternion eighthTurnZ{0, 0, 0.38268343f, 0.92387953f};
  const AnimPackage krts = PackageOf({Track(2, kKeyKRTS,
                                            {Key(0, {0, 0, 0}, {0, 0, 0, 1}, {1, 1, 1}),
                                             Key(2, {4, 2, 0}, kQuarterTurnZ, {3, 1, 1}),
                                             Key(3, {7, 0, 0}, kQuarterTurnX, {1, 1, 1})})});
  ExpectMatrixNear(Multiply(Multiply(ScalingMatrix({2, 1, 1}), RotationMatrix(eighthTurnZ)), TranslationMatrix({2, 1, 0})),
                   Evaluate(krts, 0, 1.0f, model).boneMatrices[1]);
  ExpectMatrixNear(Multiply(Multiply(ScalingMatrix({3, 1, 1}), RotationMatrix(kQuarterTurnZ)), TranslationMatrix({4, 2, 0})),
                   Evaluate(krts, 0, 2.0f, model).boneMatrices[1], 0);
}

// The key type is read letter by letter: no 'T' third keeps the model's
// offset; no 'R' second the model's own rotation; no 'S' fourth unit scale.
TEST(EvaluatePose, TheKeyTypeIsReadLetterByLetter) {
  const SkinnedModelData model = RootAndChild();
  const Pose turned = Evaluate(PackageOf({Track(2, kKeyKR00, {Key(0, {7, 7, 7}, kQuarterTurnZ)})}), 0, 0, model);
  ExpectVecNear({0, 0.2f, 0}, Origin(turned.boneMatrices[1]));
  ExpectVecNear({0, 1, 0}, TransformDirection({1, 0, 0}, turned.boneMatrices[1]));
  const SkinnedModelData turnedRoot = MakeSkeleton({{0, -1, {0, 0, 0}, kQuarterTurnZ}});
  const AnimPackage package = PackageOf({Track(0, FourCC("K_T_"), {Key(0, {1, 2, 3}, {1, 0, 0, 0}, {5, 5, 5})})});
  ExpectMatrixNear(Multiply(RotationMatrix(kQuarterTurnZ), TranslationMatrix({1, 2, 3})),
                   Evaluate(package, 0, 0, turnedRoot).boneMatrices[0]);
}

TEST(EvaluatePose, ReportsTheTranslationOfTrackZero) {
  const SkinnedModelData model = MakeSkeleton({{0, -1, {0, 0, 0.9f}}, {2, 0, {0, 0.2f, 0}}});
  const AnimPackage moving = PackageOf(
      {Track(0, kKeyKRT0, {Key(0, {0, 0, 1}), Key(1, {0, 2, 1})}), Track(2, kKeyKRT0, {Key(0, {4, 4, 4})})});
  const Pose pose = Evaluate(moving, 0, 0.5f, model);
  ASSERT_TRUE(pose.rootTranslation.has_value());
  ExpectVecNear({0, 1, 1}, *pose.rootTranslation);

  // A rotation-only root track keeps the model's offset, and that is the
  // translation it used.
  const AnimPackage turning = PackageOf({Track(0, kKeyKR00, {Key(0)})});
  ExpectVecNear({0, 0, 0.9f}, *Evaluate(turning, 0, 0, model).rootTranslation);

  // Only track 0 counts, even when a later track binds the root.
  // A track of an id no bone has drives nothing.
  const AnimPackage unbound = PackageOf({Track(77, kKeyKRT0, {Key(0)}), Track(0, kKeyKRT0, {Key(0, {1, 1, 1})})});
  const Pose unboundPose = Evaluate(unbound, 0, 0, model);
  EXPECT_FALSE(unboundPose.rootTranslation.has_value());
  ExpectVecNear({1, 1.2f, 1}, Origin(unboundPose.boneMatrices[1]));
}

// A track whose file gave it no bone id (-1) drives the bone of its name,
// ignoring case; a bone id of -1 on the model binds nothing by id.
TEST(EvaluatePose, TracksWithoutABoneIdBindByName) {
  const SkinnedModelData model = MakeSkeleton({{0, -1, {0, 0, 0}}, {-1, 0, {0, 0.2f, 0}}});
  AnimPackage package = PackageOf({Track(-1, kKeyKRT0, {Key(0, {3, 0, 0})}), Track(-1, kKeyKRT0, {Key(0, {9, 9, 9})})});
  SetName(package.animations[0].bones[0].name, "BONE1");
  SetName(package.animations[0].bones[1].name, "bone7");
  const Pose pose = Evaluate(package, 0, 0, model);
  ExpectVecNear({0, 0, 0}, Origin(pose.boneMatrices[0]));  // no track is named bone0
  ExpectVecNear({3, 0, 0}, Origin(pose.boneMatrices[1]));
}

// One key is held; keys sharing a time never divide by zero; a track without
// keys shows the model pose, and as track 0 its offset is the translation used.
TEST(EvaluatePose, DegenerateTracksHoldTheirKeysOrTheModelPose) {
  const SkinnedModelData model = RootAndChild();
  const AnimPackage single = PackageOf({Track(2, kKeyKRT0, {Key(3, {1, 2, 3})})});
  for (float t : {0.0f, 3.0f, 10.0f}) ExpectVecNear({1, 2, 3}, Origin(Evaluate(single, 0, t, model).boneMatrices[1]));
  const AnimPackage shared =
      PackageOf({Track(2, kKeyKRT0, {Key(0, {1, 0, 0}), Key(0, {2, 0, 0}), Key(1, {3, 0, 0})})});
  EXPECT_EQ(2.0f, Origin(Evaluate(shared, 0, 0, model).boneMatrices[1]).x);
  EXPECT_EQ(1.0f, Origin(Evaluate(shared, 0, -1, model).boneMatrices[1]).x);
  EXPECT_FLOAT_EQ(2.5f, Origin(Evaluate(shared, 0, 0.5f, model).boneMatrices[1]).x);
  EXPECT_FALSE(std::isnan(Origin(Evaluate(shared, 0, NAN, model).boneMatrices[1]).x));
  const Pose pose = Evaluate(PackageOf({Track(2, kKeyKRT0, {}), Track(0, kKeyKRT0, {})}), 0, 1, model);
  ExpectMatrixNear(TranslationMatrix({0, 0.2f, 0}), pose.boneMatrices[1]);
  ASSERT_TRUE(pose.rootTranslation.has_value());
  ExpectVecNear({0, 0.2f, 0}, *pose.rootTranslation);
}

TEST(EvaluatePose, ParentsThatDoNotComeFirstAreTakenAsNone) {
  // Bone 0 names a later bone as parent, bone 1 itself, bone 2 one past the
  // table and bone 3 a negative index other than -1.
  SkinnedModelData model = MakeSkeleton(
      {{0, 1, {1, 0, 0}}, {1, 1, {0, 2, 0}}, {2, 3, {0, 0, 3}}, {3, -7, {4, 0, 0}}, {4, 0, {0, 0, 1}}});
  model.boneParent[2] = 5;
  const Pose pose = Evaluate(AnimPackage{}, -1, 0, model);
  ExpectVecNear({1, 0, 0}, Origin(pose.boneMatrices[0]));
  ExpectVecNear({0, 2, 0}, Origin(pose.boneMatrices[1]));
  ExpectVecNear({0, 0, 3}, Origin(pose.boneMatrices[2]));
  ExpectVecNear({4, 0, 0}, Origin(pose.boneMatrices[3]));
  ExpectVecNear({1, 0, 1}, Origin(pose.boneMatrices[4]));  // a proper child still composes
}

// Node table {10, 20}; bone 0 carries node 1 (id 20), bone 1 node 0 (id 10);
// bones 2 and 3 have no valid node index: posed, but bound to no track and
// writing no skinning matrix.
TEST(EvaluatePose, SkinningMatricesUndoTheBindPoseOfTheirNode) {
  SkinnedModelData model =
      MakeSkeleton({{0, -1, {0, 0, 1}}, {0, 0, {0, 0.5f, 0}}, {3, 1, {1, 0, 0}}, {4, 2, {0, 1, 0}}});
  model.boneIds = {10, 20, 3, 4};
  model.boneNodeIndex = {1, 0, 7, -1};
  model.inverseBindMatrices = {TranslationMatrix({0, -0.5f, -1}), TranslationMatrix({0, 0, -1}),
                               TranslationMatrix({6, 6, 6}), TranslationMatrix({5, 5, 5})};
  const Pose rest = Evaluate(AnimPackage{}, -1, 0, model);
  ASSERT_EQ(4u, rest.skinningMatrices.size());
  for (const Matrix4& m : rest.skinningMatrices) ExpectMatrixNear(IdentityMatrix(), m);
  // Moving id 20 (bone 0, the root) up by 2 moves skin bones 1 and 0 alike.
  const AnimPackage lift = PackageOf({Track(20, kKeyKRT0, {Key(0, {0, 0, 3})}), Track(3, kKeyKRT0, {Key(0, {9, 9, 9})}),
                                      Track(4, kKeyKRT0, {Key(0, {9, 9, 9})})});
  const Pose lifted = Evaluate(lift, 0, 0, model);
  ExpectMatrixNear(TranslationMatrix({0, 0, 2}), lifted.skinningMatrices[1]);
  ExpectMatrixNear(TranslationMatrix({0, 0, 2}), lifted.skinningMatrices[0]);
  ExpectVecNear({1, 1.5f, 3}, Origin(lifted.boneMatrices[3]));
  ExpectMatrixNear(IdentityMatrix(), lifted.skinningMatrices[2]);
  ExpectMatrixNear(IdentityMatrix(), lifted.skinningMatrices[3]);
}

TEST(EvaluatePose, ReusesItsStorageFromFrameToFrame) {
  const SkinnedModelData model = RootAndChild();
  const AnimPackage package = PackageOf({Track(2, kKeyKRT0, {Key(0), Key(1, {1, 0, 0})})});
  Pose pose;
  EvaluatePose(package, 0, 0.1f, model, pose);
  const Matrix4* bones = pose.boneMatrices.data();
  const Matrix4* skin = pose.skinningMatrices.data();
  for (float t = 0; t < 1; t += 0.1f) EvaluatePose(package, 0, t, model, pose);
  EXPECT_EQ(bones, pose.boneMatrices.data());
  EXPECT_EQ(skin, pose.skinningMatrices.data());
}

}  // namespace
}  // namespace zam
