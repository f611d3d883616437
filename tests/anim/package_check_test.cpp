// The check of the game's rules: each broken rule is found, a package as
// the game's own are is clean.

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "anim/package_check.h"
#include "broken_packages.h"
#include "sample_packages.h"

namespace zam {
namespace {

std::set<CheckRule> RulesFound(const AnimPackage& package, const std::string& entry = {}) {
  std::set<CheckRule> rules;
  for (const CheckFinding& finding : CheckPackage(package, entry)) rules.insert(finding.rule);
  return rules;
}

TEST(PackageCheck, FindsEachBrokenRuleWhereItIsBroken) {
  const std::pair<const char*, CheckRule> cases[] = {
      {"no-keys", CheckRule::NoKeys},           {"first-key", CheckRule::FirstKeyNotAtZero},
      {"order", CheckRule::TimesNotIncreasing}, {"nan", CheckRule::NotFinite},
      {"unit", CheckRule::RotationNotUnit},     {"shared-bone", CheckRule::SharedBone},
      {"range", CheckRule::BeyondLayout},       {"long-name", CheckRule::NameTooLong},
      {"ends", CheckRule::UnequalTrackEnds}};
  for (auto [name, rule] : cases) {
    AnimPackage package = gen::MakePackage(gen::RealGameShape(kFormatANP3));
    ASSERT_TRUE(gen::BreakRule(name, package));
    const std::vector<CheckFinding> findings = CheckPackage(package);
    ASSERT_FALSE(findings.empty()) << name;
    EXPECT_EQ(findings[0].rule, rule) << name;
    EXPECT_EQ(findings[0].animation, 0) << name;
    EXPECT_NE(findings[0].track, -1) << name;
    EXPECT_EQ(FindingPlace(package, findings[0]).rfind("animation \"anim_0\", track ", 0), 0u) << name;
  }
}

TEST(PackageCheck, AGamePackageIsCleanAndItsEntryNameIsHeldToItsName) {
  for (uint32_t format : {kFormatANPK, kFormatANP3}) {
    const AnimPackage package = gen::MakePackage(gen::RealGameShape(format));
    EXPECT_TRUE(CheckPackage(package).empty());
    EXPECT_TRUE(CheckPackage(package, "SAMPLE.IFP").empty()) << "names compare ignoring case and extension";
    EXPECT_EQ(RulesFound(package, "ped.ifp"), std::set<CheckRule>{CheckRule::NameDiffersFromEntry});
  }
  // Many keys breaking one rule are one finding that counts them.
  AnimPackage package = gen::MakePackage({});
  for (KeyFrame& key : package.animations[1].bones[2].keys) key.rotation[3] = 3.0f;
  const std::vector<CheckFinding> findings = CheckPackage(package);
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].key, 0);
  EXPECT_NE(findings[0].what.find("more keys of this track"), std::string::npos) << findings[0].what;
}

}  // namespace
}  // namespace zam
