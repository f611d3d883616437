// Packages through JSON and back: every field exact, and every kind of bad
// text refused with its place and nothing changed.

#include "anim/package_json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "anim/ifp_reader.h"
#include "anim/ifp_writer.h"
#include "anim/package_layouts.h"
#include "sample_packages.h"
#include "support/package_matchers.h"

namespace zam {
namespace {

std::string Json(const AnimPackage& package) {
  std::string text;
  WritePackageJson(package, [&text](const char* piece, size_t size) { text.append(piece, size); });
  return text;
}

std::vector<uint8_t> Bytes(const AnimPackage& package) {
  std::vector<uint8_t> bytes;
  WriteIfp(package, bytes);
  return bytes;
}

float FromBits(uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// Every field the model has, with the values that are easy to lose: bytes
// after a name's terminator, names filling their fields, bytes beyond
// ASCII, characters JSON escapes, unknown key types, NaNs with payloads,
// infinities, negative zero, the smallest and largest floats.
AnimPackage AwkwardPackage(uint32_t format) {
  AnimPackage package = gen::MakePackage({});
  package.format = format;
  std::memcpy(package.name, "ped\0\x7f\x01", 6);
  Animation& first = package.animations[0];
  std::memcpy(first.name, "\"quoted\" \\ tab\t \xe9\xff", 19);
  first.extraWord = -5;
  first.keyDataSize = 0x7FFFFFFF;
  BoneTrack& track = first.bones[0];
  std::memcpy(track.name, "twenty-seven characters, ok", 27);
  track.boneId = std::numeric_limits<int32_t>::min();
  track.anpkWord1 = 7;
  track.anpkWord2 = -9;
  track.keyType = kKeyKRTS;
  KeyFrame& key = track.keys[0];
  key.rotation[0] = FromBits(0x7FC00001);  // NaN with a payload
  key.rotation[1] = FromBits(0xFFC00000);
  key.rotation[2] = -0.0f;
  key.translation[0] = std::numeric_limits<float>::infinity();
  key.translation[1] = -std::numeric_limits<float>::infinity();
  key.translation[2] = std::numeric_limits<float>::denorm_min();
  key.scale[0] = std::numeric_limits<float>::max();
  key.scale[1] = -std::numeric_limits<float>::min();
  key.scale[2] = 0.1f;
  key.time = std::numeric_limits<float>::quiet_NaN();
  first.bones[1].keyType = 5;               // an ANP3 frame type as read
  first.bones[2].keyType = FourCC("ABCD");  // an unknown tag
  first.bones[3].keyType = 0xFFFFFFFF;
  first.bones[4].keys.clear();
  std::memcpy(first.bones[5].name, "tail\0after zero", 16);
  return package;
}

// The package read from `package`'s JSON equals it in every byte of every
// field, and writes the same file in each layout.
void ExpectExactRoundTrip(const AnimPackage& package) {
  const std::string text = Json(package);
  AnimPackage back{};
  const std::optional<PackageJsonError> error = ReadPackageJson(text, back);
  ASSERT_FALSE(error) << error->line << ":" << error->column << " " << error->message;
  EXPECT_TRUE(test::SamePackage(package, back));
  EXPECT_EQ(std::memcmp(package.name, back.name, sizeof back.name), 0);
  ASSERT_EQ(package.animations.size(), back.animations.size());
  for (size_t a = 0; a < back.animations.size(); ++a) {
    EXPECT_EQ(std::memcmp(package.animations[a].name, back.animations[a].name, sizeof back.animations[a].name), 0);
    EXPECT_EQ(package.animations[a].keyDataSize, back.animations[a].keyDataSize);
  }
  EXPECT_EQ(Bytes(package), Bytes(back));
  for (const PackageLayout& layout : PackageLayouts()) {
    AnimPackage a = package, b = back;
    a.format = b.format = layout.tag;
    EXPECT_EQ(Bytes(a), Bytes(b)) << layout.shownName;
  }
  EXPECT_EQ(Json(back), text);
}

TEST(PackageJson, EveryFieldReadsBackExactly) {
  for (const PackageLayout& layout : PackageLayouts()) {
    SCOPED_TRACE(layout.shownName);
    ExpectExactRoundTrip(AwkwardPackage(layout.tag));
    // Generated packages as a file holds them, and as read from that file.
    for (gen::PackageShape shape : {gen::PackageShape{}, gen::RealGameShape(layout.tag)}) {
      shape.format = layout.tag;
      shape.animations = 12;
      const std::vector<uint8_t> file = Bytes(gen::MakePackage(shape));
      AnimPackage read{};
      ASSERT_EQ(ReadIfp(file.data(), file.size(), read), IfpReadStatus::Ok);
      ExpectExactRoundTrip(read);
      AnimPackage built{};
      ASSERT_FALSE(ReadPackageJson(Json(read), built));
      EXPECT_EQ(Bytes(built), file);
    }
  }
}

TEST(PackageJson, WritesShortestFloatsAndOmitsEmptyColumns) {
  AnimPackage package = AwkwardPackage(kFormatANPK);
  const std::string text = Json(package);
  EXPECT_NE(text.find("\"rotations\": [[\"nan:0x7fc00001\",\"nan:0xffc00000\",-0,"), std::string::npos);
  EXPECT_NE(text.find("\"translations\": [[\"inf\",\"-inf\",1e-45]"), std::string::npos);
  EXPECT_NE(text.find("\"scales\": [[3.4028235e+38,-1.1754944e-38,0.1]"), std::string::npos);
  EXPECT_NE(text.find("\"times\": [\"nan\","), std::string::npos);
  EXPECT_NE(text.find("\"name\": \"ped\",\n  \"nameBytes\": \"706564007f01"), std::string::npos);
  EXPECT_NE(text.find("\"name\": \"\\\"quoted\\\" \\\\ tab\\t \xc3\xa9\xc3\xbf\""), std::string::npos);
  EXPECT_NE(text.find("\"keyType\": 5,"), std::string::npos);
  EXPECT_NE(text.find("\"keyType\": -1,"), std::string::npos);
  // KR00 tracks of a generated package hold no translations and no scales.
  const std::string generated = Json(gen::MakePackage({}));
  EXPECT_EQ(generated.find("\"scales\""), std::string::npos);
  EXPECT_NE(generated.find("\"keyType\": \"KR00\",\n          \"anpkWord1\": 0,\n          \"anpkWord2\": 0,\n"
                           "          \"times\": [0,"),
            std::string::npos);
}

// A small valid package, changed by the cases below.
constexpr char kValid[] = R"({
  "format": "ANP3",
  "name": "ped",
  "animations": [
    {"name": "walk", "tracks": [
      {"name": "root", "boneId": 0, "keyType": "KRT0",
       "times": [0, 0.5], "rotations": [[0, 0, 0, 1], [0, 0, 0, 1]], "translations": [[0, 0, 0], [1, 2, 3]]}
    ]}
  ]
})";

std::string Changed(const std::string& from, const std::string& to) {
  std::string text = kValid;
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(PackageJson, ReadsAScriptsPackageWithDefaultsForOptionalFields) {
  AnimPackage package{};
  ASSERT_FALSE(ReadPackageJson(kValid, package));
  EXPECT_EQ(package.format, kFormatANP3);
  EXPECT_EQ(NameText(package.name), "ped");
  ASSERT_EQ(package.animationCount(), 1);
  const Animation& walk = package.animations[0];
  EXPECT_EQ(walk.extraWord, 0);
  ASSERT_EQ(walk.boneCount(), 1);
  const BoneTrack& root = walk.bones[0];
  EXPECT_EQ(root.keyType, kKeyKRT0);
  EXPECT_EQ(root.anpkWord1, 0);
  ASSERT_EQ(root.keyCount(), 2);
  EXPECT_EQ(root.keys[1].time, 0.5f);
  EXPECT_EQ(root.keys[1].translation[2], 3.0f);
  EXPECT_EQ(root.keys[1].scale[0], 0.0f);
}

TEST(PackageJson, RefusesBadTextWithItsPlaceAndLeavesThePackage) {
  struct Case {
    std::string text;
    size_t line, column;
    std::string message;
  };
  const Case cases[] = {
      {Changed("\"ped\",", "\"ped\""), 4, 3, "Missing a comma or '}' after an object member"},
      {Changed("[0, 0.5]", "[0, 0.5"), 7, 37, "Missing a comma or ']' after an array element"},
      {std::string(kValid) + "x", 10, 2, "The document root must not be followed by other values"},
      {Changed("\"tracks\"", "\"bones\""), 5, 22, "animations[0]: unknown field \"bones\""},
      {Changed("\"name\": \"walk\", ", ""), 5, 5, "animations[0]: missing \"name\""},
      {Changed("\"boneId\": 0", "\"boneId\": \"0\""), 6, 34, "animations[0].tracks[0].boneId: expected a whole number"},
      {Changed("\"boneId\": 0", "\"boneId\": 0.5"), 6, 34, "animations[0].tracks[0].boneId: expected a whole number"},
      {Changed("\"boneId\": 0", "\"boneId\": 2147483648"), 6, 34,
       "animations[0].tracks[0].boneId: 2147483648 is out of the range of a 32-bit integer"},
      {Changed("\"KRT0\"", "\"KRX0\""), 6, 48,
       "animations[0].tracks[0].keyType: \"KRX0\" is no key type; \"KR00\", \"KRT0\", \"KRTS\" or a number"},
      {Changed("[0, 0.5]", "[0, 1e39]"), 7, 21,
       "animations[0].tracks[0].times[1]: 1e39 is out of the range of a 32-bit float"},
      {Changed("[[0, 0, 0, 1], [0, 0, 0, 1]]", "[[0, 0, 0, 1], [0, 0, 1]]"), 7, 55,
       "animations[0].tracks[0].rotations[1]: expected 4 numbers"},
      {Changed("[[0, 0, 0], [1, 2, 3]]", "[[0, 0, 0]]"), 6, 7,
       "animations[0].tracks[0]: \"translations\" holds 1 key, \"times\" 2"},
      {Changed("\"walk\"", "\"a_name_of_24_characters_\""), 5, 5,
       "animations[0]: \"a_name_of_24_characters_\" has 24 characters; an animation name holds at most 23"},
      {Changed("\"walk\"", "\"w\\u0100lk\""), 5, 14, "animations[0].name: a name holds only characters up to U+00FF"},
      {Changed("\"ANP3\"", "\"anp3\""), 2, 13, "format: expected \"ANPK\" or \"ANP3\" or \"ANP2\""},
      {Changed("\"name\": \"ped\",", "\"name\": \"ped\", \"nameBytes\": \"70656400\","), 1, 1,
       "\"nameBytes\" holds 4 bytes; the field has 24"},
      {Changed("\"name\": \"ped\",", "\"name\": \"ped\", \"name\": \"ped\","), 3, 18, "\"name\" is given twice"},
      {Changed("\"times\": [0, 0.5]", "\"times\": [\"never\", 0.5]"), 7, 18,
       "animations[0].tracks[0].times[0]: expected a number, \"inf\", \"-inf\" or \"nan\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    AnimPackage package = gen::MakePackage({});
    const std::vector<uint8_t> before = Bytes(package);
    const std::optional<PackageJsonError> error = ReadPackageJson(c.text, package);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->message, c.message);
    EXPECT_EQ(error->line, c.line);
    EXPECT_EQ(error->column, c.column);
    EXPECT_EQ(Bytes(package), before);
  }
}

}  // namespace
}  // namespace zam
