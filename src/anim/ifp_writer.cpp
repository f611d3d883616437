#include "anim/ifp_writer.h"

#include <cstring>

#include "base/byte_writer.h"

namespace zam {
namespace {

constexpr uint32_t kTagINFO = FourCC("INFO");
constexpr uint32_t kTagNAME = FourCC("NAME");
constexpr uint32_t kTagDGAN = FourCC("DGAN");
constexpr uint32_t kTagCPAN = FourCC("CPAN");
constexpr uint32_t kTagANIM = FourCC("ANIM");

size_t RoundUp4(size_t n) { return (n + 3) & ~size_t{3}; }

// Writes `count` bytes of a name: the field's own bytes, then zeros if the
// count runs past the field.
void WriteNameBytes(ByteWriter& out, const char* field, size_t fieldSize, size_t count) {
  size_t fromField = count < fieldSize ? count : fieldSize;
  out.WriteBytes(field, fromField);
  out.WriteZeros(count - fromField);
}

void WriteAnpkTrack(ByteWriter& out, const BoneTrack& track) {
  bool known = HasKnownKeyType(track);
  out.Write(kTagCPAN);
  size_t cpanSize = out.ReserveSize();
  out.Write(kTagANIM);
  size_t animSize = out.ReserveSize();
  out.WriteBytes(track.name, sizeof track.name);
  // Keys of a type this layout cannot store are left out, and so is their
  // count: a count without key bytes would read back as keys that are not there.
  out.Write<int32_t>(known ? track.keyCount() : 0);
  out.Write(track.anpkWord1);
  out.Write(track.anpkWord2);
  out.Write(track.boneId);
  out.PatchSize(animSize);
  out.Write(track.keyType);
  size_t keyDataSize = out.ReserveSize();
  if (known) {
    for (const KeyFrame& key : track.keys) {
      // ANPK stores the conjugate of the in-memory rotation.
      const float rotation[4] = {-key.rotation[0], -key.rotation[1], -key.rotation[2], key.rotation[3]};
      out.WriteBytes(rotation, sizeof rotation);
      if (track.keyType != kKeyKR00) out.WriteBytes(key.translation, sizeof key.translation);
      if (track.keyType == kKeyKRTS) out.WriteBytes(key.scale, sizeof key.scale);
      out.Write(key.time);
    }
  }
  out.PatchSize(keyDataSize);
  out.PatchSize(cpanSize);
}

void WriteAnpk(ByteWriter& out, const AnimPackage& package) {
  size_t packageSize = out.ReserveSize();
  out.Write(kTagINFO);
  size_t infoSize = out.ReserveSize();
  out.Write<int32_t>(package.animationCount());
  // A name whose length is a multiple of 4 goes without its terminator; the
  // reader's (S - 1) rounded-down rule reads exactly these bytes back.
  WriteNameBytes(out, package.name, sizeof package.name, RoundUp4(NameLength(package.name, sizeof package.name)));
  out.PatchSize(infoSize);

  for (const Animation& animation : package.animations) {
    size_t nameLength = NameLength(animation.name, sizeof animation.name) + 1;
    out.Write(kTagNAME);
    out.Write<int32_t>(static_cast<int32_t>(nameLength));
    WriteNameBytes(out, animation.name, sizeof animation.name, RoundUp4(nameLength));
    out.Write(kTagDGAN);
    size_t dganSize = out.ReserveSize();
    out.Write(kTagINFO);
    size_t animInfoSize = out.ReserveSize();
    out.Write<int32_t>(animation.boneCount());
    out.Write(animation.extraWord);
    out.PatchSize(animInfoSize);
    for (const BoneTrack& track : animation.bones) WriteAnpkTrack(out, track);
    out.PatchSize(dganSize);
  }
  out.PatchSize(packageSize);
}

// Keys as 16-bit records: rotation x, y, z, w, time, then (in 16-byte
// records) translation x, y, z. The block is appended once per track.
template <size_t kRecordBytes>
void WriteAnp3Keys(ByteWriter& out, const std::vector<KeyFrame>& keys) {
  uint8_t* to = out.Extend(keys.size() * kRecordBytes);
  for (const KeyFrame& key : keys) {
    int16_t record[8];
    for (int i = 0; i < 4; ++i) record[i] = ToFixed16(key.rotation[i], 4096.0f);
    record[4] = TimeToTicks16(key.time);
    for (int i = 0; i < 3; ++i) record[5 + i] = ToFixed16(key.translation[i], 1024.0f);
    std::memcpy(to, record, kRecordBytes);
    to += kRecordBytes;
  }
}

void WriteAnp3(ByteWriter& out, const AnimPackage& package) {
  size_t packageSize = out.ReserveSize();
  out.WriteBytes(package.name, sizeof package.name);
  out.Write<int32_t>(package.animationCount());
  for (const Animation& animation : package.animations) {
    out.WriteBytes(animation.name, sizeof animation.name);
    out.Write<int32_t>(animation.boneCount());
    size_t keyDataSize = out.ReserveSize();
    out.Write(animation.extraWord);
    size_t keyBytes = 0;
    for (const BoneTrack& track : animation.bones) {
      bool translated = track.keyType != kKeyKR00;
      out.WriteBytes(track.name, 24);
      out.Write<int32_t>(translated ? 4 : 3);
      out.Write<int32_t>(track.keyCount());
      out.Write(track.boneId);
      if (translated) {
        WriteAnp3Keys<16>(out, track.keys);
      } else {
        WriteAnp3Keys<10>(out, track.keys);
      }
      keyBytes += track.keys.size() * (translated ? 16 : 10);
    }
    out.PatchU32(keyDataSize, static_cast<uint32_t>(keyBytes));
  }
  out.PatchSize(packageSize);
}

// At least the bytes either layout takes, so the buffer grows once.
size_t UpperSizeBound(const AnimPackage& package) {
  size_t bytes = 64;
  for (const Animation& animation : package.animations) {
    bytes += 96;
    for (const BoneTrack& track : animation.bones) bytes += 68 + track.keys.size() * 44;
  }
  return bytes;
}

}  // namespace

bool HasKnownKeyType(const BoneTrack& track) {
  return track.keyType == kKeyKR00 || track.keyType == kKeyKRT0 || track.keyType == kKeyKRTS;
}

IfpWriteStatus WriteIfp(const AnimPackage& package, std::vector<uint8_t>& out) {
  ByteWriter writer(out);
  writer.Reserve(UpperSizeBound(package));
  writer.Write(package.format);
  if (package.format == kFormatANPK) {
    WriteAnpk(writer, package);
  } else if (package.format == kFormatANP3) {
    WriteAnp3(writer, package);
  } else {
    return IfpWriteStatus::UnknownFormat;
  }
  return IfpWriteStatus::Ok;
}

}  // namespace zam
