#include "anim/package_merge.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace zam {
namespace {

// Animations written "name:id": one track with bone id `id` and `id` keys,
// so where each record's tracks went can be told apart. An animation without
// tracks reads back as "name:-".
AnimPackage Package(const std::vector<std::string>& animations) {
  AnimPackage package{};
  for (const std::string& text : animations) {
    size_t colon = text.find(':');
    Animation animation{};
    SetName(animation.name, text.substr(0, colon));
    BoneTrack track{};
    track.boneId = std::stoi(text.substr(colon + 1));
    track.keys.resize(static_cast<size_t>(track.boneId));
    animation.bones.push_back(track);
    package.animations.push_back(animation);
  }
  return package;
}

std::vector<std::string> Describe(const AnimPackage& package) {
  std::vector<std::string> texts;
  for (const Animation& animation : package.animations) {
    std::string text = NameText(animation.name) + ":";
    if (animation.bones.empty()) {
      text += "-";
    } else {
      const BoneTrack& track = animation.bones[0];
      text += std::to_string(track.boneId);
      if (track.keyCount() != track.boneId) text += " (keys lost)";
    }
    texts.push_back(text);
  }
  return texts;
}

enum class Mode { Append, Replace };

struct MergeCase {
  const char* what;
  std::vector<std::string> document, incoming;
  std::vector<bool> defaults;
  Mode mode;
  std::vector<bool> checked;
  std::vector<std::string> documentAfter, incomingAfter;
  std::vector<std::pair<int, int>> merged;  // incoming index, document index
};

TEST(PackageMerge, AppendReplaceAndDefaultChecks) {
  const std::vector<MergeCase> cases = {
      {"a name differing only in case counts as present",
       {"walk_start:1", "idle:2"}, {"WALK_START:7", "run:8"}, {false, true},
       Mode::Append, {false, true},
       {"walk_start:1", "idle:2", "run:8"}, {"WALK_START:7", "run:-"}, {{1, 2}}},
      {"replace takes the incoming spelling, hands back what it replaced and skips names the document lacks",
       {"walk_start:1", "idle:2"}, {"WALK_START:7", "run:8"}, {false, true},
       Mode::Replace, {true, true},
       {"WALK_START:7", "idle:2"}, {"walk_start:1", "run:8"}, {{0, 0}}},
      {"append keeps duplicate names on both sides",
       {"a:1", "A:2"}, {"a:5", "a:6"}, {false, false},
       Mode::Append, {true, true},
       {"a:1", "A:2", "a:5", "a:6"}, {"a:-", "a:-"}, {{0, 2}, {1, 3}}},
      {"replace hits only the first of duplicate document names, once per incoming one",
       {"a:1", "A:2"}, {"a:5", "a:6"}, {false, false},
       Mode::Replace, {true, true},
       {"a:6", "A:2"}, {"a:1", "a:5"}, {{0, 0}, {1, 0}}},
      {"unchecked animations stay where they are",
       {"a:1"}, {"A:3", "b:4"}, {false, true},
       Mode::Replace, {false, true},
       {"a:1"}, {"A:3", "b:4"}, {}},
      {"marks missing at the end count as unchecked",
       {}, {"p:1", "q:2"}, {true, true},
       Mode::Append, {true},
       {"p:1"}, {"p:-", "q:2"}, {{0, 0}}},
      {"an empty document has nothing to replace",
       {}, {"x:1"}, {true},
       Mode::Replace, {true},
       {}, {"x:1"}, {}},
      {"an empty incoming package changes nothing",
       {"x:1"}, {}, {},
       Mode::Append, {},
       {"x:1"}, {}, {}},
  };
  for (const MergeCase& c : cases) {
    SCOPED_TRACE(c.what);
    AnimPackage document = Package(c.document);
    AnimPackage incoming = Package(c.incoming);
    EXPECT_EQ(DefaultMergeChecks(document, incoming), c.defaults);
    std::vector<MergedAnimation> merged = c.mode == Mode::Append ? AppendAnimations(document, incoming, c.checked)
                                                                 : ReplaceAnimations(document, incoming, c.checked);
    std::vector<std::pair<int, int>> pairs;
    for (const MergedAnimation& m : merged) pairs.emplace_back(m.incoming, m.document);
    EXPECT_EQ(pairs, c.merged);
    EXPECT_EQ(Describe(document), c.documentAfter);
    EXPECT_EQ(Describe(incoming), c.incomingAfter);
    // Both released as the dialog's caller does: each array freed once.
    ReleasePackage(incoming);
    ReleasePackage(document);
  }
}

}  // namespace
}  // namespace zam
