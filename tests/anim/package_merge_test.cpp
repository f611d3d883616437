#include "anim/package_merge.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace zam {
namespace {

// Animations written "name:id" and separated by spaces: one track with bone
// id `id` and `id` keys, so where each record's tracks went can be told
// apart. An animation without tracks reads back as "name:-".
AnimPackage Package(const std::string& animations) {
  AnimPackage package{};
  std::istringstream words(animations);
  for (std::string text; words >> text;) {
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

std::string Describe(const AnimPackage& package) {
  std::string text;
  for (const Animation& animation : package.animations) {
    text += (text.empty() ? "" : " ") + NameText(animation.name) + ":";
    text += animation.bones.empty() ? "-" : std::to_string(animation.bones[0].boneId);
    if (!animation.bones.empty() && animation.bones[0].keyCount() != animation.bones[0].boneId) text += "(keys lost)";
  }
  return text;
}

// "0" and "1" a check mark each.
std::vector<bool> Checks(const std::string& marks) {
  std::vector<bool> checks;
  for (char c : marks) checks.push_back(c == '1');
  return checks;
}

struct MergeCase {
  const char* what;
  const char *document, *incoming, *defaults;
  bool replace;
  const char *checked, *documentAfter, *incomingAfter;
  std::vector<std::pair<int, int>> merged;  // incoming index, document index
};

TEST(PackageMerge, AppendReplaceAndDefaultChecks) {
  const MergeCase cases[] = {
      {"a name differing only in case counts as present", "walk_start:1 idle:2", "WALK_START:7 run:8", "01", false,
       "01", "walk_start:1 idle:2 run:8", "WALK_START:7 run:-", {{1, 2}}},
      {"replace takes the incoming spelling, hands back what it replaced and skips names the document lacks",
       "walk_start:1 idle:2", "WALK_START:7 run:8", "01", true, "11", "WALK_START:7 idle:2", "walk_start:1 run:8",
       {{0, 0}}},
      {"append keeps duplicate names on both sides", "a:1 A:2", "a:5 a:6", "00", false, "11", "a:1 A:2 a:5 a:6",
       "a:- a:-", {{0, 2}, {1, 3}}},
      {"replace hits only the first of duplicate document names, once per incoming one", "a:1 A:2", "a:5 a:6", "00",
       true, "11", "a:6 A:2", "a:1 a:5", {{0, 0}, {1, 0}}},
      {"unchecked animations stay where they are", "a:1", "A:3 b:4", "01", true, "01", "a:1", "A:3 b:4", {}},
      {"marks missing at the end count as unchecked", "", "p:1 q:2", "11", false, "1", "p:1", "p:- q:2", {{0, 0}}},
      {"an empty document has nothing to replace", "", "x:1", "1", true, "1", "", "x:1", {}},
      {"an empty incoming package changes nothing", "x:1", "", "", false, "", "x:1", "", {}},
  };
  for (const MergeCase& c : cases) {
    SCOPED_TRACE(c.what);
    AnimPackage document = Package(c.document);
    AnimPackage incoming = Package(c.incoming);
    EXPECT_EQ(DefaultMergeChecks(document, incoming), Checks(c.defaults));
    std::vector<MergedAnimation> merged = c.replace ? ReplaceAnimations(document, incoming, Checks(c.checked))
                                                    : AppendAnimations(document, incoming, Checks(c.checked));
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
